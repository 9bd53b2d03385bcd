// The player's command line: options parsed into a plain struct, the default picture folder, and the checks
// made before anything starts, so that bad input is refused with one clear line and nothing else happens.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace glowfield {

enum class Action { run, help, version, list };

enum class DisplayMode {
    desktop,   // full screen on the desktop's own mode, the picture scaled with its aspect
    exclusive, // full screen with the display switched to 800 x 600
    window,    // an ordinary 800 x 600 window
};

struct Options {
    Action action = Action::run;
    DisplayMode displayMode = DisplayMode::desktop;
    bool headless = false;          // no window, no pacing: frames rendered at full speed into memory
    std::optional<int32_t> seed;    // none: seeded from the clock
    std::optional<int> effect;      // start as key z leaves it, with this effect current
    std::optional<uint64_t> frames; // stop after this many frame steps
    std::string screenshotPath;     // empty: none
    std::string dumpFieldPath;      // empty: none
    std::optional<std::string> picturesDirectory; // none: the default folder
};

struct ParseResult {
    Options options;
    std::string error; // one line naming the problem; empty when the command line is sound
};

// args are the arguments after the program name. --help, --version and --list end the parsing where they
// stand.
ParseResult parseCommandLine(const std::vector<std::string>& args);

// Looks up an environment variable; nullptr when it is not set.
using EnvironmentLookup = std::function<const char*(const char*)>;

// GLOWFIELD_PICTURES if set, else the user's pictures folder: XDG_PICTURES_DIR from the environment or from
// the user-dirs.dirs file of the configuration folder, else ~/Pictures. Empty when nothing can be found.
std::string defaultPicturesDirectory(const EnvironmentLookup& environment);

// The checks that need the file system: output files must be writable and an explicit picture folder must
// exist. Nothing is created. Returns the error line, or an empty string.
std::string checkPaths(const Options& options);

// True when a file could be created or overwritten at path; otherwise the reason.
bool canWriteFile(const std::string& path, std::string& reason);

std::string usageText();

// The answer to --list: one line per entry, "index name", or the index alone for the entry without a name.
std::string effectListText();

} // namespace glowfield
