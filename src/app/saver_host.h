// What screen saver daemons hand to the savers they start: the pictures folder the daemon's own settings
// name, and a command line written by a settings dialog, whose slips must not blank the saver. (The root
// window a saver draws into when told --root is found in platform/x11_host.h.)
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/command_line.h"

namespace glowfield {

// The folder that an `imageDirectory:` line of the daemon's settings text names: leading and trailing
// blanks dropped, ~ expanded with home; empty when there is none (a URL or an empty value count as none).
std::string imageDirectoryFromSettings(const std::string& text, const std::string& home);

// The folder that ~/.xscreensaver's imageDirectory names, when it is an existing folder; else empty.
std::string saverImageDirectory(const EnvironmentLookup& environment);

// True when the command line or the environment puts the player in a screen saver's window (--root,
// --window-id, XSCREENSAVER_WINDOW), where a refusal would only leave the screen blank.
bool startedBySaver(const std::vector<std::string>& args, const EnvironmentLookup& environment);

// A saver's command line that parseCommandLine refuses for a mistake typed or picked in a settings dialog
// (--only, --skip, --switch-seconds, --start-effect, --effect, --seed, --pictures): the first such option,
// with its value, whose removal makes it sound is left out, and the refusal is put in leftOut. Otherwise
// the parse of the whole command line, refused.
ParseResult parseSaverCommandLine(const std::vector<std::string>& args, std::string& leftOut);

} // namespace glowfield
