// The checks of the listening options against the run modes that cannot listen.
#include "app/sound_options.h"

namespace glowfield {

std::string checkSoundOptions(const Options& options) {
    if (!options.galleryDirectory.empty() && (options.chosen.audio || options.chosen.switchOnBeat)) {
        return "--gallery renders every entry without sound, so it takes neither --audio nor "
               "--switch-on-beat";
    }
    return {};
}

} // namespace glowfield
