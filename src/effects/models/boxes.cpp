// Boxes: five wireframe cubes nested one inside another, each turning about its own axes at its own pace and
// breathing in size, so that their corners pass through each other's faces.
#include "effects/models/model_scene.h"

namespace glowfield {

namespace {

class Boxes : public Effect {
  public:
    void step(EffectContext& c) override {
        models::settleField(c, kit::black, 0.3f);
        const float t = static_cast<float>(c.frame % 200000u);
        const float half = static_cast<float>(c.n) * 0.5f;
        static constexpr int edges[12][2] = {{0, 1}, {1, 3}, {3, 2}, {2, 0}, {4, 5}, {5, 7},
                                             {7, 6}, {6, 4}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
        for (int k = 0; k < 5; ++k) {
            const float kf = static_cast<float>(k);
            const float size = half * (0.2f + 0.13f * kf) * (1.0f + 0.22f * fastSin(t * 0.021f + kf * 1.3f));
            const float ax = t * (0.006f + 0.004f * kf) * (k % 2 ? -1.0f : 1.0f);
            const float ay = t * (0.011f - 0.0015f * kf) + kf;
            const float az = t * 0.003f * (kf - 2.0f);
            Vec3 corner[8];
            for (int i = 0; i < 8; ++i) {
                const Vec3 p{i & 1 ? size : -size, i & 2 ? size : -size, i & 4 ? size : -size};
                corner[i] = models::turn(p, ax, ay, az) + Vec3{0.0f, 0.0f, half * 1.55f};
            }
            const kit::Rgb colour = models::bright(kf * 0.2f + t * 0.0007f);
            for (const auto& e : edges) {
                kit::modelLine(c, corner[e[0]], corner[e[1]], colour, 2);
            }
        }
    }

  private:
    using Vec3 = kit::Vec3;
};

} // namespace

std::unique_ptr<Effect> makeBoxes() {
    return std::make_unique<Boxes>();
}

} // namespace glowfield
