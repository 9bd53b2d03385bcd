// SphereRise: a glass ball rising through the picture. Inside a moving circle the picture is bent through a
// sphere's refraction, magnified at the middle and turned over near the rim; the ball rises from the bottom
// and comes round again, while slow vertical stripes drift into the picture to give it something to bend.
#include "effects/kit/kit.h"
#include "effects/warps/colour_image.h"

namespace glowfield {

namespace {

class SphereRise : public Effect {
  public:
    void start(EffectContext& c) override {
        n_ = c.n;
        image_.capture(c);
    }

    void step(EffectContext& c) override {
        const int age = static_cast<int>(c.framesSinceStart) + 1;
        const float fn = static_cast<float>(n_);
        const float t = static_cast<float>(age);
        // The backdrop eases towards stripes that slide sideways; it is all the ball ever bends.
        for (int x = age % 4; x < n_; x += 4) {
            const float s = fastSin((x + t * 0.3f) * 0.2f);
            const float hue = 0.55f + 0.1f * fastSin(x * 0.013f + t * 0.003f);
            const kit::Rgb stripe =
                kit::hsv(s > 0.0f ? hue : hue + 0.45f, 0.7f, 0.35f + 0.55f * (0.5f + 0.5f * s));
            for (int y = 0; y < n_; ++y) {
                const float ring = 0.1f * fastSin(y * 0.15f);
                image_.set(x, y, kit::mix(image_.at(x, y), kit::shade(stripe, 0.9f + ring), 0.15f));
            }
        }
        const float radius = fn * 0.22f;
        const int period = 260;
        const float rise = static_cast<float>(age % period) / period;
        const float bx = fn * 0.5f + fn * 0.18f * fastSin(t * 0.02f);
        const float by = fn + radius - rise * (fn + 2.0f * radius);
        kit::scaleVelocities(c, 0.0f);
        for (int x = 0; x < n_; ++x) {
            for (int y = 0; y < n_; ++y) {
                const float dx = (x - bx) / radius, dy = (y - by) / radius;
                const float d2 = dx * dx + dy * dy;
                if (d2 >= 1.0f) {
                    kit::paint(c, x, y, image_.at(x, y));
                    continue;
                }
                // Magnified in the middle, flipping over towards the rim.
                const float k = 0.45f - 1.5f * d2;
                kit::Rgb col = image_.sample(bx + dx * k * radius, by + dy * k * radius);
                // Glass: a darker rim, a bright highlight at the upper left and a soft one below.
                const float rim = kit::smoothstep(0.75f, 1.0f, d2);
                col = kit::shade(col, 1.05f - 0.5f * rim);
                const float hx = dx + 0.4f, hy = dy + 0.45f;
                const float glint = kit::clampf(1.0f - (hx * hx + hy * hy) * 14.0f, 0.0f, 1.0f);
                const float lx = dx - 0.3f, ly = dy - 0.55f;
                const float low = kit::clampf(1.0f - (lx * lx * 3.0f + ly * ly * 30.0f), 0.0f, 1.0f);
                col = kit::mix(col, kit::white, glint * 0.9f + low * 0.25f);
                kit::paint(c, x, y, col);
            }
        }
    }

  private:
    int n_ = 0;
    warps::ColourImage image_;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(SphereRise);

} // namespace glowfield
