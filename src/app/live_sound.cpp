// Opening and listing the sound server's sources for the player, and its messages about them.
#include "app/live_sound.h"

#include "app/recorder.h"

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
    // The effects hear one sound: the command line's choice has won over the config file's already, so
    // both are left only when the file asks for both.
    if (!options.audioPath.empty()) {
        std::fprintf(stderr, "glowfield: listen and audio cannot both be set: the effects hear one sound\n");
        code = 2;
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

std::unique_ptr<SoundPlayer> startPlayingAloud(const Options& options) {
    if (options.audioPath.empty() || options.headless) {
        return nullptr;
    }
    std::string error;
    auto player = SoundPlayer::open(options.audioPath, error);
    if (!player) {
        std::fprintf(stderr, "glowfield: the sound is not played aloud: %s\n",
                     escaped(error, shownPathCharacters).c_str());
    }
    return player;
}

void sayWhenVideoHasNoSound(const Options& options) {
    const auto format = videoFormatOf(options.recordPath);
    if (!options.audioPath.empty() && format && !videoCarriesSound(*format)) {
        std::fprintf(stderr,
                     "glowfield: a %s video has no sound track, so it is recorded without the sound\n",
                     *format == VideoFormat::gif ? ".gif" : ".y4m");
    }
}

} // namespace glowfield
