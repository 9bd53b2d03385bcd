// What one 20 ms frame of sound holds for the field: its loudness and three bands under an automatic gain,
// onsets and the beat. Fed the frames of a SoundSource in order; the same samples always give the same
// frames.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "sound/sound_frame.h"

namespace glowfield {

// An onset at least this strong may end the wait of a change of effect that waits for the music.
inline constexpr float strongOnset = 0.5f;

class SoundAnalyser {
  public:
    explicit SoundAnalyser(int sampleRate);
    ~SoundAnalyser();
    SoundAnalyser(const SoundAnalyser&) = delete;
    SoundAnalyser& operator=(const SoundAnalyser&) = delete;

    // The next frame's samples (any count; a frame of a source is sampleRate / 50 of them).
    SoundFrame analyse(const std::vector<float>& mono);

    int hopSize() const { return hop_; }

  private:
    struct Detectors;
    void analyseHops(const std::vector<float>& mono, bool& onset, bool& beat);
    void measureBands(float bands[3]);

    int rate_;
    int hop_;     // samples per step of the onset and beat detectors
    int fftSize_; // samples of the band spectrum
    std::unique_ptr<Detectors> detectors_;
    std::vector<float> hopBuffer_; // samples not yet a whole hop
    std::vector<float> history_;   // the latest fftSize_ samples, a ring
    size_t historyAt_ = 0;
    std::vector<float> window_; // Hann window of the spectrum
    std::vector<float> windowed_;
    float levelReference_;
    float bandReference_[3];
    std::array<double, 4> recentRms_; // the loudness of the frames before, latest first
    bool pendingBeat_ = false;        // the tracker placed a beat in the frame before
    uint32_t framesSinceBeat_ = SoundFrame::neverHeard;
    uint32_t framesSinceSound_ = 1000; // frames since the last frame louder than silence
};

} // namespace glowfield
