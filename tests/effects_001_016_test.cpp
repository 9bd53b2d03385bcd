// Effects 1 to 16 (spokes, pulses, curves, flares, spirals, lattices, borders, circles, mirrors): which cells
// each writes and leaves alone, values at chosen cells, and what stays in the shared globals.
#include <cmath>

#include "effect_checks.h"
#include "effects/effect_routines.h"
#include "field/numeric.h"
#include "field/trig.h"

namespace glowfield::test {
namespace {

using EffectsOneToSixteen = EffectTest;

bool onBorder(int x, int y) {
    return x == 0 || y == 0 || x == 199 || y == 199;
}

TEST_F(EffectsOneToSixteen, FlowerStaysWithinItsRadiusAndRingOneHasTheLastWordAtTheCentre) {
    shared.frameCounter = 1234;
    const std::vector<int> d = DrawCounter::upcoming(93);
    const Snapshot before;
    flower();
    for (int x = 0; x < planeStride; ++x) {
        for (int y = 0; y < planeStride; ++y) {
            if (before.changed(0, x, y)) {
                ASSERT_LE((x - 100) * (x - 100) + (y - 100) * (y - 100), 100 * 100) << x << "," << y;
                ASSERT_TRUE(before.changed(2, x, y));
            }
        }
    }
    // Ring 0 writes the centre 24 times, but ring 1 lands on it again at the angles 15 to 90 (the degree
    // factor is a little below pi / 180, so cos 90 stays positive): its angle-90 values (draws 90..92) stay.
    const float sine = fastSin(toFloat(1235.0 * static_cast<double>(0.09989013f)));
    EXPECT_EQ(planes.red[cellAt(100, 100)], toFloat((d[90] % 18 + 110) * static_cast<double>(sine)));
}

TEST_F(EffectsOneToSixteen, KaleidiscoAdvancesTheClockBeforeDrivingThreeCentreCells) {
    for (uint32_t start : {0u, 520u, 1560u, 4294967290u}) {
        shared.frameCounter = start;
        const int d = DrawCounter::upcoming(1)[0];
        const Snapshot before;
        kaleidisco();
        const int m = truncToInt(fastSin(toFloat(start * static_cast<double>(0.003021148f))) * 10.0 + 24);
        EXPECT_EQ(shared.frameCounter, start + static_cast<uint32_t>(d % m));
        EXPECT_EQ(before.changedCount(0) + before.changedCount(1) + before.changedCount(2), 3);
        EXPECT_EQ(planes.blue[cellAt(97, 100)],
                  toFloat(fastSin(toFloat(shared.frameCounter * 0.01)) * 700.0));
    }
}

TEST_F(EffectsOneToSixteen, FlaresAddABumpToOneDrawnColourOverTheWholeGrid) {
    using Coordinate = int (*)(const std::vector<int>&);
    const struct {
        void (*routine)();
        int draws; // the last one picks the colour
        Coordinate spotX, spotY;
    } cases[] = {
        {magnesiumFire, 2, [](const std::vector<int>& d) { return (d[0] % 200) / 4 + 75; },
         [](const std::vector<int>&) { return 198; }},
        {pond, 3, [](const std::vector<int>& d) { return d[0] % 200; },
         [](const std::vector<int>& d) { return d[1] % 200; }},
        {ripple, 2, [](const std::vector<int>& d) { return (d[0] % 200) / 2 + 50; },
         [](const std::vector<int>&) { return 103; }},
    };
    for (const auto& c : cases) {
        fillColours(0.0f);
        shared.frameCounter = 50;
        const std::vector<int> d = DrawCounter::upcoming(3);
        const Snapshot before;
        c.routine();
        EXPECT_EQ(shared.spotX, c.spotX(d));
        EXPECT_EQ(shared.spotY, c.spotY(d));
        const int chosen = d[c.draws - 1] % 3;
        for (int p = 0; p < 6; ++p) {
            EXPECT_EQ(before.changedCount(p), p == chosen ? 200 * 200 : 0) << "plane " << p;
        }
        const int dy = shared.spotY;
        EXPECT_EQ(allPlanes[chosen][cellAt(shared.spotX, dy)], 2000.0f);
        EXPECT_EQ(allPlanes[chosen][cellAt(shared.spotX, 0)], toFloat(4000.0 / (dy * dy + 2)));
    }
}

TEST_F(EffectsOneToSixteen, SpiralsNearTheEdgeKeepToTheirLimits) {
    // Smear: a velocity spiral centred on (1, 1) never writes the two outer rows and columns.
    fillPlane(planes.redVelocity, 0.0f);
    shared.frameCounter = 80;
    seedWhere([](const std::vector<int>& d) { return d[0] % 198 == 0 && d[1] % 198 == 0 && d[2] % 3 == 0; });
    smear();
    int written = 0;
    for (int x = 0; x < 200; ++x) {
        for (int y = 0; y < 200; ++y) {
            const float v = planes.redVelocity[cellAt(x, y)];
            ASSERT_TRUE(v == 0 || (x >= 2 && x <= 197 && y >= 2 && y <= 197)) << x << "," << y;
            ASSERT_EQ(std::fmod(v, 4.0f), 0.0f);
            written += v != 0 ? 1 : 0;
        }
    }
    EXPECT_GT(written, 100);

    // Ten: a dark spiral (draw 4 of 5) on column 1 cuts all three colours, but only strictly inside.
    shared.frameCounter = 40;
    seedWhere([](const std::vector<int>& d) { return d[0] % 198 == 0 && d[2] % 5 == 4; });
    const Snapshot before;
    ten();
    EXPECT_GT(before.changedCount(0), 100);
    EXPECT_EQ(before.changedCount(0), before.changedCount(2));
    EXPECT_EQ(planes.green[cellAt(1, shared.spotY)], 0.0f);
    for (int y = 0; y < planeStride; ++y) {
        ASSERT_FALSE(before.changed(0, 0, y));
    }
}

TEST_F(EffectsOneToSixteen, TartanKicksALatticeIntoOneVelocityPlaneAndLeavesItsStep) {
    const std::vector<int> d = DrawCounter::upcoming(2);
    float* plane = allPlanes[3 + d[0] % 3];
    fillPlane(plane, 0.0f);
    shared.frameCounter = 30;
    tartan();
    const float v = (d[1] & 1) ? -10.0f : 10.0f;
    EXPECT_EQ(shared.lastChannel, static_cast<int32_t>(v));
    EXPECT_EQ(plane[cellAt(1, 5)], v);
    EXPECT_EQ(plane[cellAt(5, 176)], v);
    EXPECT_EQ(plane[cellAt(26, 51)], 2 * v); // a crossing
    EXPECT_EQ(plane[cellAt(2, 2)], 0.0f);
    EXPECT_EQ(plane[cellAt(1, 0)], 0.0f);
    EXPECT_EQ(plane[cellAt(201, 1)], 0.0f);
}

TEST_F(EffectsOneToSixteen, VapoursWritesWholeNumbersOnTheBorderAndZerosAfterAnEvenDraw) {
    shared.frameCounter = 40;
    const std::vector<int> d = DrawCounter::upcoming(990);
    const Snapshot before;
    theVapours();
    for (int x = 0; x < 200; ++x) {
        for (int y = 0; y < 200; ++y) {
            ASSERT_TRUE(onBorder(x, y) || !(before.changed(0, x, y) || before.changed(1, x, y)))
                << x << "," << y;
        }
    }
    for (int p = 1; p <= 198; ++p) {
        const float written[4] = {planes.red[cellAt(0, p)], planes.blue[cellAt(199, p)],
                                  planes.green[cellAt(p, 0)], planes.red[cellAt(p, 199)]};
        for (float v : written) {
            ASSERT_TRUE(v == std::trunc(v) && v >= 0 && v < 255) << v;
            ASSERT_TRUE(v == 0 || d[5 * (p - 1)] % 2 == 1) << "step " << p;
        }
        ASSERT_EQ(planes.green[cellAt(p, 199)], written[3]);
    }
    EXPECT_EQ(planes.red[cellAt(0, 0)], untouched);
}

TEST_F(EffectsOneToSixteen, TwitchScramblesTwoColoursMotionAndStillsTheDrawnOne) {
    shared.frameCounter = 121;
    const int chosen = DrawCounter::upcoming(1)[0] % 3;
    const Snapshot before;
    twitch();
    for (int p = 0; p < 3; ++p) {
        for (int x = 0; x < 200; ++x) {
            for (int y = 0; y < 200; ++y) {
                const float v = allPlanes[3 + p][cellAt(x, y)];
                if (onBorder(x, y)) {
                    ASSERT_FALSE(before.changed(3 + p, x, y));
                } else {
                    ASSERT_TRUE(p == chosen ? v >= 0 && v <= 2 : v >= -25 && v <= 24) << v;
                }
            }
        }
    }
}

TEST_F(EffectsOneToSixteen, WheelAndWiggleLeaveTheirLastPointInTheSpot) {
    shared.frameCounter = 500;
    wheel();
    // The wheel's last third pairs blue with green, the wiggle's second half red with blue, in opposite
    // phase.
    EXPECT_EQ(planes.green[cellAt(shared.spotX, shared.spotY)],
              -planes.blue[cellAt(shared.spotX, shared.spotY)]);
    EXPECT_NEAR(std::hypot(shared.spotX - 99.5, shared.spotY - 99.5), 0.4 * 199, 1.5);
    wiggle();
    EXPECT_EQ(planes.red[cellAt(shared.spotX, shared.spotY)],
              -planes.blue[cellAt(shared.spotX, shared.spotY)]);
}

TEST_F(EffectsOneToSixteen, MirrorAveragesEveryThirdCellWithItsMirrorAndTruncates) {
    for (int p = 0; p < 3; ++p) {
        for (int x = 0; x < 200; ++x) {
            for (int y = 0; y < 200; ++y) {
                allPlanes[p][cellAt(x, y)] = static_cast<float>((x * 7 + y * 13 + p) % 50) - 24.5f;
            }
        }
    }
    planes.red[cellAt(0, 0)] = 1.5f;
    planes.red[cellAt(199, 0)] = 0.0f;
    planes.green[cellAt(3, 3)] = -1.5f;
    planes.green[cellAt(196, 3)] = 0.0f;
    planes.blue[cellAt(198, 198)] = -7.0f;
    planes.blue[cellAt(1, 198)] = 2.0f;
    const Snapshot before;
    mirror();
    EXPECT_EQ(planes.red[cellAt(199, 0)], 0.0f);
    EXPECT_EQ(planes.green[cellAt(196, 3)], 0.0f);
    EXPECT_EQ(shared.lastChannel, -2); // the last pair's blue mean, -2.5 cut toward zero
    for (int p = 0; p < 3; ++p) {
        for (int x = 0; x < 200; ++x) {
            for (int y = 0; y < 200; ++y) {
                // Off-lattice rows, and columns neither on the lattice nor mirrors of it, stay as they were.
                if (y % 3 != 0 || x % 3 == 2) {
                    ASSERT_FALSE(before.changed(p, x, y)) << x << "," << y;
                } else {
                    ASSERT_EQ(allPlanes[p][cellAt(x, y)], allPlanes[p][cellAt(199 - x, y)]);
                }
            }
        }
    }
}

TEST_F(EffectsOneToSixteen, SunburnFlickersARingDarkensTheBorderButOneCornerAndLeavesItsAngle) {
    sunburn();
    EXPECT_EQ(shared.sharedAngle, toFloat(399 * 6.28 * 0.0025));
    int flares = 0;
    for (int x = 1; x < 199; ++x) {
        for (int y = 1; y < 199; ++y) {
            const float r = planes.red[cellAt(x, y)], g = planes.green[cellAt(x, y)];
            ASSERT_TRUE(r == untouched || (r == 90 && g == 90) || (r == 240 && g == 0)) << r << "," << g;
            ASSERT_TRUE(r == untouched || std::fabs(std::hypot(x - 100, y - 100) - 40) < 1.5);
            flares += r == 240 ? 1 : 0;
        }
    }
    EXPECT_GT(flares, 20);
    EXPECT_EQ(planes.blue[cellAt(199, 198)], 0.0f);
    EXPECT_EQ(planes.blue[cellAt(199, 199)], untouched);
}

// How many random numbers effects 1 to 24 draw on their acting and idle frames. Later effects and the
// automatic switch share the one generator, so a count that is off by one shifts everything after it.
using EffectDraws = EffectTest;

TEST_F(EffectDraws, PeriodicEffectsDrawOnlyOnTheirActingFrames) {
    const struct {
        const char* name;
        void (*routine)();
        uint32_t idleFrame;
        uint32_t actingFrame;
        int64_t draws;
    } cases[] = {
        {"magnesiumFire", magnesiumFire, 11, 20, 2},
        {"pond", pond, 19, 30, 3},
        {"ripple", ripple, 15, 40, 2},
        {"smear", smear, 30, 40, 3},
        {"tartan", tartan, 11, 30, 2},
        {"ten", ten, 12, 35, 3},
        {"theVapours", theVapours, 30, 40, 5 * 198},
        {"twitch", twitch, 120, 241, 1 + 4 * 198 * 198},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        shared.frameCounter = c.idleFrame;
        DrawCounter idle;
        const uint64_t unchanged = fieldHash();
        c.routine();
        EXPECT_EQ(idle.count(), 0);
        EXPECT_EQ(fieldHash(), unchanged);

        shared.frameCounter = c.actingFrame;
        DrawCounter acting;
        c.routine();
        EXPECT_EQ(acting.count(), c.draws);
        EXPECT_NE(fieldHash(), unchanged);
    }
}

TEST_F(EffectDraws, EveryFrameEffectsDrawAFixedCount) {
    const struct {
        const char* name;
        void (*routine)();
        int64_t draws;
    } cases[] = {{"flower", flower, 3 * 100 * 24},
                 {"kaleidisco", kaleidisco, 1},
                 {"lace", lace, 12 * 198},
                 {"sunburn", sunburn, 400},
                 {"bright", bright, 2 * 100},
                 {"speckle", speckle, 2 * 500},
                 {"lightning off its bolt frames", lightning, 0}};
    for (const auto& c : cases) {
        shared.frameCounter = 99;
        DrawCounter draws;
        c.routine();
        EXPECT_EQ(draws.count(), c.draws) << c.name;
    }
    for (auto routine : {primaryBoats, wheel, wiggle, mirror, fishnet, snowflake, stareOGran}) {
        DrawCounter draws;
        routine();
        EXPECT_EQ(draws.count(), 0);
    }
}

} // namespace
} // namespace glowfield::test
