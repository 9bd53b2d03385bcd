// Bagel: a torus of two thousand points turning in 3-D, toasted darker towards the back with pale seeds on
// its crust. Each turn somebody takes a bite out of it at a new place, and the bite slowly grows back.
#include "effects/kit/kit.h"

namespace glowfield {

namespace {

constexpr int pointCount = 2000;
constexpr uint32_t turnFrames = 320;

// A fixed scramble of a point's index: its place and its look come from it, so nothing is stored per point.
inline uint32_t scramble(uint32_t v) {
    v ^= v >> 16;
    v *= 0x7feb352du;
    v ^= v >> 15;
    v *= 0x846ca68bu;
    v ^= v >> 16;
    return v;
}

inline float unit(uint32_t v) {
    return static_cast<float>(v & 0xffffu) / 65536.0f;
}

class Bagel : public Effect {
  public:
    void step(EffectContext& c) override {
        kit::settleField(c, kit::fromLevels(20, 12, 8), 0.5f);
        const float n = static_cast<float>(c.n);
        const uint32_t turn = c.frame / turnFrames;
        const float phase = static_cast<float>(c.frame % turnFrames) / turnFrames;
        const float t = static_cast<float>(c.frame % 200000u);
        const float biteAt = unit(scramble(turn * 977u + 13u)) * kit::twoPi;
        const float ring = n * 0.27f, tube = n * 0.13f;
        const float ax = 0.9f + 0.35f * fastSin(t * 0.006f), ay = t * (kit::twoPi / turnFrames);
        for (int i = 0; i < pointCount; ++i) {
            const uint32_t h = scramble(static_cast<uint32_t>(i) + 1u);
            const float u = unit(h) * kit::twoPi, v = unit(h >> 16) * kit::twoPi;
            // The bite: a round notch out of the ring around biteAt, filling in over the turn.
            float gap = u - biteAt;
            gap = gap > kit::pi ? gap - kit::twoPi : gap < -kit::pi ? gap + kit::twoPi : gap;
            const float outer = fastCos(v);
            const float notch = 0.55f * (1.0f - phase * 1.2f);
            if (gap * gap + 0.08f * (outer - 1.0f) * (outer - 1.0f) < notch * notch) {
                continue;
            }
            const float r = ring + tube * outer;
            const Vec3 p{r * fastCos(u), tube * 0.85f * fastSin(v), r * fastSin(u)};
            const Vec3 q = kit::rotateX(kit::rotateY(p, ay), ax) + Vec3{0.0f, 0.0f, n * 0.1f};
            const bool seed = (h % 11u) == 0u && fastSin(v) < 0.2f;
            // Crust toasted browner where it faces away; the top of the ring lighter.
            const float toast = kit::clampf(0.55f - q.z / (n * 0.8f) - 0.25f * fastSin(v), 0.15f, 1.0f);
            const kit::Rgb colour =
                seed ? kit::fromLevels(255, 240, 200)
                     : kit::mix(kit::fromLevels(90, 40, 12), kit::fromLevels(230, 160, 80), toast);
            kit::modelDot(c, q, colour, seed ? 1.2f : 1.6f, 1.0f);
        }
    }

  private:
    using Vec3 = kit::Vec3;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Bagel);

} // namespace glowfield
