// Gravity: five heavy bodies circle one another and three thousand light motes fall among them, slingshotting
// round and gathering into short-lived rings; each mote is a dot coloured by its speed over a darkening
// field.
#include <cmath>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Gravity : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::tameField(c);
        const float n = static_cast<float>(c.n);
        for (int b = 0; b < bodies; ++b) {
            const float a = kit::twoPi * static_cast<float>(b) / bodies + c.randomUnit() * 0.5f;
            const float r = n * (0.12f + 0.18f * c.randomUnit());
            bx_[b] = n * 0.5f + r * fastCos(a);
            by_[b] = n * 0.5f + r * fastSin(a);
            const float v = 0.45f * n / 200.0f;
            bvx_[b] = -v * fastSin(a);
            bvy_[b] = v * fastCos(a);
            mass_[b] = (b == 0 ? 3.0f : 1.0f) * (0.8f + 0.4f * c.randomUnit());
        }
        for (int i = 0; i < motes; ++i) {
            respawn(c, i);
        }
        cursor_ = 0;
    }

    void step(EffectContext& c) override {
        const float n = static_cast<float>(c.n);
        const float s = n / 200.0f;
        const float centre = n * 0.5f;
        kit::pullColours(c, kit::fromLevels(0, 0, 8), 0.2f);
        kit::scaleVelocities(c, 0.0f);

        // Bodies attract each other, softened, and a gentle pull to the centre keeps the dance on screen.
        const float g = 6.0f * s * s * s;
        for (int a = 0; a < bodies; ++a) {
            float fx = (centre - bx_[a]) * 0.0004f, fy = (centre - by_[a]) * 0.0004f;
            for (int b = 0; b < bodies; ++b) {
                if (a == b) {
                    continue;
                }
                const float dx = bx_[b] - bx_[a], dy = by_[b] - by_[a];
                const float d2 = dx * dx + dy * dy + 60.0f * s * s;
                const float inv = g * mass_[b] / (d2 * std::sqrt(d2));
                fx += dx * inv;
                fy += dy * inv;
            }
            bvx_[a] = (bvx_[a] + fx) * 0.999f;
            bvy_[a] = (bvy_[a] + fy) * 0.999f;
        }
        for (int a = 0; a < bodies; ++a) {
            bx_[a] += bvx_[a];
            by_[a] += bvy_[a];
            if (!(bx_[a] > -n && bx_[a] < 2.0f * n && by_[a] > -n && by_[a] < 2.0f * n)) {
                bx_[a] = centre;
                by_[a] = centre;
                bvx_[a] = bvy_[a] = 0.0f;
            }
        }

        for (int k = 0; k < 12; ++k) {
            respawn(c, cursor_);
            cursor_ = (cursor_ + 1) % motes;
        }
        const float gm = 9.0f * s * s * s;
        for (int i = 0; i < motes; ++i) {
            float ax = 0.0f, ay = 0.0f;
            for (int b = 0; b < bodies; ++b) {
                const float dx = bx_[b] - x_[i], dy = by_[b] - y_[i];
                const float d2 = dx * dx + dy * dy + 9.0f * s * s;
                const float inv = gm * mass_[b] / (d2 * std::sqrt(d2));
                ax += dx * inv;
                ay += dy * inv;
            }
            vx_[i] += ax;
            vy_[i] += ay;
            const float v2 = vx_[i] * vx_[i] + vy_[i] * vy_[i];
            if (v2 > 16.0f * s * s) { // a mote flung out too fast is slowed so it cannot jump the grid
                vx_[i] *= 0.8f;
                vy_[i] *= 0.8f;
            }
            x_[i] += vx_[i];
            y_[i] += vy_[i];
            // Escapers wrap round.
            if (x_[i] < 0.0f) {
                x_[i] += n;
            } else if (x_[i] >= n) {
                x_[i] -= n;
            }
            if (y_[i] < 0.0f) {
                y_[i] += n;
            } else if (y_[i] >= n) {
                y_[i] -= n;
            }
            const int cx = kit::toCell(x_[i]), cy = kit::toCell(y_[i]);
            if (!kit::inside(c, cx, cy)) {
                respawn(c, i);
                continue;
            }
            const float speed = std::sqrt(v2) / s;
            const kit::Rgb colour = kit::hsv(0.7f - kit::clampf(speed * 0.5f, 0.0f, 0.75f), 0.8f, 1.0f);
            kit::paint(c, cx, cy, colour, kit::Blend::max);
        }

        for (int b = 0; b < bodies; ++b) {
            kit::softDisc(c, bx_[b], by_[b], (5.0f + 3.0f * mass_[b]) * s, {120.0f, 100.0f, 60.0f}, 1.0f);
            kit::fillDisc(c, bx_[b], by_[b], (1.2f + mass_[b]) * s, kit::fromLevels(255, 250, 230));
        }
    }

  private:
    static constexpr int bodies = 5;
    static constexpr int motes = 3000;

    // A mote starts on a near-circular orbit round one body, so rings form before the others tear them.
    void respawn(EffectContext& c, int i) {
        const float s = static_cast<float>(c.n) / 200.0f;
        const int b = c.random(0, bodies - 1);
        const float a = c.randomUnit() * kit::twoPi;
        const float r = s * (5.0f + 30.0f * c.randomUnit());
        x_[i] = bx_[b] + r * fastCos(a);
        y_[i] = by_[b] + r * fastSin(a);
        const float d2 = r * r + 9.0f * s * s;
        const float v = std::sqrt(9.0f * s * s * s * mass_[b] * r * r / (d2 * std::sqrt(d2)));
        vx_[i] = bvx_[b] - v * fastSin(a);
        vy_[i] = bvy_[b] + v * fastCos(a);
    }

    float bx_[bodies] = {}, by_[bodies] = {}, bvx_[bodies] = {}, bvy_[bodies] = {}, mass_[bodies] = {};
    int cursor_ = 0;
    float x_[motes] = {}, y_[motes] = {}, vx_[motes] = {}, vy_[motes] = {};
};

} // namespace

std::unique_ptr<Effect> makeGravity() {
    return std::make_unique<Gravity>();
}

} // namespace glowfield
