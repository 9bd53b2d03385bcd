// The particle effects and the shared particle store: which effect lays the store out after which, the order
// of the random draws of layouts and respawns, and the effects that move particle 0 and with it the owner
// mark.
#include <cmath>

#include "effect_group_fixture.h"
#include "effects/effect_routines.h"

namespace glowfield::test {
namespace {

using ParticleSetUp = EffectGroupTest;
using ParticleDraws = EffectGroupTest;

TEST_F(ParticleSetUp, EveryLayoutEffectMarksAFreshStoreOnItsFirstFrame) {
    const struct {
        void (*routine)();
        float mark;
    } cases[] = {{volcano, 110}, {inkblot, 111},   {quoonirky, 110}, {lava, 123},
                 {wip, 125},     {asparagus, 126}, {squareRoot, 135}};
    for (const auto& c : cases) {
        clearParticles();
        c.routine();
        EXPECT_EQ(particleOwner, c.mark);
    }
}

// Volcano and Quoonirky share one mark: whichever runs second finds the store already laid out.
TEST_F(ParticleSetUp, VolcanoAndQuoonirkySkipEachOthersLayout) {
    volcano();
    at(planes.blueVelocity, 50, 50) = 3.25f;
    const int32_t seed = randomState.seed;
    quoonirky();
    EXPECT_EQ(at(planes.blueVelocity, 50, 50), 3.25f) << "the relief was laid out again";
    EXPECT_EQ(randomState.seed, seed) << "Quoonirky draws only in its layout";

    clearParticles();
    quoonirky();
    particles.particleY[5] = 123.5f; // an attractor: Volcano never moves it in Y
    volcano();
    EXPECT_EQ(particles.particleY[5], 123.5f);

    inkblot(); // a different mark: the ink blot lays the store out for itself
    EXPECT_EQ(particleOwner, 111.0f);
    EXPECT_NE(particles.particleY[5], 123.5f);
}

TEST_F(ParticleSetUp, EffectsThatMoveParticleZeroMakeTheNextLayoutRunAgain) {
    for (void (*mover)() : {upsilon, mPourer, dart}) {
        clearParticles();
        lava();
        at(planes.blue, 60, 60) = 50;
        lava();
        EXPECT_EQ(at(planes.blue, 60, 60), 50.0f) << "lava scaled the relief while it still owned the store";
        mover();
        EXPECT_NE(particleOwner, 123.0f);
        at(planes.blue, 60, 60) = 50;
        lava();
        EXPECT_FLOAT_EQ(at(planes.blue, 60, 60), -0.5f)
            << "lava did not lay out again after particle 0 moved";
    }
}

TEST_F(ParticleSetUp, WipKeepsTheOldStoreWhenItsFirstDrawIsOddAndTakesItAnyway) {
    seedRandom(1);
    nextRandom(); // 41: odd
    const int32_t afterOneDraw = randomState.seed;
    seedRandom(1);
    particles.particleX[7] = 33.5f;
    wip();
    EXPECT_EQ(particleOwner, 125.0f);
    EXPECT_NEAR(particles.particleX[7], 33.5f, 0.5f) << "the particles keep the positions they had";
    EXPECT_EQ(randomState.seed, afterOneDraw);
    wip();
    EXPECT_EQ(randomState.seed, afterOneDraw) << "the layout ran again";

    clearParticles();
    seedRandom(0); // first draw 38: even, so the particles go onto the ellipse round the centre
    wip();
    EXPECT_NEAR(particles.particleX[7] - particles.particleVX[7], 100.0 + 60 * std::sin(7 * 0.0157), 0.02);
}

TEST_F(ParticleSetUp, SquareRootOnAStoreItAlreadyOwnsThrowsStrayParticlesBackIn) {
    particleOwner = 135; // every other particle sits at (0, 0, 0): outside the box
    squareRoot();
    for (int p = 1; p <= 3999; ++p) {
        ASSERT_EQ(particles.particleZ[p], 400.0f) << p;
        ASSERT_GE(particles.particleX[p], 0.0f) << p;
        ASSERT_LT(particles.particleX[p], 200.0f) << p;
        ASSERT_LE(particles.particleY[p], 175.0f) << p;
        ASSERT_GE(particles.particleY[p], 75.0f) << p;
    }
}

// Layouts: X before Y for every particle; the ink blot then its two velocities.
TEST_F(ParticleDraws, LayoutsDrawInParticleOrder) {
    seedRandom(7);
    volcano();
    seedRandom(7);
    for (int p = 1; p <= 79; ++p) {
        nextRandom();
        EXPECT_EQ(particles.particleY[p], nextRandom() % 160 + 25) << p;
    }

    clearParticles();
    seedRandom(7);
    inkblot();
    seedRandom(7);
    for (int j = 1; j <= 19; ++j) {
        const int x = nextRandom() % 190 + 5;
        const int y = nextRandom() % 160 + 25;
        const float vx = toFloat((nextRandom() % 5000 - 2500) * 0.0005);
        const float vy = toFloat((nextRandom() % 5000 - 2500) * 0.0005);
        // Attractors keep their velocity and move by it once in the first frame.
        EXPECT_EQ(particles.particleVX[j], vx) << j;
        EXPECT_EQ(particles.particleVY[j], vy) << j;
        EXPECT_EQ(particles.particleX[j], toFloat(x + static_cast<double>(vx))) << j;
        EXPECT_EQ(particles.particleY[j], toFloat(y + static_cast<double>(vy))) << j;
    }

    clearParticles();
    seedRandom(7);
    quoonirky();
    seedRandom(7);
    for (int k = 0; k < 198 * 198; ++k) {
        nextRandom();
    }
    for (int k = 1; k <= 9; ++k) {
        EXPECT_EQ(particles.particleTag[k], nextRandom() % 2) << k;
    }
    EXPECT_GT(at(planes.blueVelocity, 100, 100), at(planes.blueVelocity, 20, 20))
        << "a pyramid, highest inside";
}

TEST_F(ParticleDraws, SquareRootLaysOutXThenYThenDepth) {
    seedRandom(3);
    squareRoot();
    seedRandom(3);
    int unmoved = 0;
    for (int p = 1; p <= 3999; ++p) {
        const float x = static_cast<float>(nextRandom() % 200);
        nextRandom();
        const float z = static_cast<float>(nextRandom() % 400);
        if (x < 1 || z < 3) {
            continue; // thrown back in during the first frame
        }
        ++unmoved;
        EXPECT_EQ(particles.particleX[p], x) << p;
        EXPECT_EQ(particles.particleZ[p], toFloat(z - 1.6)) << p;
    }
    EXPECT_GT(unmoved, 3800);
}

// Respawns: X, Y, VX, VY at random; Volcano's vent: X, then VY.
TEST_F(ParticleDraws, RespawnsDrawInTheirOrder) {
    seedRandom(11);
    swarm(); // all 49 particles start at (0, 0): out of range
    seedRandom(11);
    for (int p = 1; p <= 49; ++p) {
        EXPECT_EQ(particles.particleX[p], nextRandom() % 190 + 5) << p;
        EXPECT_EQ(particles.particleY[p], nextRandom() % 190 + 5) << p;
        EXPECT_EQ(particles.particleVX[p], toFloat((nextRandom() % 5000 - 2500) * 0.000125)) << p;
        EXPECT_EQ(particles.particleVY[p], toFloat((nextRandom() % 5000 - 2500) * 0.000125)) << p;
    }

    clearParticles();
    particleOwner = 110;
    seedRandom(11);
    volcano(); // every lava particle falls out of range at once and goes back to the vent
    seedRandom(11);
    for (int p = 80; p <= 999; ++p) {
        EXPECT_EQ(particles.particleX[p], nextRandom() % 5 + 98) << p;
        EXPECT_EQ(particles.particleY[p], 2.0f) << p;
        EXPECT_EQ(particles.particleVX[p], 0.0f) << p;
        EXPECT_EQ(particles.particleVY[p], toFloat((nextRandom() % 5000 + 2000) * 0.00025)) << p;
    }
    // With all tags even (never written), every attractor drifts to the right.
    for (int j = 1; j <= 79; ++j) {
        EXPECT_EQ(particles.particleX[j], toFloat((nextRandom() % 400) * 0.001)) << j;
    }
}

TEST_F(ParticleDraws, ParticlesThatLeaveOnTheirMoveAreReplacedInTheSameStep) {
    // Flesh Eating: the particle that runs off the edge leaves no bite.
    particles.particleX[1] = 197.5f;
    particles.particleY[1] = 100.5f;
    particles.particleVX[1] = 5;
    fleshEating(); // the rest start at (0, 0) and are respawned without drawing
    EXPECT_TRUE(particles.particleX[1] >= 5 && particles.particleX[1] < 195);
    for (int cell = 0; cell < planeCells; ++cell) {
        ASSERT_LE(planes.blue[cell], 0.0f) << cell;
    }

    // M-Pourer: on a flat relief the particle is put back to the centre and drawn there at once.
    fillField({0.0f});
    clearParticles();
    for (int b = 0; b < 10; ++b) {
        particles.particleX[b] = particles.particleY[b] = 20.5f + 10 * b;
    }
    particles.particleX[4] = 198.5f;
    particles.particleVX[4] = 2;
    mPourer();
    EXPECT_GT(at(planes.blue, 100, 100), -120.0f);
    EXPECT_EQ(at(planes.blue, 198, 60), -120.0f);
    // Particle b moves at the steps n with n mod 10 = b and leaves its mark only on even n: the odd ones
    // never draw, an even one at rest marks its cell on each of its thousand steps.
    EXPECT_EQ(at(planes.blue, 70, 70), -120.0f);
    EXPECT_EQ(at(planes.blue, 80, 80), -120.0f + 50 * 1000);
}

} // namespace
} // namespace glowfield::test
