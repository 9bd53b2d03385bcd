// The command line: options, their refusals, the default picture folder and the checks of output paths.
#include <filesystem>
#include <fstream>
#include <map>

#include "app/command_line.h"
#include "test_support.h"

namespace glowfield::test {
namespace {

ParseResult parse(std::vector<std::string> args) {
    return parseCommandLine(args);
}

TEST(CommandLine, NoOptionsPlayFullScreenFromTheClock) {
    const ParseResult parsed = parse({});
    EXPECT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.options.action, Action::run);
    EXPECT_EQ(parsed.options.displayMode, DisplayMode::desktop);
    EXPECT_FALSE(parsed.options.headless);
    EXPECT_FALSE(parsed.options.seed);
    EXPECT_FALSE(parsed.options.effect);
    EXPECT_FALSE(parsed.options.frames);
    EXPECT_FALSE(parsed.options.picturesDirectory);
}

TEST(CommandLine, EveryOptionWithItsValueInEitherSpelling) {
    const ParseResult parsed = parse({"--headless", "--seed", "5", "--effect=241", "--frames", "0",
                                      "--screenshot", "a.png", "--dump-field=b.bin", "--pictures", "pics"});
    ASSERT_EQ(parsed.error, "");
    const Options& o = parsed.options;
    EXPECT_TRUE(o.headless);
    EXPECT_EQ(o.seed, 5);
    EXPECT_EQ(o.effect, 241);
    EXPECT_EQ(o.frames, 0u);
    EXPECT_EQ(o.screenshotPath, "a.png");
    EXPECT_EQ(o.dumpFieldPath, "b.bin");
    EXPECT_EQ(o.picturesDirectory, "pics");
    EXPECT_EQ(parse({"--window"}).options.displayMode, DisplayMode::window);
    EXPECT_EQ(parse({"--exclusive"}).options.displayMode, DisplayMode::exclusive);
    EXPECT_EQ(parse({"--seed", "1", "--seed", "2"}).options.seed, 2);
}

TEST(CommandLine, SeedsCoverThe32BitsWrittenSignedOrUnsigned) {
    EXPECT_EQ(parse({"--seed", "-1"}).options.seed, -1);
    EXPECT_EQ(parse({"--seed", "4294967295"}).options.seed, -1);
    EXPECT_EQ(parse({"--seed", "2147483648"}).options.seed, INT32_MIN);
    EXPECT_EQ(parse({"--seed", "-2147483648"}).options.seed, INT32_MIN);
    EXPECT_NE(parse({"--seed", "4294967296"}).error, "");
    EXPECT_NE(parse({"--seed", "-2147483649"}).error, "");
}

TEST(CommandLine, HelpVersionAndListEndTheParsing) {
    EXPECT_EQ(parse({"--help", "--bogus"}).options.action, Action::help);
    EXPECT_EQ(parse({"--help", "--bogus"}).error, "");
    EXPECT_EQ(parse({"--window", "--version"}).options.action, Action::version);
    EXPECT_EQ(parse({"--list"}).options.action, Action::list);
}

// Each refusal is one line that names what was wrong.
TEST(CommandLine, BadInputIsRefusedWithOneLineNamingTheProblem) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--bogus"}, "--bogus"},
        {{"-x"}, "-x"},
        {{"stray"}, "stray"},
        {{"--seed"}, "--seed needs a value"},
        {{"--screenshot"}, "--screenshot needs a value"},
        {{"--pictures="}, "--pictures needs a value"},
        {{"--seed", "12x"}, "12x"},
        {{"--seed", " 1"}, "--seed"},
        {{"--seed", "+1"}, "--seed"},
        {{"--effect", "242"}, "0 to 241"},
        {{"--effect", "-1"}, "0 to 241"},
        {{"--effect", "1.5"}, "1.5"},
        {{"--frames", "-1"}, "--frames"},
        {{"--frames", "ten"}, "ten"},
        {{"--frames", "99999999999999999999"}, "--frames"},
        {{"--window", "--exclusive"}, "--exclusive"},
        {{"--headless", "--window"}, "--headless"},
        {{"--exclusive", "--headless"}, "--headless"},
        {{"--window=yes"}, "takes no value"},
        {{"--headless", "--frames", "0", "--record", "run.mp4"}, "--frames 0"},
    };
    for (const auto& [args, named] : cases) {
        const ParseResult parsed = parseCommandLine(args);
        EXPECT_NE(parsed.error.find(named), std::string::npos) << args[0] << ": " << parsed.error;
        EXPECT_EQ(parsed.error.find('\n'), std::string::npos) << parsed.error;
    }
}

class Environment {
  public:
    using Values = std::map<std::string, std::string>;
    explicit Environment(Values values) : values_(std::move(values)) {}
    EnvironmentLookup lookup() const {
        return [this](const char* name) -> const char* {
            const auto found = values_.find(name);
            return found == values_.end() ? nullptr : found->second.c_str();
        };
    }

  private:
    std::map<std::string, std::string> values_;
};

TEST(PicturesFolder, ComesFromTheVariableThenTheUsersPicturesFolder) {
    TempDir config;
    std::ofstream(config.file("user-dirs.dirs"))
        << "# written by a desktop\nXDG_PICTURES_DIR=\"$HOME/Bilder\"\n";
    const std::string home = "/home/someone";
    EXPECT_EQ(
        defaultPicturesDirectory(Environment({{"GLOWFIELD_PICTURES", "/pics"}, {"HOME", home}}).lookup()),
        "/pics");
    EXPECT_EQ(defaultPicturesDirectory(Environment({{"XDG_PICTURES_DIR", "/x"}, {"HOME", home}}).lookup()),
              "/x");
    EXPECT_EQ(
        defaultPicturesDirectory(Environment({{"XDG_CONFIG_HOME", config.path()}, {"HOME", home}}).lookup()),
        home + "/Bilder");
    EXPECT_EQ(defaultPicturesDirectory(Environment({{"HOME", home}}).lookup()), home + "/Pictures");
    EXPECT_EQ(defaultPicturesDirectory(Environment({{"GLOWFIELD_PICTURES", ""}, {"HOME", ""}}).lookup()), "");
}

TEST(OutputPaths, WritableTargetsPassAndNothingIsCreated) {
    TempDir folder;
    std::ofstream(folder.file("existing.png")) << "x";
    std::string reason;
    EXPECT_TRUE(canWriteFile(folder.file("new.png"), reason)) << reason;
    EXPECT_TRUE(canWriteFile(folder.file("existing.png"), reason)) << reason;
    EXPECT_FALSE(std::filesystem::exists(folder.file("new.png")));

    EXPECT_FALSE(canWriteFile(folder.path(), reason));
    EXPECT_FALSE(canWriteFile(folder.file("missing/x.png"), reason));
    EXPECT_FALSE(canWriteFile(folder.file("existing.png/x.png"), reason));
}

TEST(OutputPaths, CheckNamesTheOptionAndRefusesAMissingPicturesFolder) {
    TempDir folder;
    Options options;
    options.screenshotPath = folder.file("shot.png");
    options.dumpFieldPath = folder.file("field.bin");
    options.picturesDirectory = folder.path();
    EXPECT_EQ(checkPaths(options), "");

    options.dumpFieldPath = folder.file("no/field.bin");
    EXPECT_NE(checkPaths(options).find("--dump-field"), std::string::npos);
    options.dumpFieldPath.clear();
    options.picturesDirectory = folder.file("none");
    EXPECT_NE(checkPaths(options).find("--pictures"), std::string::npos);
}

// A screen saver's host names its window by option (either dash form) or by XSCREENSAVER_WINDOW; an explicit
// choice wins, and a token that is no window id is refused.
TEST(CommandLine, HostedWindowFromOptionsOrTheSaverEnvironment) {
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"--window-id", "0x2a00007"}, {"-window-id", "44040199"}, {"--window-id=0x2A00007"}}) {
        const ParseResult parsed = parse(args);
        ASSERT_EQ(parsed.error, "") << args[0];
        EXPECT_EQ(parsed.options.displayMode, DisplayMode::hosted);
        EXPECT_EQ(parsed.options.hostWindow, 0x2a00007u);
    }
    EXPECT_TRUE(parse({"-root"}).options.hostRoot);
    for (const char* bad : {"0", "0x", "12x", "-5", "0x1ffffffff", "abc"}) {
        EXPECT_NE(parse({"--window-id", bad}).error, "") << bad;
    }
    EXPECT_NE(parse({"--root", "--window"}).error, "");
    EXPECT_NE(parse({"--window-id", "7", "--headless"}).error, "");

    std::map<std::string, std::string> environment{{"XSCREENSAVER_WINDOW", "0x400001"}};
    const EnvironmentLookup lookup = [&](const char* name) -> const char* {
        const auto found = environment.find(name);
        return found == environment.end() ? nullptr : found->second.c_str();
    };
    Options fromHost = parse({}).options;
    EXPECT_EQ(applySaverEnvironment(fromHost, lookup), "");
    EXPECT_EQ(fromHost.displayMode, DisplayMode::hosted);
    EXPECT_EQ(fromHost.hostWindow, 0x400001u);
    Options explicitWindow = parse({"--window-id", "9"}).options;
    EXPECT_EQ(applySaverEnvironment(explicitWindow, lookup), "");
    EXPECT_EQ(explicitWindow.hostWindow, 9u);
    Options windowed = parse({"--window"}).options;
    EXPECT_EQ(applySaverEnvironment(windowed, lookup), "");
    EXPECT_EQ(windowed.displayMode, DisplayMode::window);
    // The daemons start their savers with -root and name their own window: -root means that window.
    Options daemonStarted = parse({"-root"}).options;
    EXPECT_EQ(applySaverEnvironment(daemonStarted, lookup), "");
    EXPECT_FALSE(daemonStarted.hostRoot);
    EXPECT_EQ(daemonStarted.hostWindow, 0x400001u);
    // The settings dialog's preview adds its own window: --window-id wins, wherever it stands.
    for (const auto& args : {std::vector<std::string>{"--root", "--window-id", "0x5"},
                             std::vector<std::string>{"--window-id", "0x5", "-root"}}) {
        Options preview = parse(args).options;
        EXPECT_EQ(applySaverEnvironment(preview, lookup), "");
        EXPECT_EQ(preview.displayMode, DisplayMode::hosted);
        EXPECT_FALSE(preview.hostRoot);
        EXPECT_EQ(preview.hostWindow, 5u);
    }
    environment["XSCREENSAVER_WINDOW"] = "wayland-token\n";
    Options token = parse({}).options;
    const std::string error = applySaverEnvironment(token, lookup);
    EXPECT_NE(error.find("XSCREENSAVER_WINDOW"), std::string::npos);
    EXPECT_EQ(error.find('\n'), std::string::npos); // escaped: the message stays one line
}

TEST(CommandLine, HelpWinsWhereverItStands) {
    EXPECT_EQ(parse({"--frames", "3", "--help"}).options.action, Action::help);
    EXPECT_EQ(parse({"--version", "--help"}).options.action, Action::help);
    EXPECT_EQ(parse({"--help", "--bogus"}).options.action, Action::help);
    // Also after or among mistakes, and where a value belongs: a word "--help" is never a value.
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"--bogus", "--help"},
                                               {"--frames", "x", "--help"},
                                               {"--screenshot", "--help"},
                                               {"a", "--help", "b"}}) {
        EXPECT_EQ(parse(args).error, "") << args[0];
        EXPECT_EQ(parse(args).options.action, Action::help) << args[0];
    }
    // An option where a value belongs is a forgotten value, unless written with '='.
    EXPECT_NE(parse({"--screenshot", "--dump-field", "x"}).error, "");
    EXPECT_EQ(parse({"--screenshot=--odd.png"}).options.screenshotPath, "--odd.png");
    EXPECT_EQ(parse({"--screenshot=--help"}).options.screenshotPath, "--help");
    EXPECT_NE(parse({"--gallery", "g", "--window"}).error, "");
}

TEST(CommandLine, HugeRefusedValuesAreCutInTheMessage) {
    const std::string huge(900000, '7');
    const std::string error = parse({"--effect", huge}).error;
    ASSERT_NE(error, "");
    EXPECT_LT(error.size(), 160u) << error.substr(0, 200);
    EXPECT_NE(error.find("'" + std::string(60, '7') + "'..."), std::string::npos) << error.substr(0, 200);
    // Cut between characters, never inside one; short values are shown whole.
    EXPECT_EQ(quoted(std::string(59, 'a') + "\xc3\xa9\xc3\xa9"), "'" + std::string(59, 'a') + "\xc3\xa9'...");
    EXPECT_EQ(quoted("short\n"), "'short\\x0a'");
}

TEST(CommandLine, OnlyRunsThatDrawOnTheScreenLookAtTheSaversWindow) {
    const EnvironmentLookup junk = [](const char* name) -> const char* {
        return std::string(name) == "XSCREENSAVER_WINDOW" ? "junk" : nullptr;
    };
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"--print-config"}, {"--gallery", "g"}}) {
        Options options = parse(args).options;
        EXPECT_EQ(applySaverEnvironment(options, junk), "") << args[0];
        EXPECT_NE(options.displayMode, DisplayMode::hosted) << args[0];
    }
    Options run = parse({}).options;
    EXPECT_NE(applySaverEnvironment(run, junk), "");
}

} // namespace
} // namespace glowfield::test
