// Random sequence, table trigonometry, start-up noise and the wave step.
#include <cmath>
#include <limits>
#include <vector>

#include "field/field.h"
#include "field/random.h"
#include "field/trig.h"
#include "test_support.h"

namespace glowfield::test {
namespace {

using FieldTest = StateTest;

TEST_F(FieldTest, RandomSequenceIsTheFixedLinearCongruence) {
    EXPECT_EQ(nextRandom(), 41);
    EXPECT_EQ(nextRandom(), 18467);
    EXPECT_EQ(nextRandom(), 6334);
    // The seed wraps around in 32 bits, so a negative seed is as good as any.
    seedRandom(-1);
    const int first = nextRandom();
    EXPECT_EQ(randomState.seed, static_cast<int32_t>(0xffffffffu * 214013u + 2531011u));
    EXPECT_EQ(first, (static_cast<uint32_t>(randomState.seed) >> 16) & 0x7fff);
    for (int i = 0; i < 1000; ++i) {
        const int r = nextRandom();
        ASSERT_GE(r, 0);
        ASSERT_LE(r, 32767);
    }
}

// Numbers worked out ahead must be the sequence itself, across block edges, and the generator must go on
// from the last one taken, not from the end of the block worked out.
TEST_F(FieldTest, NumbersWorkedOutAheadAreTheSequenceAndTheGeneratorGoesOnFromTheLastTaken) {
    for (const int count : {0, 1, 63, 64, 65, 1000}) {
        seedRandom(-12345 + count);
        std::vector<int> expected;
        for (int i = 0; i < count + 3; ++i) {
            expected.push_back(nextRandom());
        }
        seedRandom(-12345 + count);
        RandomAhead ahead;
        for (int i = 0; i < count; ++i) {
            ASSERT_EQ(ahead.take(), expected[static_cast<size_t>(i)]) << count << " taken, number " << i;
        }
        ahead.finish();
        for (int i = count; i < count + 3; ++i) {
            ASSERT_EQ(nextRandom(), expected[static_cast<size_t>(i)]) << count << " taken, then number " << i;
        }
    }
}

TEST_F(FieldTest, SineTableHoldsOneTurnInSinglePrecisionSteps) {
    buildSineTable();
    EXPECT_EQ(sineTable[0], 0.0f);
    EXPECT_EQ(sineTable[10000], static_cast<float>(std::sin(10000.0 * 6.2831855f * 0.000025f)));
    EXPECT_NEAR(sineTable[10000], 1.0f, 1e-6f);
    EXPECT_NEAR(sineTable[20000], 0.0f, 1e-6f);
    EXPECT_NEAR(sineTable[30000], -1.0f, 1e-6f);
    EXPECT_LT(sineTable[39999], 0.0f);
}

TEST_F(FieldTest, FastSinRoundsDownToTheTableStepAndIsOdd) {
    buildSineTable();
    EXPECT_EQ(fastSin(0.0f), 0.0f);
    // Index = trunc(a * 20000 / pi): just below 2 pi lands on the last entry.
    const float belowTurn = std::nextafter(6.2831855f, 0.0f);
    EXPECT_EQ(fastSin(belowTurn), sineTable[39999]);
    EXPECT_EQ(fastSin(1.0f), sineTable[static_cast<int>(1.0 * 20000.0 * 0.31830987f)]);
    for (float x : {0.001f, 0.5f, 1.0f, 3.0f, 100.25f, 12345.678f}) {
        EXPECT_EQ(fastSin(-x), -fastSin(x)) << x;
    }
    // Beyond one turn the index wraps through the table only, so x and x + 2 pi may differ by a step.
    EXPECT_NEAR(fastSin(1.0f + 6.2831855f), fastSin(1.0f), 2e-4f);
    // The cosine adds a quarter turn, rounded to single precision first.
    EXPECT_EQ(fastCos(0.0f), fastSin(1.5707964f));
    EXPECT_EQ(fastCos(2.0f), fastSin(static_cast<float>(2.0 + 1.5707964f)));
}

TEST_F(FieldTest, FastSinOfAnyInputReadsInsideTheTable) {
    buildSineTable();
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_EQ(fastSin(std::numeric_limits<float>::quiet_NaN()), 0.0f);
    EXPECT_EQ(fastSin(inf), 0.0f);
    EXPECT_EQ(fastSin(-inf), 0.0f);
    EXPECT_EQ(fastCos(inf), 0.0f);
    // The last angle whose index still fits 32 bits keeps the documented formula.
    const float edge = 337000.0f;
    EXPECT_EQ(fastSin(edge), sineTable[static_cast<int>(edge * 20000.0 * 0.31830987f) % 40000]);
    // Far beyond, the table's period simply continues.
    for (float x : {1e6f, 3.3e7f, 1e20f, 3.4e38f, -3.4e38f}) {
        const float s = fastSin(x);
        EXPECT_TRUE(std::isfinite(s)) << x;
        EXPECT_LE(std::fabs(s), 1.0f) << x;
    }
}

TEST_F(FieldTest, StartUpNoiseOnlyBumpsInnerVelocities) {
    field.gridSize = 200;
    planes.red[cellAt(5, 5)] = 9.0f;
    planes.red[cellAt(220, 220)] = 7.0f; // outside the live grid: never touched
    seedFieldNoise();
    int bumped = 0;
    for (int x = 0; x < 200; ++x) {
        for (int y = 0; y < 200; ++y) {
            const int c = cellAt(x, y);
            ASSERT_EQ(planes.red[c], 0.0f);
            ASSERT_EQ(planes.green[c], 0.0f);
            ASSERT_EQ(planes.blue[c], 0.0f);
            const bool border = x == 0 || y == 0 || x == 199 || y == 199;
            for (const float* v : {planes.redVelocity, planes.greenVelocity, planes.blueVelocity}) {
                if (border) {
                    ASSERT_EQ(v[c], 0.0f) << x << "," << y;
                } else if (v[c] != 0.0f) {
                    ++bumped;
                }
            }
        }
    }
    EXPECT_GT(bumped, 3 * 30000); // about 88 % of the inner cells of each plane
    EXPECT_EQ(planes.red[cellAt(220, 220)], 7.0f);
    // Exactly 81000 draws were made.
    const int32_t seedAfterNoise = randomState.seed;
    seedRandom(1);
    for (int i = 0; i < 81000; ++i) {
        nextRandom();
    }
    EXPECT_EQ(randomState.seed, seedAfterNoise);
}

// Each bump adds 9 v to its plane's total and 9 v X (9 v Y) to its X- (Y-) weighted total, whatever the other
// bumps do, so the totals tell whether X, Y and the value come from the right draws of the right plane.
TEST_F(FieldTest, StartUpNoiseDrawsXThenYThenValuePerPlaneInRgbOrder) {
    field.gridSize = 200;
    double expected[3][3] = {};
    seedRandom(7);
    for (int round = 0; round < 9000; ++round) {
        for (auto& plane : expected) {
            const int x = nextRandom() % 196 + 2;
            const int y = nextRandom() % 196 + 2;
            const double v = (nextRandom() % 30000 - 15000) * static_cast<double>(0.00006666667f);
            plane[0] += 9 * v;
            plane[1] += 9 * v * x;
            plane[2] += 9 * v * y;
        }
    }
    seedRandom(7);
    seedFieldNoise();
    const float* velocities[3] = {planes.redVelocity, planes.greenVelocity, planes.blueVelocity};
    for (int p = 0; p < 3; ++p) {
        double total = 0, byX = 0, byY = 0;
        for (int x = 0; x < 200; ++x) {
            for (int y = 0; y < 200; ++y) {
                const double v = velocities[p][cellAt(x, y)];
                total += v;
                byX += v * x;
                byY += v * y;
            }
        }
        EXPECT_NEAR(total, expected[p][0], 0.05) << "plane " << p;
        EXPECT_NEAR(byX, expected[p][1], 5.0) << "plane " << p;
        EXPECT_NEAR(byY, expected[p][2], 5.0) << "plane " << p;
    }
}

TEST_F(FieldTest, UniformStillFieldStaysUniformAndDecays) {
    field.gridSize = 200;
    for (int x = 0; x < 200; ++x) {
        for (int y = 0; y < 200; ++y) {
            planes.red[cellAt(x, y)] = 100.0f;
            planes.green[cellAt(x, y)] = -50.0f;
        }
    }
    waveStep();
    const float red = static_cast<float>(100.0f * 0.994);
    const float green = static_cast<float>(-50.0f * 0.994);
    for (int x = 0; x < 200; ++x) {
        for (int y = 0; y < 200; ++y) {
            ASSERT_EQ(planes.red[cellAt(x, y)], red);
            ASSERT_EQ(planes.green[cellAt(x, y)], green);
            ASSERT_EQ(planes.blue[cellAt(x, y)], 0.0f);
            ASSERT_EQ(planes.redVelocity[cellAt(x, y)], 0.0f);
        }
    }
    EXPECT_EQ(field.scanX, 200);
    EXPECT_EQ(field.scanY, 200);
}

TEST_F(FieldTest, WaveStepSpreadsToNeighboursAndLeavesBorderVelocities) {
    field.gridSize = 200;
    planes.blue[cellAt(50, 60)] = 10.0f;
    planes.redVelocity[cellAt(0, 30)] = 2.0f; // border: no velocity update, keeps moving its colour
    waveStep();
    // The centre loses 0.2 * 4 * 10 of velocity, each neighbour gains 0.2 * 10.
    EXPECT_EQ(planes.blueVelocity[cellAt(50, 60)], static_cast<float>(0.2 * -40.0));
    EXPECT_EQ(planes.blueVelocity[cellAt(51, 60)], static_cast<float>(0.2 * 10.0));
    EXPECT_EQ(planes.blueVelocity[cellAt(50, 59)], static_cast<float>(0.2 * 10.0));
    EXPECT_EQ(planes.blueVelocity[cellAt(52, 60)], 0.0f);
    EXPECT_EQ(planes.blue[cellAt(50, 60)],
              static_cast<float>(10.0f * 0.994 + static_cast<float>(0.2 * -40.0)));
    EXPECT_EQ(planes.red[cellAt(0, 30)], 2.0f);
    waveStep();
    EXPECT_EQ(planes.redVelocity[cellAt(0, 30)], 2.0f);
    EXPECT_EQ(planes.red[cellAt(0, 30)], static_cast<float>(2.0f * 0.994 + 2.0f));
}

TEST_F(FieldTest, WaveStepLeavesScratchOfTheLastBlueCellAndTheStoredRest) {
    field.gridSize = 200;
    planes.blue[cellAt(198, 198)] = 3.0f;
    planes.blue[cellAt(197, 198)] = 1.0f;
    planes.red[cellAt(200, 5)] = 42.0f; // beyond the live grid
    planes.redVelocity[cellAt(5, 200)] = 1.0f;
    waveStep();
    EXPECT_EQ(field.centreScratch, 12.0f);
    EXPECT_EQ(field.laplaceScratch, static_cast<float>(0.2 * (1.0 - 12.0)));
    EXPECT_EQ(planes.red[cellAt(200, 5)], 42.0f);
    EXPECT_EQ(planes.red[cellAt(5, 200)], 0.0f);
    EXPECT_EQ(planes.redVelocity[cellAt(5, 200)], 1.0f);
}

} // namespace
} // namespace glowfield::test
