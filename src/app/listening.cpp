#include "app/listening.h"

#include <vector>

#include "effects/effect_state.h"
#include "platform/sound_file.h"
#include "sound/sound_analyser.h"

namespace glowfield {

namespace {

struct Listening {
    std::unique_ptr<SoundSource> source;
    std::unique_ptr<SoundAnalyser> analyser;
    std::vector<float> next;   // the samples of the frame after the current one, read ahead
    bool haveNext = false;     // false once a file has ended
    SoundFrame frame;          // what the current tick heard
    bool switchOnBeat = false; //
    bool waiting = false;      // a due change waits for the music
    uint32_t waited = 0;       // frames it has waited
    uint32_t periodStart = 0;  // the frame counter at which it fell due
};

Listening listening;

} // namespace

std::string startListening(const Options& options) {
    stopListening();
    listening.switchOnBeat = options.switchOnBeat;
    if (options.audioPath.empty()) {
        return {};
    }
    std::string error;
    std::unique_ptr<SoundFile> file = SoundFile::open(options.audioPath, error);
    if (!file) {
        return "cannot play --audio file " + quoted(options.audioPath, shownPathCharacters) + ": " + error;
    }
    listenTo(std::move(file));
    return {};
}

void listenTo(std::unique_ptr<SoundSource> source) {
    const bool switchOnBeat = listening.switchOnBeat;
    listening = Listening{};
    listening.switchOnBeat = switchOnBeat;
    if (!source) {
        return;
    }
    listening.analyser = std::make_unique<SoundAnalyser>(source->sampleRate());
    listening.source = std::move(source);
    listening.haveNext = listening.source->nextFrame(listening.next);
}

void stopListening() {
    listening = Listening{};
}

void listenToNextFrame() {
    if (!listening.source) {
        return;
    }
    if (!listening.haveNext) {
        // After the end of a file: silence, still listening.
        listening.next.assign(static_cast<size_t>(listening.source->sampleRate() / 50), 0.0f);
    }
    listening.frame = listening.analyser->analyse(listening.next);
    if (listening.haveNext) {
        listening.haveNext = listening.source->nextFrame(listening.next);
    }
}

const SoundFrame& currentSound() {
    return listening.frame;
}

bool soundEnded() {
    return listening.source && !listening.haveNext;
}

bool automaticSwitchNow(bool due, bool locked) {
    if (!listening.switchOnBeat || !listening.source || locked) {
        listening.waiting = false;
        return due;
    }
    if (due && !listening.waiting) {
        listening.waiting = true;
        listening.waited = 0;
        listening.periodStart = shared.frameCounter;
    }
    if (!listening.waiting) {
        return false;
    }
    const SoundFrame& sound = listening.frame;
    const bool strong = sound.beat || (sound.onset && sound.onsetStrength >= strongOnset);
    if (!strong && listening.waited < switchWaitFrames) {
        ++listening.waited;
        return false;
    }
    // The change happens as if on time, so the next one falls a whole period after it.
    listening.waiting = false;
    shared.frameCounter = listening.periodStart;
    return true;
}

} // namespace glowfield
