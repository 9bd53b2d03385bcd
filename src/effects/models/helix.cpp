// Helix: a slinky. A coil spring lies across the screen with compression waves running along it, so its
// coils bunch and stretch; its axis bows in a slow arc and the whole spring turns so the near coils swell.
#include "effects/models/model_scene.h"

namespace glowfield {

namespace {

class Helix : public Effect {
  public:
    void step(EffectContext& c) override {
        models::settleField(c, kit::black, 0.4f);
        const float t = static_cast<float>(c.frame % 200000u);
        const float half = static_cast<float>(c.n) * 0.5f;
        const float length = half * 2.4f, radius = half * 0.36f;
        const float bow = half * 0.35f * fastSin(t * 0.013f);
        const float spin = t * 0.011f, tilt = 0.45f + 0.3f * fastSin(t * 0.007f);
        constexpr int coils = 15, perCoil = 20, count = coils * perCoil;
        Vec3 last{};
        for (int i = 0; i <= count; ++i) {
            const float u = static_cast<float>(i) / count;
            // Two travelling compression waves of different length: coils crowd where they meet.
            const float s = u + 0.03f * fastSin(u * kit::twoPi * 2.0f - t * 0.09f) +
                            0.015f * fastSin(u * kit::twoPi * 5.0f + t * 0.05f);
            const float along = (s - 0.5f) * 2.0f;
            const float angle = u * coils * kit::twoPi;
            const Vec3 axis{along * length * 0.5f, bow * (0.5f - (1.0f - along * along)), 0.0f};
            const Vec3 p = axis + Vec3{0.0f, radius * fastCos(angle), radius * fastSin(angle)};
            const Vec3 v = models::turn(p, tilt, spin) + Vec3{0.0f, 0.0f, half * 1.25f};
            if (i > 0) {
                kit::modelLine(c, last, v, models::bright(u * 1.5f + t * 0.003f), 2);
            }
            last = v;
        }
    }

  private:
    using Vec3 = kit::Vec3;
};

} // namespace

std::unique_ptr<Effect> makeHelix() {
    return std::make_unique<Helix>();
}

} // namespace glowfield
