// Dune: wind over sand. Ridges with gentle windward slopes and steep lee faces march slowly downwind, gold in
// the sun and brown in their own shade, while grains blow off the crests in fine streaks.
#include <cmath>
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

// A ridge profile over one period: a long gentle rise for p < top, then a steep lee face.
template <int topPercent> inline float ridge(float p) {
    constexpr float top = topPercent / 100.0f, rise = 1.0f / top, fall = 1.0f / (1.0f - top);
    p -= kit::floorOf(p);
    return p < top ? p * rise : (1.0f - p) * fall;
}

class Dune : public Effect {
  public:
    void start(EffectContext& c) override {
        // Leftovers of an earlier entry are brought into range once, so blends never carry NaN along.
        kit::tameField(c);
        for (Grain& g : grains_) {
            g.life = 0;
        }
        for (std::vector<float>* v : {&col_, &next_, &bend_, &wave_}) {
            v->assign(static_cast<size_t>(c.n), 0.0f);
        }
    }

    // Height of the sand at (x, y) from the row terms of y: two families of asymmetric ridges, bent and
    // moving downwind, where crests cross and fork, over fine ripples.
    float sand(float x, size_t y, float t, float ripple) const {
        const float bend = bend_[y], wave = wave_[y];
        const float big = ridge<78>((x + bend - t * 0.08f) * (1.0f / 42.0f));
        const float oblique =
            ridge<80>((x * 0.7f - static_cast<float>(y) * 0.7f + bend * 0.6f - t * 0.06f) * (1.0f / 57.0f)) *
            wave;
        return kit::greater(big, oblique) * 12.0f + ripple * 0.3f;
    }

    void step(EffectContext& c) override {
        kit::scaleVelocities(c, 0.0f);
        const float n = static_cast<float>(c.n);
        const float t = static_cast<float>(c.frame % 200000u);
        const kit::Rgb sun = kit::fromLevels(240, 195, 110), lee = kit::fromLevels(110, 65, 35);
        for (int y = 0; y < c.n; ++y) {
            const float fy = static_cast<float>(y);
            bend_[static_cast<size_t>(y)] = 9.0f * fastSin(fy * 0.035f + 1.3f) + 4.0f * fastSin(fy * 0.09f);
            wave_[static_cast<size_t>(y)] = 0.75f + 0.25f * fastSin(fy * 0.02f + t * 0.001f);
        }
        // Fine wind ripples over everything: a sine split into column and row parts.
        constexpr float rippleScale = kit::twoPi / 6.0f;
        ripples_.make(
            c.n + 1 < planeStride ? c.n + 1 : planeStride, [&](float x) { return x * 0.9f * rippleScale; },
            [&](float y) {
                const size_t row = static_cast<size_t>(y) < bend_.size() ? static_cast<size_t>(y) : 0;
                return (y * 0.3f + bend_[row] * 0.5f - t * 0.15f) * rippleScale;
            });
        // Column by column, as the planes lie: this column's heights and the next one's for the slope.
        for (int y = 0; y < c.n; ++y) {
            next_[static_cast<size_t>(y)] = sand(0.0f, static_cast<size_t>(y), t, ripples_.at(0, y));
        }
        for (int x = 0; x < c.n; ++x) {
            col_.swap(next_);
            for (int y = 0; y < c.n; ++y) {
                next_[static_cast<size_t>(y)] = sand(static_cast<float>(x + 1), static_cast<size_t>(y), t,
                                                     ripples_.at(x + 1 < planeStride ? x + 1 : x, y));
            }
            for (int y = 0; y < c.n; ++y) {
                const size_t i = static_cast<size_t>(y);
                const float h = col_[i];
                const float slope = next_[i] - h;
                const float slopeY = y > 0 ? h - col_[i - 1] : 0.0f;
                // Light from the upper left: faces rising towards it catch it, lee faces are in shade.
                const float lit = kit::clampf(0.6f + slope * 0.45f + slopeY * 0.3f, 0.0f, 1.0f);
                kit::setCell(c, x, y, kit::shade(kit::mix(lee, sun, lit), 0.85f + h * 0.015f));
            }
        }
        // Grains lift from the crests and streak downwind before settling.
        for (int i = 0; i < 6; ++i) {
            const float gx = c.randomUnit() * n, gy = c.randomUnit() * n;
            const float h = sand(gx, static_cast<size_t>(kit::clampCell(c, kit::toCell(gy))), t, 0.0f);
            if (h < 10.8f) {
                continue;
            }
            for (Grain& g : grains_) {
                if (g.life <= 0) {
                    g.x = gx;
                    g.y = gy;
                    g.vx = 0.8f + c.randomUnit() * 0.8f;
                    g.vy = (c.randomUnit() - 0.5f) * 0.3f;
                    g.life = c.random(15, 45);
                    break;
                }
            }
        }
        for (Grain& g : grains_) {
            if (g.life <= 0) {
                continue;
            }
            const float ox = g.x, oy = g.y;
            g.x += g.vx;
            g.y += g.vy;
            if (--g.life <= 0 || !(g.x >= 0.0f && g.x < n && g.y >= 0.0f && g.y < n)) {
                g.life = 0;
                continue;
            }
            kit::drawLine(c, ox, oy, g.x, g.y, kit::fromLevels(255, 235, 190), kit::Blend::max);
        }
    }

  private:
    struct Grain {
        float x, y, vx, vy;
        int life;
    };
    Grain grains_[300]{};
    std::vector<float> col_, next_, bend_, wave_;
    kit::SplitSine ripples_;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Dune);

} // namespace glowfield
