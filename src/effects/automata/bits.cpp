// Bits: shifting binary. Each colour plane lights a cell by the bits of (x XOR y) plus its own running count,
// seen through its own bit mask, so the planes crawl as nested squares at different speeds and their overlaps
// mix colours. The masks are re-rolled every few seconds, and the old pattern dissolves into the new one.
#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Bits : public Effect {
  public:
    void start(EffectContext& c) override {
        // The planes are blended towards the pattern, so leftovers must be finite first.
        kit::tameField(c);
        for (int p = 0; p < 3; ++p) {
            roll(c, p);
        }
    }

    void step(EffectContext& c) override {
        const uint32_t tick = c.framesSinceStart + 1;
        if (tick % 150u == 0u) {
            roll(c, c.random(0, 2));
        }
        float* const planes[3] = {c.planes.red, c.planes.green, c.planes.blue};
        float* const velocities[3] = {c.planes.redVelocity, c.planes.greenVelocity, c.planes.blueVelocity};
        for (int p = 0; p < 3; ++p) {
            counter_[p] += speed_[p];
            const unsigned count = static_cast<unsigned>(kit::toCell(counter_[p])) & 0xffffu;
            const unsigned mask = mask_[p];
            const int bitsInMask = __builtin_popcount(mask);
            for (int x = 0; x < c.n; ++x) {
                for (int y = 0; y < c.n; ++y) {
                    // Each plane reads its own pair of coordinates, so the three patterns do not line up.
                    const unsigned a = static_cast<unsigned>(p == 1 ? c.n - 1 - x : x);
                    const unsigned b = static_cast<unsigned>(p == 2 ? c.n - 1 - y : y);
                    const unsigned v = ((a ^ b) + count) & mask;
                    // More lit bits, brighter: a few levels instead of on and off.
                    const float level = -120.0f + 245.0f * __builtin_popcount(v) / bitsInMask;
                    const int cell = cellAt(x, y);
                    // Anything out of range (an earlier effect's leftovers) jumps straight to the pattern.
                    const float was = planes[p][cell];
                    planes[p][cell] = was > -400.0f && was < 400.0f ? was + (level - was) * 0.35f : level;
                    velocities[p][cell] = 0.0f;
                }
            }
        }
    }

  private:
    void roll(EffectContext& c, int p) {
        // Two or three of the bits 2..6: coarse enough to see as squares on the screen.
        unsigned mask = 0;
        while (__builtin_popcount(mask) < 2 + (c.random() % 2)) {
            mask |= 1u << c.random(2, 6);
        }
        mask_[p] = mask;
        speed_[p] = (0.2f + c.randomUnit() * 0.8f) * (c.random() % 2 ? 1.0f : -1.0f);
    }

    unsigned mask_[3] = {4u, 8u, 16u};
    float speed_[3] = {0.3f, 0.5f, 0.7f};
    float counter_[3] = {0.0f, 0.0f, 0.0f};
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Bits);

} // namespace glowfield
