// Mirage: heat over the desert. The top of the screen is a hot sky above a scrolling line of dunes with a
// shimmering sun; below the horizon the scene is copied upside down with sideways offsets from fast sines
// that tremble hardest near the horizon, fading into sand.
#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Mirage : public Effect {
  public:
    void step(EffectContext& c) override {
        const int age = static_cast<int>(c.framesSinceStart) + 1;
        kit::scaleVelocities(c, 0.0f);
        const int n = c.n;
        const float fn = static_cast<float>(n);
        const int horizon = n * 6 / 10;
        const float t = static_cast<float>(age);
        const float scroll = t * 0.35f;
        const float sunX = fn * 0.7f, sunY = fn * 0.22f;
        for (int x = 0; x < n; ++x) {
            const float wx = x + scroll;
            const float dune = fn * 0.47f + 7.0f * fastSin(wx * 0.031f) + 4.0f * fastSin(wx * 0.077f + 1.0f) +
                               2.0f * fastSin(wx * 0.19f);
            const float farDune =
                fn * 0.41f + 5.0f * fastSin(wx * 0.5f * 0.043f + 2.0f) + 2.0f * fastSin(x * 0.11f);
            for (int y = 0; y < horizon; ++y) {
                const float fy = static_cast<float>(y);
                kit::Rgb col =
                    kit::mix(kit::fromLevels(60, 110, 200), kit::fromLevels(255, 210, 150), fy / horizon);
                const float sdx = x - sunX, sdy = fy - sunY;
                const float sun = 1.0f - kit::clampf((sdx * sdx + sdy * sdy) / 150.0f, 0.0f, 1.0f);
                col = kit::mix(col, kit::fromLevels(255, 250, 220), sun);
                if (fy > farDune) {
                    col = kit::fromLevels(205, 140, 90);
                }
                if (fy > dune) {
                    // Sunlit and shaded sides of the near dunes, from the slope of their crest line.
                    const float slope = fastCos(wx * 0.031f) * 0.22f + fastCos(wx * 0.077f + 1.0f) * 0.3f;
                    col = kit::shade(kit::fromLevels(235, 180, 110),
                                     kit::clampf(0.85f + slope, 0.55f, 1.1f) - (fy - dune) * 0.004f);
                }
                kit::paint(c, x, y, col);
            }
        }
        // The mirror below the horizon, read from the rows just drawn.
        for (int y = horizon; y < n; ++y) {
            const float depth = static_cast<float>(y - horizon);
            const float tremble = 4.0f / (1.0f + depth * 0.15f);
            const float shift =
                tremble * (fastSin(y * 1.7f + t * 0.9f) + 0.5f * fastSin(y * 0.6f - t * 0.4f));
            const int source = kit::clampCell(c, horizon - 1 - kit::toCell(depth * 1.6f));
            const float haze = kit::clampf(depth / (fn - horizon) * 1.4f, 0.0f, 1.0f);
            for (int x = 0; x < n; ++x) {
                const int sx = kit::clampCell(c, kit::roundCell(x + shift));
                const kit::Rgb mirrored = kit::colourAt(c, sx, source);
                const kit::Rgb sand = kit::shade(kit::fromLevels(225, 175, 110),
                                                 0.9f + 0.06f * fastSin(x * 0.2f + depth * depth * 0.02f));
                kit::paint(c, x, y, kit::mix(kit::mix(mirrored, kit::white, 0.1f), sand, haze));
            }
        }
    }

  private:
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Mirage);

} // namespace glowfield
