// Expansion: the universe stretching. A lattice of galaxies grows so that each moves away from every other;
// as the spacing doubles new galaxies kindle in the gaps, so the growth never runs out. Farther galaxies
// look redder, and the lattice drifts round so its depth shows.
#include "effects/models/model_scene.h"

namespace glowfield {

namespace {

constexpr int reach = 5; // half-spacing steps either side of the centre
constexpr uint32_t loopFrames = 300;

class Expansion : public Effect {
  public:
    void step(EffectContext& c) override {
        models::settleField(c, kit::fromLevels(0, 0, 10), 0.35f);
        const float n = static_cast<float>(c.n);
        // s runs 1 -> 2 in each loop; at 2 the lattice with its newborn points equals the one at 1.
        const float s = 1.0f + static_cast<float>(c.frame % loopFrames) / loopFrames;
        const float t = static_cast<float>(c.frame % 200000u);
        const float spacing = n * 0.2f, step = spacing * s * 0.5f;
        const float fadeFrom = spacing * 1.9f, fadeTo = spacing * 2.5f;
        const float ax = 0.4f * fastSin(t * 0.004f), ay = t * 0.005f;
        const float newborn = kit::smoothstep(1.0f, 1.7f, s);
        // Every lattice place: its turned position and how strongly it shows (born, and not faded out).
        constexpr int side = 2 * reach + 1;
        for (int i = 0; i < side; ++i) {
            for (int j = 0; j < side; ++j) {
                for (int k = 0; k < side; ++k) {
                    const Vec3 p{static_cast<float>(i - reach) * step, static_cast<float>(j - reach) * step,
                                 static_cast<float>(k - reach) * step};
                    const float dist = std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z);
                    const bool old = ((i | j | k) & 1) == 0;
                    Place& pl = places_[i][j][k];
                    pl.fade = 1.0f - kit::smoothstep(fadeFrom, fadeTo, dist);
                    pl.alpha = (old ? 1.0f : newborn) * pl.fade;
                    pl.at = models::turn(p, ax, ay) + Vec3{0.0f, 0.0f, n * 0.35f};
                    pl.red = kit::clampf(dist * dist / (fadeTo * fadeTo), 0.0f, 1.0f);
                }
            }
        }
        // The fabric of space: the coarse lattice's lines always, the fine ones fading in with the newborn
        // galaxies, so the grid too stays the same from one loop to the next.
        for (int i = 0; i < side; ++i) {
            for (int j = 0; j < side; ++j) {
                for (int k = 0; k < side; ++k) {
                    const Place& a = places_[i][j][k];
                    if (a.fade <= 0.02f) {
                        continue;
                    }
                    const int steps[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
                    for (const auto& d : steps) {
                        const int i2 = i + d[0], j2 = j + d[1], k2 = k + d[2];
                        if (i2 >= side || j2 >= side || k2 >= side) {
                            continue;
                        }
                        const Place& b = places_[i2][j2][k2];
                        // On a coarse line when both coordinates across the line are even.
                        const bool coarse = d[0]   ? ((j | k) & 1) == 0
                                            : d[1] ? ((i | k) & 1) == 0
                                                   : ((i | j) & 1) == 0;
                        const float w = std::min(a.fade, b.fade) * (coarse ? 1.0f : newborn) * 0.3f;
                        if (w > 0.02f) {
                            models::fastLine(c, a.at, b.at, kit::shade(kit::fromLevels(90, 110, 220), w));
                        }
                    }
                }
            }
        }
        for (int i = 0; i < side; ++i) {
            for (int j = 0; j < side; ++j) {
                for (int k = 0; k < side; ++k) {
                    const Place& pl = places_[i][j][k];
                    if (pl.alpha <= 0.02f) {
                        continue;
                    }
                    // Red shift: blue-white near the centre, orange-red towards the edge of the lattice.
                    const kit::Rgb colour = kit::shade(
                        kit::mix(kit::fromLevels(210, 230, 255), kit::fromLevels(255, 100, 50), pl.red),
                        pl.alpha);
                    models::modelDot(c, pl.at, colour, 2.8f, 0.85f);
                }
            }
        }
        models::modelDot(c, places_[reach][reach][reach].at, kit::white, 3.5f, 0.85f);
    }

  private:
    using Vec3 = kit::Vec3;
    struct Place {
        Vec3 at;
        float alpha = 0.0f, fade = 0.0f, red = 0.0f;
    };
    Place places_[2 * reach + 1][2 * reach + 1][2 * reach + 1];
};

} // namespace

std::unique_ptr<Effect> makeExpansion() {
    return std::make_unique<Expansion>();
}

} // namespace glowfield
