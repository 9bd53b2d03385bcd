// The viewer's choices on the command line: the switching period they may set, and the checks made once
// every option is read.
#pragma once

#include <string>

#include "app/command_line.h"

namespace glowfield {

// The longest automatic switching period: a day.
inline constexpr double maxSwitchSeconds = 86400.0;

// A switching period the player accepts: more than 0 seconds (at least one frame is played) up to a day.
bool validSwitchSeconds(double seconds);

// Once every option is read and the display mode is known: refuses a monitor for a window, a hosted or a
// headless run, and resolves --only and --skip into options.playable. Returns the error line, or an empty
// string.
std::string finishViewerOptions(Options& options);

} // namespace glowfield
