// Universe: flight through a star field. Stars at depth rush towards the viewer and are drawn as streaks
// from where they were to where they are, longer and thicker as they near; the speed surges and eases, and
// the mouse steers the vanishing point.
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Universe : public Effect {
  public:
    void start(EffectContext& c) override {
        stars_.resize(1500);
        for (Star& s : stars_) {
            respawn(c, s, true);
        }
    }

    void step(EffectContext& c) override {
        kit::settleField(c, kit::fromLevels(0, 0, 6), 0.55f);
        const float n = static_cast<float>(c.n);
        const float t = static_cast<float>(c.frame % 200000u);
        const float surge = fastSin(t * 0.008f);
        const float speed = n * (0.01f + 0.04f * surge * surge * (surge > 0 ? 1.0f : 0.3f));
        // The vanishing point leans towards the mouse and wanders a little by itself.
        const float vx =
            n * 0.5f + (static_cast<float>(c.mouseX) - n * 0.5f) * 0.5f + n * 0.08f * fastSin(t * 0.005f);
        const float vy =
            n * 0.5f + (static_cast<float>(c.mouseY) - n * 0.5f) * 0.5f + n * 0.06f * fastCos(t * 0.0037f);
        for (Star& s : stars_) {
            const float before = n / (n + s.z);
            s.z -= speed;
            if (!(s.z > -n * 0.85f)) {
                respawn(c, s, false);
                continue;
            }
            const float scale = n / (n + s.z);
            const float x0 = vx + s.x * before, y0 = vy + s.y * before;
            const float x1 = vx + s.x * scale, y1 = vy + s.y * scale;
            if (!(x1 > -2.0f && x1 < n + 2.0f && y1 > -2.0f && y1 < n + 2.0f)) {
                respawn(c, s, false);
                continue;
            }
            const float k = kit::clampf(0.3f + scale * 0.7f, 0.3f, 1.0f);
            const kit::Rgb colour = kit::shade(s.tint, k);
            if (scale > 1.6f) {
                kit::thickLine(c, x0, y0, x1, y1, scale * 0.35f, colour, kit::Blend::max);
            } else {
                kit::drawLine(c, x0, y0, x1, y1, colour, kit::Blend::max);
            }
        }
    }

  private:
    struct Star {
        float x = 0.0f, y = 0.0f, z = 0.0f;
        kit::Rgb tint;
    };

    static void respawn(const EffectContext& c, Star& s, bool anywhere) {
        const float n = static_cast<float>(c.n);
        s.x = (c.randomUnit() - 0.5f) * n * 3.0f;
        s.y = (c.randomUnit() - 0.5f) * n * 3.0f;
        s.z = anywhere ? -n * 0.8f + c.randomUnit() * n * 6.8f : n * (5.0f + c.randomUnit());
        const float warmth = c.randomUnit();
        s.tint = kit::mix(kit::fromLevels(170, 200, 255), kit::fromLevels(255, 225, 170), warmth);
    }

    std::vector<Star> stars_;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Universe);

} // namespace glowfield
