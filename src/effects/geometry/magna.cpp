// Magna: iron filings around two magnetic poles. A grid of short needles turns to follow the field of a north
// pole (at the mouse once it moves) and a wandering south pole, brighter where the field is strong, while
// loose filings creep along the field lines from one pole to the other.
#include <cmath>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Magna : public Effect {
  public:
    void start(EffectContext& c) override {
        // Leftovers of an earlier entry are brought into range once, so blends never carry NaN along.
        kit::tameField(c);
        for (Filing& f : filings_) {
            spawn(c, f);
        }
    }

    void step(EffectContext& c) override {
        kit::scaleVelocities(c, 0.0f);
        const float n = static_cast<float>(c.n);
        const float t = static_cast<float>(c.frame % 200000u);
        const bool moved = c.framesSinceMouseMoved != EffectContext::never;
        nx_ = moved ? static_cast<float>(c.mouseX) : n * (0.5f + 0.3f * fastSin(t * 0.007f));
        ny_ = moved ? static_cast<float>(c.mouseY) : n * (0.5f + 0.25f * fastSin(t * 0.011f + 2.0f));
        sx_ = n * (0.5f + 0.32f * fastCos(t * 0.005f + 1.0f));
        sy_ = n * (0.5f + 0.3f * fastSin(t * 0.0083f));
        kit::pullColours(c, kit::fromLevels(18, 20, 26), 0.5f);
        // The needles: one per grid point, centred, turned along the field.
        const int grid = 25;
        const float step = n / grid;
        for (int i = 0; i < grid; ++i) {
            for (int j = 0; j < grid; ++j) {
                const float px = (i + 0.5f) * step, py = (j + 0.5f) * step;
                float fx = 0.0f, fy = 0.0f;
                field(px, py, fx, fy);
                const float m = std::sqrt(fx * fx + fy * fy);
                if (!(m > 1e-9f)) {
                    continue;
                }
                const float k = m / (m + 0.004f);
                const float half = step * 0.42f;
                const float ux = fx / m * half, uy = fy / m * half;
                kit::drawLine(c, px - ux, py - uy, px + ux, py + uy,
                              kit::mix(kit::fromLevels(60, 62, 70), kit::fromLevels(220, 225, 240), k));
            }
        }
        // Loose filings creep along the field, north to south.
        for (Filing& f : filings_) {
            float fx = 0.0f, fy = 0.0f;
            field(f.x, f.y, fx, fy);
            const float m = std::sqrt(fx * fx + fy * fy);
            if (m > 1e-9f) {
                f.x += fx / m * 0.7f;
                f.y += fy / m * 0.7f;
            }
            const float dsx = f.x - sx_, dsy = f.y - sy_;
            if (!(f.x >= 0.0f && f.x < n && f.y >= 0.0f && f.y < n) || dsx * dsx + dsy * dsy < 9.0f ||
                --f.life <= 0) {
                spawn(c, f);
                continue;
            }
            kit::paint(c, kit::toCell(f.x), kit::toCell(f.y), kit::fromLevels(255, 200, 120));
        }
        kit::softDisc(c, nx_, ny_, 9.0f, kit::fromLevels(255, 60, 40), 1.2f, kit::Blend::add);
        kit::fillDisc(c, nx_, ny_, 3.0f, kit::fromLevels(255, 90, 70));
        kit::softDisc(c, sx_, sy_, 9.0f, kit::fromLevels(40, 90, 255), 1.2f, kit::Blend::add);
        kit::fillDisc(c, sx_, sy_, 3.0f, kit::fromLevels(90, 140, 255));
    }

  private:
    struct Filing {
        float x, y;
        int life;
    };

    // The field of a north pole at (nx, ny) and a south pole at (sx, sy): r / |r|^3 from each, opposite
    // signs.
    void field(float x, float y, float& fx, float& fy) const {
        const float ax = x - nx_, ay = y - ny_, bx = x - sx_, by = y - sy_;
        const float a2 = ax * ax + ay * ay + 4.0f, b2 = bx * bx + by * by + 4.0f;
        const float a3 = a2 * std::sqrt(a2), b3 = b2 * std::sqrt(b2);
        fx = ax / a3 - bx / b3;
        fy = ay / a3 - by / b3;
    }

    void spawn(EffectContext& c, Filing& f) {
        const float a = c.randomUnit() * kit::twoPi, r = 4.0f + c.randomUnit() * 6.0f;
        f.x = nx_ + fastCos(a) * r;
        f.y = ny_ + fastSin(a) * r;
        f.life = c.random(100, 400);
    }

    Filing filings_[260]{};
    float nx_ = 0.0f, ny_ = 0.0f, sx_ = 0.0f, sy_ = 0.0f;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Magna);

} // namespace glowfield
