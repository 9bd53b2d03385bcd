// Swirly: marbled ink. Thousands of particles ride a swirling flow with no sources or sinks (the curl of a
// few slowly drifting sine waves) and leave fading colour behind, so crowded streams add up to bright
// filaments that fold and stretch like paper marbling.
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Swirly : public Effect {
  public:
    void start(EffectContext& c) override {
        motes_.resize(moteCount);
        for (Mote& m : motes_) {
            spawn(c, m);
        }
    }

    void step(EffectContext& c) override {
        kit::tameNowAndThen(c, 200.0f, 8.0f);
        kit::scaleVelocities(c, 0.5f);
        kit::pullColours(c, kit::fromLevels(6, 4, 14), 0.04f);
        const float n = static_cast<float>(c.n);
        const float t = static_cast<float>(c.frame % 400000u) * 0.004f;
        const float k1 = 6.0f / n, k2 = 9.0f / n, k3 = 4.0f / n;
        const float hueShift = t * 0.05f;
        // Each of the three inks as a small deposit of its levels.
        kit::Rgb inks[3];
        for (int k = 0; k < 3; ++k) {
            const kit::Rgb ink = kit::hsv(hues[k] + hueShift, 0.85f, 1.0f);
            const float w = 0.16f;
            inks[k] = {(ink.r + 127.0f) * w, (ink.g + 127.0f) * w, (ink.b + 127.0f) * w};
        }
        for (Mote& m : motes_) {
            // Stream function psi = sin(k1 x + t) cos(k2 y - 0.7 t) + 0.6 sin(k3 (x + y) + 1.3 t);
            // velocity = (d psi / dy, -d psi / dx), which has no divergence.
            const float a = k1 * m.x + t, b = k2 * m.y - 0.7f * t, d = k3 * (m.x + m.y) + 1.3f * t;
            const float dPsiDx = k1 * fastCos(a) * fastCos(b) + 0.6f * k3 * fastCos(d);
            const float dPsiDy = -k2 * fastSin(a) * fastSin(b) + 0.6f * k3 * fastCos(d);
            const float speed = n * 0.35f;
            m.x += dPsiDy * speed;
            m.y -= dPsiDx * speed;
            if (!kit::onGrid(c, m.x, m.y) || --m.life <= 0) {
                spawn(c, m);
                continue;
            }
            kit::paint(c, kit::toCell(m.x), kit::toCell(m.y), inks[m.ink], kit::Blend::add);
        }
    }

  private:
    struct Mote {
        float x = 0.0f, y = 0.0f;
        int ink = 0, life = 0;
    };
    static constexpr float hues[3] = {0.0f, 0.12f, 0.55f};
    static constexpr int moteCount = 3000;

    static void spawn(EffectContext& c, Mote& m) {
        const float n = static_cast<float>(c.n);
        m.x = n * c.randomUnit();
        m.y = n * c.randomUnit();
        // Three inks by where they start, so the marbling keeps its bands of colour.
        m.ink = m.x < n * 0.33f ? 0 : m.x < n * 0.66f ? 1 : 2;
        // A life of a few seconds, so streams that have gathered in the eddies are renewed.
        m.life = 300 + c.random(0, 400);
    }

    std::vector<Mote> motes_;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Swirly);

} // namespace glowfield
