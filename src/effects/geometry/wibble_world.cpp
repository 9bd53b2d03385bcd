// WibbleWorld: a jelly planet. A striped disc whose outline is a radius plus a few wobble modes, each a
// damped oscillator; meteors strike it and set the modes ringing, so it wobbles and its stripes shear.
#include <cmath>
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

struct Meteor {
    float x, y, vx, vy;
    bool live;
};

class WibbleWorld : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::tameField(c);
        for (int m = 0; m < modes; ++m) {
            a_[m] = b_[m] = va_[m] = vb_[m] = 0.0f;
        }
        for (Meteor& m : meteors_) {
            m.live = false;
        }
        a_[0] = 6.0f; // start already wobbling
        shear_ = 0.0f;
        directions(c);
    }

    void step(EffectContext& c) override {
        const int n = c.n;
        const float nf = static_cast<float>(n);
        const float s = c.scale;
        const int time = static_cast<int>(c.framesSinceStart) + 1;
        const float t = static_cast<float>(time);
        kit::scaleVelocities(c, 0.0f);
        const float cx = nf * 0.5f, cy = nf * 0.5f, r0 = nf * 0.3f;

        // Modes 2..6: a stiffer spring for finer wobbles, light damping.
        float energy = 0.0f;
        for (int m = 0; m < modes; ++m) {
            const float k = 0.004f * static_cast<float>((m + 2) * (m + 2));
            va_[m] = va_[m] * 0.985f - k * a_[m];
            vb_[m] = vb_[m] * 0.985f - k * b_[m];
            a_[m] = kit::clampf(a_[m] + va_[m], -r0 * 0.4f, r0 * 0.4f);
            b_[m] = kit::clampf(b_[m] + vb_[m], -r0 * 0.4f, r0 * 0.4f);
            energy += va_[m] * va_[m] + vb_[m] * vb_[m];
        }
        shear_ = shear_ * 0.97f + (va_[0] - vb_[1]) * 0.02f;
        const float turn = t * 0.01f;

        const float cosT = fastCos(turn), sinT = fastSin(turn);
        // Beyond the furthest the outline can reach (plus its glow) there is only space: no per-cell maths
        // there.
        float reach = r0 + 6.0f * s + 1.0f;
        for (int m = 0; m < modes; ++m) {
            reach += (a_[m] < 0.0f ? -a_[m] : a_[m]) + (b_[m] < 0.0f ? -b_[m] : b_[m]);
        }
        const float glowScale = 1.0f / (6.0f * s);
        const float phase = t * 0.02f * (1.0f / kit::pi);
        const kit::Rgb spaceColour = kit::fromLevels(8, 6, 20), rimColour = kit::fromLevels(255, 120, 200);
        const kit::Rgb pink = kit::fromLevels(255, 90, 170), lime = kit::fromLevels(120, 230, 90);
        for (int x = 0; x < n; ++x) {
            const kit::Column col = kit::column(c, x);
            for (int y = 0; y < n; ++y) {
                const size_t cell = static_cast<size_t>(x * n + y);
                const float r = radius_[cell];
                if (r > reach) {
                    // Space, with a faint fixed star pattern.
                    const bool star = ((x * 73 + y * 151) % 211) == 0;
                    col.set(y, star ? kit::fromLevels(200, 200, 220) : spaceColour);
                    continue;
                }
                const float dx = static_cast<float>(x) + 0.5f - cx, dy = static_cast<float>(y) + 0.5f - cy;
                // cos and sin of m*theta by recurrence from the direction, no table look-ups per mode.
                const float c1 = cosine_[cell], s1 = sine_[cell];
                float cm = c1, sm = s1, edge = r0;
                for (int m = 0; m < modes; ++m) {
                    const float nc = cm * c1 - sm * s1, ns = sm * c1 + cm * s1;
                    cm = nc;
                    sm = ns;
                    edge += a_[m] * cm + b_[m] * sm;
                }
                if (r > edge) {
                    const float glow = kit::clampf(1.0f - (r - edge) * glowScale, 0.0f, 1.0f);
                    col.set(y, kit::mix(spaceColour, rimColour, glow * 0.5f));
                    continue;
                }
                const float invEdge = 1.0f / edge;
                const float rho = r * invEdge;
                // Stripes across the planet's turning axis, sheared by the wobble: the parity of the
                // half-turn.
                const float u = (dx * cosT + dy * sinT) * invEdge, v = (-dx * sinT + dy * cosT) * invEdge;
                const int half = kit::toCell((v + shear_ * u * u) * (9.0f / kit::pi) + phase);
                const kit::Rgb base = (half & 1) == 0 ? pink : lime;
                const float light = std::sqrt(kit::clampf(1.0f - rho * rho, 0.0f, 1.0f));
                const float highlight = kit::clampf(
                    1.0f - ((u + 0.35f) * (u + 0.35f) + (v + 0.4f) * (v + 0.4f)) * 12.0f, 0.0f, 1.0f);
                col.set(y, kit::mix(kit::shade(base, 0.35f + 0.65f * light), kit::white, highlight * 0.8f));
            }
        }

        // Meteors: launched from the edge towards the planet; a hit rings the modes at that angle.
        if (time % 45 == 1 || (energy < 0.05f && time % 10 == 0)) {
            for (Meteor& m : meteors_) {
                if (!m.live) {
                    const float a = c.randomUnit() * kit::twoPi;
                    m.x = cx + nf * 0.75f * fastCos(a);
                    m.y = cy + nf * 0.75f * fastSin(a);
                    const float aim = a + kit::pi + (c.randomUnit() - 0.5f) * 0.4f;
                    m.vx = 2.5f * s * fastCos(aim);
                    m.vy = 2.5f * s * fastSin(aim);
                    m.live = true;
                    break;
                }
            }
        }
        for (Meteor& m : meteors_) {
            if (!m.live) {
                continue;
            }
            m.x += m.vx;
            m.y += m.vy;
            const float dx = m.x - cx, dy = m.y - cy;
            const float r = std::sqrt(dx * dx + dy * dy);
            if (!(r < nf * 2.0f)) {
                m.live = false;
                continue;
            }
            if (r < r0) {
                const float c1 = dx / (r + 1e-4f), s1 = dy / (r + 1e-4f);
                float cm = c1, sm = s1;
                for (int k = 0; k < modes; ++k) {
                    const float nc = cm * c1 - sm * s1, ns = sm * c1 + cm * s1;
                    cm = nc;
                    sm = ns;
                    va_[k] -= 1.6f * s * cm / static_cast<float>(k + 1);
                    vb_[k] -= 1.6f * s * sm / static_cast<float>(k + 1);
                }
                kit::softDisc(c, m.x, m.y, 10.0f * s, {150.0f, 140.0f, 100.0f});
                m.live = false;
                continue;
            }
            kit::drawThickLine(c, m.x - m.vx * 3.0f, m.y - m.vy * 3.0f, m.x, m.y, 0.8f * s,
                               kit::fromLevels(255, 200, 120));
            kit::fillDisc(c, m.x, m.y, 1.5f * s, kit::fromLevels(255, 255, 220));
        }
    }

  private:
    static constexpr int modes = 5;

    // Each cell's distance from the planet's centre and the cosine and sine of its direction: the centre
    // never moves, so the square roots and divisions are paid once.
    void directions(const EffectContext& c) {
        const int n = c.n;
        const float h = static_cast<float>(n) * 0.5f;
        const size_t cells = static_cast<size_t>(n) * static_cast<size_t>(n);
        radius_.assign(cells, 0.0f);
        cosine_.assign(cells, 0.0f);
        sine_.assign(cells, 0.0f);
        for (int x = 0; x < n; ++x) {
            for (int y = 0; y < n; ++y) {
                const float dx = static_cast<float>(x) + 0.5f - h, dy = static_cast<float>(y) + 0.5f - h;
                const float r = std::sqrt(dx * dx + dy * dy) + 1e-4f;
                const size_t cell = static_cast<size_t>(x * n + y);
                radius_[cell] = r;
                cosine_[cell] = dx / r;
                sine_[cell] = dy / r;
            }
        }
    }

    std::vector<float> radius_, cosine_, sine_;
    float a_[modes] = {}, b_[modes] = {}, va_[modes] = {}, vb_[modes] = {};
    Meteor meteors_[6] = {};
    float shear_ = 0.0f;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(WibbleWorld);

} // namespace glowfield
