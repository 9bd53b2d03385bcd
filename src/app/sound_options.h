// The command line's and the config file's options of listening: --audio FILE (audio) and
// --switch-on-beat (switch_on_beat).
#pragma once

#include <string>

#include "app/command_line.h"
#include "app/viewer_options.h"

namespace glowfield {

// Parses the option name when it is --audio or --switch-on-beat; returns false for any other name and leaves
// options and error alone. hasInlineValue: written as --name=value.
bool parseSoundOption(const std::string& name, bool hasInlineValue, const ReadValue& readValue,
                      Options& options, std::string& error);

// The run modes that cannot listen: the gallery renders every entry without sound. Returns the error line.
std::string checkSoundOptions(const Options& options);

} // namespace glowfield
