// Live listening's choices: --listen with or without a source, --list-audio-sources, the listen key of the
// config file, and the one sound the effects hear.
#include <fstream>

#include "app/command_line.h"
#include "app/settings.h"
#include "test_support.h"

namespace glowfield::test {
namespace {

ParseResult parse(std::vector<std::string> args) {
    return parseCommandLine(args);
}

TEST(LiveListening, ListenTakesASourceOnlyWhenOneFollows) {
    Options options = parse({"--listen", "--window"}).options;
    EXPECT_TRUE(options.listen);
    EXPECT_EQ(options.listenSource, "");
    EXPECT_EQ(options.displayMode, DisplayMode::window);
    options = parse({"--listen", "speakers.monitor", "--frames", "3"}).options;
    EXPECT_EQ(options.listenSource, "speakers.monitor");
    EXPECT_EQ(options.frames, 3u);
    EXPECT_EQ(parse({"--listen=mic"}).options.listenSource, "mic");
    EXPECT_EQ(parse({"--listen"}).options.listenSource, "");
    EXPECT_EQ(parse({"--list-audio-sources", "--bogus"}).options.action, Action::listAudioSources);
}

TEST(LiveListening, RefusalsNameTheProblem) {
    EXPECT_EQ(parse({"--listen="}).error, "--listen= needs a SOURCE (see --help)");
    EXPECT_EQ(parse({"--list-audio-sources=x"}).error, "--list-audio-sources takes no value");
    EXPECT_EQ(parse({"--listen", "--audio", "a.wav"}).error,
              "--listen and --audio cannot be used together: the effects hear one sound");
    EXPECT_NE(parse({"--gallery", "g", "--listen"}).error, "");
}

// The options of args with the config file text applied; the error line in error.
Options withFile(const std::string& text, std::vector<std::string> args, std::string& error) {
    TempDir folder;
    const std::string path = folder.file("config.toml");
    std::ofstream(path) << text;
    args.insert(args.begin(), {"--config", path});
    ParseResult parsed = parseCommandLine(args);
    error = parsed.error;
    if (error.empty()) {
        error = applyConfigFile(parsed.options, [](const char*) -> const char* { return nullptr; });
    }
    return parsed.options;
}

TEST(LiveListening, TheConfigFileListensUnlessTheCommandLineChoseASound) {
    std::string error;
    Options options = withFile("listen = true\n", {}, error);
    EXPECT_EQ(error, "");
    EXPECT_TRUE(options.listen);
    EXPECT_EQ(options.listenSource, "");
    options = withFile("listen = \"mic\"\n", {}, error);
    EXPECT_TRUE(options.listen);
    EXPECT_EQ(options.listenSource, "mic");
    EXPECT_FALSE(withFile("listen = false\n", {}, error).listen);
    // The command line's own source, or its sound file, wins.
    EXPECT_EQ(withFile("listen = \"mic\"\n", {"--listen", "other"}, error).listenSource, "other");
    options = withFile("listen = true\n", {"--audio", "a.wav"}, error);
    EXPECT_FALSE(options.listen);
    EXPECT_EQ(options.audioPath, "a.wav");
    for (const char* bad : {"listen = 1\n", "listen = \"\"\n"}) {
        withFile(bad, {}, error);
        EXPECT_NE(error.find("listen must be true, false or the name of a sound source"), std::string::npos)
            << bad;
    }
    // The settings in effect, printed, say the same.
    options = withFile("listen = \"mic\"\n", {}, error);
    EXPECT_NE(settingsText(options, "").find("listen = \"mic\"\n"), std::string::npos);
}

} // namespace
} // namespace glowfield::test
