// The viewer's choices at play: the entries switching may choose, the lock, the switching period, and the
// name label drawn over the picture.
#include <algorithm>
#include <cstring>
#include <vector>

#include "app/commands.h"
#include "app/frame_loop.h"
#include "app/name_label.h"
#include "app/switching.h"
#include "effects/catalogue.h"
#include "field/random.h"
#include "test_support.h"

namespace glowfield::test {
namespace {

class ViewerChoice : public StateTest {
  protected:
    void SetUp() override {
        StateTest::SetUp();
        prepareField(5);
    }
};

TEST_F(ViewerChoice, EveryEntryPlayableKeepsTheChoiceRunsHaveAlwaysMade) {
    for (const int draw : {0, 1, 241, 242, 32767, 123456}) {
        EXPECT_EQ(playableEntryFor(session, draw), draw % effectCount) << draw;
    }
    // Naming all of them is the same as naming none.
    std::vector<int> all(effectCount);
    for (int i = 0; i < effectCount; ++i) {
        all[i] = i;
    }
    setPlayableEntries(session, all);
    EXPECT_TRUE(session.playable.empty());
}

// A draw keeps the entry it had with every entry playable whenever that one may play, so that leaving a few
// out changes no other choice; the others go to playable entries by the same draw.
TEST_F(ViewerChoice, ADrawKeepsItsOwnEntryWhenThatOneMayPlay) {
    std::vector<int> most;
    for (int i = 0; i < effectCount; ++i) {
        if (i != 19 && i != 132) {
            most.push_back(i);
        }
    }
    setPlayableEntries(session, most);
    for (int draw = 0; draw < 2000; ++draw) {
        const int entry = playableEntryFor(session, draw);
        if (draw % effectCount != 19 && draw % effectCount != 132) {
            ASSERT_EQ(entry, draw % effectCount) << draw;
        } else {
            ASSERT_TRUE(isPlayable(session, entry)) << draw << ": " << entry;
        }
    }
}

TEST_F(ViewerChoice, AutomaticSwitchesSpaceAndTheTourChooseOnlyPlayableEntries) {
    setPlayableEntries(session, {7, 5, 7, 300, -1});
    EXPECT_EQ(session.playable, (std::vector<int>{5, 7}));
    shared.switchPeriod = 3;
    for (int tick = 0; tick < 60; ++tick) {
        timerTick(session);
        if (tick > 3) {
            const int entry = shared.currentEffect & 0xff;
            ASSERT_TRUE(entry == 5 || entry == 7) << tick << ": " << entry;
        }
    }
    for (int press = 0; press < 20; ++press) {
        pressKey(session, press % 2 ? ' ' : '.');
        const int entry = shared.currentEffect & 0xff;
        ASSERT_TRUE(entry == 5 || entry == 7) << press << ": " << entry;
    }
    // Digits still choose any entry.
    for (const char key : {'0', '4', '2'}) {
        pressKey(session, key);
    }
    EXPECT_EQ(shared.currentEffect & 0xff, 42);
}

TEST_F(ViewerChoice, TheTourKeepsItsOrderAndWalksThePlayableListWhenItHasNoneOfThem) {
    setPlayableEntries(session, {53, 151});
    std::vector<int> expected;
    for (const uint8_t entry : effectSequence) {
        if (entry == 53 || entry == 151) {
            expected.push_back(entry);
        }
    }
    ASSERT_FALSE(expected.empty());
    for (size_t press = 0; press < expected.size() + 2; ++press) {
        pressKey(session, '.');
        ASSERT_EQ(shared.currentEffect & 0xff, expected[press % expected.size()]) << press;
    }

    std::vector<int> outside;
    for (int i = 0; i < effectCount; ++i) {
        if (std::find(effectSequence, effectSequence + effectSequenceLength, i) ==
            effectSequence + effectSequenceLength) {
            outside.push_back(i);
        }
    }
    ASSERT_GE(outside.size(), 2u);
    setPlayableEntries(session, {outside[0], outside[1]});
    pressKey(session, '.');
    const int first = shared.currentEffect & 0xff;
    pressKey(session, '.');
    const int second = shared.currentEffect & 0xff;
    EXPECT_NE(first, second);
    EXPECT_TRUE(first == outside[0] || first == outside[1]);
    EXPECT_TRUE(second == outside[0] || second == outside[1]);
}

TEST_F(ViewerChoice, TheLockHoldsTheEffectUntilReleased) {
    shared.switchPeriod = 10;
    timerTick(session);
    const int entry = shared.currentEffect & 0xff;
    pressKey(session, 'k');
    for (int tick = 0; tick < 100; ++tick) {
        timerTick(session);
    }
    EXPECT_EQ(shared.currentEffect & 0xff, entry);
    const RandomState before = randomState;
    pressKey(session, 'k');
    for (int tick = 0; tick < 10; ++tick) {
        timerTick(session);
    }
    EXPECT_NE(std::memcmp(&before, &randomState, sizeof before), 0)
        << "no switch after the lock was released";
}

TEST(SwitchPeriod, SecondsBecomeWholeFramesWithinBounds) {
    EXPECT_EQ(switchPeriodFrames(15.0), 750u);
    EXPECT_EQ(switchPeriodFrames(0.5), 25u);
    EXPECT_EQ(switchPeriodFrames(0.001), 1u);
    EXPECT_EQ(switchPeriodFrames(0.0), 1u);
    EXPECT_EQ(switchPeriodFrames(-3.0), 1u);
    EXPECT_EQ(switchPeriodFrames(1e12), 3000000u);
}

TEST(NameLabelTimes, ShowsForTwoSecondsAfterEachChangeThenFades) {
    NameLabel label;
    label.update(5, false, false);
    EXPECT_FALSE(label.visible());
    label.update(5, false, true); // names switched on: shown at once
    EXPECT_TRUE(label.visible());
    EXPECT_EQ(label.opacity(), 255);
    int shownFrames = 0;
    while (label.visible() && shownFrames < 1000) {
        ++shownFrames;
        label.update(5, false, true);
    }
    EXPECT_EQ(shownFrames, NameLabel::shownTicks);
    label.update(9, false, true); // a switch shows it again
    EXPECT_TRUE(label.visible());
    for (int i = 0; i < NameLabel::shownTicks - NameLabel::fadeTicks / 2; ++i) {
        label.update(9, false, true);
    }
    EXPECT_GT(label.opacity(), 0);
    EXPECT_LT(label.opacity(), 255);
    const uint32_t version = label.version();
    label.update(9, true, true); // the lock shows with the name
    EXPECT_EQ(label.opacity(), 255);
    EXPECT_NE(label.version(), version);
    label.update(9, true, false); // names off hide it at once
    EXPECT_FALSE(label.visible());
}

TEST(NameLabelPicture, DrawsOnlyInItsCornerOfThePicture) {
    NameLabel label;
    label.update(187, true, true);
    const LabelPlacement at = label.placement(1);
    if (label.picture(1).width == 0) {
        GTEST_SKIP() << "no font for the label";
    }
    EXPECT_GE(at.x, 0);
    EXPECT_LE(at.x + at.width, 800);
    EXPECT_LE(at.y + at.height, 600);
    EXPECT_GT(at.y, 500) << "the label stands in the lower left corner";
    // A sharper picture for large screens covers the same place.
    const LabelPlacement sharp = label.placement(3);
    EXPECT_NEAR(sharp.width, at.width, 4);
    EXPECT_NEAR(sharp.height, at.height, 4);

    std::vector<uint8_t> rgb(800 * 600 * 3, 100);
    label.drawOnto(rgb.data(), 800 * 3);
    int changedOutside = 0, changedInside = 0, white = 0;
    for (int y = 0; y < 600; ++y) {
        for (int x = 0; x < 800; ++x) {
            const uint8_t* p = &rgb[(y * 800 + x) * 3];
            const bool inside = x >= at.x && x < at.x + at.width && y >= at.y && y < at.y + at.height;
            const bool changed = p[0] != 100 || p[1] != 100 || p[2] != 100;
            (inside ? changedInside : changedOutside) += changed;
            white += p[0] > 240 && p[1] > 240 && p[2] > 240;
        }
    }
    EXPECT_EQ(changedOutside, 0);
    EXPECT_GT(changedInside, at.width * at.height / 2) << "the box darkens its area";
    EXPECT_GT(white, 100) << "the letters are white";

    // On the window's 4-byte picture (blue in the low byte, one byte unused) the same label, channel for
    // channel; the unused byte is left alone.
    std::vector<uint8_t> xrgb(800 * 600 * 4, 100);
    PixelFormat format;
    format.bitsPerPixel = 32;
    label.drawOnto(xrgb.data(), 800 * 4, format);
    int differing = 0;
    for (int i = 0; i < 800 * 600; ++i) {
        differing += xrgb[i * 4 + 2] != rgb[i * 3] || xrgb[i * 4 + 1] != rgb[i * 3 + 1] ||
                     xrgb[i * 4] != rgb[i * 3 + 2] || xrgb[i * 4 + 3] != 100;
    }
    EXPECT_EQ(differing, 0);
}

TEST(WindowTitle, NamesTheEntry) {
    EXPECT_EQ(windowTitle(5), "glowfield - 5 Pond");
    EXPECT_EQ(windowTitle(241), "glowfield - 241");
}

} // namespace
} // namespace glowfield::test
