// The command line's options of the viewer's choices: their values, what they combine with, and the entries
// they leave to play.
#include "app/command_line.h"
#include "test_support.h"

namespace glowfield::test {
namespace {

TEST(ViewerOptions, EveryChoiceWithItsValueInEitherSpelling) {
    const ParseResult parsed =
        parseCommandLine({"--names", "--lock", "--switch-seconds=0.5", "--monitor", "1", "--only",
                          "1-3, Wheel", "--skip=2", "--config", "c.toml"});
    ASSERT_EQ(parsed.error, "");
    const Options& o = parsed.options;
    EXPECT_TRUE(o.names && o.locked);
    EXPECT_EQ(o.switchSeconds, 0.5);
    EXPECT_EQ(o.monitor, 1);
    EXPECT_EQ(o.playable, (std::vector<int>{1, 3, 13}));
    EXPECT_EQ(o.configPath, "c.toml");
    EXPECT_TRUE(o.chosen.names && o.chosen.locked && o.chosen.switchSeconds && o.chosen.monitors);

    // Without --only and --skip every entry plays: playable stays empty.
    const Options plain = parseCommandLine({}).options;
    EXPECT_TRUE(plain.playable.empty());
    EXPECT_FALSE(plain.chosen.names || plain.chosen.switchSeconds || plain.chosen.only);
    EXPECT_EQ(parseCommandLine({"--switch-seconds", "86400"}).options.switchSeconds, 86400.0);
    EXPECT_TRUE(parseCommandLine({"--all-monitors", "--exclusive"}).options.allMonitors);
    EXPECT_EQ(parseCommandLine({"--headless", "--print-config"}).options.action, Action::printConfig);
    EXPECT_EQ(parseCommandLine({"--list-monitors", "--bogus"}).options.action, Action::listMonitors);
    EXPECT_EQ(parseCommandLine({"--list-monitors", "--help"}).options.action, Action::help);
    EXPECT_FALSE(plain.allowFlashing);
    const Options flashing = parseCommandLine({"--allow-flashing"}).options;
    EXPECT_TRUE(flashing.allowFlashing && flashing.chosen.allowFlashing);
    EXPECT_NE(parseCommandLine({"--allow-flashing=yes"}).error, "");
    // The gallery draws every entry it may play, headless.
    EXPECT_EQ(parseCommandLine({"--gallery", "g", "--only", "4-6"}).error, "");
    // The frame rate, and a first effect that leaves the changes on.
    const Options started = parseCommandLine({"--fps", "--start-effect=13"}).options;
    EXPECT_TRUE(started.fps && started.chosen.fps && started.chosen.startEffect);
    EXPECT_EQ(started.startEffect, 13);
    EXPECT_FALSE(started.effect || started.locked);
}

TEST(ViewerOptions, BadValuesAndCombinationsAreRefusedInOneLine) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--switch-seconds", "0"}, "--switch-seconds"},
        {{"--switch-seconds", "-1"}, "'-1'"},
        {{"--switch-seconds", "86401"}, "86400"},
        {{"--switch-seconds", "inf"}, "'inf'"},
        {{"--switch-seconds", "nan"}, "'nan'"},
        {{"--switch-seconds", "2s"}, "'2s'"},
        {{"--monitor", "-1"}, "--monitor"},
        {{"--monitor", "1.5"}, "'1.5'"},
        {{"--monitor"}, "--monitor needs a value"},
        {{"--only", "--skip"}, "--only needs a value"},
        {{"--only", "Flwer"}, "--only: no effect is named 'Flwer'"},
        {{"--skip", "0-241"}, "--skip leaves no effect to play"},
        {{"--only", "4", "--skip", "4"}, "--only and --skip leave no effect to play"},
        {{"--names=yes"}, "--names takes no value"},
        {{"--monitor", "1", "--window"}, "cannot be used with --window"},
        {{"--headless", "--all-monitors"}, "--all-monitors chooses where to play full screen"},
        {{"--monitor", "0", "--root"}, "--root"},
        {{"--window-id", "7", "--monitor", "0"}, "--window-id"},
        {{"--monitor", "0", "--all-monitors"}, "--monitor and --all-monitors"},
        {{"--gallery", "g", "--names"}, "--gallery"},
        {{"--gallery", "g", "--monitor", "1"}, "--gallery"},
        {{"--gallery", "g", "--fps"}, "--gallery"},
        {{"--gallery", "g", "--start-effect", "1"}, "--gallery"},
        {{"--start-effect", "242"}, "--start-effect must be a number from 0 to 241, not '242'"},
        {{"--start-effect", "Wheel"}, "'Wheel'"},
        {{"--start-effect", "1", "--effect", "2"}, "--effect and --start-effect"},
        {{"--fps=1"}, "--fps takes no value"},
    };
    for (const auto& [args, named] : cases) {
        const ParseResult parsed = parseCommandLine(args);
        EXPECT_NE(parsed.error.find(named), std::string::npos) << args[0] << ": " << parsed.error;
        EXPECT_EQ(parsed.error.find('\n'), std::string::npos) << parsed.error;
    }
}

} // namespace
} // namespace glowfield::test
