// Point models, phase fields and lettering must stay inside their arrays whatever the store holds: long runs
// from a seeded start, runs on top of what another model effect left, and runs from a field and particle
// store full of extreme values. Meant to run in the sanitizer build as well.
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "app/frame_loop.h"
#include "app/global_state.h"
#include "effects/effect_state.h"
#include "effects/catalogue.h"
#include "field/field.h"
#include "test_support.h"

namespace glowfield::test {
namespace {

// The effects that lay out or overwrite the particle store for themselves.
constexpr int modelEffects[] = {184, 185, 186, 187, 188, 193};

// One effect of the family per test, so that the runs can go in parallel.
class Effects184To193Robustness : public StateTest, public ::testing::WithParamInterface<int> {
  protected:
    static void restart(int effect) {
        resetAllState();
        startEffect(effect, 1);
    }

    // Every live colour and velocity is a finite number.
    static bool liveFieldFinite() {
        const float* all[6] = {planes.red,         planes.green,         planes.blue,
                               planes.redVelocity, planes.greenVelocity, planes.blueVelocity};
        for (const float* plane : all) {
            for (int x = 0; x < field.gridSize; ++x) {
                for (int y = 0; y < field.gridSize; ++y) {
                    if (!std::isfinite(plane[cellAt(x, y)])) {
                        return false;
                    }
                }
            }
        }
        return true;
    }
};

TEST_P(Effects184To193Robustness, Runs2000FramesFromASeededStart) {
    restart(GetParam());
    runFrames(2000);
    EXPECT_EQ(shared.currentEffect & 0xff, GetParam());
    EXPECT_TRUE(liveFieldFinite());
}

TEST_P(Effects184To193Robustness, RunsOnTopOfEachOtherModelEffect) {
    for (int before : modelEffects) {
        if (before == GetParam()) {
            continue;
        }
        restart(before);
        runFrames(30);
        selectEffect(GetParam());
        runFrames(40);
        EXPECT_TRUE(liveFieldFinite()) << "after " << before;
    }
}

TEST_P(Effects184To193Robustness, SurvivesAnExtremeFieldAndStore) {
    const std::vector<int32_t> tags = {
        std::numeric_limits<int32_t>::min(), -1,     0, 1, 11999, 12000, -12000,
        std::numeric_limits<int32_t>::max(), 1000000};
    // The owner marks of the model effects, so that each one also runs on a store that it did not lay out,
    // with point counts that do not fit the store.
    struct Leftover {
        float owner;
        int32_t count;
    };
    const Leftover leftovers[] = {{std::numeric_limits<float>::quiet_NaN(), 0},
                                  {11.621f, -5},
                                  {3.455f, std::numeric_limits<int32_t>::max()},
                                  {3.455f, std::numeric_limits<int32_t>::min()},
                                  {115.621f, 700}};
    for (const Leftover& leftover : leftovers) {
        restart(GetParam());
        fillField(extremeValues());
        fillParticles(extremeValues(), tags);
        particleOwner = leftover.owner;
        shared.particleCount = leftover.count;
        shared.letterOffset = std::numeric_limits<int32_t>::max() - 50;
        // A run across the wrap of the clock; frame 0 is also a message rebuild.
        const uint32_t start = 0xfffffffcu;
        shared.frameCounter = start;
        for (uint32_t frame = 1; frame <= 8; ++frame) {
            frameStep();
            // None of these effects moves the clock.
            ASSERT_EQ(shared.frameCounter, start + frame) << leftover.owner << " " << leftover.count;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Family, Effects184To193Robustness, ::testing::Range(184, 194),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return "Effect" + std::to_string(info.param);
                         });

} // namespace
} // namespace glowfield::test
