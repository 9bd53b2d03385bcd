// The counts the runner hands an effect (frames since its start, frames since the mouse moved) and its
// restart of the current effect when the grid is resized under it.
#include <gtest/gtest.h>

#include <cstdint>

#include "effects/catalogue.h"
#include "effects/effect_counts.h"
#include "effects/effect_state.h"
#include "field/field.h"
#include "field/random.h"
#include "test_support.h"

namespace glowfield::test {
namespace {

constexpr uint32_t never = EffectContext::never;

TEST(EffectCounts, CountsFramesSinceStartAndSinceTheMouseCellChanged) {
    EffectCounts counts;
    ASSERT_TRUE(counts.beforeStep(true, 200, 5, 5));
    EXPECT_EQ(counts.framesSinceStart(), 0u);
    EXPECT_EQ(counts.framesSinceMouseMoved(), never); // where the mouse is at the start is no move
    counts.beforeStep(false, 200, 5, 5);
    EXPECT_EQ(counts.framesSinceStart(), 1u);
    EXPECT_EQ(counts.framesSinceMouseMoved(), never);

    // 0 on the step where the cell changes, one more each step it rests; a change of one coordinate counts.
    const int path[][2] = {{6, 5}, {6, 5}, {6, 5}, {6, 9}, {6, 9}};
    const uint32_t expected[] = {0u, 1u, 2u, 0u, 1u};
    for (int k = 0; k < 5; ++k) {
        EXPECT_FALSE(counts.beforeStep(false, 200, path[k][0], path[k][1]));
        EXPECT_EQ(counts.framesSinceMouseMoved(), expected[k]) << k;
        EXPECT_EQ(counts.framesSinceStart(), static_cast<uint32_t>(k + 2)) << k;
    }

    // A restart begins both counts again, even with the mouse somewhere else than at the last step.
    ASSERT_TRUE(counts.beforeStep(true, 200, 1, 1));
    EXPECT_EQ(counts.framesSinceStart(), 0u);
    EXPECT_EQ(counts.framesSinceMouseMoved(), never);
}

TEST(EffectCounts, StartsAfreshWhenTheGridSideChanges) {
    EffectCounts counts;
    EXPECT_TRUE(counts.beforeStep(false, 200, 0, 0)); // nothing started yet
    EXPECT_FALSE(counts.beforeStep(false, 200, 0, 0));
    EXPECT_TRUE(counts.beforeStep(false, 57, 3, 0));
    EXPECT_EQ(counts.framesSinceStart(), 0u);
    EXPECT_EQ(counts.framesSinceMouseMoved(), never);
    EXPECT_FALSE(counts.beforeStep(false, 57, 3, 0));
    EXPECT_EQ(counts.framesSinceStart(), 1u);
}

class EffectRunner : public StateTest {};

// Frames from a fixed field and generator state at the small grid.
uint64_t framesAtSmallGrid() {
    fillField({31.0f, -12.0f, 70.0f, 0.25f, -0.5f, 0.0f, 44.0f});
    seedRandom(7);
    shared.frameCounter = 5000;
    runFrames(25);
    return fieldHash();
}

// An effect that has been running when the grid shrinks goes on exactly as the same effect started afresh
// at the smaller grid: nothing of its run at the old size survives the resize.
TEST_F(EffectRunner, RestartsTheCurrentEffectWhenTheGridIsResized) {
    for (const int entry :
         {101, 103, 160, 216}) { // an accumulating fractal, a board, a wave feeder, pendulums
        startEffect(entry, 1);
        runFrames(40);
        field.gridSize = 57;
        const uint64_t resized = framesAtSmallGrid();

        startEffect(entry, 1);
        field.gridSize = 57;
        selectEffect(entry);
        const uint64_t fresh = framesAtSmallGrid();
        EXPECT_EQ(resized, fresh) << "entry " << entry;
        field.gridSize = 200;
    }
}

} // namespace
} // namespace glowfield::test
