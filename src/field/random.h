// The one random generator of the program: a linear congruential sequence fixed by its seed. Effects depend
// on the exact sequence, so nothing else may draw random numbers.
#pragma once

#include <cstdint>

namespace glowfield {

struct RandomState {
    int32_t seed = 1; // 1 at program start; start-up sets it from the clock or --seed
};

extern RandomState& randomState; // part of the one world (effects/world.h)

void seedRandom(int32_t seed);

// Next number of the sequence, 0..32767.
int nextRandom();

} // namespace glowfield
