// The entry without a name: an idle drift. The field is pulled gently towards a slowly turning low-frequency
// colour gradient, softened where an earlier effect left extreme values, and nudged now and then by a soft,
// balanced push, so that even a calm entry keeps moving.
#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Unnamed : public Effect {
  public:
    void step(EffectContext& c) override {
        kit::tameField(c, 300.0f, 20.0f);
        const float t = static_cast<float>(c.frame % 100000u) * 0.004f;
        const float dirX = fastCos(t), dirY = fastSin(t);
        const float half = static_cast<float>(c.n) * 0.5f;
        const float hue = static_cast<float>(c.frame % 30000u) / 30000.0f;
        const kit::Rgb from = kit::hsv(hue, 0.8f, 0.85f), to = kit::hsv(hue + 0.45f, 0.9f, 0.3f);
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                // Position along the turning direction, -1..1, bent by a slow wave across it.
                const float u = ((x - half) * dirX + (y - half) * dirY) / half;
                const float across = ((y - half) * dirX - (x - half) * dirY) / half;
                const float bend = 0.25f * fastSin(across * 2.5f + t * 3.0f);
                const float k = kit::clampf((u + bend) * 0.5f + 0.5f, 0.0f, 1.0f);
                kit::blendCell(c, x, y, kit::mix(from, to, k), 0.04f);
            }
        }
        if (c.frame % 40u == 0u) {
            const float px = static_cast<float>(c.random(20, c.n - 20));
            const float py = static_cast<float>(c.random(20, c.n - 20));
            kit::balancedPush(c, px, py, 6.0f, (c.random() % 2 ? 1.0f : -1.0f) * 1.5f);
        }
    }
};

} // namespace

std::unique_ptr<Effect> makeUnnamed() {
    return std::make_unique<Unnamed>();
}

} // namespace glowfield
