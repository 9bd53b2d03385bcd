// The rotating point models (OranGeena, Jumper, Bo Selecta, SpongeTrek) and the sources of Gas Fire: when a
// model is laid out again, how a message is laid out, the rotation's shared temporaries, and how the sources
// move, respawn and write their potential.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "app/frame_loop.h"
#include "app/global_state.h"
#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "effects/effect_table.h"
#include "effects/lettering.h"
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
        resetAllState();
        prepareField(1);
        shared.frameCounter = 37;
    }
};

// Number of nextRandom() draws that lead from one generator state to another (at most limit).
int drawsBetween(int32_t from, int32_t to, int limit = 10000) {
    const int32_t saved = randomState.seed;
    randomState.seed = from;
    int draws = 0;
    while (randomState.seed != to && draws <= limit) {
        nextRandom();
        ++draws;
    }
    randomState.seed = saved;
    return draws;
}

// The draw that comes next, without consuming it.
int peekRandom() {
    const int32_t saved = randomState.seed;
    const int value = nextRandom();
    randomState.seed = saved;
    return value;
}

struct ModelEffect {
    Effect run;
    float mark;
    int probe; // a point of its own model, below 1000
};

const ModelEffect spiral{oranGeena, 11.621f, 5};
const ModelEffect message{boSelecta, 3.455f, 3};
const ModelEffect cube{spongeTrek, 115.621f, 5};

TEST_F(PointModels, AModelIsLaidOutAgainOnlyWhenTheOwnerMarkIsNotItsOwn) {
    for (const ModelEffect& model : {spiral, message, cube}) {
        particleOwner = model.mark;
        modelX(model.probe) = 12345.0f;
        model.run();
        EXPECT_EQ(modelX(model.probe), 12345.0f) << model.mark;
        EXPECT_EQ(particleOwner, model.mark);

        particleOwner = 11.62f;
        model.run();
        EXPECT_NE(modelX(model.probe), 12345.0f) << model.mark;
        EXPECT_EQ(particleOwner, model.mark);
    }
}

TEST_F(PointModels, EveryOtherEffectThatWritesSlotZeroForcesARebuild) {
    // Each of these leaves particleOwner at a value that no other model effect accepts as its own.
    const Effect writers[] = {oranGeena, jumper, boSelecta, gasFire, spongeTrek, scatter};
    for (Effect writer : writers) {
        restart();
        writer();
        int owners = 0;
        for (const ModelEffect& model : {spiral, message, cube}) {
            const bool own = model.run == writer;
            EXPECT_EQ(particleOwner == model.mark, own);
            owners += own ? 1 : 0;
        }
        if (writer == jumper || writer == gasFire || writer == scatter) {
            EXPECT_EQ(owners, 0);
        }
    }
}

TEST_F(PointModels, SpiralJoinsEachPointToTheOneThirtyBefore) {
    oranGeena();
    EXPECT_EQ(particles.particleTag[1], 1);
    EXPECT_EQ(particles.particleTag[2], 772);
    EXPECT_EQ(particles.particleTag[29], 799);
    EXPECT_EQ(particles.particleTag[30], 0);
    EXPECT_EQ(particles.particleTag[799], 769);
    // The top of the spiral sits on the pole, gridSize above the centre.
    EXPECT_NEAR(modelZ(1), 200.0f, 0.01f);
}

TEST_F(PointModels, MessageIsRebuiltEvery160thFrameWithOneDrawForTheTextAndTwoPerDot) {
    message.run();
    for (uint32_t frame : {161u, 200u, 319u}) {
        shared.frameCounter = frame;
        const int32_t before = randomState.seed;
        boSelecta();
        EXPECT_EQ(randomState.seed, before) << frame;
    }
    for (uint32_t frame : {320u, 480u}) {
        shared.frameCounter = frame;
        const int32_t before = randomState.seed;
        boSelecta();
        EXPECT_EQ(drawsBetween(before, randomState.seed), 1 + 2 * 700) << frame;
    }
}

StrokePoint firstPoint(const char* strokes) {
    StrokePoint first;
    bool seen = false;
    forEachStrokePoint(strokes, [&](const StrokePoint& point) {
        if (!seen) {
            first = point;
            seen = true;
        }
    });
    return first;
}

// The message that the next rebuild picks, and its number of stroke points.
const char* nextMessage(int& letterPoints) {
    const char* text = messageTable[peekRandom() % messageCount];
    letterPoints = 0;
    for (const char* c = text; *c != '\0'; ++c) {
        letterPoints += *c == ' ' ? 0 : strokePointCount(letterStrokes[*c - 'A']);
    }
    return text;
}

TEST_F(PointModels, MessageLayoutContinuesFromTheLastPenPosition) {
    for (int32_t start : {0, 1000}) {
        restart();
        shared.frameCounter = 160;
        shared.letterOffset = start;
        int letterPoints = 0;
        const char* text = nextMessage(letterPoints);
        boSelecta();

        const int k = 1 + letterPoints;
        EXPECT_EQ(shared.particleCount, k + 700) << text;
        // The first stroke point, moved by the pen position and centred on three quarters of the final one.
        const StrokePoint first = firstPoint(letterStrokes[text[0] - 'A']);
        const double final = start + 60.0 * static_cast<double>(std::strlen(text));
        EXPECT_NEAR(modelX(1), (first.x + start - 0.75 * final) * 3, 0.01) << text;
        EXPECT_NEAR(modelY(1), (first.y - 150.0) * 3, 0.01) << text;
        EXPECT_EQ(modelZ(1), 0.0f);
        EXPECT_EQ(particles.particleTag[1], 1);
        // The dots lie on the floor plane and are joined to themselves.
        EXPECT_EQ(modelY(k), 200.0f);
        EXPECT_EQ(modelY(k + 699), 200.0f);
        EXPECT_EQ(particles.particleTag[k + 699], k + 699);
    }
}

TEST_F(PointModels, PenPositionWrapsAtTheEndOfItsRange) {
    const int32_t start = std::numeric_limits<int32_t>::max() - 100;
    shared.frameCounter = 160;
    shared.letterOffset = start;
    int letterPoints = 0;
    const char* text = nextMessage(letterPoints);
    boSelecta();
    const uint32_t wrapped = static_cast<uint32_t>(start) + 60u * static_cast<uint32_t>(std::strlen(text));
    const double final = static_cast<int32_t>(wrapped);
    ASSERT_LT(final, 0);
    const StrokePoint first = firstPoint(letterStrokes[text[0] - 'A']);
    const double laidOut = static_cast<float>(static_cast<double>(first.x) + start);
    EXPECT_FLOAT_EQ(modelX(1), static_cast<float>((laidOut - 0.75 * final) * 3));
}

TEST_F(PointModels, RotationTemporariesShareTheSlotsOfModelPoints1000And1001) {
    particleOwner = cube.mark;
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
        }
    }
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
    // 1 / (20^2 + 1) is not, and neither is the negative side of a lone odd source.
    for (int strong : {cellAt(80, 60), cellAt(60, 60)}) {
        EXPECT_EQ(planes.redVelocity[strong], 0.0f);
        EXPECT_EQ(planes.greenVelocity[strong], 0.0f);
        EXPECT_EQ(planes.blueVelocity[strong], 7.0f);
    }
    // An odd source gives a negative potential; its size counts the same way.
    parkSources();
    particles.particleX[51] = 60.0f;
    particles.particleY[51] = 59.75f;
    gasFire();
    EXPECT_EQ(planes.redVelocity[cellAt(60, 60)], 0.0f);
    const double h = planes.redVelocity[cellAt(60, 90)];
    EXPECT_GT(h, 50);
    EXPECT_NEAR(planes.greenVelocity[cellAt(60, 90)], 66.666664 - h / 3, 1e-3);
}

TEST_F(GasFire, StillOrEscapedSourcesRespawnAtAnotherSourcesCell) {
    parkSources();
    particles.particleX[52] = 60.0f; // standing still
    particles.particleY[52] = 60.0f;
    particles.particleVY[52] = 0.0f;
    particles.particleY[70] = 197.9f; // about to leave the inner field
    const int32_t before = randomState.seed;
    gasFire();
    EXPECT_EQ(drawsBetween(before, randomState.seed), 6);

    // Replay the draws: the source, then the two velocity components.
    randomState.seed = before;
    const auto respawn = [](int source, float x, float y) {
        const float vx = static_cast<float>((nextRandom() % 500 - 250) * static_cast<double>(0.0028571428f));
        const float vy = static_cast<float>((nextRandom() % 500 - 250) * static_cast<double>(0.0028571428f));
        EXPECT_EQ(particles.particleX[source], x) << source;
        EXPECT_EQ(particles.particleY[source], y) << source;
        EXPECT_EQ(particles.particleVX[source], vx) << source;
        EXPECT_EQ(particles.particleVY[source], vy) << source;
    };
    // Sources before 52 have moved to y 150.25, later ones still stand at 150, source 70 at 197.9.
    const int r52 = nextRandom() % 90;
    const float y52 = r52 == 52 ? 60.0f : (r52 == 70 ? 197.0f : 150.0f);
    respawn(52, r52 == 52 ? 60.0f : 150.0f, y52);
    const int r70 = nextRandom() % 90;
    const float y70 = r70 == 52 ? y52 : (r70 == 70 ? 198.0f : 150.0f);
    respawn(70, r70 == 52 ? particles.particleX[52] : 150.0f, y70);
}

TEST_F(GasFire, AFreshStoreKeepsEverySourceInTheCorner) {
    for (int frame = 0; frame < 3; ++frame) {
        const int32_t before = randomState.seed;
        gasFire();
        EXPECT_EQ(drawsBetween(before, randomState.seed), 3 * 90);
        for (int i = 0; i < 90; ++i) {
            ASSERT_EQ(particles.particleX[i], 0.0f) << i;
            ASSERT_EQ(particles.particleY[i], 0.0f) << i;
        }
    }
}

} // namespace
} // namespace glowfield::test
