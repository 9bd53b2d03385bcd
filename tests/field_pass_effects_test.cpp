// The effects that rewrite the field from itself: copies in place whose scan order shapes the result, the
// pulsing mirror, and the effects that read a plane, a shared coordinate or a stored cell outside the live
// grid.
#include "effect_group_fixture.h"
#include "effects/effect_routines.h"

namespace glowfield::test {
namespace {

using InPlacePasses = EffectGroupTest;
using FieldReaders = EffectGroupTest;

void fillInnerRed(float value) {
    for (int x = 1; x <= 198; ++x) {
        for (int y = 1; y <= 198; ++y) {
            planes.red[cellAt(x, y)] = value;
        }
    }
}

TEST_F(InPlacePasses, TunnelShrinksIntoCellsItHasYetToReadAndPicksItsVariantByTagParity) {
    // Even tag: cells shrink by 0.8 toward (20, 20). A cell written early in the pass is read again later and
    // shrunk a second time.
    fillInnerRed(100);
    tunnel();
    EXPECT_EQ(at(planes.red, 20, 20), 80.0f);
    EXPECT_EQ(at(planes.red, 36, 36), 64.0f) << "a copy from an untouched field would hold 80";
    EXPECT_EQ(at(planes.red, 198, 198), 100.0f) << "not a destination";

    // Odd tag, negative too: cells halve toward the centre quarter, with truncated values and factor 1.
    for (int32_t tag : {1, -3}) {
        fillInnerRed(100.5f);
        particles.particleTag[1] = tag;
        tunnel();
        EXPECT_EQ(at(planes.red, 50, 50), 100.0f);
        EXPECT_EQ(at(planes.red, 20, 20), 100.5f) << "not a destination of the halving";
    }
}

TEST_F(InPlacePasses, AccelerateLetsTheLastSourceOfASharedDestinationWin) {
    shared.frameCounter = 0; // both factors exactly 0.95: sources 20 and 21 land on 19, 40 and 41 on 38
    at(planes.red, 20, 40) = 5.2f;
    at(planes.red, 21, 41) = 9.7f;
    accelerate();
    EXPECT_EQ(at(planes.red, 19, 38), 9.0f);
}

TEST_F(InPlacePasses, DrWhoZoomsTheLowerHalfUpBeforeMirroringItDown) {
    for (int x = 0; x < 200; ++x) {
        for (int y = 0; y < 200; ++y) {
            at(planes.red, x, y) = y < 100 ? -1.0f : static_cast<float>(y);
        }
    }
    drWho();
    for (int x = 1; x <= 198; ++x) {
        // The upper half comes from the lower half as it was, zoomed: row 1 from further down than row 98.
        ASSERT_GE(at(planes.red, x, 1), 0.99f * 100) << x;
        ASSERT_GT(at(planes.red, x, 1), at(planes.red, x, 98)) << x;
        for (int k = 0; k <= 98; ++k) {
            ASSERT_EQ(at(planes.red, x, 198 - k), at(planes.red, x, 1 + k)) << x << " " << k;
        }
    }
}

TEST_F(InPlacePasses, FourPulsesWithTheFrameAndTheFiftiethFrameWins) {
    const struct {
        uint32_t frame;
        float scale;
    } cases[] = {{300, 1.2f}, {350, 1.2f}, {306, 1.1f}, {303, 0.90909094f}, {301, 1.0f}};
    for (const auto& c : cases) {
        fillField({0.0f});
        at(planes.greenVelocity, 10, 10) = 1;
        shared.frameCounter = c.frame;
        four();
        EXPECT_EQ(at(planes.greenVelocity, 10, 10), c.scale) << c.frame;
        const float mirrored = c.scale * c.scale;
        EXPECT_EQ(at(planes.greenVelocity, 10, 189), mirrored) << c.frame;
        EXPECT_EQ(at(planes.greenVelocity, 189, 189), mirrored) << c.frame;
        EXPECT_EQ(at(planes.greenVelocity, 189, 10), mirrored) << c.frame;
    }
}

TEST_F(FieldReaders, OilyShiftsBlueIntoGreenAndRedUpToTheirLastCells) {
    fillField({7.0f});
    for (int cell = 0; cell < planeCells; ++cell) {
        planes.green[cell] = planes.red[cell] = 0;
    }
    oily();
    EXPECT_EQ(at(planes.green, 192, 192), 7.0f);
    EXPECT_EQ(at(planes.green, 193, 100), 0.0f);
    EXPECT_EQ(at(planes.red, 197, 197), 7.0f);
    EXPECT_EQ(at(planes.red, 198, 100), 0.0f);
    EXPECT_EQ(at(planes.red, 9, 100), 0.0f);
}

TEST_F(FieldReaders, AsparagusClearsGreenInEveryStoredCell) {
    fillField({5.0f});
    for (int cell = 0; cell < planeCells; ++cell) {
        planes.blue[cell] = 0; // flat: the tiles draw 0 as well
    }
    asparagus();
    for (int cell = 0; cell < planeCells; ++cell) {
        ASSERT_EQ(planes.green[cell], 0.0f) << cell;
        ASSERT_EQ(planes.greenVelocity[cell], 0.0f) << cell;
    }
}

// Bar lengths come from column scratchX of red after the fade: 30 - trunc(red * -0.2), within -96..96.
TEST_F(FieldReaders, PumpUpDrawsBarsFromTheRedColumnThatScratchXNames) {
    const struct {
        int32_t column;
        int row;
        float red;
        int bar; // 0: nothing drawn
    } cases[] = {
        {37, 50, -75, 12},  // faded to -90
        {37, 60, 1000, 96}, // clamped
        {37, 70, -500, 0},  // a negative count draws nothing
        {0, 50, 0, 21},     // the start-up value of scratchX: column 0
        {-5, 50, 0, 30},    // columns outside the stored planes read as 0
        {100000, 50, 0, 30},
    };
    for (const auto& c : cases) {
        fillField({0.0f});
        shared.scratchX = c.column;
        if (isStoredCell(c.column, c.row)) {
            at(planes.red, c.column, c.row) = c.red;
        }
        pumpUp();
        for (int j = 0; j < c.bar; ++j) {
            const float value = toFloat(static_cast<double>(j) / c.bar * 160);
            ASSERT_EQ(at(planes.green, 100 + j, c.row), value) << c.column << " " << j;
            ASSERT_EQ(at(planes.green, 100 - j, c.row), value) << c.column << " " << j;
        }
        EXPECT_EQ(at(planes.green, 100 + c.bar, c.row), -45.0f) << c.column;
    }
}

TEST_F(FieldReaders, LipsFollowTheSignOfTheCentreRow) {
    for (int k = 0; k < 200; ++k) {
        at(planes.blue, 100, k) = -200; // lip height 0 everywhere
    }
    lips();
    for (int cell = 0; cell < 200 * planeStride; ++cell) {
        ASSERT_EQ(planes.red[cell], cell % planeStride < 200 ? -80.0f : 0.0f) << cell;
    }
    at(planes.blue, 100, 60) = -1000; // height trunc(-800 * 60 / 600) = -80: a dark lip
    lips();
    EXPECT_LT(at(planes.red, 30, 110), 0.0f);
    EXPECT_LT(at(planes.red, 169, 90), 0.0f);
}

} // namespace
} // namespace glowfield::test
