// Dune: wind over sand. Ridges with gentle windward slopes and steep lee faces march slowly downwind, gold in
// the sun and brown in their own shade, while grains blow off the crests in fine streaks.
#include <cmath>
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

// Height of the sand at (x, y): two families of asymmetric ridges, bent and moving downwind.
inline float sand(float x, float y, float t) {
    const float bend = 9.0f * fastSin(y * 0.035f + 1.3f) + 4.0f * fastSin(y * 0.09f + x * 0.02f);
    float p = (x + bend - t * 0.08f) / 42.0f;
    p -= std::floor(p);
    const float big = p < 0.78f ? p / 0.78f : (1.0f - p) / 0.22f;
    // A second, oblique family of ridges: where it rises above the first, crests cross and fork.
    float o = (x * 0.7f - y * 0.7f + bend * 0.6f - t * 0.06f) / 57.0f;
    o -= std::floor(o);
    const float oblique =
        (o < 0.8f ? o / 0.8f : (1.0f - o) / 0.2f) * (0.75f + 0.25f * fastSin(y * 0.02f + x * 0.013f));
    float q = (x * 0.9f + y * 0.3f + bend * 0.5f - t * 0.15f) / 6.0f;
    q -= std::floor(q);
    const float small = q < 0.7f ? q / 0.7f : (1.0f - q) / 0.3f;
    return std::fmax(big, oblique) * 12.0f + small * 0.6f;
}

class Dune : public Effect {
  public:
    void start(EffectContext& c) override {
        // Leftovers of an earlier entry are brought into range once, so blends never carry NaN along.
        kit::tameField(c);
        for (Grain& g : grains_) {
            g.life = 0;
        }
        row_.assign(static_cast<size_t>(c.n) + 1, 0.0f);
        above_.assign(static_cast<size_t>(c.n) + 1, 0.0f);
    }

    void step(EffectContext& c) override {
        kit::scaleVelocities(c, 0.0f);
        const float n = static_cast<float>(c.n);
        const float t = static_cast<float>(c.frame % 200000u);
        const kit::Rgb sun = kit::fromLevels(240, 195, 110), lee = kit::fromLevels(110, 65, 35);
        for (int x = 0; x <= c.n; ++x) {
            above_[static_cast<size_t>(x)] = sand(static_cast<float>(x), -1.0f, t);
        }
        for (int y = 0; y < c.n; ++y) {
            for (int x = 0; x <= c.n; ++x) {
                row_[static_cast<size_t>(x)] = sand(static_cast<float>(x), static_cast<float>(y), t);
            }
            for (int x = 0; x < c.n; ++x) {
                const float h = row_[static_cast<size_t>(x)];
                const float slope = row_[static_cast<size_t>(x) + 1] - h;
                const float slopeY = h - above_[static_cast<size_t>(x)];
                // Light from the upper left: faces rising towards it catch it, lee faces are in shade.
                const float lit = kit::clampf(0.6f + slope * 0.45f + slopeY * 0.3f, 0.0f, 1.0f);
                kit::Rgb col = kit::mix(lee, sun, lit);
                col = kit::shade(col, 0.85f + h * 0.015f);
                kit::paint(c, x, y, col);
            }
            above_.swap(row_);
        }
        // Grains lift from the crests and streak downwind before settling.
        for (int i = 0; i < 6; ++i) {
            const float gx = c.randomUnit() * n, gy = c.randomUnit() * n;
            const float h = sand(gx, gy, t);
            if (h < 10.5f) {
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
    std::vector<float> row_, above_;
};

} // namespace

std::unique_ptr<Effect> makeDune() {
    return std::make_unique<Dune>();
}

} // namespace glowfield
