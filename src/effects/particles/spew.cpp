// Spew: a fountain on the move. A nozzle slides along the bottom, its aim swaying, spraying a fan of drops
// that arc under gravity and shift colour along the jet; each drop that lands stirs the water a little.
#include <vector>

#include "effects/kit/backdrop.h"
#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Spew : public Effect {
  public:
    void start(EffectContext&) override { drops_.assign(maxDrops, Drop{}); }

    void step(EffectContext& c) override {
        kit::tameNowAndThen(c, 200.0f, 12.0f);
        kit::scaleVelocities(c, 0.9f);
        const float n = static_cast<float>(c.n);
        // An evening sky, deep blue overhead and sea-green at the ground, settling slowly enough that the
        // jets leave long coloured trails.
        const float s = kit::gridScale(c);
        const float t = static_cast<float>(c.frame % 200000u);
        const float nozzleX = n * (0.5f + 0.35f * fastSin(t * 0.006f));
        const float nozzleY = n - 6.0f * s;
        const float aim = -kit::pi * 0.5f + 0.55f * fastSin(t * 0.017f);
        const float baseHue = t * 0.0015f;
        const kit::Glow spray{nozzleX, nozzleY, n * 0.45f, {10.0f, 24.0f, 30.0f}};
        kit::pullTowards(c, kit::fromLevels(14, 22, 66), kit::fromLevels(22, 74, 86), 0.1f, spray);
        float power = (3.9f + 0.5f * fastSin(t * 0.031f)) * s;
        if (c.sound.heard()) {
            // With music the jet shoots up with the bass and sags between the beats.
            const float bass = c.sound.bass;
            bass_ += (bass - bass_) * (bass > bass_ ? 0.6f : 0.1f);
            power = (2.6f + 2.4f * bass_ + 0.3f * fastSin(t * 0.031f)) * s;
        }
        for (int k = 0; k < 26; ++k) {
            Drop& d = drops_[next_];
            next_ = (next_ + 1) % maxDrops;
            const float a = aim + (c.randomUnit() - 0.5f) * 0.35f;
            const float v = power * (0.85f + 0.15f * c.randomUnit());
            d = {nozzleX, nozzleY, fastCos(a) * v, fastSin(a) * v, baseHue, 0, true};
        }
        int landings = 0;
        for (Drop& d : drops_) {
            if (!d.live) {
                continue;
            }
            const float ox = d.x, oy = d.y;
            d.vy += 0.045f * s;
            d.x += d.vx;
            d.y += d.vy;
            ++d.age;
            if (d.y >= n - 1.0f && d.vy > 0.0f) {
                d.live = false;
                // Every few landings stir the pool where they fall.
                if (landings++ % 6 == 0 && kit::onGrid(c, d.x, n - 2.0f)) {
                    kit::balancedPush(c, d.x, n - 3.0f, 3.0f * s + 1.0f, 6.0f);
                }
                continue;
            }
            if (!kit::onGrid(c, d.x, d.y, 4.0f)) {
                d.live = false;
                continue;
            }
            const kit::Rgb colour = kit::hsv(d.hue + static_cast<float>(d.age) * 0.006f, 0.75f, 1.0f);
            kit::drawLine(c, ox, oy, d.x, d.y, colour, kit::Blend::max);
        }
        // The nozzle on its rail.
        kit::fillRect(c, 0.0f, n - 3.0f * s, n, n, kit::fromLevels(50, 50, 70));
        kit::fillRect(c, nozzleX - 4.0f * s, nozzleY, nozzleX + 4.0f * s, n, kit::fromLevels(170, 170, 180));
        kit::drawThickLine(c, nozzleX, nozzleY, nozzleX + fastCos(aim) * 6.0f * s,
                           nozzleY + fastSin(aim) * 6.0f * s, 1.5f * s + 0.3f,
                           kit::fromLevels(210, 210, 220));
    }

  private:
    float bass_ = 0.0f; // the bass as the jet follows it
    struct Drop {
        float x = 0.0f, y = 0.0f, vx = 0.0f, vy = 0.0f, hue = 0.0f;
        int age = 0;
        bool live = false;
    };
    static constexpr int maxDrops = 2400;
    std::vector<Drop> drops_;
    int next_ = 0;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Spew);

} // namespace glowfield
