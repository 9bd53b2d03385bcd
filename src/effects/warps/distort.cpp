// Distort: the picture displaces itself. Each cell is resampled from an offset given by its own green and
// blue values, so colour drags colour into marbled turbulence; contrast is gently restored each frame and a
// little fresh colour is dropped in so the churn never runs down to grey.
#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Distort : public Effect {
  public:
    void step(EffectContext& c) override {
        kit::tameField(c, 127.0f, 12.0f);
        const float t = static_cast<float>(c.frame % 400000u) * 0.02f;
        copy_.capture(c);
        // A slowly turning frame for the offsets, so the flow does not settle into one direction.
        const float a = t * 0.15f, ca = fastCos(a), sa = fastSin(a);
        const float gain = 3.2f / 127.0f;
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                const float g = copy_.at(1, x, y) * gain, b = copy_.at(2, x, y) * gain;
                const float sx = static_cast<float>(x) + g * ca - b * sa;
                const float sy = static_cast<float>(y) + g * sa + b * ca;
                copy_.warpCell(c, x, y, sx, sy);
            }
        }
        // Contrast: colours pushed away from mid-grey a little, so mixing does not wash everything out.
        for (float* plane : {c.planes.red, c.planes.green, c.planes.blue}) {
            for (int x = 0; x < c.n; ++x) {
                for (int y = 0; y < c.n; ++y) {
                    float& v = plane[cellAt(x, y)];
                    v *= 1.025f;
                }
            }
        }
        // Fresh colour: a few soft drops a frame, hues drifting through the palette.
        const float n = static_cast<float>(c.n);
        for (int k = 0; k < 2; ++k) {
            const kit::Rgb colour =
                kit::hsv(t * 0.02f + 0.5f * c.randomUnit(), 0.9f, c.randomUnit() < 0.4f ? 0.1f : 1.0f);
            kit::softDisc(c, n * c.randomUnit(), n * c.randomUnit(), 4.0f + 8.0f * c.randomUnit(), colour,
                          0.8f, kit::Blend::set);
        }
    }

  private:
    kit::FieldCopy copy_;
};

} // namespace

std::unique_ptr<Effect> makeDistort() {
    return std::make_unique<Distort>();
}

} // namespace glowfield
