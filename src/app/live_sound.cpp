// Opening and listing the sound server's sources for the player, and its messages about them.
#include "app/live_sound.h"

#include <cstdio>
#include <string>
#include <vector>

namespace glowfield {

int listAudioSources() {
    std::vector<std::string> names;
    PulseFailure failure = PulseFailure::none;
    std::string error;
    if (!listPulseSources(names, failure, error)) {
        std::fprintf(stderr, "glowfield: %s\n", error.c_str());
        return 1;
    }
    std::string text;
    for (const std::string& name : names) {
        text += escaped(name, shownPathCharacters) + "\n";
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
    if (!written || std::fflush(stdout) != 0) {
        std::fprintf(stderr, "glowfield: cannot write to standard output\n");
        return 1;
    }
    return 0;
}

std::unique_ptr<PulseSource> openLiveSource(const Options& options, int& code) {
    code = 0;
    if (!options.listen) {
        return nullptr;
    }
    PulseFailure failure = PulseFailure::none;
    std::string error;
    auto source = PulseSource::open(options.listenSource, failure, error);
    if (!source) {
        // A screen saver's host shows nothing of a refusal but a blank screen: the saver plays without sound.
        const bool hosted = options.displayMode == DisplayMode::hosted;
        std::fprintf(stderr, "glowfield: cannot listen: %s%s\n", escaped(error, shownPathCharacters).c_str(),
                     hosted ? " (left out: the saver plays without sound)" : "");
        code = hosted ? 0 : failure == PulseFailure::noServer ? 1 : 2;
    }
    return source;
}

bool liveSourceLost(const PulseSource* source) {
    static bool said = false;
    if (!source || !source->lost()) {
        return false;
    }
    if (!said) {
        said = true;
        std::fprintf(stderr, "glowfield: the sound server went away, so the run ends\n");
    }
    return true;
}

} // namespace glowfield
