// Distort: the picture displaces itself. Each cell is resampled from an offset given by its own green and
// blue values, so colour drags colour into marbled turbulence; contrast is gently restored each frame and a
// little fresh colour is dropped in so the churn never runs down to grey.
#include "effects/kit/kit.h"
#include "effects/warps/colour_copy.h"

namespace glowfield {

namespace {

class Distort : public Effect {
  public:
    void step(EffectContext& c) override {
        kit::tameField(c, 127.0f, 12.0f);
        const float t = static_cast<float>(c.frame % 400000u) * 0.02f;
        copy_.capture(c, 127.0f);
        // A slowly turning frame for the offsets, so the flow does not settle into one direction.
        const float a = t * 0.15f, ca = fastCos(a), sa = fastSin(a);
        const float gain = 3.2f / 127.0f;
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                const float g = copy_.at(1, x, y) * gain, b = copy_.at(2, x, y) * gain;
                const float sx = static_cast<float>(x) + g * ca - b * sa;
                const float sy = static_cast<float>(y) + g * sa + b * ca;
                copy_.sampleInto(c, x, y, sx, sy);
            }
        }
        kit::scaleVelocities(c, 0.97f); // the velocities stay put; calm them so the ripples do not pile up
        // Contrast: colours pushed away from mid-grey a little, so mixing does not wash everything out.
        for (float* plane : {c.planes.red, c.planes.green, c.planes.blue}) {
            for (int x = 0; x < c.n; ++x) {
                for (int y = 0; y < c.n; ++y) {
                    float& v = plane[cellAt(x, y)];
                    v *= 1.035f;
                }
            }
        }
        drops(c, t, 3);
    }

    // A calm or blank field gets a shower of colour at once, so the churn has something to work on.
    void start(EffectContext& c) override { drops(c, 0.0f, 30); }

  private:
    // Fresh colour: soft drops, hues drifting through the palette.
    static void drops(EffectContext& c, float t, int count) {
        const float n = static_cast<float>(c.n);
        for (int k = 0; k < count; ++k) {
            const kit::Rgb colour =
                kit::hsv(t * 0.02f + 0.5f * c.randomUnit(), 0.9f, c.randomUnit() < 0.4f ? 0.1f : 1.0f);
            kit::softDisc(c, n * c.randomUnit(), n * c.randomUnit(), 5.0f + 9.0f * c.randomUnit(), colour,
                          0.9f, kit::Blend::set);
        }
    }

    ColourCopy copy_;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Distort);

} // namespace glowfield
