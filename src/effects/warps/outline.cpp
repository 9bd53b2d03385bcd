// Outline: edge etching. Each frame the field becomes, in part, the size of its own gradient (bright where
// neighbours differ, dark where it is flat), read from a copy so each pass stays clean; repeated passes turn
// every shape into nested contour lines, and an orbiting colour blob keeps feeding in new edges.
#include <algorithm>
#include <cmath>

#include "effects/kit/kit.h"
#include "effects/warps/colour_image.h"

namespace glowfield {

namespace {

class Outline : public Effect {
  public:
    void start(EffectContext& c) override { kit::tameField(c); }

    void step(EffectContext& c) override {
        const int age = static_cast<int>(c.framesSinceStart) + 1;
        kit::tameField(c, 300.0f, 30.0f);
        image_.capture(c);
        const int n = c.n;
        for (int x = 0; x < n; ++x) {
            // Neighbouring columns, clamped at the grid's edges.
            const kit::Rgb* left = image_.column(x > 0 ? x - 1 : x);
            const kit::Rgb* here = image_.column(x);
            const kit::Rgb* right = image_.column(x + 1 < n ? x + 1 : x);
            for (int y = 0; y < n; ++y) {
                const kit::Rgb l = left[y], r = right[y], self = here[y];
                const kit::Rgb u = here[y > 0 ? y - 1 : y], d = here[y + 1 < n ? y + 1 : y];
                const auto edge = [](float gx, float gy) {
                    return kit::clampf(std::sqrt(gx * gx + gy * gy) * 2.5f, 0.0f, 255.0f) - 127.0f;
                };
                kit::Rgb col{self.r * 0.55f + edge(r.r - l.r, d.r - u.r) * 0.45f,
                             self.g * 0.55f + edge(r.g - l.g, d.g - u.g) * 0.45f,
                             self.b * 0.55f + edge(r.b - l.b, d.b - u.b) * 0.45f};
                // The clamped border keeps etching itself into grain: a dark margin stops it there.
                const int border = std::min(std::min(x, y), std::min(n - 1 - x, n - 1 - y));
                if (border < 6) {
                    col = kit::mix(kit::black, col, static_cast<float>(border) / 6.0f);
                }
                kit::paint(c, x, y, col);
            }
        }
        kit::scaleVelocities(c, 0.0f);
        // The feeder: a soft blob of turning colour on a looping path.
        const float t = static_cast<float>(age) * 0.02f;
        const float h = static_cast<float>(c.n) * 0.5f;
        const float bx = h + h * 0.6f * fastSin(t * 1.3f), by = h + h * 0.6f * fastSin(t * 0.8f + 1.0f);
        kit::fillDisc(c, bx, by, 7.0f + 3.0f * fastSin(t * 3.0f), kit::hsv(t * 0.2f, 0.9f, 1.0f));
        if (age % 40 == 0) {
            const float px = static_cast<float>(c.random(20, c.n - 20)),
                        py = static_cast<float>(c.random(20, c.n - 20));
            kit::drawRing(c, px, py, 10.0f, 3.0f, kit::hsv(c.randomUnit(), 0.8f, 1.0f));
        }
    }

  private:
    warps::ColourImage image_;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Outline);

} // namespace glowfield
