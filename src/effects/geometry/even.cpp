// Even: a sloshing tank. The view rocks from side to side while the water inside tries to stay level; its
// surface lags, overshoots and sloshes back as travelling waves, blue below and dark air above.
#include <cmath>
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Even : public Effect {
  public:
    void start(EffectContext& c) override {
        // Leftovers of an earlier entry are brought into range once, so blends never carry NaN along.
        kit::tameField(c);
        height_.assign(static_cast<size_t>(c.n), 0.0f);
        speed_.assign(static_cast<size_t>(c.n), 0.0f);
        next_.assign(static_cast<size_t>(c.n), 0.0f);
    }

    void step(EffectContext& c) override {
        const int n = c.n;
        const float fn = static_cast<float>(n), mid = fn * 0.5f;
        const float t = static_cast<float>(c.frame % 100000u);
        // The view's tilt: a slow rocking with an occasional harder lurch.
        const float tilt = 0.28f * fastSin(t * 0.021f) + 0.1f * fastSin(t * 0.053f + 1.0f);
        const float slope = fastSin(-tilt) / kit::clampf(fastCos(tilt), 0.5f, 1.0f);
        // The surface (a height above the mid line per column) is pulled towards level in the world and
        // spreads as a 1-D wave, so it lags and sloshes.
        for (int x = 0; x < n; ++x) {
            const size_t i = static_cast<size_t>(x);
            const float level = -(x - mid) * slope;
            const float left = height_[x > 0 ? i - 1 : i + 1], right = height_[x < n - 1 ? i + 1 : i - 1];
            const float accel = 0.35f * (left + right - 2.0f * height_[i]) + 0.004f * (level - height_[i]);
            speed_[i] = (speed_[i] + accel) * 0.996f;
        }
        // Keep the volume: the mean height follows the mean of the level line (zero).
        float mean = 0.0f;
        for (int x = 0; x < n; ++x) {
            const size_t i = static_cast<size_t>(x);
            next_[i] = kit::clampf(height_[i] + speed_[i], -fn * 0.45f, fn * 0.45f);
            mean += next_[i];
        }
        mean /= fn;
        for (int x = 0; x < n; ++x) {
            height_[static_cast<size_t>(x)] = next_[static_cast<size_t>(x)] - mean;
        }
        kit::scaleVelocities(c, 0.9f);
        const float ct = fastCos(tilt), st = fastSin(tilt);
        // The world-level air stripes and the two caustic waves, each a sine of the rotated coordinates.
        air_.make(
            n, [&](float x) { return -(x - mid) * st * 0.25f; },
            [&](float y) { return (y - mid) * ct * 0.25f; });
        causticA_.make(
            n, [&](float x) { return (x - mid) * ct * 0.2f + t * 0.07f; },
            [&](float y) { return (y - mid) * st * 0.2f; });
        causticB_.make(
            n, [&](float x) { return -(x - mid) * st * 0.17f; },
            [&](float y) { return (y - mid) * ct * 0.17f - t * 0.05f; });
        for (int x = 0; x < n; ++x) {
            const float surface = mid - height_[static_cast<size_t>(x)];
            const float moving = std::fabs(speed_[static_cast<size_t>(x)]);
            for (int y = 0; y < n; ++y) {
                // World-level stripes in the air show the rocking of the view.
                const float depth = y - surface;
                kit::Rgb col;
                if (depth < 0.0f) {
                    const float band = 0.5f + 0.5f * air_.at(x, y);
                    col = {-109.0f + 12.0f * band, -107.0f + 12.0f * band, -93.0f};
                } else {
                    const float k = kit::clampf(depth / (fn * 0.7f), 0.0f, 1.0f);
                    const float caustic = 0.5f + 0.5f * causticA_.at(x, y) * causticB_.at(x, y);
                    col = kit::mix(kit::fromLevels(60, 170, 230), kit::fromLevels(5, 30, 90), k);
                    col = kit::mix(col, kit::fromLevels(140, 220, 255), caustic * 0.25f * (1.0f - k));
                    if (depth < 1.5f + moving * 2.0f) {
                        col = kit::fromLevels(220, 240, 255); // foam on the surface line
                    }
                }
                kit::setCell(c, x, y, col);
            }
        }
        // The tank's walls and floor.
        kit::fillRect(c, 0.0f, 0.0f, 3.0f, fn, kit::fromLevels(90, 90, 100));
        kit::fillRect(c, fn - 3.0f, 0.0f, fn, fn, kit::fromLevels(90, 90, 100));
        kit::fillRect(c, 0.0f, fn - 3.0f, fn, fn, kit::fromLevels(90, 90, 100));
    }

  private:
    std::vector<float> height_, speed_, next_;
    kit::SplitSine air_, causticA_, causticB_;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Even);

} // namespace glowfield
