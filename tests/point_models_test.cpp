// The rotating point models (OranGeena, Jumper, Bo Selecta, SpongeTrek) and the sources of Gas Fire: when a
// model is laid out again, how a message continues the pen position, the rotation's shared temporaries, and
// how the sources respawn and write their potential.
#include <cstdint>
#include <cstring>
#include <limits>

#include "app/frame_loop.h"
#include "effects/catalogue.h"
#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "effects/shared/lettering.h"
#include "effects/world.h"
#include "field/field.h"
#include "field/random.h"
#include "field/trig.h"
#include "test_support.h"

namespace glowfield::test {
namespace {

class PointModels : public StateTest {
  protected:
    void SetUp() override {
        StateTest::SetUp();
        restart();
    }
    // Seed 1 after start-up, an empty particle store, frame 37.
    static void restart() {
        resetWorld();
        prepareField(1);
        shared.frameCounter = 37;
    }
};

// Number of nextRandom() draws that lead from one generator state to another.
int drawsBetween(int32_t from, int32_t to) {
    const int32_t saved = randomState.seed;
    randomState.seed = from;
    int draws = 0;
    for (; randomState.seed != to && draws <= 10000; ++draws) {
        nextRandom();
    }
    randomState.seed = saved;
    return draws;
}

struct ModelEffect {
    Routine run;
    float mark;
};
const ModelEffect models[] = {{oranGeena, 11.621f}, {boSelecta, 3.455f}, {spongeTrek, 115.621f}};

TEST_F(PointModels, AModelIsRebuiltWhenAnotherEffectWroteSlotZero) {
    for (const ModelEffect& model : models) {
        particleOwner = model.mark;
        modelX(5) = 12345.0f;
        model.run();
        EXPECT_EQ(modelX(5), 12345.0f) << model.mark;
        particleOwner = 11.62f;
        model.run();
        EXPECT_NE(modelX(5), 12345.0f) << model.mark;
        EXPECT_EQ(particleOwner, model.mark);
    }
    // Each of these leaves a mark that only the effect itself accepts.
    for (Routine writer : {oranGeena, jumper, boSelecta, gasFire, spongeTrek, scatter}) {
        restart();
        writer();
        for (const ModelEffect& model : models) {
            EXPECT_EQ(particleOwner == model.mark, model.run == writer) << model.mark;
        }
    }
}

TEST_F(PointModels, MessageIsRebuiltEvery160thFrameFromTheLastPenPosition) {
    boSelecta();
    for (uint32_t frame : {161u, 319u}) {
        shared.frameCounter = frame;
        const int32_t before = randomState.seed;
        boSelecta();
        EXPECT_EQ(randomState.seed, before) << frame;
    }
    // The pen goes on from where it stands, and wraps at the end of its range.
    for (int32_t start : {1000, std::numeric_limits<int32_t>::max() - 100}) {
        shared.frameCounter = 320;
        shared.letterOffset = start;
        const int32_t before = randomState.seed;
        const char* text = messageTable[nextRandom() % messageCount];
        randomState.seed = before;
        boSelecta();
        EXPECT_EQ(drawsBetween(before, randomState.seed), 1 + 2 * 700);

        int letterPoints = 0;
        for (const char* c = text; *c != '\0'; ++c) {
            letterPoints += *c == ' ' ? 0 : strokePointCount(letterStrokes[*c - 'A']);
        }
        EXPECT_EQ(shared.particleCount, 1 + letterPoints + 700) << text;
        int firstX = 0;
        forEachStrokePoint(letterStrokes[text[0] - 'A'],
                           [&](const StrokePoint& p) { firstX = firstX ? firstX : p.x; });
        const double final = static_cast<int32_t>(static_cast<uint32_t>(start) + 60u * std::strlen(text));
        const double laidOut = static_cast<float>(static_cast<double>(firstX) + start);
        EXPECT_FLOAT_EQ(modelX(1), static_cast<float>((laidOut - 0.75 * final) * 3)) << text;
    }
}

TEST_F(PointModels, RotationTemporariesShareTheSlotsOfModelPoints1000And1001) {
    particleOwner = 115.621f;
    modelX(999) = 40.0f;
    modelY(999) = -70.0f;
    modelZ(999) = 25.0f;
    spongeTrek();

    const double t1 = static_cast<float>(37 * static_cast<double>(0.014285714f));
    const double t2 = static_cast<float>(37 * static_cast<double>(0.013495277f));
    const double t3 = static_cast<float>(37 * static_cast<double>(0.011806376f));
    const double c1 = fastCos(t1), s1 = fastSin(t1), c2 = fastCos(t2), s2 = fastSin(t2);
    const double c3 = fastCos(t3), s3 = fastSin(t3);

    // Point 999 leaves its temporaries A, B and the copy of its Z in the model slots of point 1000.
    const double a999 = static_cast<float>(c1 * 40 + s1 * -70);
    const double b999 = static_cast<float>(c1 * -70 - s1 * 40);

    // Point 1000: A is stored over its model X before B is computed, so B turns A instead of X.
    const double a = static_cast<float>(c1 * a999 + s1 * b999);
    const double b = static_cast<float>(c1 * b999 - s1 * a);
    const double c = static_cast<float>(c2 * a + s2 * 25);
    const double d = static_cast<float>(c2 * 25 - s2 * a);
    EXPECT_NEAR(particles.particleX[1000], c + 100, 1e-3);
    EXPECT_NEAR(particles.particleY[1000], c3 * b - s3 * d + 100, 1e-3);

    // Point 1001 then starts from point 1000's temporaries (C, B, D) as its model coordinates.
    const double a1 = static_cast<float>(c1 * c + s1 * b);
    const double b1 = static_cast<float>(c1 * b - s1 * c);
    const double c1001 = static_cast<float>(c2 * a1 + s2 * d);
    const double d1001 = static_cast<float>(c2 * d - s2 * a1);
    EXPECT_NEAR(particles.particleX[1001], c1001 + 100, 1e-3);
    EXPECT_NEAR(particles.particleY[1001], c3 * b1 - s3 * d1001 + 100, 1e-3);
}

// ---- Gas Fire ----

class GasFire : public PointModels {
  protected:
    // Every source at (150, 150) drifting slowly down; the tests move single sources elsewhere.
    static void parkSources() {
        for (int i = 0; i < 90; ++i) {
            particles.particleX[i] = 150.0f;
            particles.particleY[i] = 150.0f;
            particles.particleVX[i] = 0.0f;
            particles.particleVY[i] = 0.25f;
        } // namespace
    }     // namespace glowfield::test
};

TEST_F(GasFire, WeakPotentialDrivesRedAndGreenStrongPotentialStopsThem) {
    // Sources 0..51 cancel in pairs at one cell, 53..89 do not count: only source 52 remains.
    parkSources();
    particles.particleX[52] = 60.0f;
    particles.particleY[52] = 59.75f;
    for (int cell = 0; cell < planeCells; ++cell) {
        planes.blueVelocity[cell] = 7.0f;
    }
    const int32_t before = randomState.seed;
    gasFire();
    ASSERT_EQ(randomState.seed, before);
    ASSERT_EQ(particles.particleY[52], 60.0f);

    // 1 / (30^2 + 1) is below 0.002: h = 100000 / 901.
    for (int weak : {cellAt(60, 90), cellAt(30, 60)}) {
        EXPECT_NEAR(planes.redVelocity[weak], 100000.0 / 901, 1e-3);
        EXPECT_NEAR(planes.greenVelocity[weak], 66.666664 - 100000.0 / 901 / 3, 1e-3);
        EXPECT_EQ(planes.blueVelocity[weak], 7.0f);
    }
    // 1 / (20^2 + 1) is not.
    for (int strong : {cellAt(80, 60), cellAt(60, 60)}) {
        EXPECT_EQ(planes.redVelocity[strong], 0.0f);
        EXPECT_EQ(planes.greenVelocity[strong], 0.0f);
        EXPECT_EQ(planes.blueVelocity[strong], 7.0f);
    }
}

TEST_F(GasFire, StillOrEscapedSourcesRespawnAtAnotherSourcesCell) {
    // A fresh store respawns every source at (0, 0), three draws each.
    int32_t before = randomState.seed;
    gasFire();
    EXPECT_EQ(drawsBetween(before, randomState.seed), 3 * 90);
    EXPECT_EQ(particles.particleX[89], 0.0f);

    parkSources();
    particles.particleY[52] = 60.0f; // standing still
    particles.particleVY[52] = 0.0f;
    particles.particleY[70] = 197.9f; // about to leave the inner field
    before = randomState.seed;
    gasFire();
    randomState.seed = before;
    const auto expectRespawn = [](int source, float y) {
        const float vx = static_cast<float>((nextRandom() % 500 - 250) * static_cast<double>(0.0028571428f));
        const float vy = static_cast<float>((nextRandom() % 500 - 250) * static_cast<double>(0.0028571428f));
        EXPECT_EQ(particles.particleX[source], 150.0f) << source;
        EXPECT_EQ(particles.particleY[source], y) << source;
        EXPECT_EQ(particles.particleVX[source], vx) << source;
        EXPECT_EQ(particles.particleVY[source], vy) << source;
    };
    // Every other source stands at y 150 (truncated); source 70 has not moved yet when 52 respawns.
    const int r52 = nextRandom() % 90;
    const float y52 = r52 == 52 ? 60.0f : (r52 == 70 ? 197.0f : 150.0f);
    expectRespawn(52, y52);
    const int r70 = nextRandom() % 90;
    expectRespawn(70, r70 == 52 ? y52 : (r70 == 70 ? 198.0f : 150.0f));
}

} // namespace
} // namespace glowfield::test
