// Letters (dark holes under dark cells) and Scatter (stroke-font letters flying at the viewer).
#include <cstdint>
#include <limits>

#include "app/frame_loop.h"
#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "effects/lettering.h"
#include "field/field.h"
#include "field/random.h"
#include "test_support.h"

namespace glowfield::test {
namespace {

class FlyingLetters : public StateTest {
  protected:
    void SetUp() override {
        StateTest::SetUp();
        prepareField(1);
        shared.frameCounter = 90;
    }

    static void fillColours(float value) {
        for (int cell = 0; cell < planeCells; ++cell) {
            planes.red[cell] = planes.green[cell] = planes.blue[cell] = value;
            planes.redVelocity[cell] = planes.greenVelocity[cell] = planes.blueVelocity[cell] = 3.0f;
        }
    }

    // Puts every letter at depth z with the given stored tag.
    static void placeLetters(float z, int32_t tag) {
        for (int letter = 0; letter < 145; ++letter) {
            particles.particleX[letter] = 0.0f;
            particles.particleY[letter] = 0.0f;
            particles.particleZ[letter] = z;
            particles.particleTag[letter] = tag;
        }
    }
};

TEST_F(FlyingLetters, DarkCellBelowPunchesAHoleAndWritesNoVelocity) {
    // Each inner cell tests the untouched cell below it, so a dark field turns dark grey down every column.
    fillColours(-120.0f);
    letters();
    for (int x = 0; x < 200; ++x) {
        for (int y = 0; y < 200; ++y) {
            const bool inner = x >= 1 && x <= 198 && y >= 1 && y <= 198;
            ASSERT_EQ(planes.red[cellAt(x, y)], inner ? -58.0f : -120.0f) << x << "," << y;
            ASSERT_EQ(planes.blue[cellAt(x, y)], inner ? -58.0f : -120.0f) << x << "," << y;
            ASSERT_EQ(planes.greenVelocity[cellAt(x, y)], 3.0f) << x << "," << y;
        }
    }
}

TEST_F(FlyingLetters, HoleNeedsTheCellBelowDarkerThanMinus300) {
    fillColours(0.0f);
    const int below = cellAt(50, 51);
    planes.red[below] = planes.green[below] = planes.blue[below] = -100.0f;
    planes.red[cellAt(60, 51)] = planes.green[cellAt(60, 51)] = planes.blue[cellAt(60, 51)] = -100.5f;
    // A colour difference of 120 is half a turn of the phase: 8 sin^2(pi/2) - 5 = 3.
    planes.red[cellAt(70, 70)] = 120.0f;
    letters();

    const int edge = cellAt(50, 50);
    EXPECT_EQ(planes.red[edge], 0.0f);
    EXPECT_EQ(planes.redVelocity[edge], -5.0f);
    const int hole = cellAt(60, 50);
    EXPECT_EQ(planes.green[hole], -58.0f);
    EXPECT_EQ(planes.greenVelocity[hole], 3.0f);

    const int phase = cellAt(70, 70);
    EXPECT_NEAR(planes.redVelocity[phase], 3.0f, 1e-3);
    EXPECT_EQ(planes.greenVelocity[phase], -5.0f);
    EXPECT_NEAR(planes.blueVelocity[phase], 3.0f, 1e-3);
}

TEST_F(FlyingLetters, FirstFrameRespawnsEveryLetterFarAway) {
    const int32_t before = randomState.seed;
    scatter();
    int strokePoints = 0;
    for (int letter = 0; letter < 145; ++letter) {
        const float z = particles.particleZ[letter];
        EXPECT_GE(z, 800.0f) << letter;
        EXPECT_LE(z, 1599.0f) << letter;
        EXPECT_GE(particles.particleX[letter], -400.0f) << letter;
        EXPECT_LE(particles.particleX[letter], 399.0f) << letter;
        EXPECT_GE(particles.particleY[letter], -300.0f) << letter;
        EXPECT_LE(particles.particleY[letter], 99.0f) << letter;
        const int32_t tag = particles.particleTag[letter];
        ASSERT_GE(tag, 0);
        ASSERT_LT(tag, 26);
        strokePoints += strokePointCount(letterStrokes[tag]);
    }
    EXPECT_EQ(shared.particleCount, strokePoints);

    // Four draws per letter; the next frame only brings every letter 10 nearer.
    const int32_t afterFirst = randomState.seed;
    randomState.seed = before;
    for (int i = 0; i < 4 * 145; ++i) {
        nextRandom();
    }
    EXPECT_EQ(randomState.seed, afterFirst);
    const float firstDepth = particles.particleZ[0];
    shared.frameCounter += 1;
    scatter();
    EXPECT_EQ(randomState.seed, afterFirst);
    EXPECT_EQ(particles.particleZ[0], firstDepth - 10);
}

TEST_F(FlyingLetters, ALetterRespawnsOnlyOnceItsDepthFallsBelowOne) {
    placeLetters(11.0f, 3);
    particles.particleZ[7] = 10.5f;
    const int32_t before = randomState.seed;
    scatter();
    EXPECT_EQ(particles.particleZ[6], 1.0f);
    EXPECT_GE(particles.particleZ[7], 800.0f);
    randomState.seed = before;
    const int depth = nextRandom() % 800;
    EXPECT_EQ(particles.particleZ[7], 800.0f + depth);
}

TEST_F(FlyingLetters, StoredTagsBecomeLetterNumbersAndStrokePartners) {
    // 8, -8, 8 + 26 k and -(8 + 26 k) all name the letter I: three strokes of two points each.
    placeLetters(500.0f, 0);
    const int32_t tags[4] = {8, -8, 8 + 26 * 1000, -(8 + 26 * 3)};
    for (int letter = 0; letter < 145; ++letter) {
        particles.particleTag[letter] = tags[letter % 4];
    }
    scatter();
    EXPECT_EQ(shared.particleCount, 145 * 6);
    for (int letter = 0; letter < 145; ++letter) {
        ASSERT_EQ(particles.particleTag[letter], 8) << letter;
    }
    for (int n = 0; n < shared.particleCount; ++n) {
        // Each stroke's first point pairs with itself, its second with the first.
        const int expected = n % 2 == 0 ? modelBase + n : modelBase + n - 1;
        ASSERT_EQ(particles.particleTag[modelBase + n], expected) << n;
    }
    // The vertical stroke of the I runs from y 115 to 178, placed at the letter's height.
    EXPECT_EQ(modelY(0), 115.0f);
    EXPECT_EQ(modelY(1), 178.0f);

    // The most negative tag counts by its size: 2^31 mod 26 = 24, the letter Y.
    placeLetters(500.0f, std::numeric_limits<int32_t>::min());
    scatter();
    EXPECT_EQ(particles.particleTag[0], 24);
    EXPECT_EQ(shared.particleCount, 145 * strokePointCount(letterStrokes[24]));
}

} // namespace
} // namespace glowfield::test
