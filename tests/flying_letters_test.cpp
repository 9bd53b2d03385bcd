// Letters (dark holes under dark cells) and Scatter (stroke-font letters flying at the viewer).
#include <cstdint>
#include <limits>

#include "app/frame_loop.h"
#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "effects/shared/lettering.h"
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

    // Every letter at depth z with the stored tag.
    static void placeLetters(float z, int32_t tag) {
        for (int letter = 0; letter < 145; ++letter) {
            particles.particleZ[letter] = z;
            particles.particleTag[letter] = tag;
        }
    }
};

TEST_F(FlyingLetters, DarkCellBelowPunchesAHoleAndWritesNoVelocity) {
    fillField({-120.0f});
    // Each inner cell tests the untouched cell below it, so a dark field turns dark grey down every column.
    letters();
    for (int x = 0; x < 200; ++x) {
        const bool inner = x >= 1 && x <= 198;
        ASSERT_EQ(planes.red[cellAt(x, 1)], inner ? -58.0f : -120.0f) << x;
        ASSERT_EQ(planes.blue[cellAt(x, 198)], inner ? -58.0f : -120.0f) << x;
        ASSERT_EQ(planes.greenVelocity[cellAt(x, 100)], -120.0f) << x;
    }
    // Exactly -300 below is no hole; a colour difference of 120 is half a turn: 8 sin^2(pi/2) - 5 = 3.
    fillField({0.0f});
    planes.red[cellAt(50, 51)] = planes.green[cellAt(50, 51)] = planes.blue[cellAt(50, 51)] = -100.0f;
    planes.red[cellAt(50, 50)] = 120.0f;
    letters();
    EXPECT_EQ(planes.red[cellAt(50, 50)], 120.0f);
    EXPECT_NEAR(planes.redVelocity[cellAt(50, 50)], 3.0f, 1e-3);
    EXPECT_EQ(planes.greenVelocity[cellAt(50, 50)], -5.0f);
    EXPECT_NEAR(planes.blueVelocity[cellAt(50, 50)], 3.0f, 1e-3);
}

TEST_F(FlyingLetters, LettersRespawnFarAwayOnceNearerThanOne) {
    // From an empty store every letter respawns, four draws each.
    const int32_t before = randomState.seed;
    scatter();
    int strokePoints = 0;
    for (int letter = 0; letter < 145; ++letter) {
        EXPECT_GE(particles.particleZ[letter], 800.0f) << letter;
        EXPECT_LE(particles.particleZ[letter], 1599.0f) << letter;
        EXPECT_GE(particles.particleY[letter], -300.0f) << letter;
        EXPECT_LE(particles.particleY[letter], 99.0f) << letter;
        strokePoints += strokePointCount(letterStrokes[particles.particleTag[letter]]);
    }
    EXPECT_EQ(shared.particleCount, strokePoints);
    const int32_t after = randomState.seed;
    randomState.seed = before;
    for (int draw = 0; draw < 4 * 145; ++draw) {
        nextRandom();
    }
    EXPECT_EQ(randomState.seed, after);

    // Depth 11 comes to 1 and stays; 10.5 comes below 1 and respawns.
    placeLetters(11.0f, 3);
    particles.particleZ[7] = 10.5f;
    scatter();
    EXPECT_EQ(particles.particleZ[6], 1.0f);
    randomState.seed = after;
    EXPECT_EQ(particles.particleZ[7], 800.0f + nextRandom() % 800);
}

TEST_F(FlyingLetters, StoredTagsBecomeLetterNumbersAndStrokePartners) {
    // 8, -8, 8 + 26 k and -(8 + 26 k) all name the letter I: three strokes of two points each.
    placeLetters(500.0f, 0);
    const int32_t tags[4] = {8, -8, 8 + 26 * 1000, -(8 + 26 * 3)};
    for (int letter = 0; letter < 145; ++letter) {
        particles.particleTag[letter] = tags[letter % 4];
    }
    scatter();
    ASSERT_EQ(shared.particleCount, 145 * 6);
    for (int n = 0; n < shared.particleCount; ++n) {
        // Each stroke's first point pairs with itself, its second with the first.
        ASSERT_EQ(particles.particleTag[modelBase + n], modelBase + n - n % 2) << n;
    }
    EXPECT_EQ(particles.particleTag[3], 8);
    EXPECT_EQ(modelY(1), 178.0f);

    // The most negative tag counts by its size: 2^31 mod 26 = 24, the letter Y.
    placeLetters(500.0f, std::numeric_limits<int32_t>::min());
    scatter();
    EXPECT_EQ(particles.particleTag[0], 24);
    EXPECT_EQ(shared.particleCount, 145 * strokePointCount(letterStrokes[24]));
}

} // namespace
} // namespace glowfield::test
