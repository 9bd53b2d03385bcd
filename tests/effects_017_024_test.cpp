// Rings, bright spots, lightning, specks, the picture relief, the snowflake, the predator and the column
// cascade: draw counts, written cells, and what each leaves in the shared globals and the particle store.
#include <cmath>

#include "effect_checks.h"
#include "effects/effect_routines.h"
#include "field/numeric.h"
#include "field/picture.h"

namespace glowfield::test {
namespace {

using EffectsSeventeenToTwentyFour = EffectTest;

TEST_F(EffectsSeventeenToTwentyFour, FishnetDashesGrowingRingAndDarkensTheBorderButOneCorner) {
    // Radius 0: all 400 points land on the centre and the last one decides its colour by the dash rule.
    shared.frameCounter = 200; // (200 + 399) & 4 is set: green
    fishnet();
    EXPECT_EQ(planes.red[cellAt(100, 100)], 0.0f);
    EXPECT_EQ(planes.green[cellAt(100, 100)], 90.0f);
    EXPECT_EQ(planes.blue[cellAt(100, 100)], 0.0f);
    shared.frameCounter = 201; // (201 + 399) & 4 is clear: blue
    fishnet();
    EXPECT_EQ(planes.green[cellAt(100, 100)], 0.0f);
    EXPECT_EQ(planes.blue[cellAt(100, 100)], 240.0f);

    fillColours(untouched);
    shared.frameCounter = 61; // radius 30
    DrawCounter draws;
    const PlaneCopy green(planes.green);
    fishnet();
    EXPECT_EQ(draws.count(), 0);
    EXPECT_EQ(shared.sharedAngle, toFloat(399 * 6.28 * 0.0025));
    int dashes[2] = {0, 0};
    for (int x = 1; x < 199; ++x) {
        for (int y = 1; y < 199; ++y) {
            if (!green.changed(x, y)) {
                continue;
            }
            ASSERT_NEAR(std::hypot(x - 100, y - 100), 30, 1.5);
            const float g = planes.green[cellAt(x, y)], b = planes.blue[cellAt(x, y)];
            ASSERT_EQ(planes.red[cellAt(x, y)], 0.0f);
            ASSERT_TRUE((g == 90 && b == 0) || (g == 0 && b == 240)) << g << "," << b;
            ++dashes[g == 90 ? 0 : 1];
        }
    }
    EXPECT_GT(dashes[0], 50);
    EXPECT_GT(dashes[1], 50);
    EXPECT_EQ(planes.blue[cellAt(0, 199)], 0.0f);
    EXPECT_EQ(planes.blue[cellAt(199, 0)], 0.0f);
    EXPECT_EQ(planes.blue[cellAt(199, 199)], untouched);
}

TEST_F(EffectsSeventeenToTwentyFour, BrightPushesTheStrongestColourUpToOneHundredForty) {
    fillVelocities(0.0f);
    // No colour strictly greatest: the previous choice holds.
    fillColours(0.0f);
    shared.lastChannel = 2;
    DrawCounter draws;
    const FieldCopy equal;
    bright();
    EXPECT_EQ(draws.count(), 200);
    EXPECT_EQ(shared.lastChannel, 2);
    EXPECT_GT(equal.planesBefore[4].changedCount(), 100);
    EXPECT_EQ(equal.planesBefore[3].changedCount() + equal.planesBefore[5].changedCount(), 0);
    for (int x = 0; x < 200; ++x) {
        for (int y = 0; y < 200; ++y) {
            const float v = planes.greenVelocity[cellAt(x, y)];
            ASSERT_EQ(std::fmod(v, 2.0f), 0.0f);
            ASSERT_TRUE(v == 0 || (x >= 4 && x <= 193 && y >= 4 && y <= 193)) << x << "," << y;
        }
    }

    // A channel number other than 1, 2 or 3 changes nothing.
    shared.lastChannel = 7;
    const uint64_t unchanged = fieldHash();
    bright();
    EXPECT_EQ(fieldHash(), unchanged);
    EXPECT_EQ(shared.lastChannel, 7);

    // Red is strongest but already at 140: chosen, yet never raised.
    fillColours(0.0f);
    for (int cell = 0; cell < planeCells; ++cell) {
        planes.red[cell] = 140.0f;
    }
    const uint64_t bright140 = fieldHash();
    bright();
    EXPECT_EQ(shared.lastChannel, 1);
    EXPECT_EQ(fieldHash(), bright140);
}

TEST_F(EffectsSeventeenToTwentyFour, LightningFramesTheGridOffItsBoltFrames) {
    for (uint32_t f : {3u, 60u, 99u}) {
        fillColours(untouched);
        shared.frameCounter = f;
        DrawCounter draws;
        const PlaneCopy red(planes.red);
        lightning();
        EXPECT_EQ(draws.count(), 0);
        EXPECT_EQ(red.changedCount(), 4 * 199);
        for (int i = 0; i < 200; ++i) {
            ASSERT_EQ(planes.red[cellAt(i, 0)], -20.0f);
            ASSERT_EQ(planes.blue[cellAt(199, i)], -20.0f);
            ASSERT_EQ(planes.green[cellAt(0, i)], -20.0f);
        }
    }
}

TEST_F(EffectsSeventeenToTwentyFour, LightningBoltWandersFromTheCentreAndKeepsItsPath) {
    for (int i = 0; i < 150; ++i) {
        particles.particleX[i] = -1.0f;
    }
    // The bolt continues from the angle left behind: pointing left, it stays in the left half.
    shared.sharedAngle = 3.14159f;
    shared.frameCounter = 48;
    DrawCounter draws;
    const PlaneCopy red(planes.red);
    lightning();

    int stored = 0;
    while (stored < 150 && particles.particleX[stored] >= 0) {
        ++stored;
    }
    // One draw per point tried, the point that leaves the grid included.
    EXPECT_EQ(draws.count(), stored < 150 ? stored + 1 : 150);
    EXPECT_GT(stored, 50);
    EXPECT_EQ(particleOwner, 100.0f);
    EXPECT_EQ(particles.particleY[0], 100.0f);
    for (int k = 1; k < stored; ++k) {
        ASSERT_LE(particles.particleX[k], 100.0f);
        // One cell further out and a turn of at most 0.05 radian per step, give or take the truncation.
        ASSERT_LE(std::hypot(particles.particleX[k] - particles.particleX[k - 1],
                             particles.particleY[k] - particles.particleY[k - 1]),
                  3 + 0.05 * k);
    }
    for (int x = 0; x < 200; ++x) {
        for (int y = 0; y < 200; ++y) {
            if (red.changed(x, y)) {
                ASSERT_EQ(planes.red[cellAt(x, y)], 100.0f);
                ASSERT_EQ(planes.blue[cellAt(x, y)], 100.0f);
                ASSERT_LE(x, 100);
            }
        }
    }
    EXPECT_GT(red.changedCount(), stored / 2);
    // The segment to the last point is left out.
    const int last = stored - 1;
    const int lx = truncToInt(particles.particleX[last]), ly = truncToInt(particles.particleY[last]);
    if (lx != truncToInt(particles.particleX[last - 1]) || ly != truncToInt(particles.particleY[last - 1])) {
        EXPECT_FALSE(red.changed(lx, ly));
    }
}

TEST_F(EffectsSeventeenToTwentyFour, SpeckleLeavesWeakColoursAloneAndClearsTheSpecksOtherColours) {
    fillColours(20.0f);
    shared.lastChannel = 3;
    DrawCounter draws;
    const uint64_t weak = fieldHash();
    speckle();
    EXPECT_EQ(draws.count(), 1000);
    EXPECT_EQ(fieldHash(), weak);
    EXPECT_EQ(shared.lastChannel, 0);

    const struct {
        float* strong;
        float* others[2];
        float start;
        float highest; // highest value a pull toward 100 (or 150 at a green centre) can reach from below 100
    } cases[] = {{planes.red, {planes.green, planes.blue}, 60, 100},
                 {planes.green, {planes.red, planes.blue}, 60, 125},
                 {planes.blue, {planes.red, planes.green}, 120, 120}};
    for (const auto& c : cases) {
        fillColours(10.0f);
        for (int cell = 0; cell < planeCells; ++cell) {
            c.strong[cell] = c.start;
        }
        speckle();
        int cleared = 0, centres = 0;
        for (int x = 0; x < 200; ++x) {
            for (int y = 0; y < 200; ++y) {
                const int cell = cellAt(x, y);
                ASSERT_GE(c.strong[cell], c.start); // never lowered
                ASSERT_LE(c.strong[cell], c.highest);
                ASSERT_TRUE(c.others[0][cell] == 10 || c.others[0][cell] == 0);
                ASSERT_EQ(c.others[0][cell], c.others[1][cell]);
                cleared += c.others[0][cell] == 0 ? 1 : 0;
                centres += c.strong[cell] == 105 ? 1 : 0;
            }
        }
        EXPECT_GT(cleared, 300);
        // Only a green centre is pulled toward 150: 60 becomes 105 in one pull.
        EXPECT_EQ(centres > 0, c.strong == planes.green);
    }
}

TEST_F(EffectsSeventeenToTwentyFour, GrillLoadsOnItsFirstFrameAndShowsTheEmptyPictureAsDarkRelief) {
    shared.frameCounter = 5;
    DrawCounter load;
    const uint64_t before = fieldHash();
    grill();
    EXPECT_EQ(load.count(), 0); // no picture folder: nothing to choose from
    EXPECT_EQ(fieldHash(), before);
    EXPECT_EQ(particleOwner, 1.25f);

    shared.frameCounter = 6;
    DrawCounter walk;
    const FieldCopy field;
    grill();
    EXPECT_GT(walk.count(), 100000);
    EXPECT_GE(shared.sharedAngle, 199.0f);
    int written = 0;
    for (int x = 0; x < 200; ++x) {
        for (int y = 0; y < 200; ++y) {
            if (!field.planesBefore[0].changed(x, y)) {
                continue;
            }
            ++written;
            ASSERT_TRUE(x >= 1 && x <= 198 && y >= 1 && y <= 198) << x << "," << y;
            ASSERT_EQ(planes.red[cellAt(x, y)], -127.0f);
            ASSERT_EQ(planes.blue[cellAt(x, y)], -127.0f);
            ASSERT_EQ(planes.greenVelocity[cellAt(x, y)], 0.0f);
        }
    }
    EXPECT_GT(written, 5000);

    // Every 65th frame loads again and draws nothing.
    shared.frameCounter = 130;
    const uint64_t drawn = fieldHash();
    grill();
    EXPECT_EQ(fieldHash(), drawn);
}

TEST_F(EffectsSeventeenToTwentyFour, GrillShowsThePictureChannelsAndReloadsAfterAnotherOwner) {
    TempDir folder;
    BmpSpec spec;
    spec.width = 256;
    spec.height = 200;
    spec.colour = [](int, int) { return 0xc86432u; }; // red 200, green 100, blue 50
    writeBmp(folder.file("plain.bmp"), spec);
    setPictureDirectory(folder.path());

    particleOwner = 100.0f; // as the bolt leaves it
    shared.frameCounter = 7;
    DrawCounter load;
    grill();
    EXPECT_EQ(load.count(), 1);
    EXPECT_EQ(picture.pictureWidth, 256);
    EXPECT_EQ(particleOwner, 1.25f);

    shared.frameCounter = 8;
    const PlaneCopy red(planes.red);
    grill();
    int written = 0;
    for (int x = 0; x < 200; ++x) {
        for (int y = 0; y < 200; ++y) {
            if (red.changed(x, y)) {
                ++written;
                ASSERT_EQ(planes.red[cellAt(x, y)], 73.0f);
                ASSERT_EQ(planes.green[cellAt(x, y)], -27.0f);
                ASSERT_EQ(planes.blue[cellAt(x, y)], -77.0f);
            }
        }
    }
    EXPECT_GT(written, 10000);
}

TEST_F(EffectsSeventeenToTwentyFour, SnowflakeCopiesTruncatedRadiusToFiveArmsAndStillsThem) {
    for (int r = 5; r < 100; ++r) {
        planes.red[cellAt(100 + r, 100)] = r + 0.7f;
        planes.green[cellAt(100 + r, 100)] = -r - 0.7f;
        planes.blue[cellAt(100 + r, 100)] = 1000.25f;
    }
    DrawCounter draws;
    const FieldCopy before;
    snowflake();

    EXPECT_EQ(draws.count(), 0);
    float angle = 0.0f;
    for (int i = 0; i < 5; ++i) {
        angle += 1.0466667f;
    }
    EXPECT_EQ(shared.sharedAngle, angle);
    bool seen[100] = {};
    for (int x = 0; x < 200; ++x) {
        for (int y = 0; y < 200; ++y) {
            if (!before.planesBefore[0].changed(x, y)) {
                continue;
            }
            const float v = planes.red[cellAt(x, y)];
            ASSERT_EQ(v, std::trunc(v));
            ASSERT_TRUE(v >= 5 && v < 100) << v;
            ASSERT_EQ(planes.green[cellAt(x, y)], -v);
            ASSERT_EQ(planes.blue[cellAt(x, y)], 1000.0f);
            ASSERT_EQ(planes.redVelocity[cellAt(x, y)], 0.0f);
            ASSERT_NEAR(std::hypot(x - 100, y - 100), v, 1.5);
            seen[static_cast<int>(v)] = true;
        }
    }
    for (int r = 5; r < 100; ++r) {
        ASSERT_TRUE(seen[r]) << r;
        ASSERT_FALSE(before.planesBefore[0].changed(100 + r, 100));
    }
}

// Twenty points placed for the ring test: two close together at (50, 50) and (52, 50) after this frame's
// move, the other eighteen more than 25 cells from each other and from the pair.
void placeRingPoints() {
    for (int k = 0; k < 20; ++k) {
        particles.particleVX[k] = 0.25f;
        particles.particleVY[k] = 0.0f;
        particles.particleX[k] = static_cast<float>(100 + 30 * ((k - 2) % 3)) - 0.25f;
        particles.particleY[k] = static_cast<float>(20 + 30 * ((k - 2) / 3));
    }
    particles.particleX[0] = 49.75f;
    particles.particleY[0] = 50.0f;
    particles.particleX[1] = 51.75f;
    particles.particleY[1] = 50.0f;
}

TEST_F(EffectsSeventeenToTwentyFour, PredatorLightsCellsOnTwoRingsOfTheSameBand) {
    fillColours(0.0f);
    placeRingPoints();
    shared.frameCounter = 50; // radius 0: squared distances 0 .. 154
    DrawCounter draws;
    predator();
    EXPECT_EQ(draws.count(), 0);
    EXPECT_EQ(shared.lastChannel, 0);
    EXPECT_EQ(particles.particleX[0], 50.0f);
    EXPECT_EQ(planes.red[cellAt(51, 50)], 200.0f);
    EXPECT_EQ(planes.blue[cellAt(50, 50)], 4.0f); // the second point's squared distance minus R * R
    EXPECT_EQ(planes.green[cellAt(50, 50)], -4.0f);
    EXPECT_EQ(planes.red[cellAt(51, 60)], 200.0f);
    EXPECT_EQ(planes.red[cellAt(51, 63)], -5.0f);  // 170 is outside the band: only faded
    EXPECT_EQ(planes.red[cellAt(130, 50)], -5.0f); // a lone point lights nothing

    fillColours(0.0f);
    placeRingPoints();
    shared.frameCounter = 70; // radius 20: squared distances 310 .. 464
    predator();
    EXPECT_EQ(shared.lastChannel, 20);
    EXPECT_EQ(planes.red[cellAt(51, 70)], 200.0f);
    EXPECT_EQ(planes.blue[cellAt(51, 70)], 1.0f);
    EXPECT_EQ(planes.green[cellAt(51, 70)], -1.0f);
    EXPECT_EQ(planes.red[cellAt(51, 50)], -5.0f);
}

TEST_F(EffectsSeventeenToTwentyFour, PredatorPlacesPointsThatLeaveStandStillOrAreLost) {
    planes.red[cellAt(0, 0)] = 0.0f;
    planes.redVelocity[cellAt(0, 0)] = 3.0f;
    shared.frameCounter = 1;
    DrawCounter first;
    predator();
    EXPECT_EQ(first.count(), 80); // every point of the empty store stands still
    EXPECT_EQ(planes.red[cellAt(0, 0)], -5.0f);
    EXPECT_EQ(planes.redVelocity[cellAt(0, 0)], 1.0f);
    for (int k = 0; k < 20; ++k) {
        ASSERT_TRUE(particles.particleX[k] >= 2 && particles.particleX[k] <= 196);
        ASSERT_TRUE(particles.particleY[k] >= 2 && particles.particleY[k] <= 196);
        ASSERT_LE(std::fabs(particles.particleVX[k]), 0.72f);
        ASSERT_LE(std::fabs(particles.particleVY[k]), 0.72f);
    }

    placeRingPoints();
    particles.particleVX[3] = 0.0f;         // stands still
    particles.particleX[4] = 197.9f;        // leaves the band at 198
    particles.particleY[5] = std::nanf(""); // lost
    DrawCounter later;
    predator();
    EXPECT_EQ(later.count(), 12);
    EXPECT_FALSE(std::isnan(particles.particleY[5]));
    EXPECT_EQ(particles.particleX[6], static_cast<float>(130));
}

TEST_F(EffectsSeventeenToTwentyFour, StareOGranCascadesColumnTenAcrossTheGrid) {
    float* const all[6] = {planes.red,         planes.green,         planes.blue,
                           planes.redVelocity, planes.greenVelocity, planes.blueVelocity};
    for (int p = 0; p < 6; ++p) {
        for (int x = 0; x < 200; ++x) {
            for (int y = 0; y < 200; ++y) {
                all[p][cellAt(x, y)] = static_cast<float>(x * 1000 + y) + p * 0.25f;
            }
        }
    }
    DrawCounter draws;
    const FieldCopy before;
    stareOGran();
    EXPECT_EQ(draws.count(), 0);
    for (int p = 0; p < 6; ++p) {
        for (int x = 0; x < 200; ++x) {
            for (int y = 0; y < 200; ++y) {
                const bool target = x >= 30 && x <= 170 && (x - 10) % 20 == 0 && y >= 5 && y <= 194;
                if (target) {
                    ASSERT_EQ(all[p][cellAt(x, y)], before.planesBefore[p].before(10, y)) << x << "," << y;
                } else {
                    ASSERT_FALSE(before.planesBefore[p].changed(x, y)) << x << "," << y;
                }
            }
        }
    }
}

} // namespace
} // namespace glowfield::test
