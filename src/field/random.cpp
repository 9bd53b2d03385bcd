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

} // namespace glowfield
