// The command line's options of listening: --audio FILE and --switch-on-beat.
#include "app/sound_options.h"

namespace glowfield {

bool parseSoundOption(const std::string& name, bool hasInlineValue, const ReadValue& readValue,
                      Options& options, std::string& error) {
    if (name == "--switch-on-beat") {
        if (hasInlineValue) {
            error = name + " takes no value";
        } else {
            options.switchOnBeat = options.chosen.switchOnBeat = true;
        }
        return true;
    }
    if (name == "--audio") {
        std::string value;
        if (readValue(value)) {
            options.audioPath = value;
            options.chosen.audio = true;
        }
        return true;
    }
    return false;
}

std::string checkSoundOptions(const Options& options) {
    if (!options.galleryDirectory.empty() && (options.chosen.audio || options.chosen.switchOnBeat)) {
        return "--gallery renders every entry without sound, so it takes neither --audio nor "
               "--switch-on-beat";
    }
    return {};
}

} // namespace glowfield
