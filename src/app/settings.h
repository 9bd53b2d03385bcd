// The viewer's settings in a TOML config file: where it is, what it says, how the command line's choices
// override it one setting at a time, and the settings in effect written back as such a file.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/command_line.h"

namespace glowfield {

// What a config file sets; a setting it leaves out is none.
struct FileSettings {
    std::string path;
    std::optional<bool> names;
    std::optional<bool> lock;
    std::optional<std::vector<int>> only;
    std::optional<std::vector<int>> skip;
    std::optional<double> switchSeconds;
    std::optional<std::string> pictures; // ~ expanded; a relative folder is taken from the file's folder
    std::optional<int> monitor;
    std::optional<bool> allMonitors;
    std::optional<bool> allowFlashing;
    std::optional<DisplayMode> display;   // desktop, window or exclusive
    std::map<std::string, int64_t> lines; // the line of each key, for messages about its value

    std::optional<bool> fps;
    std::optional<int> startEffect;
    std::optional<bool> listen; // listen = true, or the source's name (listenSource)
    std::string listenSource;
    std::optional<std::string> audio; // a relative name is taken from the file's folder, as for pictures
    std::optional<bool> switchOnBeat;
    // Hosted by a screen saver, where a refusal would leave the screen blank: a key that cannot be used is
    // left out, with its message in problems, and the rest of the file is read.
    bool keepGoing = false;
    std::vector<std::string> problems;
};

// --config FILE, else $XDG_CONFIG_HOME/glowfield/config.toml (an absolute XDG_CONFIG_HOME only), else
// $HOME/.config/glowfield/config.toml; empty when not even HOME is set.
std::string configFilePath(const Options& options, const EnvironmentLookup& environment);

// Reads the settings of a TOML document that path names (in messages; relative picture folders start from
// its folder). A syntax error, an unknown key, a value of the wrong type or out of range is refused: returns
// "path:line: problem"; else an empty string. With settings.keepGoing only a syntax error is returned.
std::string parseSettings(const std::string& text, const std::string& path, const std::string& home,
                          FileSettings& settings);

// Reads the file at path into settings. A missing file has no settings unless it is required. Returns the
// error line, or an empty string.
std::string readSettingsFile(const std::string& path, bool required, const std::string& home,
                             FileSettings& settings);

// Takes every setting the command line left open from the file: --skip replaces the file's skip, --window
// its display, and so on. Hosted and headless runs keep their display; monitors count only for full
// screen. Resolves options.playable from the only and skip in effect. Returns the error line, or an empty
// string; with problems given, a setting that cannot be used is left at its default and its line added
// there instead.
std::string applySettings(const FileSettings& settings, Options& options,
                          std::vector<std::string>* problems = nullptr);

// Finds, reads and applies the config file. Returns the error line, or an empty string. With problems
// given (a hosted run), nothing is refused: each mistake adds a line there, and the player goes on with the
// default of what it could not use (of every setting, when the file cannot be read or parsed).
std::string applyConfigFile(Options& options, const EnvironmentLookup& environment,
                            std::vector<std::string>* problems = nullptr);

// Why the settings cannot be printed as a config file that reads back, or nothing: a --pictures that is not
// a folder (a config file's pictures must be one) or whose name is not UTF-8 (all that a TOML file holds).
std::string checkPrintable(const Options& options);

// The settings in effect as a config file that parseSettings reads back to the same settings: what
// --print-config prints. Without a pictures folder of their own, defaultPictures is shown in a comment.
std::string settingsText(const Options& options, const std::string& defaultPictures);

} // namespace glowfield
