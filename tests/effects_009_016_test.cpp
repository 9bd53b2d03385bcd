// Lattices, spirals, borders, circles and mirrors: acting and idle frames, draw counts, written cells and the
// scratch values left in the shared globals.
#include <cmath>

#include "effect_checks.h"
#include "effects/effect_routines.h"
#include "field/numeric.h"
#include "field/trig.h"

namespace glowfield::test {
namespace {

using EffectsNineToSixteen = EffectTest;

bool onBorder(int x, int y) {
    return x == 0 || y == 0 || x == 199 || y == 199;
}

// Idle frames of the periodic effects draw nothing and leave the field alone.
TEST_F(EffectsNineToSixteen, PeriodicEffectsDoNothingOffTheirFrames) {
    const struct {
        void (*routine)();
        uint32_t idleFrame;
    } cases[] = {{tartan, 11}, {ten, 12}, {theVapours, 21}, {twitch, 120}};
    for (const auto& c : cases) {
        shared.frameCounter = c.idleFrame;
        DrawCounter draws;
        const uint64_t unchanged = fieldHash();
        c.routine();
        EXPECT_EQ(draws.count(), 0) << c.idleFrame;
        EXPECT_EQ(fieldHash(), unchanged) << c.idleFrame;
    }
}

TEST_F(EffectsNineToSixteen, TartanKicksALatticeIntoOneVelocityPlane) {
    fillVelocities(0.0f);
    shared.frameCounter = 30;
    DrawCounter draws;
    const std::vector<int> d = draws.upcoming(2);
    const FieldCopy before;
    tartan();

    EXPECT_EQ(draws.count(), 2);
    const int chosen = 3 + d[0] % 3;
    const float v = (d[1] & 1) ? -10.0f : 10.0f;
    EXPECT_EQ(shared.lastChannel, static_cast<int32_t>(v));
    for (int p = 0; p < 6; ++p) {
        // Eight lines each way (1, 26, .. 176) of 198 cells, the 64 crossings counted once.
        EXPECT_EQ(before.planesBefore[p].changedCount(), p == chosen ? 2 * 8 * 198 - 64 : 0) << "plane " << p;
    }
    const float* plane = before.planesBefore[chosen].source;
    EXPECT_EQ(plane[cellAt(1, 5)], v);
    EXPECT_EQ(plane[cellAt(5, 176)], v);
    EXPECT_EQ(plane[cellAt(26, 51)], 2 * v);
    EXPECT_EQ(plane[cellAt(2, 2)], 0.0f);
    EXPECT_EQ(plane[cellAt(1, 0)], 0.0f);
    EXPECT_EQ(plane[cellAt(1, 199)], 0.0f);
}

TEST_F(EffectsNineToSixteen, TenDrawsABrightSpiralOrCutsADarkOne) {
    for (int kind = 0; kind < 5; ++kind) {
        SCOPED_TRACE(kind);
        fillColours(untouched);
        shared.frameCounter = 35;
        seedWhere([kind](const std::vector<int>& d) { return d[2] % 5 == kind; });
        DrawCounter draws;
        const FieldCopy before;
        ten();
        EXPECT_EQ(draws.count(), 3);
        const int centre = cellAt(shared.spotX, shared.spotY);
        if (kind < 3) {
            // Step 0 writes 500 at the centre; the first turn of the spiral (radius below one cell) comes
            // back.
            const float atCentre = before.planesBefore[kind].source[centre];
            EXPECT_TRUE(atCentre >= 490 && atCentre <= 500) << atCentre;
            for (int p = 0; p < 6; ++p) {
                EXPECT_EQ(before.planesBefore[p].changedCount() > 0, p == kind) << "plane " << p;
            }
        } else {
            EXPECT_EQ(planes.red[centre], 0.0f);
            EXPECT_EQ(planes.green[centre], 0.0f);
            EXPECT_EQ(planes.blue[centre], 0.0f);
            EXPECT_GT(before.planesBefore[0].changedCount(), 100);
            EXPECT_EQ(before.planesBefore[0].changedCount(), before.planesBefore[2].changedCount());
        }
    }
}

TEST_F(EffectsNineToSixteen, TenKeepsItsSpiralStrictlyInsideNearTheEdge) {
    shared.frameCounter = 40;
    seedWhere([](const std::vector<int>& d) { return d[0] % 198 == 0 && d[2] % 5 == 0; });
    const PlaneCopy red(planes.red);
    ten();
    ASSERT_EQ(shared.spotX, 1);
    int written = 0;
    for (int x = 0; x < planeStride; ++x) {
        for (int y = 0; y < planeStride; ++y) {
            if (red.changed(x, y)) {
                ++written;
                ASSERT_TRUE(x > 0 && x < 200 && y > 0 && y < 200) << x << "," << y;
                ASSERT_EQ(planes.red[cellAt(x, y)], std::trunc(planes.red[cellAt(x, y)]));
            }
        }
    }
    EXPECT_GT(written, 50);
}

TEST_F(EffectsNineToSixteen, VapoursWritesWholeNumbersOnTheBorderOnly) {
    shared.frameCounter = 40;
    DrawCounter draws;
    const std::vector<int> d = draws.upcoming(990);
    const FieldCopy before;
    theVapours();

    // Five draws per border step, also when the first one zeroes the range.
    EXPECT_EQ(draws.count(), 5 * 198);
    for (int p = 0; p < 3; ++p) {
        for (int x = 0; x < 200; ++x) {
            for (int y = 0; y < 200; ++y) {
                ASSERT_TRUE(onBorder(x, y) || !before.planesBefore[p].changed(x, y)) << x << "," << y;
            }
        }
    }
    for (int p = 1; p <= 198; ++p) {
        const float written[5] = {planes.red[cellAt(0, p)], planes.blue[cellAt(199, p)],
                                  planes.green[cellAt(p, 0)], planes.red[cellAt(p, 199)],
                                  planes.green[cellAt(p, 199)]};
        const bool flat = d[5 * (p - 1)] % 2 == 0;
        for (float v : written) {
            ASSERT_EQ(v, std::trunc(v));
            ASSERT_GE(v, 0.0f);
            ASSERT_LT(v, 255.0f);
            if (flat) {
                ASSERT_EQ(v, 0.0f) << "step " << p;
            }
        }
        ASSERT_EQ(written[3], written[4]);
    }
    EXPECT_EQ(planes.red[cellAt(0, 0)], untouched);
    EXPECT_EQ(planes.blue[cellAt(199, 199)], untouched);
}

TEST_F(EffectsNineToSixteen, TwitchScramblesTwoColoursMotionAndStillsTheThird) {
    shared.frameCounter = 241;
    DrawCounter draws;
    const int chosen = draws.upcoming(1)[0] % 3;
    const FieldCopy before;
    twitch();

    EXPECT_EQ(draws.count(), 1 + 4 * 198 * 198);
    for (int p = 0; p < 3; ++p) {
        EXPECT_EQ(before.planesBefore[p].changedCount(), 0);
        const float* plane = before.planesBefore[3 + p].source;
        for (int x = 0; x < 200; ++x) {
            for (int y = 0; y < 200; ++y) {
                const float v = plane[cellAt(x, y)];
                if (onBorder(x, y)) {
                    ASSERT_FALSE(before.planesBefore[3 + p].changed(x, y));
                } else if (p == chosen) {
                    ASSERT_TRUE(v == 0 || v == 1 || v == 2) << v;
                } else {
                    ASSERT_TRUE(v >= -25 && v <= 24 && v == std::trunc(v)) << v;
                }
            }
        }
    }
}

// Every changed cell of the circle effects lies near the circle of radius 0.4 (N - 1) about the centre.
void expectOnCircle(const FieldCopy& before, double limit) {
    int written = 0;
    for (int x = 0; x < 200; ++x) {
        for (int y = 0; y < 200; ++y) {
            if (before.planesBefore[0].changed(x, y) || before.planesBefore[1].changed(x, y) ||
                before.planesBefore[2].changed(x, y)) {
                ++written;
                ASSERT_GE(x, 19);
                ASSERT_LE(x, 180);
                ASSERT_GE(y, 19);
                ASSERT_LE(y, 180);
                for (int p = 0; p < 3; ++p) {
                    const float v = before.planesBefore[p].source[cellAt(x, y)];
                    ASSERT_TRUE(v == untouched || std::fabs(v) <= limit) << v;
                }
            }
        }
    }
    EXPECT_GT(written, 200);
}

TEST_F(EffectsNineToSixteen, WheelSetsOpposedColoursOnACircleAndLeavesItsLastPoint) {
    shared.frameCounter = 500;
    DrawCounter draws;
    const FieldCopy before;
    wheel();
    EXPECT_EQ(draws.count(), 0);
    expectOnCircle(before, 60);
    for (int x = 0; x < 200; ++x) {
        for (int y = 0; y < 200; ++y) {
            if (before.planesBefore[0].changed(x, y)) {
                const double dx = x + 0.5 - 99.5, dy = y + 0.5 - 99.5;
                ASSERT_NEAR(std::sqrt(dx * dx + dy * dy), 0.4 * 199, 1.5) << x << "," << y;
            }
        }
    }
    // The last third pairs blue with green in opposite phase.
    const int last = cellAt(shared.spotX, shared.spotY);
    EXPECT_EQ(planes.green[last], -planes.blue[last]);
}

TEST_F(EffectsNineToSixteen, WiggleTracesALissajousCurveAndLeavesItsLastPoint) {
    shared.frameCounter = 900;
    DrawCounter draws;
    const FieldCopy before;
    wiggle();
    EXPECT_EQ(draws.count(), 0);
    expectOnCircle(before, 37.5);
    const int last = cellAt(shared.spotX, shared.spotY);
    EXPECT_EQ(planes.red[last], -planes.blue[last]);
}

TEST_F(EffectsNineToSixteen, MirrorAveragesEveryThirdCellWithItsMirrorAndTruncates) {
    for (float* plane : {planes.red, planes.green, planes.blue}) {
        for (int x = 0; x < 200; ++x) {
            for (int y = 0; y < 200; ++y) {
                plane[cellAt(x, y)] = static_cast<float>((x * 7 + y * 13) % 50) - 24.5f;
            }
        }
    }
    planes.red[cellAt(0, 0)] = 1.5f;
    planes.red[cellAt(199, 0)] = 0.0f;
    planes.green[cellAt(3, 3)] = -1.5f;
    planes.green[cellAt(196, 3)] = 0.0f;
    planes.blue[cellAt(6, 0)] = 7.0f;
    planes.blue[cellAt(193, 0)] = 10.0f;
    planes.blue[cellAt(198, 198)] = -7.0f;
    planes.blue[cellAt(1, 198)] = 2.0f;
    const FieldCopy before;
    mirror();

    EXPECT_EQ(planes.red[cellAt(0, 0)], 0.0f);
    EXPECT_EQ(planes.red[cellAt(199, 0)], 0.0f);
    EXPECT_EQ(planes.green[cellAt(3, 3)], 0.0f);
    EXPECT_EQ(planes.green[cellAt(196, 3)], 0.0f);
    EXPECT_EQ(planes.blue[cellAt(6, 0)], 8.0f);
    EXPECT_EQ(planes.blue[cellAt(193, 0)], 8.0f);
    // The last pair's blue mean, -2.5 cut to -2, stays behind.
    EXPECT_EQ(shared.lastChannel, -2);
    for (int p = 0; p < 3; ++p) {
        const float* plane = before.planesBefore[p].source;
        for (int x = 0; x < 200; ++x) {
            for (int y = 0; y < 200; ++y) {
                // Rows off the lattice and the columns that are neither on it nor mirrors of it stay.
                if (y % 3 != 0 || x % 3 == 2) {
                    ASSERT_FALSE(before.planesBefore[p].changed(x, y)) << x << "," << y;
                } else {
                    ASSERT_EQ(plane[cellAt(x, y)], plane[cellAt(199 - x, y)]);
                }
            }
        }
    }
}

TEST_F(EffectsNineToSixteen, SunburnFlickersARingAndDarkensTheBorderButOneCorner) {
    DrawCounter draws;
    const FieldCopy before;
    sunburn();

    EXPECT_EQ(draws.count(), 400);
    EXPECT_EQ(shared.sharedAngle, toFloat(399 * 6.28 * 0.0025));
    int flares = 0;
    for (int x = 1; x < 199; ++x) {
        for (int y = 1; y < 199; ++y) {
            if (!before.planesBefore[0].changed(x, y)) {
                continue;
            }
            const float r = planes.red[cellAt(x, y)], g = planes.green[cellAt(x, y)];
            ASSERT_TRUE((r == 90 && g == 90) || (r == 240 && g == 0)) << r << "," << g;
            ASSERT_EQ(planes.blue[cellAt(x, y)], 0.0f);
            ASSERT_NEAR(std::hypot(x - 100, y - 100), 40, 1.5);
            flares += r == 240 ? 1 : 0;
        }
    }
    EXPECT_GT(flares, 20);
    for (int k = 0; k < 200; ++k) {
        for (const int cell : {cellAt(0, k), cellAt(k, 0), cellAt(199, k), cellAt(k, 199)}) {
            if (cell == cellAt(199, 199)) {
                EXPECT_EQ(planes.red[cell], untouched);
            } else {
                ASSERT_EQ(planes.red[cell], 0.0f);
                ASSERT_EQ(planes.blue[cell], 0.0f);
            }
        }
    }
}

} // namespace
} // namespace glowfield::test
