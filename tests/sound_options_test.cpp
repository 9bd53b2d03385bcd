// The options of listening on the command line and in the config file, and the command line over the file.
#include <gtest/gtest.h>

#include "app/command_line.h"
#include "app/settings.h"

namespace glowfield::test {
namespace {

TEST(SoundOptions, CommandLineAndConfigFile) {
    const ParseResult parsed = parseCommandLine({"--audio=song.flac", "--switch-on-beat", "--headless"});
    ASSERT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.options.audioPath, "song.flac");
    EXPECT_TRUE(parsed.options.switchOnBeat);
    EXPECT_EQ(parseCommandLine({"--audio"}).error, "--audio needs a value");
    EXPECT_EQ(parseCommandLine({"--switch-on-beat=yes"}).error, "--switch-on-beat takes no value");
    EXPECT_NE(parseCommandLine({"--gallery", "g", "--audio", "a.wav"}).error, "");

    FileSettings file;
    ASSERT_EQ(parseSettings("audio = \"music/a.ogg\"\nswitch_on_beat = true\n", "/etc/glowfield/c.toml",
                            "/home/u", file),
              "");
    EXPECT_EQ(file.audio, "/etc/glowfield/music/a.ogg");
    Options fromFile = parseCommandLine({"--headless"}).options;
    ASSERT_EQ(applySettings(file, fromFile), "");
    EXPECT_EQ(fromFile.audioPath, "/etc/glowfield/music/a.ogg");
    EXPECT_TRUE(fromFile.switchOnBeat);
    Options overridden = parsed.options;
    ASSERT_EQ(applySettings(file, overridden), "");
    EXPECT_EQ(overridden.audioPath, "song.flac");

    FileSettings home;
    ASSERT_EQ(parseSettings("audio = \"~/a.wav\"", "c.toml", "/home/u", home), "");
    EXPECT_EQ(home.audio, "/home/u/a.wav");
    for (const char* bad : {"audio = 3", "audio = \"\"", "switch_on_beat = \"yes\""}) {
        FileSettings refused;
        EXPECT_NE(parseSettings(bad, "c.toml", "/home/u", refused), "") << bad;
    }
}

} // namespace
} // namespace glowfield::test
