// Image: the wallpaper appears block by block in random order until it is whole, then the view drifts and
// zooms slowly across it like a camera over a photograph. Velocities are held at rest so the photo stays
// still.
#include <vector>

#include "effects/kit/kit.h"
#include "effects/pictures/wallpaper.h"

namespace glowfield {

namespace {

class Image : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::tameField(c);
        wallpaper_.load(c);
        const int blocks = blocksAcross(c) * blocksAcross(c);
        order_.resize(static_cast<size_t>(blocks));
        for (int i = 0; i < blocks; ++i) {
            order_[static_cast<size_t>(i)] = i;
        }
        for (int i = blocks - 1; i > 0; --i) {
            const int j = c.random(0, i);
            const int t = order_[static_cast<size_t>(i)];
            order_[static_cast<size_t>(i)] = order_[static_cast<size_t>(j)];
            order_[static_cast<size_t>(j)] = t;
        }
        placed_ = 0;
        tick_ = 0;
    }

    void step(EffectContext& c) override {
        kit::tameField(c, 300.0f, 0.0f); // also zeroes the velocities, whatever they held
        const int across = blocksAcross(c);
        if (placed_ < static_cast<int>(order_.size())) {
            // Still building: the rest of the screen dims while blocks drop in, each with a bright edge that
            // fades the frame after.
            kit::pullColours(c, kit::fromLevels(20, 20, 26), 0.06f);
            for (int k = 0; k < placed_; ++k) {
                drawBlock(c, order_[static_cast<size_t>(k)], across, false);
            }
            for (int k = 0; k < 9 && placed_ < static_cast<int>(order_.size()); ++k) {
                drawBlock(c, order_[static_cast<size_t>(placed_++)], across, true);
            }
            return;
        }
        // The camera: zoom breathes between whole and about half, the centre wanders. Samples are blended, so
        // that the slow pan glides rather than stepping a whole sample at a time.
        ++tick_;
        const float t = static_cast<float>(tick_ % 1000000u);
        const float zoom = 0.78f - 0.22f * fastCos(t * 0.012f);
        const float half = zoom * 0.5f;
        const float cu = 0.5f + (0.5f - half) * fastSin(t * 0.0082f);
        const float cv = 0.5f + (0.5f - half) * fastSin(t * 0.0058f + 1.0f);
        const float ramp = kit::smoothstep(0.0f, 60.0f, t); // starts from the whole picture
        const float z = 1.0f + (zoom - 1.0f) * ramp;
        const float u0 = 0.5f + (cu - 0.5f) * ramp - z * 0.5f, v0 = 0.5f + (cv - 0.5f) * ramp - z * 0.5f;
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                const float u = u0 + z * (x + 0.5f) / c.n, v = v0 + z * (y + 0.5f) / c.n;
                kit::setSolidCell(c, x, y, wallpaper_.smooth(u, v));
            }
        }
    }

  private:
    static constexpr int block = 8;
    static int blocksAcross(const EffectContext& c) { return (c.n + block - 1) / block; }

    void drawBlock(EffectContext& c, int index, int across, bool fresh) {
        const int bx = (index % across) * block, by = (index / across) * block;
        for (int x = bx; x < bx + block && x < c.n; ++x) {
            for (int y = by; y < by + block && y < c.n; ++y) {
                kit::Rgb colour = wallpaper_.atCell(c, static_cast<float>(x), static_cast<float>(y));
                if (fresh && (x == bx || y == by || x == bx + block - 1 || y == by + block - 1)) {
                    colour = kit::mix(colour, kit::white, 0.6f);
                }
                kit::paint(c, x, y, colour);
            }
        }
    }

    pictures::Wallpaper wallpaper_;
    std::vector<int> order_;
    int placed_ = 0;
    uint32_t tick_ = 0;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Image);

} // namespace glowfield
