// Spokes, pulses, curves, flares and spirals: which cells each effect writes, how many numbers it draws and
// what it leaves in the shared spot.
#include <cmath>
#include <functional>

#include "effect_checks.h"
#include "effects/effect_routines.h"
#include "field/numeric.h"
#include "field/trig.h"

namespace glowfield::test {
namespace {

using EffectsOneToEight = EffectTest;

TEST_F(EffectsOneToEight, FlowerSetsSpokesWithinTheRadiusAndLeavesTheLastAngleAtTheCentre) {
    shared.frameCounter = 1234;
    DrawCounter draws;
    const std::vector<int> d = draws.upcoming(93);
    const PlaneCopy red(planes.red);
    flower();

    EXPECT_EQ(draws.count(), 3 * 100 * 24);
    int written = 0;
    for (int x = 0; x < planeStride; ++x) {
        for (int y = 0; y < planeStride; ++y) {
            if (!red.changed(x, y)) {
                continue;
            }
            ++written;
            ASSERT_LE((x - 100) * (x - 100) + (y - 100) * (y - 100), 100 * 100) << x << "," << y;
            ASSERT_NE(planes.green[cellAt(x, y)], untouched);
            ASSERT_NE(planes.blue[cellAt(x, y)], untouched);
            ASSERT_LE(std::fabs(planes.red[cellAt(x, y)]), 127.0f);
        }
    }
    EXPECT_GT(written, 1000);
    // Ring 0 writes the centre 24 times, but ring 1 lands on it again at the angles 15 to 90 (the degree
    // factor is a little below pi / 180, so cos 90 stays positive): its angle-90 values (draws 90..92) stay.
    const float sine = fastSin(toFloat(1235.0 * static_cast<double>(0.09989013f)));
    EXPECT_EQ(planes.red[cellAt(100, 100)], toFloat((d[90] % 18 + 110) * static_cast<double>(sine)));
    const float cosine = fastCos(toFloat(1235.0 * static_cast<double>(0.01428347f)));
    EXPECT_EQ(planes.blue[cellAt(100, 100)], toFloat((d[92] % 18 + 110) * static_cast<double>(cosine)));
}

TEST_F(EffectsOneToEight, KaleidiscoAdvancesTheClockBeforeDrivingThreeCentreCells) {
    for (uint32_t start : {0u, 520u, 1560u, 4000000000u}) {
        shared.frameCounter = start;
        DrawCounter draws;
        const int d = draws.upcoming(1)[0];
        const FieldCopy before;
        kaleidisco();

        const float s = fastSin(toFloat(start * static_cast<double>(0.003021148f)));
        const int m = truncToInt(s * 10.0 + 24);
        ASSERT_GE(m, 14);
        ASSERT_LE(m, 34);
        EXPECT_EQ(draws.count(), 1);
        EXPECT_EQ(shared.frameCounter, start + static_cast<uint32_t>(d % m));
        EXPECT_EQ(before.changedCount(), 3);
        const double now = shared.frameCounter;
        EXPECT_EQ(planes.green[cellAt(98, 100)],
                  toFloat(fastSin(toFloat(now * static_cast<double>(0.004321521f))) * 700.0));
        EXPECT_EQ(planes.blue[cellAt(97, 100)], toFloat(fastSin(toFloat(now * 0.01)) * 700.0));
    }
}

TEST_F(EffectsOneToEight, LaceDrawsEachCurveAsAVerticalAndAHorizontalBand) {
    shared.frameCounter = 77;
    DrawCounter draws;
    const PlaneCopy red(planes.red);
    lace();

    EXPECT_EQ(draws.count(), 12 * 198);
    for (int x = 0; x < 200; ++x) {
        for (int y = 0; y < 200; ++y) {
            // Every cell of a vertical band has its twin in the horizontal band.
            ASSERT_EQ(red.changed(x, y), red.changed(y, x)) << x << "," << y;
            if (red.changed(x, y)) {
                ASSERT_LE(std::fabs(planes.red[cellAt(x, y)]), 62.0f);
                ASSERT_TRUE((x >= 49 && x <= 150) || (y >= 49 && y <= 150));
            }
        }
    }
    for (int a = 1; a <= 198; ++a) {
        int inRow = 0;
        for (int x = 49; x <= 150; ++x) {
            inRow += red.changed(x, a) ? 1 : 0;
        }
        ASSERT_GE(inRow, 2) << "row " << a; // the curve and its mirror image
    }
    for (int k = 0; k < 200; ++k) {
        ASSERT_FALSE(red.changed(0, k) || red.changed(199, k) || red.changed(k, 0) || red.changed(k, 199));
    }
}

struct Flare {
    const char* name;
    void (*routine)();
    int draws;                                         // on an acting frame
    std::function<void(const std::vector<int>&)> spot; // checks spotX/spotY against the draws
};

TEST_F(EffectsOneToEight, FlaresActEveryTenthFrameWithABumpOverTheWholeGrid) {
    const Flare flares[] = {
        {"magnesiumFire", magnesiumFire, 2,
         [](const std::vector<int>& d) {
             EXPECT_EQ(shared.spotX, (d[0] % 200) / 4 + 75);
             EXPECT_EQ(shared.spotY, 198);
         }},
        {"pond", pond, 3,
         [](const std::vector<int>& d) {
             EXPECT_EQ(shared.spotX, d[0] % 200);
             EXPECT_EQ(shared.spotY, d[1] % 200);
         }},
        {"ripple", ripple, 2,
         [](const std::vector<int>& d) {
             EXPECT_EQ(shared.spotX, (d[0] % 200) / 2 + 50);
             EXPECT_EQ(shared.spotY, 103);
         }},
    };
    for (const Flare& flare : flares) {
        SCOPED_TRACE(flare.name);
        fillColours(0.0f);
        shared.spotX = shared.spotY = 77;

        shared.frameCounter = 11;
        DrawCounter idle;
        const uint64_t unchanged = fieldHash();
        flare.routine();
        EXPECT_EQ(idle.count(), 0);
        EXPECT_EQ(fieldHash(), unchanged);
        EXPECT_EQ(shared.spotX, 77);

        shared.frameCounter = 20;
        DrawCounter draws;
        const std::vector<int> d = draws.upcoming(3);
        const FieldCopy before;
        flare.routine();
        EXPECT_EQ(draws.count(), flare.draws);
        flare.spot(d);
        // The last draw picks the colour; that plane changes on all 40000 live cells, nothing else changes.
        const int chosen = d[flare.draws - 1] % 3;
        for (int p = 0; p < 6; ++p) {
            EXPECT_EQ(before.planesBefore[p].changedCount(), p == chosen ? 200 * 200 : 0) << "plane " << p;
        }
        const float* plane = before.planesBefore[chosen].source;
        EXPECT_EQ(plane[cellAt(shared.spotX, shared.spotY)], 2000.0f);
        const int dy = shared.spotY;
        EXPECT_EQ(plane[cellAt(shared.spotX, 0)], toFloat(4000.0 / (dy * dy + 2)));
        EXPECT_EQ(plane[cellAt(200, 0)], 0.0f);
    }
}

TEST_F(EffectsOneToEight, SmearPushesASpiralIntoOneVelocityPlaneEveryFortiethFrame) {
    fillVelocities(0.0f);
    shared.frameCounter = 39;
    DrawCounter idle;
    const uint64_t unchanged = fieldHash();
    smear();
    EXPECT_EQ(idle.count(), 0);
    EXPECT_EQ(fieldHash(), unchanged);

    shared.frameCounter = 40;
    DrawCounter draws;
    const std::vector<int> d = draws.upcoming(3);
    const FieldCopy before;
    smear();
    EXPECT_EQ(draws.count(), 3);
    EXPECT_EQ(shared.spotX, d[0] % 198 + 1);
    EXPECT_EQ(shared.spotY, d[1] % 198 + 1);
    const int chosen = 3 + d[2] % 3;
    for (int p = 0; p < 6; ++p) {
        EXPECT_EQ(before.planesBefore[p].changedCount() > 0, p == chosen) << "plane " << p;
    }
    const float* plane = before.planesBefore[chosen].source;
    for (int x = 0; x < 200; ++x) {
        for (int y = 0; y < 200; ++y) {
            const float v = plane[cellAt(x, y)];
            ASSERT_EQ(std::fmod(v, 4.0f), 0.0f);
            if (v != 0) {
                const int dx = x - shared.spotX, dy = y - shared.spotY;
                ASSERT_LE(dx * dx + dy * dy, 52 * 52);
            }
        }
    }
}

TEST_F(EffectsOneToEight, SmearNeverWritesTheTwoOuterRowsAndColumns) {
    fillVelocities(0.0f);
    shared.frameCounter = 80;
    // Steer the centre onto (1, 1), next to the corner.
    seedWhere([](const std::vector<int>& d) { return d[0] % 198 == 0 && d[1] % 198 == 0; });
    smear();
    ASSERT_EQ(shared.spotX, 1);
    ASSERT_EQ(shared.spotY, 1);
    int written = 0;
    for (const float* plane : {planes.redVelocity, planes.greenVelocity, planes.blueVelocity}) {
        for (int x = 0; x < 200; ++x) {
            for (int y = 0; y < 200; ++y) {
                if (plane[cellAt(x, y)] != 0) {
                    ++written;
                    ASSERT_TRUE(x >= 2 && x <= 197 && y >= 2 && y <= 197) << x << "," << y;
                }
            }
        }
    }
    EXPECT_GT(written, 100);
}

TEST_F(EffectsOneToEight, PrimaryBoatsSetThreeCellsAndLeaveTheGreenBoatInTheSpot) {
    for (uint32_t f = 0; f < 3000; f += 37) {
        fillColours(0.0f);
        shared.frameCounter = f;
        DrawCounter draws;
        const FieldCopy before;
        primaryBoats();
        ASSERT_EQ(draws.count(), 0);
        ASSERT_GE(shared.spotX, 10);
        ASSERT_LE(shared.spotX, 190);
        ASSERT_GE(shared.spotY, 10);
        ASSERT_LE(shared.spotY, 190);
        ASSERT_EQ(planes.green[cellAt(shared.spotX, shared.spotY)], 700.0f);
        for (int p = 0; p < 3; ++p) {
            ASSERT_EQ(before.planesBefore[p].changedCount(), 1) << "plane " << p << " at frame " << f;
        }
    }
}

} // namespace
} // namespace glowfield::test
