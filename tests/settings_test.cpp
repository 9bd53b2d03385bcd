// The config file: its location, its keys, refusals that name the file and line, the command line's choices
// over it one setting at a time, and --print-config's text read back to the same settings.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <map>
#include <thread>

#include "app/command_line.h"
#include "app/effect_list.h"
#include "app/settings.h"
#include "test_support.h"

namespace glowfield::test {
namespace {

EnvironmentLookup lookupIn(const std::map<std::string, std::string>& values) {
    return [values](const char* name) -> const char* {
        const auto found = values.find(name);
        return found == values.end() ? nullptr : found->second.c_str();
    };
}

// The options of args with the config file text applied; the error line, if any, in error.
Options withFile(const std::string& text, std::vector<std::string> args, std::string& error) {
    TempDir folder;
    const std::string path = folder.file("config.toml");
    std::ofstream(path) << text;
    args.insert(args.begin(), {"--config", path});
    ParseResult parsed = parseCommandLine(args);
    error = parsed.error;
    if (error.empty()) {
        error = applyConfigFile(parsed.options, lookupIn({}));
        const size_t at = error.find(path);
        if (at != std::string::npos) {
            error.replace(at, path.size(), "config.toml");
        }
    }
    return parsed.options;
}

TEST(ConfigFile, LivesInTheConfigFolderUnlessNamed) {
    const Options plain;
    EXPECT_EQ(configFilePath(plain, lookupIn({{"XDG_CONFIG_HOME", "/x"}, {"HOME", "/h"}})),
              "/x/glowfield/config.toml");
    EXPECT_EQ(configFilePath(plain, lookupIn({{"XDG_CONFIG_HOME", "rel"}, {"HOME", "/h"}})),
              "/h/.config/glowfield/config.toml");
    EXPECT_EQ(configFilePath(plain, lookupIn({})), "");
    Options named;
    named.configPath = "mine.toml";
    EXPECT_EQ(configFilePath(named, lookupIn({{"HOME", "/h"}})), "mine.toml");

    // A missing default file gives no settings; a missing --config file is refused.
    TempDir home;
    Options options;
    EXPECT_EQ(applyConfigFile(options, lookupIn({{"HOME", home.path()}})), "");
    options.configPath = home.file("none.toml");
    EXPECT_NE(applyConfigFile(options, lookupIn({})).find("cannot read --config file"), std::string::npos);
    options.configPath = home.path();
    EXPECT_NE(applyConfigFile(options, lookupIn({})).find("folder"), std::string::npos);
}

// Runs read() on its own thread and says whether it finished within two seconds; if not, a writer opened
// on the FIFO and closed again lets it go, so that the test fails instead of hanging.
template <typename Read> bool finishesWithoutAWriter(const std::string& fifo, Read read) {
    auto done = std::async(std::launch::async, read);
    if (done.wait_for(std::chrono::seconds(2)) == std::future_status::ready) {
        return true;
    }
    const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
    if (writer >= 0) {
        ::close(writer);
    }
    return false;
}

TEST(ConfigFile, FifosAndDevicesAtTheDefaultPathsNeverHoldUpTheStart) {
    TempDir home;
    std::filesystem::create_directories(home.file(".config/glowfield"));
    const std::string config = home.file(".config/glowfield/config.toml");
    ASSERT_EQ(mkfifo(config.c_str(), 0600), 0);
    std::string error;
    ASSERT_TRUE(finishesWithoutAWriter(config, [&] {
        Options options;
        error = applyConfigFile(options, lookupIn({{"HOME", home.path()}}));
    }));
    EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;

    // The user's folders file: a FIFO or a device there is passed over for ~/Pictures.
    const std::string userDirs = home.file(".config/user-dirs.dirs");
    ASSERT_EQ(mkfifo(userDirs.c_str(), 0600), 0);
    std::string pictures;
    ASSERT_TRUE(finishesWithoutAWriter(userDirs, [&] {
        pictures = defaultPicturesDirectory(lookupIn({{"HOME", home.path()}}));
    }));
    EXPECT_EQ(pictures, home.file("Pictures"));
    std::filesystem::remove(userDirs);
    std::filesystem::create_symlink("/dev/zero", userDirs);
    EXPECT_EQ(defaultPicturesDirectory(lookupIn({{"HOME", home.path()}})), home.file("Pictures"));
    Options zero;
    zero.configPath = "/dev/zero";
    EXPECT_NE(applyConfigFile(zero, lookupIn({})).find("not a regular file"), std::string::npos);
}

TEST(ConfigFile, APipeNamedOnTheCommandLineIsRead) {
    // As the shell's --config <(printf ...) gives it.
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    std::thread writer([&] {
        const std::string text = "names = true\nswitch_seconds = 3\n";
        EXPECT_EQ(write(ends[1], text.data(), text.size()), static_cast<ssize_t>(text.size()));
        close(ends[1]);
    });
    Options options;
    options.configPath = "/dev/fd/" + std::to_string(ends[0]);
    EXPECT_EQ(applyConfigFile(options, lookupIn({})), "");
    writer.join();
    close(ends[0]);
    EXPECT_TRUE(options.names);
    EXPECT_EQ(options.switchSeconds, 3.0);
}

TEST(ConfigFile, EveryKeyTakesEffect) {
    TempDir home;
    std::filesystem::create_directory(home.file("pics"));
    FileSettings file;
    ASSERT_EQ(
        parseSettings("names = true\nlock = true\nonly = [1, \"4-6\", \"wheel\"]\nskip = \"5\"\n"
                      "switch_seconds = 2\npictures = \"~/pics\"\nmonitor = 2\ndisplay = \"exclusive\"\n"
                      "allow_flashing = true\n",
                      "/etc/c.toml", home.path(), file),
        "");
    Options options;
    ASSERT_EQ(applySettings(file, options), "");
    EXPECT_TRUE(options.names && options.locked);
    EXPECT_EQ(options.playable, (std::vector<int>{1, 4, 6, 13}));
    EXPECT_EQ(options.switchSeconds, 2.0);
    EXPECT_EQ(options.picturesDirectory, home.file("pics"));
    EXPECT_EQ(options.monitor, 2);
    EXPECT_EQ(options.displayMode, DisplayMode::exclusive);
    EXPECT_TRUE(options.allowFlashing);

    // A relative folder starts from the file's folder.
    ASSERT_EQ(parseSettings("pictures = \"art\"", "/etc/glowfield/c.toml", "", file), "");
    EXPECT_EQ(file.pictures, "/etc/glowfield/art");
}

TEST(ConfigFile, TheCommandLineWinsOneSettingAtATime) {
    const std::string text = "names = true\nswitch_seconds = 3.5\nonly = \"0-9\"\nskip = \"1\"\n"
                             "display = \"exclusive\"\nall_monitors = true\n";
    std::string error;
    Options options = withFile(text, {"--switch-seconds", "9", "--skip", "2-3"}, error);
    ASSERT_EQ(error, "");
    EXPECT_TRUE(options.names);
    EXPECT_EQ(options.switchSeconds, 9.0);
    EXPECT_EQ(options.playable, (std::vector<int>{0, 1, 4, 5, 6, 7, 8, 9})); // the file's only, --skip
    EXPECT_EQ(options.displayMode, DisplayMode::exclusive);
    EXPECT_TRUE(options.allMonitors);

    options = withFile(text, {"--window"}, error);
    EXPECT_EQ(options.displayMode, DisplayMode::window);
    EXPECT_FALSE(options.allMonitors); // monitors count only for full screen
    options = withFile(text, {"--monitor", "1"}, error);
    EXPECT_EQ(options.monitor, 1);
    EXPECT_FALSE(options.allMonitors);
    options = withFile("display = \"window\"", {"--all-monitors"}, error);
    EXPECT_EQ(options.displayMode, DisplayMode::desktop); // --all-monitors plays full screen
    // Headless runs and a host's window keep their display.
    options = withFile(text, {"--headless"}, error);
    EXPECT_EQ(options.displayMode, DisplayMode::desktop);
    EXPECT_TRUE(options.headless);
    EXPECT_FALSE(options.allMonitors);
    Options hosted = parseCommandLine({}).options;
    ASSERT_EQ(applySaverEnvironment(hosted, lookupIn({{"XSCREENSAVER_WINDOW", "0x400001"}})), "");
    FileSettings file;
    ASSERT_EQ(parseSettings(text, "c.toml", "", file), "");
    ASSERT_EQ(applySettings(file, hosted), "");
    EXPECT_EQ(hosted.displayMode, DisplayMode::hosted);
}

// Every refusal names the file and the line the problem stands on.
TEST(ConfigFile, RefusalsNameTheFileAndLine) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"names = true\n\nnmaes = false\n", "config.toml:3: unknown key 'nmaes'"},
        {"[player]\nnames = true\n", "config.toml:1: unknown key 'player'"},
        {"names = 1\n", "config.toml:1: names must be true or false"},
        {"lock = true\nnames = \n", "config.toml:2: "},
        {"names = true\nnames = false\n", "config.toml:2: "},
        {"only = 5\n", "config.toml:1: only must be a list"},
        {"skip = [1,\n  \"Flwer\"]\n", "config.toml:2: skip: no effect is named 'Flwer'"},
        {"skip = [\n 300]\n", "config.toml:2: skip: no effect 300"},
        {"skip = [1.5]\n", "config.toml:1: skip must be"},
        {"switch_seconds = 0\n", "config.toml:1: switch_seconds must be"},
        {"switch_seconds = nan\n", "config.toml:1: switch_seconds must be"},
        {"switch_seconds = \"15\"\n", "config.toml:1: switch_seconds must be"},
        {"monitor = -1\n", "config.toml:1: monitor must be"},
        {"display = \"tv\"\n", "config.toml:1: display must be"},
        {"pictures = \"\"\n", "config.toml:1: pictures must be"},
        {"\n\npictures = \"/no/such/folder\"\n", "config.toml:3: pictures '/no/such/folder' is not a folder"},
        {"monitor = 1\nall_monitors = true\n", "config.toml:2: monitor and all_monitors"},
        {"display = \"window\"\nmonitor = 0\n", "config.toml:2: monitor chooses where to play full screen"},
        {"skip = \"0-241\"\n", "config.toml:1: skip leaves no effect to play"},
        {"only = \"4\"\nskip = [4]\n", "config.toml:2: only and skip leave no effect to play"},
    };
    for (const auto& [text, expected] : cases) {
        std::string error;
        withFile(text, {}, error);
        EXPECT_EQ(error.rfind(expected, 0), 0u) << text << "-> " << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    }
    std::string error;
    withFile("only = \"4\"\n", {"--skip", "4"}, error);
    EXPECT_EQ(error, "config.toml:1: only and --skip leave no effect to play");
}

std::vector<int> playing(const Options& options) {
    return options.playable.empty() ? playableEntries(std::nullopt, std::nullopt) : options.playable;
}

// Hosted, where a refusal would blank the screen saver, each mistake is noted in one line and its setting
// left at the default; the good keys still count. A file that cannot be parsed counts for nothing.
TEST(ConfigFile, HostedMistakesAreNotedAndLeftOut) {
    TempDir folder;
    const std::string path = folder.file("config.toml");
    const auto hostedWith = [&](const std::string& text, std::vector<std::string>& problems) {
        std::ofstream(path) << text;
        Options options = parseCommandLine({"--window-id", "7", "--config", path}).options;
        EXPECT_EQ(applyConfigFile(options, lookupIn({}), &problems), "") << text;
        return options;
    };
    std::vector<std::string> problems;
    Options options =
        hostedWith("names = true\nswitch_seconds = \"soon\"\nonly = \"Wheel\"\ncolour = 1\n"
                   "pictures = \"/no/such/folder\"\nlock = 3\nmonitor = 1\nall_monitors = true\n",
                   problems);
    EXPECT_TRUE(options.names);
    EXPECT_EQ(options.playable, std::vector<int>{13});
    EXPECT_EQ(options.switchSeconds, 15.0);
    EXPECT_FALSE(options.locked);
    EXPECT_FALSE(options.picturesDirectory);
    ASSERT_EQ(problems.size(), 5u);
    EXPECT_EQ(problems[0], path + ":2: switch_seconds must be a number of seconds above 0 and up to 86400");
    EXPECT_EQ(problems[1], path + ":4: unknown key 'colour'");
    EXPECT_EQ(problems[2], path + ":6: lock must be true or false");
    EXPECT_EQ(problems[3].rfind(path + ":8: monitor and all_monitors", 0), 0u) << problems[3];
    EXPECT_EQ(problems[4], path + ":5: pictures '/no/such/folder' is not a folder");

    problems.clear();
    options = hostedWith("names = true\nskip = \"0-241\"\n", problems);
    EXPECT_TRUE(options.names);
    EXPECT_TRUE(options.playable.empty()) << "every entry plays";
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0], path + ":2: skip leaves no effect to play");

    problems.clear();
    options = hostedWith("names = true\nlock = \n", problems);
    EXPECT_FALSE(options.names) << "nothing of a file that cannot be parsed is used";
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].rfind(path + ":2: ", 0), 0u) << problems[0];

    // Not hosted, the first mistake is still refused.
    std::string error;
    withFile("names = true\nswitch_seconds = \"soon\"\n", {}, error);
    EXPECT_EQ(error.rfind("config.toml:2: switch_seconds", 0), 0u) << error;
}

TEST(ConfigFile, FrameRateAndStartingEffect) {
    std::string error;
    Options options = withFile("fps = true\nstart_effect = \"Wheel\"\n", {}, error);
    EXPECT_EQ(error, "");
    EXPECT_TRUE(options.fps);
    EXPECT_EQ(options.startEffect, 13);
    EXPECT_EQ(withFile("start_effect = 186\n", {}, error).startEffect, 186);
    // --effect chooses the first effect itself, and stops the changes.
    options = withFile("start_effect = 186\n", {"--effect", "4"}, error);
    EXPECT_FALSE(options.startEffect);
    EXPECT_EQ(withFile("start_effect = 186\n", {"--start-effect", "5"}, error).startEffect, 5);
    for (const char* bad :
         {"start_effect = 242\n", "start_effect = \"1-3\"\n", "start_effect = true\n", "fps = 1\n"}) {
        withFile(bad, {}, error);
        EXPECT_EQ(error.rfind("config.toml:1: ", 0), 0u) << bad << "-> " << error;
    }
}

// --print-config's text, read as a config file, gives the same settings.
TEST(ConfigFile, PrintedSettingsReadBackToTheSame) {
    TempDir folder;
    const std::string pictures = folder.file("odd \"name\" \\ here");
    std::filesystem::create_directory(pictures);
    const std::vector<std::vector<std::string>> commandLines = {
        {},
        {"--names", "--lock", "--only", "1-9,Wheel,200", "--skip", "5", "--switch-seconds", "0.1", "--window",
         "--pictures", pictures},
        {"--monitor", "3", "--exclusive", "--switch-seconds", "86400"},
        {"--all-monitors", "--switch-seconds", "12.345678901234567", "--allow-flashing"},
        {"--fps", "--start-effect", "241"},
    };
    for (const auto& args : commandLines) {
        const ParseResult parsed = parseCommandLine(args);
        ASSERT_EQ(parsed.error, "");
        Options first = parsed.options;
        ASSERT_EQ(applySettings(FileSettings{}, first), "");
        const std::string text = settingsText(first, "/home/someone/Pictures");
        FileSettings file;
        ASSERT_EQ(parseSettings(text, "printed.toml", "", file), "") << text;
        Options second;
        ASSERT_EQ(applySettings(file, second), "") << text;
        EXPECT_EQ(second.names, first.names) << text;
        EXPECT_EQ(second.locked, first.locked) << text;
        EXPECT_EQ(playing(second), playing(first)) << text;
        EXPECT_EQ(second.switchSeconds, first.switchSeconds) << text;
        EXPECT_EQ(second.displayMode, first.displayMode) << text;
        EXPECT_EQ(second.monitor, first.monitor) << text;
        EXPECT_EQ(second.allMonitors, first.allMonitors) << text;
        EXPECT_EQ(second.allowFlashing, first.allowFlashing) << text;
        EXPECT_EQ(second.picturesDirectory, first.picturesDirectory) << text;
        EXPECT_EQ(second.fps, first.fps) << text;
        EXPECT_EQ(second.startEffect, first.startEffect) << text;
    }
}

// What --print-config would print but could not read back is refused instead: a --pictures that is not a
// folder, or whose name is not UTF-8, the only text a config file holds. A default folder of such a name
// stands in a comment with its bytes escaped.
TEST(ConfigFile, SettingsThatCannotReadBackAreNotPrinted) {
    TempDir folder;
    const std::string latin1 = folder.file("caf\xe9");
    std::filesystem::create_directory(latin1);
    for (const std::string& pictures : {folder.file("missing"), latin1}) {
        Options options = parseCommandLine({"--pictures", pictures, "--print-config"}).options;
        ASSERT_EQ(applySettings(FileSettings{}, options), "");
        EXPECT_NE(checkPrintable(options), "") << pictures;
    }
    Options plain = parseCommandLine({"--print-config"}).options;
    EXPECT_EQ(checkPrintable(plain), "");
    const std::string text = settingsText(plain, latin1);
    FileSettings file;
    EXPECT_EQ(parseSettings(text, "printed.toml", "", file), "") << text;
    EXPECT_NE(text.find("caf\\xe9"), std::string::npos) << text;
}

} // namespace
} // namespace glowfield::test
