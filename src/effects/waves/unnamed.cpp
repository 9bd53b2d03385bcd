// The entry without a name: an idle drift. The field is pulled gently towards a slowly turning low-frequency
// colour gradient, softened where an earlier effect left extreme values, and nudged now and then by a soft,
// balanced push, so that even a calm entry keeps moving.
#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Unnamed : public Effect {
  private:
    float sinX_[planeStride] = {}, cosX_[planeStride] = {}, sinY_[planeStride] = {}, cosY_[planeStride] = {};

  public:
    void step(EffectContext& c) override {
        // Extreme leftovers are softened a few times a second; the drift then melts them away.
        if (c.frame % 8u == 0u) {
            kit::tameField(c, 300.0f, 20.0f);
        }
        const float t = static_cast<float>(c.frame % 100000u) * 0.004f;
        const float dirX = fastCos(t), dirY = fastSin(t);
        const float half = static_cast<float>(c.n) * 0.5f;
        const float hue = static_cast<float>(c.frame % 30000u) / 30000.0f;
        const kit::Rgb from = kit::hsv(hue, 0.8f, 0.85f), to = kit::hsv(hue + 0.45f, 0.9f, 0.3f);
        // The slow wave across the gradient, sin(p(x) + q(y)), is taken apart into its x and y terms so that
        // the pass needs no sine per cell.
        for (int i = 0; i < c.n; ++i) {
            const float p = -(i - half) * dirY / half * 2.5f;
            const float q = (i - half) * dirX / half * 2.5f + t * 3.0f;
            sinX_[i] = fastSin(p);
            cosX_[i] = fastCos(p);
            sinY_[i] = fastSin(q);
            cosY_[i] = fastCos(q);
        }
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                // Position along the turning direction, -1..1, bent by the slow wave across it.
                const float u = ((x - half) * dirX + (y - half) * dirY) / half;
                const float bend = 0.25f * (sinX_[x] * cosY_[y] + cosX_[x] * sinY_[y]);
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
