// What the screen saver daemons hand to the player: the pictures folder of the daemon's settings file, the
// first effect that keeps switching, and the frame-rate display over the picture (never in the field).
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <vector>

#include "app/commands.h"
#include "app/fps_label.h"
#include "app/frame_loop.h"
#include "app/saver_host.h"
#include "effects/catalogue.h"
#include "test_support.h"

namespace glowfield::test {
namespace {

TEST(SaverImageDirectory, TheDaemonsSettingWhenItNamesAFolder) {
    EXPECT_EQ(imageDirectoryFromSettings("mode:\tone\nimageDirectory:\t/srv/pics  \nlock: False\n", "/h"),
              "/srv/pics");
    EXPECT_EQ(imageDirectoryFromSettings("imageDirectory:\t~/Pictures\n", "/home/me"), "/home/me/Pictures");
    EXPECT_EQ(imageDirectoryFromSettings("imageDirectory:\t~\n", "/home/me"), "/home/me");
    EXPECT_EQ(imageDirectoryFromSettings("imageDirectory:\t~/x\n", ""), "");
    EXPECT_EQ(imageDirectoryFromSettings("imageDirectory:\thttps://example.invalid/feed.rss\n", "/h"), "");
    EXPECT_EQ(imageDirectoryFromSettings("imageDirectory:\t\n", "/h"), "");
    EXPECT_EQ(imageDirectoryFromSettings("textFile: /imageDirectory:/x\n", "/h"), "");

    TempDir home;
    const std::string pictures = home.file("my pictures");
    std::filesystem::create_directory(pictures);
    const std::map<std::string, std::string> values{{"HOME", home.path()}};
    const EnvironmentLookup lookup = [&values](const char* name) -> const char* {
        const auto found = values.find(name);
        return found == values.end() ? nullptr : found->second.c_str();
    };
    EXPECT_EQ(saverImageDirectory(lookup), "") << "no settings file";
    std::ofstream(home.file(".xscreensaver")) << "imageDirectory:\t~/my pictures\n";
    EXPECT_EQ(saverImageDirectory(lookup), pictures);
    std::ofstream(home.file(".xscreensaver")) << "imageDirectory:\t~/gone\n";
    EXPECT_EQ(saverImageDirectory(lookup), "") << "a folder that is not there";
}

// A mistake typed into the daemon's settings dialog is left out rather than blanking the saver; a clash of
// display options is still refused.
TEST(SaverCommandLine, ADialogsMistakeIsLeftOut) {
    const EnvironmentLookup none = [](const char*) -> const char* { return nullptr; };
    const EnvironmentLookup saver = [](const char* name) -> const char* {
        return std::strcmp(name, "XSCREENSAVER_WINDOW") == 0 ? "0x400008" : nullptr;
    };
    EXPECT_TRUE(startedBySaver({"--root"}, none));
    EXPECT_TRUE(startedBySaver({"--names", "-window-id", "5"}, none));
    EXPECT_TRUE(startedBySaver({"--names"}, saver));
    EXPECT_FALSE(startedBySaver({"--names", "--window"}, none));

    std::string leftOut;
    ParseResult parsed = parseSaverCommandLine({"--root", "--only", "1-3, Flwer", "--names"}, leftOut);
    EXPECT_EQ(parsed.error, "");
    EXPECT_TRUE(parsed.options.names && parsed.options.hostRoot);
    EXPECT_TRUE(parsed.options.playable.empty());
    EXPECT_EQ(leftOut.rfind("--only: no effect is named 'Flwer'", 0), 0u) << leftOut;

    leftOut.clear();
    parsed =
        parseSaverCommandLine({"--root", "--switch-seconds=0", "--start-effect", "999", "--fps"}, leftOut);
    EXPECT_NE(parsed.error, "") << "two mistakes: no single option is to blame";

    leftOut.clear();
    parsed = parseSaverCommandLine({"--root", "--window"}, leftOut);
    EXPECT_NE(parsed.error, "");
    EXPECT_EQ(leftOut, "");
    parsed = parseSaverCommandLine({"--root", "--start-effect", "3"}, leftOut);
    EXPECT_EQ(parsed.error, "");
    EXPECT_EQ(leftOut, "") << "nothing left out of a sound command line";
}

class StartingEffect : public StateTest {
  protected:
    void SetUp() override {
        StateTest::SetUp();
        prepareField(5);
        shared.switchPeriod = 50;
    }
};

// The daemon's "Start with" choices: the effect plays its full period, then the automatic changes go on.
TEST_F(StartingEffect, PlaysAFullPeriodThenSwitchingGoesOn) {
    startSwitchingFrom(13);
    EXPECT_FALSE(session.locked);
    for (int tick = 0; tick < 49; ++tick) {
        timerTick(session);
        ASSERT_EQ(shared.currentEffect & 0xff, 13) << "tick " << tick;
    }
    bool switched = false;
    for (int tick = 0; tick < 20 * 50 && !switched; ++tick) {
        timerTick(session);
        switched = (shared.currentEffect & 0xff) != 13;
    }
    EXPECT_TRUE(switched);
    EXPECT_EQ(shared.switchPeriod, 50u) << "the period is the viewer's";
}

TEST(FpsDisplay, CountsEachSecondOfFrameSteps) {
    FpsLabel label;
    EXPECT_FALSE(label.visible()) << "nothing shows before a second is measured";
    for (int frame = 0; frame <= 50; ++frame) {
        label.frame(frame * 20.0, 2.5);
    }
    EXPECT_EQ(label.text(), "50.0 fps  2.50 ms");
    EXPECT_TRUE(label.visible());
    const uint32_t version = label.version();
    // A slower second: the step at 1000 ms (2.5 ms) opened it, 24 more steps 40 ms apart took 10 ms each.
    for (int frame = 1; frame <= 25; ++frame) {
        label.frame(1000.0 + frame * 40.0, 10.0);
    }
    EXPECT_EQ(label.text(), "25.0 fps  9.70 ms");
    EXPECT_NE(label.version(), version);
    EXPECT_EQ(FpsLabel::format(49.96, 0.8449), "50.0 fps  0.84 ms");
}

TEST(FpsDisplay, DrawsOnlyInTheUpperLeftCornerOfThePicture) {
    FpsLabel label;
    for (int frame = 0; frame <= 50; ++frame) {
        label.frame(frame * 20.0, 1.0);
    }
    if (label.picture(1).width == 0) {
        GTEST_SKIP() << "no font for the label";
    }
    const LabelPlacement at = label.placement(1);
    EXPECT_LT(at.x, 50);
    EXPECT_LT(at.y, 50);
    std::vector<uint8_t> rgb(800 * 600 * 3, 100);
    label.drawOnto(rgb.data(), 800 * 3);
    int changedOutside = 0, changedInside = 0;
    for (int y = 0; y < 600; ++y) {
        for (int x = 0; x < 800; ++x) {
            const uint8_t* p = &rgb[(y * 800 + x) * 3];
            const bool inside = x >= at.x && x < at.x + at.width && y >= at.y && y < at.y + at.height;
            (inside ? changedInside : changedOutside) += p[0] != 100 || p[1] != 100 || p[2] != 100;
        }
    }
    EXPECT_EQ(changedOutside, 0);
    EXPECT_GT(changedInside, at.width * at.height / 2);
}

} // namespace
} // namespace glowfield::test
