// What a sound server is playing (the monitor of its default output) or what one of its sources hears,
// read through PulseAudio's simple API (PipeWire desktops serve it too) by a thread of its own into a ring
// buffer, so that the frame loop takes its 20 ms without ever waiting for the server.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/sound_source.h"

struct pa_simple;

namespace glowfield {

// The source that hears what the default output plays.
inline constexpr const char* defaultMonitorSource = "@DEFAULT_MONITOR@";

enum class PulseFailure {
    none,
    noServer,     // no sound server answered
    noSuchSource, // the server has no source of that name
    other,        // the server refused the stream for another reason
};

class PulseSource : public SoundSource {
  public:
    // Connects to the server PULSE_SERVER (or the user's) and starts recording source (empty: the default
    // monitor) as mono float samples. nullptr, the kind of failure and one line's reason when it cannot.
    static std::unique_ptr<PulseSource> open(const std::string& source, PulseFailure& failure,
                                             std::string& error);
    ~PulseSource() override;
    PulseSource(const PulseSource&) = delete;
    PulseSource& operator=(const PulseSource&) = delete;

    int sampleRate() const override { return rate; }
    bool nextFrame(std::vector<float>& mono) override;

    // True once the server has gone away: the reading thread has stopped and the frames are silent.
    bool lost() const { return state_->lost.load(); }

    static constexpr int rate = 48000;

    // What the reading thread shares with the frame loop. The thread holds it too, so that a read the
    // server never answers cannot keep the player from ending: the thread is then left to finish alone.
    struct State {
        pa_simple* stream = nullptr;
        std::atomic<bool> stopping{false};
        std::atomic<bool> lost{false};
        std::atomic<bool> finished{false};
        std::mutex mutex;
        std::vector<float> ring; // the samples that have arrived and not yet been taken, oldest first
        size_t start = 0;        // the oldest sample's place in ring
        size_t count = 0;        // how many samples ring holds
        ~State();
    };

  private:
    explicit PulseSource(pa_simple* stream);

    std::shared_ptr<State> state_;
    std::thread reader_;
};

// The names of the server's sources (monitors included), one per element, in the server's order. False,
// the kind of failure and one line's reason when the server cannot be asked.
bool listPulseSources(std::vector<std::string>& names, PulseFailure& failure, std::string& error);

} // namespace glowfield
