// Acid: solarised neon. The picture is captured and each frame passed through a folding curve (bright values
// fold back to dark, several times over as the gain swells), while its colour planes swap roles at a slow
// blend (red takes green, green blue, blue red), turning any picture into shifting neon bands; turning blobs
// of colour keep fresh shapes arriving to be solarised.
#include <cmath>

#include "effects/kit/kit.h"
#include "effects/warps/colour_image.h"

namespace glowfield {

namespace {

// A triangle wave of period 1 with values 0..1: the folding curve.
float tri(float z) {
    const float f = z - std::floor(z);
    return 1.0f - absf(2.0f * f - 1.0f);
}

class Acid : public Effect {
  public:
    void start(EffectContext& c) override {
        n_ = c.n;
        image_.capture(c);
    }

    void step(EffectContext& c) override {
        const int age = static_cast<int>(c.framesSinceStart) + 1;
        const float t = static_cast<float>(age);
        const float h = static_cast<float>(n_) * 0.5f;
        // Fresh shapes: three soft blobs circle the centre, each adding to one primary.
        for (int i = 0; i < 3; ++i) {
            const float a = t * 0.013f * (i + 1) + i * 2.1f;
            const float rr = h * (0.3f + 0.3f * fastSin(t * 0.01f + i));
            const float bx = h + rr * fastCos(a), by = h + rr * fastSin(a);
            const kit::Rgb col = i == 0   ? kit::fromLevels(255, 60, 60)
                                 : i == 1 ? kit::fromLevels(60, 255, 60)
                                          : kit::fromLevels(60, 60, 255);
            for (int x = kit::clampCell(c, kit::toCell(bx - 24.0f));
                 x <= kit::clampCell(c, kit::toCell(bx + 24.0f)); ++x) {
                for (int y = kit::clampCell(c, kit::toCell(by - 24.0f));
                     y <= kit::clampCell(c, kit::toCell(by + 24.0f)); ++y) {
                    const float w = 1.0f - ((x - bx) * (x - bx) + (y - by) * (y - by)) / 576.0f;
                    if (w > 0.0f) {
                        image_.set(x, y, kit::mix(image_.at(x, y), col, w * w * 0.05f));
                    }
                }
            }
        }
        // Gain swells between one and four folds; the planes trade roles slowly.
        const float gain = 2.5f + 1.5f * fastSin(t * 0.015f);
        const float shift = t * 0.006f;
        kit::scaleVelocities(c, 0.0f);
        for (int x = 0; x < n_; ++x) {
            for (int y = 0; y < n_; ++y) {
                const kit::Rgb s = image_.at(x, y);
                if (age % 4 == 0) {
                    image_.set(x, y, kit::mix(s, kit::Rgb{s.g, s.b, s.r}, 0.016f));
                }
                const float r = (s.r + 127.0f) / 255.0f, g = (s.g + 127.0f) / 255.0f,
                            b = (s.b + 127.0f) / 255.0f;
                const float fr = tri(r * gain + shift), fg = tri(g * gain + shift * 1.3f),
                            fb = tri(b * gain - shift);
                kit::paint(c, x, y,
                           kit::Rgb{fr * fr * 255.0f - 127.0f, fg * fg * 255.0f - 127.0f,
                                    fb * fb * 255.0f - 127.0f});
            }
        }
    }

  private:
    int n_ = 0;
    warps::ColourImage image_;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Acid);

} // namespace glowfield
