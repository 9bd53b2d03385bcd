// The entry without a name: an idle drift. Two sets of broad soft bands turn slowly in opposite directions
// and drift across each other, mapped through a dusk palette whose hues wander, so the screen is calm but
// always visibly alive; the field is pulled towards them, so an earlier effect's leftovers melt in within a
// second, and a soft, balanced nudge now and then sends a slow ripple through them.
#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Unnamed : public Effect {
  private:
    kit::SplitSine wide_, narrow_;

  public:
    void step(EffectContext& c) override {
        // Extreme leftovers are softened a few times a second; the drift then melts them away.
        if (c.frame % 8u == 0u) {
            kit::tameField(c, 300.0f, 20.0f);
        }
        const float t = static_cast<float>(c.frame % 200000u);
        const float half = static_cast<float>(c.n) * 0.5f;
        // The broad bands turn one way, the narrower ones the other, each drifting along its own direction.
        const float a1 = t * 0.0045f, a2 = 1.3f - t * 0.0031f;
        const float k1 = 6.2832f / 150.0f, k2 = 6.2832f / 70.0f;
        const float c1 = fastCos(a1) * k1, s1 = fastSin(a1) * k1 * 0.75f;
        const float c2 = fastCos(a2) * k2, s2 = fastSin(a2) * k2 * 0.75f;
        const float p1 = t * 0.021f, p2 = -t * 0.013f;
        wide_.make(
            c.n, [&](float i) { return (i - half) * c1 + p1; }, [&](float i) { return (i - half) * s1; });
        narrow_.make(
            c.n, [&](float i) { return (i - half) * c2 + p2; }, [&](float i) { return (i - half) * s2; });
        // The palette: a deep shade, a middle and a light, their hues wandering slowly apart and back.
        const float hue = static_cast<float>(c.frame % 40000u) / 40000.0f;
        const float swing = 0.12f * fastSin(t * 0.0017f);
        const kit::Rgb deep = kit::hsv(hue + 0.62f, 0.85f, 0.22f);
        const kit::Rgb middle = kit::hsv(hue + 0.5f + swing, 0.7f, 0.62f);
        const kit::Rgb light = kit::hsv(hue + 0.1f - swing, 0.45f, 0.98f);
        const float rate = 0.12f;
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                const float v = 0.5f + 0.34f * wide_.at(x, y) + 0.16f * narrow_.at(x, y); // 0..1
                // Soft-edged bands: the middle of the palette is passed through quickly, so each band has a
                // clear body and the screen real contrast.
                const float e = v * v * (3.0f - 2.0f * v);
                const kit::Rgb target =
                    e < 0.5f ? kit::mix(deep, middle, e * 2.0f) : kit::mix(middle, light, e * 2.0f - 1.0f);
                kit::mixCell(c, x, y, target, rate);
            }
        }
        if (c.frame % 50u == 0u) {
            const float px = static_cast<float>(c.random(20, c.n - 20));
            const float py = static_cast<float>(c.random(20, c.n - 20));
            kit::balancedPush(c, px, py, 8.0f, (c.random() % 2 ? 1.0f : -1.0f) * 1.2f);
        }
    }
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Unnamed);

} // namespace glowfield
