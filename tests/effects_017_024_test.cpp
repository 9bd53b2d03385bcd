// Effects 17 to 24 (rings, bright spots, lightning, specks, the picture relief, the snowflake, the predator
// and the column cascade): written cells, values at chosen cells, and what each leaves in the shared globals
// and the particle store.
#include <cmath>

#include "effect_checks.h"
#include "effects/effect_routines.h"
#include "field/numeric.h"
#include "field/picture.h"

namespace glowfield::test {
namespace {

using EffectsSeventeenToTwentyFour = EffectTest;

TEST_F(EffectsSeventeenToTwentyFour, FishnetDashesItsRingByTheClockAndLeavesItsAngle) {
    // Radius 0 puts all 400 points on the centre; the last decides: (200 + 399) & 4 is set, (201 + 399) & 4
    // is clear.
    shared.frameCounter = 200;
    fishnet();
    EXPECT_EQ(planes.green[cellAt(100, 100)], 90.0f);
    EXPECT_EQ(planes.blue[cellAt(100, 100)], 0.0f);
    shared.frameCounter = 201;
    fishnet();
    EXPECT_EQ(planes.green[cellAt(100, 100)], 0.0f);
    EXPECT_EQ(planes.blue[cellAt(100, 100)], 240.0f);
    EXPECT_EQ(shared.sharedAngle, toFloat(399 * 6.28 * 0.0025));
    EXPECT_EQ(planes.red[cellAt(199, 0)], 0.0f);
    EXPECT_EQ(planes.red[cellAt(199, 199)], untouched);
}

TEST_F(EffectsSeventeenToTwentyFour, BrightPushesTheStrictlyStrongestColourUpTo140) {
    // No colour strictly greatest: the previous choice, green, holds.
    fillColours(0.0f);
    fillPlane(planes.greenVelocity, 0.0f);
    shared.lastChannel = 2;
    const Snapshot before;
    bright();
    EXPECT_EQ(shared.lastChannel, 2);
    EXPECT_GT(before.changedCount(4), 100);
    EXPECT_EQ(before.changedCount(3) + before.changedCount(5), 0);
    EXPECT_EQ(std::fmod(planes.greenVelocity[cellAt(100, 100)], 2.0f), 0.0f);

    // A channel other than 1, 2 or 3 changes nothing.
    shared.lastChannel = 7;
    const uint64_t unchanged = fieldHash();
    bright();
    EXPECT_EQ(fieldHash(), unchanged);

    // Red strongest but already at 140: chosen, never raised.
    fillPlane(planes.red, 140.0f);
    const uint64_t at140 = fieldHash();
    bright();
    EXPECT_EQ(shared.lastChannel, 1);
    EXPECT_EQ(fieldHash(), at140);
}

TEST_F(EffectsSeventeenToTwentyFour, LightningFramesTheGridOffItsBoltFrames) {
    for (uint32_t f : {3u, 60u}) { // not a multiple of 4; past frame 50 of the hundred
        fillColours(untouched);
        shared.frameCounter = f;
        const Snapshot before;
        lightning();
        EXPECT_EQ(before.changedCount(0), 4 * 199);
        EXPECT_EQ(planes.red[cellAt(199, 199)], -20.0f);
        EXPECT_EQ(planes.blue[cellAt(0, 57)], -20.0f);
    }
}

TEST_F(EffectsSeventeenToTwentyFour, LightningBoltContinuesFromTheAngleLeftBehindAndKeepsItsPath) {
    for (int k = 0; k < 150; ++k) {
        particles.particleX[k] = -1.0f;
    }
    shared.sharedAngle = 3.14159f; // pointing left
    shared.frameCounter = 48;
    DrawCounter draws;
    const Snapshot before;
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
    for (int x = 0; x < 200; ++x) {
        for (int y = 0; y < 200; ++y) {
            if (before.changed(0, x, y)) {
                ASSERT_LE(x, 100);
                ASSERT_EQ(planes.red[cellAt(x, y)], 100.0f);
                ASSERT_EQ(planes.blue[cellAt(x, y)], 100.0f);
            }
        }
    }
    // The segment to the last point is left out.
    const int lx = truncToInt(particles.particleX[stored - 1]),
              ly = truncToInt(particles.particleY[stored - 1]);
    if (lx != truncToInt(particles.particleX[stored - 2]) ||
        ly != truncToInt(particles.particleY[stored - 2])) {
        EXPECT_FALSE(before.changed(0, lx, ly));
    }
}

TEST_F(EffectsSeventeenToTwentyFour, SpeckleRaisesTheDominantColourAndClearsTheOthersAtTheCentre) {
    fillColours(20.0f); // nothing above 20: no speck
    shared.lastChannel = 3;
    const uint64_t weak = fieldHash();
    speckle();
    EXPECT_EQ(fieldHash(), weak);
    EXPECT_EQ(shared.lastChannel, 0);

    const struct {
        int strong, other;
        float start, highest; // a pull toward 100 (150 at a green centre) from below 100 stays under highest
    } cases[] = {{0, 1, 60, 100}, {1, 2, 60, 125}, {2, 0, 120, 120}};
    for (const auto& c : cases) {
        fillColours(10.0f);
        fillPlane(allPlanes[c.strong], c.start);
        speckle();
        int cleared = 0, greenCentres = 0;
        for (int x = 0; x < 200; ++x) {
            for (int y = 0; y < 200; ++y) {
                const float v = allPlanes[c.strong][cellAt(x, y)], other = allPlanes[c.other][cellAt(x, y)];
                ASSERT_TRUE(v >= c.start && v <= c.highest) << v; // never lowered
                ASSERT_TRUE(other == 10 || other == 0);
                cleared += other == 0 ? 1 : 0;
                greenCentres += v == 105 ? 1 : 0; // 60 pulled halfway toward 150
            }
        }
        EXPECT_GT(cleared, 300);
        EXPECT_EQ(greenCentres > 0, c.strong == 1);
    }
}

TEST_F(EffectsSeventeenToTwentyFour, GrillLoadsOnItsFirstFrameAndShowsAnEmptyPictureAsDarkRelief) {
    shared.frameCounter = 5;
    const uint64_t before = fieldHash();
    grill(); // no picture folder: nothing to choose from, nothing drawn
    EXPECT_EQ(fieldHash(), before);
    EXPECT_EQ(particleOwner, 1.25f);

    shared.frameCounter = 6;
    const Snapshot field;
    grill();
    EXPECT_GE(shared.sharedAngle, 199.0f);
    EXPECT_GT(field.changedCount(0), 5000);
    for (int x = 0; x < 200; ++x) {
        for (int y = 0; y < 200; ++y) {
            if (field.changed(0, x, y)) {
                ASSERT_TRUE(x >= 1 && x <= 198 && y >= 1 && y <= 198) << x << "," << y;
                ASSERT_EQ(planes.blue[cellAt(x, y)], -127.0f);
                ASSERT_EQ(planes.greenVelocity[cellAt(x, y)], 0.0f);
            }
        }
    }
    shared.frameCounter = 130; // every 65th frame loads again and draws nothing
    const uint64_t drawn = fieldHash();
    grill();
    EXPECT_EQ(fieldHash(), drawn);
}

TEST_F(EffectsSeventeenToTwentyFour, GrillReloadsAfterAnotherOwnerAndShowsEachChannel) {
    TempDir folder;
    BmpLayout layout;
    layout.width = 256;
    layout.height = 200;
    layout.colour = [](int, int) { return 0xc86432u; }; // red 200, green 100, blue 50
    writeBmp(folder.file("plain.bmp"), layout);
    setPictureDirectory(folder.path());
    particleOwner = 100.0f; // as the bolt leaves it
    shared.frameCounter = 7;
    DrawCounter load;
    grill();
    EXPECT_EQ(load.count(), 1);
    EXPECT_EQ(picture.pictureWidth, 256);

    shared.frameCounter = 8;
    const Snapshot before;
    grill();
    EXPECT_GT(before.changedCount(0), 10000);
    for (int x = 0; x < 200; ++x) {
        for (int y = 0; y < 200; ++y) {
            if (before.changed(0, x, y)) {
                ASSERT_EQ(planes.red[cellAt(x, y)], 73.0f);
                ASSERT_EQ(planes.green[cellAt(x, y)], -27.0f);
                ASSERT_EQ(planes.blue[cellAt(x, y)], -77.0f);
            }
        }
    }
}

TEST_F(EffectsSeventeenToTwentyFour, SnowflakeCopiesTheTruncatedRadiusToFiveStillArms) {
    for (int r = 5; r < 100; ++r) {
        planes.red[cellAt(100 + r, 100)] = r + 0.7f;
        planes.green[cellAt(100 + r, 100)] = -r - 0.7f;
    }
    const Snapshot before;
    snowflake();
    float angle = 0.0f;
    for (int i = 0; i < 5; ++i) {
        angle += 1.0466667f;
    }
    EXPECT_EQ(shared.sharedAngle, angle);
    bool seen[100] = {};
    for (int x = 0; x < 200; ++x) {
        for (int y = 0; y < 200; ++y) {
            if (before.changed(0, x, y)) {
                const float v = planes.red[cellAt(x, y)];
                ASSERT_TRUE(v == std::trunc(v) && v >= 5 && v < 100) << v;
                ASSERT_EQ(planes.green[cellAt(x, y)], -v);
                ASSERT_EQ(planes.redVelocity[cellAt(x, y)], 0.0f);
                ASSERT_NEAR(std::hypot(x - 100, y - 100), v, 1.5);
                seen[static_cast<int>(v)] = true;
            }
        }
    }
    for (int r = 5; r < 100; ++r) {
        ASSERT_TRUE(seen[r]) << r;
        ASSERT_FALSE(before.changed(0, 100 + r, 100));
    }
}

// Twenty moving points: after this frame's move two sit at (50, 50) and (52, 50), the other eighteen more
// than 25 cells from each other and from the pair.
void placeRingPoints() {
    for (int k = 0; k < 20; ++k) {
        particles.particleVX[k] = 0.25f;
        particles.particleVY[k] = 0.0f;
        particles.particleX[k] =
            k < 2 ? 49.75f + 2 * k : static_cast<float>(100 + 30 * ((k - 2) % 3)) - 0.25f;
        particles.particleY[k] = k < 2 ? 50.0f : static_cast<float>(20 + 30 * ((k - 2) / 3));
    }
}

TEST_F(EffectsSeventeenToTwentyFour, PredatorLightsCellsOnTwoRingsOfTheSameBand) {
    fillColours(0.0f);
    placeRingPoints();
    shared.frameCounter = 50; // radius 0: squared distances 0 .. 154
    DrawCounter draws;
    predator();
    EXPECT_EQ(draws.count(), 0);
    EXPECT_EQ(shared.lastChannel, 0);
    EXPECT_EQ(planes.red[cellAt(51, 60)], 200.0f);
    EXPECT_EQ(planes.blue[cellAt(50, 50)], 4.0f); // the second point's squared distance minus R * R
    EXPECT_EQ(planes.green[cellAt(50, 50)], -4.0f);
    EXPECT_EQ(planes.red[cellAt(51, 63)], -5.0f);  // 170 is outside the band: only faded
    EXPECT_EQ(planes.red[cellAt(130, 50)], -5.0f); // a lone point lights nothing

    fillColours(0.0f);
    placeRingPoints();
    shared.frameCounter = 70; // radius 20: squared distances 310 .. 464
    predator();
    EXPECT_EQ(shared.lastChannel, 20);
    EXPECT_EQ(planes.blue[cellAt(51, 70)], 1.0f);
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
        ASSERT_LE(std::fabs(particles.particleVY[k]), 0.72f);
    }

    placeRingPoints();
    particles.particleVX[3] = 0.0f;         // stands still
    particles.particleX[4] = 197.9f;        // leaves the band at 198
    particles.particleY[5] = std::nanf(""); // lost
    DrawCounter later;
    predator();
    EXPECT_EQ(later.count(), 3 * 4);
    EXPECT_FALSE(std::isnan(particles.particleY[5]));
    EXPECT_EQ(particles.particleX[6], 130.0f);
}

TEST_F(EffectsSeventeenToTwentyFour, StareOGranCascadesColumnTenAcrossTheGrid) {
    for (int p = 0; p < 6; ++p) {
        for (int x = 0; x < 200; ++x) {
            for (int y = 0; y < 200; ++y) {
                allPlanes[p][cellAt(x, y)] = static_cast<float>(x * 1000 + y) + p * 0.25f;
            }
        }
    }
    const Snapshot before;
    stareOGran();
    for (int p = 0; p < 6; ++p) {
        for (int x = 0; x < 200; ++x) {
            for (int y = 0; y < 200; ++y) {
                if (x >= 30 && x <= 170 && (x - 10) % 20 == 0 && y >= 5 && y <= 194) {
                    ASSERT_EQ(allPlanes[p][cellAt(x, y)], before.before(p, 10, y)) << x << "," << y;
                } else {
                    ASSERT_FALSE(before.changed(p, x, y)) << x << "," << y;
                }
            }
        }
    }
}

} // namespace
} // namespace glowfield::test
