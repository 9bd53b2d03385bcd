// The player's command line: options parsed into a plain struct, the default picture folder, and the checks
// made before anything starts, so that bad input is refused with one clear line and nothing else happens.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/options.h"

namespace glowfield {

struct ParseResult {
    Options options;
    std::string error; // one line naming the problem; empty when the command line is sound
};

// args are the arguments after the program name. --version and --list end the parsing where they stand;
// --help anywhere wins unless an option before it is refused. An option's value may not start with "--"
// unless given as --name=value.
ParseResult parseCommandLine(const std::vector<std::string>& args);

// Looks up an environment variable; nullptr when it is not set.
using EnvironmentLookup = std::function<const char*(const char*)>;

// GLOWFIELD_PICTURES if set, else the user's pictures folder: XDG_PICTURES_DIR from the environment or from
// the user-dirs.dirs file of the configuration folder, else ~/Pictures. Empty when nothing can be found.
std::string defaultPicturesDirectory(const EnvironmentLookup& environment);

// A screen saver's host names its window in XSCREENSAVER_WINDOW: with --root, or without an explicit choice
// of display (--window-id, --window, --exclusive, --headless), the player draws into that window. Returns
// the error line when the variable is set but names no window.
std::string applySaverEnvironment(Options& options, const EnvironmentLookup& environment);

// The checks that need the file system: output files must be writable and an explicit picture folder must
// exist. Nothing is created. Returns the error line, or an empty string.
std::string checkPaths(const Options& options);

// True when an output could be written at path: a name of ordinary length in a writable folder, and no file
// there or a regular one (a symbolic link is followed; a FIFO or device is never opened). Otherwise the
// reason.
bool canWriteFile(const std::string& path, std::string& reason);

// True when the two paths name one file: the same file under two names, or one name written two ways.
bool nameSameFile(const std::string& first, const std::string& second);

std::string usageText();

// The answer to --list: one line per entry, "index name", or the index alone for the entry without a name.
std::string effectListText();

} // namespace glowfield
