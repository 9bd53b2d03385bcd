#include "field/random.h"

namespace glowfield {

void seedRandom(int32_t seed) {
    randomState.seed = seed;
}

int nextRandom() {
    // Unsigned arithmetic gives the 32-bit wrap-around without signed overflow.
    uint32_t next = static_cast<uint32_t>(randomState.seed) * 214013u + 2531011u;
    randomState.seed = static_cast<int32_t>(next);
    return static_cast<int>((next >> 16) & 0x7fff);
}

namespace {

constexpr uint32_t multiplier = 214013u;
constexpr uint32_t increment = 2531011u;

// Jumps of 1 .. 64 steps: step k from seed s is s * factor[k - 1] + offset[k - 1], modulo 2^32.
struct Jumps {
    uint32_t factor[64];
    uint32_t offset[64];
};

constexpr Jumps makeJumps() {
    Jumps jumps{};
    uint32_t factor = 1, offset = 0;
    for (int k = 0; k < 64; ++k) {
        factor *= multiplier;
        offset = offset * multiplier + increment;
        jumps.factor[k] = factor;
        jumps.offset[k] = offset;
    }
    return jumps;
}

constexpr Jumps jumps = makeJumps();

} // namespace

RandomAhead::RandomAhead() {
    refill(static_cast<uint32_t>(randomState.seed));
}

namespace {

// The seeds after 1 .. 64 steps from one seed, side by side.
__attribute__((target_clones("avx512f", "avx2", "default"))) void jumpAhead(uint32_t from, uint32_t* seeds) {
    for (int k = 0; k < 64; ++k) {
        seeds[k] = from * jumps.factor[k] + jumps.offset[k];
    }
}

} // namespace

void RandomAhead::refill(uint32_t from) {
    static_assert(blockSize == 64);
    start_ = from;
    jumpAhead(from, seeds_);
    taken_ = 0;
}

void RandomAhead::finish() {
    randomState.seed = static_cast<int32_t>(taken_ == 0 ? start_ : seeds_[taken_ - 1]);
}

} // namespace glowfield
