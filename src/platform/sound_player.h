// A sound file played aloud through SDL's audio device, and the clock it gives the frames: frame k is due
// when the device has begun to play the sound of frame k, so the picture follows the sound it shows, never
// the other way round. After the file, silence is played, so that the device's clock goes on.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace glowfield {

class SoundPlayer {
  public:
    // Opens path and the default audio device (SDL converts to the device's format). nullptr and one line's
    // reason when either cannot be opened. The device starts paused; the first call of frameDue starts it.
    static std::unique_ptr<SoundPlayer> open(const std::string& path, std::string& error);
    ~SoundPlayer();
    SoundPlayer(const SoundPlayer&) = delete;
    SoundPlayer& operator=(const SoundPlayer&) = delete;

    // Keeps the device fed and says whether the sound of frame (from 0) has begun to be heard.
    bool frameDue(uint64_t frame);
    // How long to wait, at most, before the sound of frame may have begun: a few milliseconds, since the
    // device's position moves in steps of its buffer.
    int waitMilliseconds(uint64_t frame) const;

    // False once the device has stopped or its position has not moved for half a second (a device unplugged
    // or suspended): the frames are then paced by the clock instead.
    bool paces() const { return !stalled_; }

    // Seconds of sound the device has played (taken from the queue, less the one buffer it holds); negative
    // before it has begun.
    double playedSeconds() const;

  private:
    SoundPlayer() = default;
    void feed();

    void* file_ = nullptr; // the libsndfile handle
    uint32_t device_ = 0;
    int rate_ = 0;
    int channels_ = 0;
    int bufferFrames_ = 0;      // the device's buffer, in sample frames
    uint64_t queuedFrames_ = 0; // sample frames queued since the start
    bool ended_ = false;        // the file is done; silence is queued from here
    bool started_ = false;
    bool stalled_ = false;
    double lastPlayed_ = -1.0; // the position when it last moved
    uint64_t lastMoved_ = 0;   // SDL's milliseconds then
    std::vector<float> chunk_;
};

} // namespace glowfield
