// Long runs of the particle, mirror, relief and perspective effects: from a seeded start, on the particle
// store and field that each other effect of the family leaves, and on a field and store full of extreme
// values (huge, infinite, NaN). Nothing may read or write outside the planes or the store; the sanitizer
// build (GLOWFIELD_SANITIZE) turns any such access or undefined conversion into a failure.
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "app/global_state.h"
#include "effects/catalogue.h"
#include "field/field.h"
#include "test_support.h"

namespace glowfield::test {
namespace {

constexpr int firstEffect = 109;
constexpr int lastEffect = 134;
constexpr int longRun = 2000;
constexpr int leadIn = 5;      // frames of the effect that leaves the store behind
constexpr int handedOver = 20; // frames of the effect under test on top of it

class EffectFamilyRobustness : public StateTest, public ::testing::WithParamInterface<int> {};

// A run from a normal start must not blow the field up.
bool liveColoursFinite() {
    for (int x = 0; x < 200; ++x) {
        for (int y = 0; y < 200; ++y) {
            const int cell = cellAt(x, y);
            if (!std::isfinite(planes.red[cell]) || !std::isfinite(planes.green[cell]) ||
                !std::isfinite(planes.blue[cell])) {
                return false;
            }
        }
    }
    return true;
}

// The mark an effect writes into particleOwner once it has laid out the store, or 0 for none.
float ownerMark(int effect) {
    switch (effect) {
    case 109:
    case 114:
        return 110;
    case 110:
        return 111;
    case 123:
        return 123;
    case 125:
        return 125;
    case 126:
        return 126;
    case 134:
        return 135;
    default:
        return 0;
    }
}

void fillExtremes() {
    constexpr int32_t lowest = std::numeric_limits<int32_t>::min();
    constexpr int32_t highest = std::numeric_limits<int32_t>::max();
    fillField(extremeValues());
    fillParticles(extremeValues(), {lowest, -1, 0, 1, highest, 12345});
    shared.scratchX = lowest;
    shared.scratchY = highest;
    shared.spotX = highest;
    shared.spotY = lowest;
}

TEST_P(EffectFamilyRobustness, RunsLongFromASeededStart) {
    const int effect = GetParam();
    startEffect(effect, 1);
    runFrames(longRun);
    EXPECT_EQ(shared.currentEffect & 0xff, effect);
    EXPECT_TRUE(liveColoursFinite());
}

TEST_P(EffectFamilyRobustness, RunsOnWhatEveryOtherEffectOfTheFamilyLeaves) {
    const int effect = GetParam();
    for (int previous = firstEffect; previous <= lastEffect; ++previous) {
        if (previous == effect) {
            continue;
        }
        resetAllState();
        startEffect(previous, 1);
        runFrames(leadIn);
        selectEffect(effect);
        runFrames(handedOver);
        EXPECT_EQ(shared.currentEffect & 0xff, effect) << "after " << previous;
        EXPECT_TRUE(liveColoursFinite()) << "after " << previous;
    }
}

TEST_P(EffectFamilyRobustness, RunsLongOnExtremeValues) {
    const int effect = GetParam();
    startEffect(effect, 1);
    // First with the owner mark at 1e30, so that a layout runs over the extreme field...
    fillExtremes();
    runFrames(handedOver);
    // ...then on an extreme store that the effect takes for its own layout.
    fillExtremes();
    if (ownerMark(effect) != 0) {
        particleOwner = ownerMark(effect);
    }
    runFrames(longRun);
    EXPECT_EQ(shared.currentEffect & 0xff, effect);
    EXPECT_EQ(shared.frameCounter, 1u + handedOver + longRun);
}

INSTANTIATE_TEST_SUITE_P(Effects, EffectFamilyRobustness, ::testing::Range(firstEffect, lastEffect + 1),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return "Effect" + std::to_string(info.param);
                         });

} // namespace
} // namespace glowfield::test
