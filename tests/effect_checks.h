// Checks shared by the effect tests: a field prepared for direct calls of an effect, a count of the random
// draws a call made, and a snapshot of the planes to see which cells it wrote.
#pragma once

#include <cstdint>
#include <vector>

#include "app/frame_loop.h"
#include "effects/effect_state.h"
#include "field/field.h"
#include "field/random.h"
#include "test_support.h"

namespace glowfield::test {

// A colour value that no effect writes, to see which cells a call wrote.
inline constexpr float untouched = 123456.0f;

inline float* const allPlanes[6] = {planes.red,         planes.green,         planes.blue,
                                    planes.redVelocity, planes.greenVelocity, planes.blueVelocity};

inline void fillPlane(float* plane, float value) {
    for (int cell = 0; cell < planeCells; ++cell) {
        plane[cell] = value;
    }
}

// The program after start-up with seed 1; colours set to untouched, velocities as the start-up noise left
// them.
class EffectTest : public StateTest {
  protected:
    void SetUp() override {
        StateTest::SetUp();
        prepareField(1);
        fillColours(untouched);
    }
    static void fillColours(float value) {
        for (int p = 0; p < 3; ++p) {
            fillPlane(allPlanes[p], value);
        }
    }
};

// Counts the draws made since construction by replaying the generator from the seed it had then.
class DrawCounter {
  public:
    DrawCounter() : start_(static_cast<uint32_t>(randomState.seed)) {}

    int64_t count() const {
        uint32_t seed = start_;
        for (int64_t draws = 0; draws <= 4000000; ++draws, seed = seed * 214013u + 2531011u) {
            if (seed == static_cast<uint32_t>(randomState.seed)) {
                return draws;
            }
        }
        return -1;
    }

    // The next n results of nextRandom, without moving the generator.
    static std::vector<int> upcoming(int n) {
        std::vector<int> out;
        uint32_t seed = static_cast<uint32_t>(randomState.seed);
        for (int i = 0; i < n; ++i) {
            seed = seed * 214013u + 2531011u;
            out.push_back(static_cast<int>((seed >> 16) & 0x7fff));
        }
        return out;
    }

  private:
    uint32_t start_;
};

// A copy of the six planes (red, green, blue, then their velocities) taken at construction.
class Snapshot {
  public:
    Snapshot() {
        for (int p = 0; p < 6; ++p) {
            copies_[p].assign(allPlanes[p], allPlanes[p] + planeCells);
        }
    }
    float before(int p, int x, int y) const { return copies_[p][cellAt(x, y)]; }
    bool changed(int p, int x, int y) const {
        const float a = before(p, x, y), b = allPlanes[p][cellAt(x, y)];
        return !(a == b || (a != a && b != b));
    }
    int changedCount(int p) const {
        int n = 0;
        for (int x = 0; x < planeStride; ++x) {
            for (int y = 0; y < planeStride; ++y) {
                n += changed(p, x, y) ? 1 : 0;
            }
        }
        return n;
    }

  private:
    std::vector<float> copies_[6];
};

// Seeds the generator so that its next draws pass a test: a test's way to steer an effect's random choices.
template <typename Wanted> void seedWhere(Wanted wanted) {
    for (int32_t seed = 1; seed < 10000000; ++seed) {
        seedRandom(seed);
        if (wanted(DrawCounter::upcoming(8))) {
            return;
        }
    }
    ADD_FAILURE() << "no seed found";
}

} // namespace glowfield::test
