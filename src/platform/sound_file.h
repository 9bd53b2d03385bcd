// A sound file read in step with the frames: any format libsndfile reads (WAV, FLAC, Ogg, MP3), mixed to
// mono and cut into exact 20 ms frames, so that the same file always gives the same frames.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/sound_source.h"

namespace glowfield {

class SoundFile final : public SoundSource {
  public:
    // Opens path and reads its first block, so that a file that cannot be decoded is refused at once.
    // Returns null with error set to one line naming the file and the problem.
    static std::unique_ptr<SoundFile> open(const std::string& path, std::string& error);
    ~SoundFile() override;

    int sampleRate() const override { return rate_; }
    // The samples of the next frame: rate / 50 of them, one more where the remainder has grown to a whole
    // sample. The last frame of the file is padded with silence; false once no sample is left.
    bool nextFrame(std::vector<float>& mono) override;
    // Whole frames the file lasts, the padded last one included.
    uint64_t frameCount() const;

  private:
    SoundFile() = default;
    bool fill(size_t wanted);

    void* file_ = nullptr; // the libsndfile handle
    int rate_ = 0;
    int channels_ = 0;
    int64_t totalSamples_ = 0; // per channel
    uint64_t frame_ = 0;       // frames handed out
    bool failed_ = false;      // a read error part way: the file ends there
    std::vector<float> interleaved_;
    std::vector<float> pending_; // mono samples read ahead
};

} // namespace glowfield
