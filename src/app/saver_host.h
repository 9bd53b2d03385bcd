// What screen saver daemons hand to the savers they start: the root window a saver draws into when told
// --root (a virtual root that a desktop or daemon keeps over the real one), and the pictures folder the
// daemon's own settings name.
#pragma once

#include <cstdint>
#include <string>

#include "app/command_line.h"

namespace glowfield {

// The window that --root means on the default screen of the display: the child of the root window that
// carries __SWM_VROOT (a desktop's or a daemon's virtual root), else the root window itself; 0 when no
// display can be opened.
uint32_t saverRootWindow();

// The folder that an `imageDirectory:` line of the daemon's settings text names: leading and trailing
// blanks dropped, ~ expanded with home; empty when there is none (a URL or an empty value count as none).
std::string imageDirectoryFromSettings(const std::string& text, const std::string& home);

// The folder that ~/.xscreensaver's imageDirectory names, when it is an existing folder; else empty.
std::string saverImageDirectory(const EnvironmentLookup& environment);

} // namespace glowfield
