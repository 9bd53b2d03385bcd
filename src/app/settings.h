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
};

// --config FILE, else $XDG_CONFIG_HOME/glowfield/config.toml (an absolute XDG_CONFIG_HOME only), else
// $HOME/.config/glowfield/config.toml; empty when not even HOME is set.
std::string configFilePath(const Options& options, const EnvironmentLookup& environment);

// Reads the settings of a TOML document that path names (in messages; relative picture folders start from
// its folder). A syntax error, an unknown key, a value of the wrong type or out of range is refused: returns
// "path:line: problem"; else an empty string.
std::string parseSettings(const std::string& text, const std::string& path, const std::string& home,
                          FileSettings& settings);

// Reads the file at path into settings. A missing file has no settings unless it is required. Returns the
// error line, or an empty string.
std::string readSettingsFile(const std::string& path, bool required, const std::string& home,
                             FileSettings& settings);

// Takes every setting the command line left open from the file: --skip replaces the file's skip, --window
// its display, and so on. Hosted and headless runs keep their display; monitors count only for full
// screen. Resolves options.playable from the only and skip in effect. Returns the error line, or an empty
// string.
std::string applySettings(const FileSettings& settings, Options& options);

// Finds, reads and applies the config file. Returns the error line, or an empty string.
std::string applyConfigFile(Options& options, const EnvironmentLookup& environment);

// The settings in effect as a config file that parseSettings reads back to the same settings: what
// --print-config prints. Without a pictures folder of their own, defaultPictures is shown in a comment.
std::string settingsText(const Options& options, const std::string& defaultPictures);

} // namespace glowfield
