// The command line's options of the viewer's choices: the name overlay, the lock, the entries to play, the
// switching period, the monitors, and the config file.
#pragma once

#include <functional>
#include <string>

#include "app/options.h"

namespace glowfield {

// The longest automatic switching period: a day.
inline constexpr double maxSwitchSeconds = 86400.0;

// A switching period the player accepts: more than 0 seconds (at least one frame is played) up to a day.
bool validSwitchSeconds(double seconds);

// Reads the value of the option at hand, given as "--name value" or "--name=value"; false with the error
// set when it is missing.
using ReadValue = std::function<bool(std::string& value)>;

// Parses the option name when it is one of the viewer's choices, --list-monitors or --print-config; returns
// false for any other name and leaves options and error alone. hasInlineValue: written as --name=value.
bool parseViewerOption(const std::string& name, bool hasInlineValue, const ReadValue& readValue,
                       Options& options, std::string& error);

// Once every option is read and the display mode is known: refuses a monitor for a window, a hosted or a
// headless run, and resolves --only and --skip into options.playable. Returns the error line, or an empty
// string.
std::string finishViewerOptions(Options& options);

} // namespace glowfield
