// The effect clock (automatic switch, first frame, forced change) and the key session.
#include <cstring>

#include "app/commands.h"
#include "app/frame_loop.h"
#include "app/switching.h"
#include "effects/catalogue.h"
#include "field/field.h"
#include "field/random.h"
#include "test_support.h"

namespace glowfield::test {
namespace {

class EffectClock : public StateTest {};

// The result of the next draw, without disturbing the generator.
int peekRandom() {
    const RandomState saved = randomState;
    const int value = nextRandom();
    randomState = saved;
    return value;
}

TEST_F(EffectClock, FirstTickRunsEffect13AndTheSecondSwitchesAtRandom) {
    prepareField(7);
    timerTick(session);
    EXPECT_EQ(shared.currentEffect, 269);
    EXPECT_EQ(shared.frameCounter, 750u);

    const int expected = peekRandom() % effectCount;
    checkAutomaticSwitch(session);
    // The switch skips a count and only the low byte of currentEffect changes; the new effect's first frame
    // step then sees the counter one past a multiple of the period.
    EXPECT_EQ(shared.frameCounter, 751u);
    EXPECT_EQ(shared.currentEffect, 0x100 | expected);
    EXPECT_TRUE(isFirstFrame());
    frameStep();
    EXPECT_FALSE(isFirstFrame());
}

TEST_F(EffectClock, SwitchesOnlyOnMultiplesOfThePeriod) {
    prepareField(7);
    shared.frameCounter = 1499;
    selectEffect(0);
    timerTick(session);
    EXPECT_EQ(shared.frameCounter, 1500u);
    EXPECT_EQ(shared.currentEffect & 0xff, 0);
    timerTick(session);
    EXPECT_EQ(shared.frameCounter, 1502u);
}

TEST_F(EffectClock, ForcedChangeSwitchesAtTheNextTickEvenWhenTheCounterWraps) {
    for (const uint32_t counter : {1234u, 5u, 750u, 0xffffffffu}) {
        shared = EffectState{};
        shared.frameCounter = counter;
        forceEffectChange();
        ++shared.frameCounter; // what the frame step adds
        EXPECT_EQ(shared.frameCounter % shared.switchPeriod, 0u) << counter;
        const uint32_t before = shared.frameCounter;
        checkAutomaticSwitch(session);
        EXPECT_EQ(shared.frameCounter, before + 1) << counter;
    }
}

TEST_F(EffectClock, KeyZRunsEffect0WithoutAutomaticChanges) {
    prepareField(7);
    timerTick(session);
    pressKey(session, 'z');
    EXPECT_EQ(shared.switchPeriod, 3000000u);
    EXPECT_EQ(shared.frameCounter, 1u);
    runFrames(300);
    EXPECT_EQ(shared.currentEffect & 0xff, 0);
    EXPECT_EQ(shared.frameCounter, 301u);
}

class KeyCommands : public StateTest {
  protected:
    void SetUp() override {
        StateTest::SetUp();
        prepareField(3);
    }

    void type(const char* keys) {
        for (const char* key = keys; *key; ++key) {
            pressKey(session, *key);
        }
    }
};

TEST_F(KeyCommands, ThreeDigitsChooseTheirNumberModulo242) {
    type("243");
    EXPECT_EQ(shared.currentEffect, 0x100 | 1); // only the low byte is written
    type("999");
    EXPECT_EQ(shared.currentEffect & 0xff, 31);
    type("042");
    EXPECT_EQ(shared.currentEffect & 0xff, 42);
    // Other keys leave a half-typed number alone.
    type("1i2.0");
    EXPECT_EQ(shared.currentEffect & 0xff, 120);
    EXPECT_EQ(session.digitCount, 0);
    EXPECT_EQ(session.typedNumber, 0);
}

TEST_F(KeyCommands, SpaceChoosesAtRandomAndClearsAHalfTypedNumber) {
    type("2");
    const int expected = peekRandom() % effectCount;
    type(" ");
    EXPECT_EQ(shared.currentEffect & 0xff, expected);
    EXPECT_EQ(session.digitCount, 0);
    type("430");
    EXPECT_EQ(shared.currentEffect & 0xff, 430 % 242);
}

TEST_F(KeyCommands, DotWalksTheSequenceAndWrapsAfterItsLastEntry) {
    for (int press = 1; press <= effectSequenceLength; ++press) {
        pressKey(session, '.');
        ASSERT_EQ(shared.currentEffect & 0xff, effectSequence[press - 1]) << press;
    }
    EXPECT_EQ(shared.currentEffect & 0xff, 151);
    pressKey(session, '.');
    EXPECT_EQ(shared.currentEffect & 0xff, 134);
    pressKey(session, '.');
    EXPECT_EQ(shared.currentEffect & 0xff, 53);
    pressKey(session, 'z');
    pressKey(session, '.');
    EXPECT_EQ(shared.currentEffect & 0xff, 134);
}

TEST_F(KeyCommands, CodesWithoutACommandChangeNothing) {
    fillField({1.5f, -3.0f, 40.0f});
    const uint64_t field = fieldHash();
    const EffectState before = shared;
    for (const int code : std::initializer_list<int>{'a', 'I', 'M', 'Z', '/', '\t', 10, 127, 200, -1}) {
        EXPECT_FALSE(pressKey(session, code)) << code;
    }
    EXPECT_EQ(fieldHash(), field);
    EXPECT_EQ(std::memcmp(&before, &shared, sizeof before), 0);
    EXPECT_FALSE(session.quitRequested);
    EXPECT_TRUE(pressKey(session, 27));
    EXPECT_TRUE(session.quitRequested);
}

class FieldCommands : public KeyCommands {
  protected:
    // Distinct values everywhere, live or not, none of which overflows when doubled.
    void SetUp() override {
        KeyCommands::SetUp();
        for (int cell = 0; cell < planeCells; ++cell) {
            const float v = static_cast<float>(cell % 997) - 498.25f;
            planes.red[cell] = v;
            planes.green[cell] = v * 0.5f;
            planes.blue[cell] = -v;
            planes.redVelocity[cell] = v * 0.25f;
            planes.greenVelocity[cell] = 1.0f + v;
            planes.blueVelocity[cell] = -2.0f * v;
        }
        std::memcpy(&before, &planes, sizeof planes);
    }

    static bool live(int x, int y) { return x < 200 && y < 200; }

    FieldPlanes before;
};

TEST_F(FieldCommands, EnterHalvesTheColoursAndStopsTheMotion) {
    pressKey(session, 13);
    pressKey(session, 13);
    for (int x = 0; x < planeStride; ++x) {
        for (int y = 0; y < planeStride; ++y) {
            const int c = cellAt(x, y);
            const float scale = live(x, y) ? 0.25f : 1.0f;
            ASSERT_EQ(planes.red[c], before.red[c] * scale) << x << "," << y;
            ASSERT_EQ(planes.blue[c], before.blue[c] * scale) << x << "," << y;
            ASSERT_EQ(planes.greenVelocity[c], live(x, y) ? 0.0f : before.greenVelocity[c]) << x << "," << y;
        }
    }
    EXPECT_EQ(field.scanX, 200);
    EXPECT_EQ(field.scanY, 200);
}

TEST_F(FieldCommands, InvertTwiceRestoresAndDoubleThenEnterRestoresTheColours) {
    pressKey(session, 'i');
    EXPECT_EQ(planes.green[cellAt(10, 20)], -before.green[cellAt(10, 20)]);
    EXPECT_EQ(planes.blueVelocity[cellAt(199, 0)], -before.blueVelocity[cellAt(199, 0)]);
    EXPECT_EQ(planes.red[cellAt(200, 0)], before.red[cellAt(200, 0)]);
    pressKey(session, 'i');
    EXPECT_EQ(std::memcmp(&planes, &before, sizeof planes), 0);

    pressKey(session, 'm');
    EXPECT_EQ(planes.redVelocity[cellAt(5, 6)], 2.0f * before.redVelocity[cellAt(5, 6)]);
    pressKey(session, 13);
    for (int x = 0; x < 200; ++x) {
        for (int y = 0; y < 200; ++y) {
            const int c = cellAt(x, y);
            ASSERT_EQ(planes.red[c], before.red[c]);
            ASSERT_EQ(planes.green[c], before.green[c]);
            ASSERT_EQ(planes.blue[c], before.blue[c]);
            ASSERT_EQ(planes.blueVelocity[c], 0.0f);
        }
    }
}

TEST_F(FieldCommands, LShiftsFiveCellsLeftKeepingColumnZeroAndTheLastFive) {
    pressKey(session, 'l');
    const float* const now[2] = {planes.red, planes.blueVelocity};
    const float* const was[2] = {before.red, before.blueVelocity};
    for (int p = 0; p < 2; ++p) {
        for (int x = 0; x < planeStride; ++x) {
            for (int y = 0; y < planeStride; ++y) {
                const bool moved = x >= 1 && x <= 194 && y < 200;
                const float expected = moved ? was[p][cellAt(x + 5, y)] : was[p][cellAt(x, y)];
                ASSERT_EQ(now[p][cellAt(x, y)], expected) << p << ": " << x << "," << y;
            }
        }
    }
    EXPECT_EQ(shared.scratchX, 194);
    EXPECT_EQ(shared.scratchY, 199);
}

} // namespace
} // namespace glowfield::test
