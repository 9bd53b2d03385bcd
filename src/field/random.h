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

// The next numbers of the sequence worked out a block at a time, for a long loop that takes them one by one:
// each step of the sequence waits for the one before, but a block's steps are independent jumps from its
// start, so they are computed side by side. take() gives what nextRandom() would, in the same order; finish()
// leaves the generator where those calls would have left it. Nothing else may draw between the two.
class RandomAhead {
  public:
    RandomAhead();
    int take() {
        if (taken_ == blockSize) {
            refill(seeds_[blockSize - 1]);
        }
        return static_cast<int>((seeds_[taken_++] >> 16) & 0x7fff);
    }
    void finish();

  private:
    static constexpr int blockSize = 64;
    void refill(uint32_t from);
    uint32_t start_ = 0;             // the seed before the first number of this block
    uint32_t seeds_[blockSize] = {}; // the seed after each number of the block
    int taken_ = 0;                  // numbers of the block taken so far
};

} // namespace glowfield
