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
        for (int i = -reach; i <= reach; ++i) {
            for (int j = -reach; j <= reach; ++j) {
                for (int k = -reach; k <= reach; ++k) {
                    const bool old = ((i | j | k) & 1) == 0;
                    const float birth = old ? 1.0f : newborn;
                    if (birth <= 0.01f) {
                        continue;
                    }
                    const Vec3 p{static_cast<float>(i) * step, static_cast<float>(j) * step,
                                 static_cast<float>(k) * step};
                    const float dist = std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z);
                    const float alpha = birth * (1.0f - kit::smoothstep(fadeFrom, fadeTo, dist));
                    if (alpha <= 0.02f) {
                        continue;
                    }
                    const Vec3 q = models::turn(p, ax, ay) + Vec3{0.0f, 0.0f, n * 0.35f};
                    // Red shift: blue-white near the centre, orange-red towards the edge of the lattice.
                    const float red = kit::clampf(dist * dist / (fadeTo * fadeTo), 0.0f, 1.0f);
                    const kit::Rgb colour = kit::shade(
                        kit::mix(kit::fromLevels(200, 220, 255), kit::fromLevels(255, 90, 40), red), alpha);
                    models::modelDot(c, q, colour, 2.8f, 0.85f);
                    if (i == 0 && j == 0 && k == 0) {
                        models::modelDot(c, q, kit::white, 3.5f, 0.85f);
                    }
                }
            }
        }
    }

  private:
    using Vec3 = kit::Vec3;
};

} // namespace

std::unique_ptr<Effect> makeExpansion() {
    return std::make_unique<Expansion>();
}

} // namespace glowfield
