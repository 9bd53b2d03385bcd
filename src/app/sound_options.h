// The checks of the listening options (--audio, --switch-on-beat) against the run modes that cannot listen.
#pragma once

#include <string>

#include "app/options.h"

namespace glowfield {

// The run modes that cannot listen: the gallery renders every entry without sound. Returns the error line.
std::string checkSoundOptions(const Options& options);

} // namespace glowfield
