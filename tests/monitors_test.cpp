// Which monitors get a window of their own with --all-monitors, and how --list-monitors shows them.
#include <gtest/gtest.h>

#include "app/monitors.h"

namespace glowfield::test {
namespace {

MonitorInfo monitor(int index, SDL_Rect bounds, const char* name = "", int hz = 0) {
    return MonitorInfo{index, name, bounds, hz};
}

TEST(AllMonitors, EveryOtherMonitorGetsOneWindowAndClonesNone) {
    const std::vector<MonitorInfo> side = {monitor(0, {0, 0, 1920, 1080}), monitor(1, {1920, 0, 1280, 1024}),
                                           monitor(2, {-800, 0, 800, 600})};
    EXPECT_EQ(mirrorMonitors(side, 0), (std::vector<int>{1, 2}));
    EXPECT_EQ(mirrorMonitors(side, 1), (std::vector<int>{0, 2}));
    // A cloned output and the main one share an area; two clones of another share one window; an output
    // without an area gets none.
    const std::vector<MonitorInfo> cloned = {monitor(0, {0, 0, 1920, 1080}), monitor(1, {0, 0, 1920, 1080}),
                                             monitor(2, {1920, 0, 800, 600}), monitor(3, {1920, 0, 800, 600}),
                                             monitor(4, {0, 0, 0, 0})};
    EXPECT_EQ(mirrorMonitors(cloned, 0), (std::vector<int>{2}));
    EXPECT_TRUE(mirrorMonitors({monitor(0, {0, 0, 800, 600})}, 0).empty());
}

TEST(MonitorList, OneLinePerMonitorWithSizePlaceRateAndName) {
    const std::string text =
        monitorListText({monitor(0, {0, 0, 1920, 1080}, "HDMI-1", 60), monitor(1, {1920, -120, 1280, 1024}),
                         monitor(2, {0, 0, 800, 600}, "odd\nname")});
    EXPECT_EQ(text, "0: 1920x1080 at 0,0, 60 Hz (HDMI-1)\n"
                    "1: 1280x1024 at 1920,-120\n"
                    "2: 800x600 at 0,0 (odd name)\n");
}

} // namespace
} // namespace glowfield::test
