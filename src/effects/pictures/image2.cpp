// Image2: a photo under water. Raindrops fall on a pond whose bed is the wallpaper picture; the photo is seen
// through the surface, bent by the local slope of the ripples and lit where the slope faces the sky, and
// heals as the rings spread and die away. Unlike Image, the photo is never still.
#include <vector>

#include "effects/kit/kit.h"
#include "effects/pictures/cell_writes.h"
#include "effects/pictures/wallpaper.h"

namespace glowfield {

namespace {

class Image2 : public Effect {
  public:
    void start(EffectContext& c) override {
        wallpaper_.load(c);
        side_ = c.n;
        height_.assign(static_cast<size_t>(side_) * side_, 0.0f);
        speed_.assign(height_.size(), 0.0f);
        tick_ = 0;
    }

    void step(EffectContext& c) override {
        if (c.n != side_) {
            start(c);
        }
        ++tick_;
        const int n = side_;
        // Rain: a drop or two a frame, now and then a heavy one, pushed into the surface's own ripple field
        // (kept apart from the colour planes, so that the photo's edges do not stir the water).
        const int drops = c.random() % 25 == 0 ? 3 : 1 + c.random() % 2;
        for (int k = 0; k < drops; ++k) {
            const int x = c.random(3, n - 4), y = c.random(3, n - 4);
            const float amount = 6.0f + 8.0f * c.randomUnit();
            for (int dx = -2; dx <= 2; ++dx) {
                for (int dy = -2; dy <= 2; ++dy) {
                    const float w = 1.0f - (dx * dx + dy * dy) / 9.0f;
                    if (w > 0.0f) {
                        speed_[at(x + dx, y + dy)] -= amount * w;
                    }
                }
            }
        }
        for (int x = 1; x < n - 1; ++x) {
            for (int y = 1; y < n - 1; ++y) {
                const float lap = height_[at(x + 1, y)] + height_[at(x - 1, y)] + height_[at(x, y + 1)] +
                                  height_[at(x, y - 1)] - 4.0f * height_[at(x, y)];
                speed_[at(x, y)] = (speed_[at(x, y)] + 0.25f * lap) * 0.995f;
            }
        }
        for (size_t i = 0; i < height_.size(); ++i) {
            height_[i] = kit::clampf(height_[i] * 0.995f + speed_[i], -200.0f, 200.0f);
        }
        for (int x = 0; x < n; ++x) {
            const int xl = x > 0 ? x - 1 : x, xr = x < n - 1 ? x + 1 : x;
            for (int y = 0; y < n; ++y) {
                const int yu = y > 0 ? y - 1 : y, yd = y < n - 1 ? y + 1 : y;
                const float sx = height_[at(xr, y)] - height_[at(xl, y)];
                const float sy = height_[at(x, yd)] - height_[at(x, yu)];
                const float bx = kit::clampf(sx * 0.5f, -8.0f, 8.0f),
                            by = kit::clampf(sy * 0.5f, -8.0f, 8.0f);
                kit::Rgb seen = wallpaper_.at((x + 0.5f + bx) / n, (y + 0.5f + by) / n);
                // Slopes facing the sky glint; the others darken a little.
                const float light = kit::clampf((sx + sy) * 2.5f, -40.0f, 90.0f);
                seen.r += light;
                seen.g += light;
                seen.b += light;
                pictures::putCell(c, x, y, seen);
            }
        }
    }

  private:
    size_t at(int x, int y) const { return static_cast<size_t>(x) * side_ + y; }

    pictures::Wallpaper wallpaper_;
    std::vector<float> height_;
    std::vector<float> speed_;
    int side_ = 0;
    uint32_t tick_ = 0;
};

} // namespace

std::unique_ptr<Effect> makeImage2() {
    return std::make_unique<Image2>();
}

} // namespace glowfield
