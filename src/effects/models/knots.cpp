// Knots: a thick tube following a (p, q) torus knot, coloured along its length and turning; every five
// seconds it melts into the next coprime pair, the two curves blended point by point over a second.
#include "effects/models/model_scene.h"

namespace glowfield {

namespace {

class Knots : public Effect {
  public:
    void step(EffectContext& c) override {
        models::settleField(c, kit::black, 0.45f);
        static constexpr int pairs[8][2] = {{2, 3}, {3, 5}, {2, 5}, {3, 4}, {5, 2}, {3, 7}, {4, 3}, {2, 7}};
        const uint32_t cycle = c.frame / 250u, within = c.frame % 250u;
        const int* from = pairs[cycle % 8u];
        const int* to = pairs[(cycle + 1u) % 8u];
        const float blend = kit::smoothstep(190.0f, 250.0f, static_cast<float>(within));
        const float t = static_cast<float>(c.frame % 200000u);
        const float half = static_cast<float>(c.n) * 0.5f;
        const float ax = t * 0.009f, ay = t * 0.013f;
        constexpr int segments = 150;
        Vec3 last{};
        for (int i = 0; i <= segments; ++i) {
            const float phi = static_cast<float>(i) * (kit::twoPi / segments);
            const Vec3 p =
                kit::Vec3{} + onKnot(from, phi, half) * (1.0f - blend) + onKnot(to, phi, half) * blend;
            const Vec3 v = models::turn(p, ax, ay) + Vec3{0.0f, 0.0f, half * 0.88f};
            if (i > 0) {
                kit::modelLine(c, last, v,
                               models::bright(static_cast<float>(i) / segments * 2.0f + t * 0.002f), 3);
            }
            last = v;
        }
    }

  private:
    using Vec3 = kit::Vec3;

    static Vec3 onKnot(const int* pq, float phi, float half) {
        const float p = static_cast<float>(pq[0]), q = static_cast<float>(pq[1]);
        const float big = half * 0.55f, small = half * 0.28f;
        const float r = big + small * fastCos(q * phi);
        return {r * fastCos(p * phi), r * fastSin(p * phi), small * 1.3f * fastSin(q * phi)};
    }
};

} // namespace

std::unique_ptr<Effect> makeKnots() {
    return std::make_unique<Knots>();
}

} // namespace glowfield
