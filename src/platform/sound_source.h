// A source of sound cut into the program's 20 ms frames: a file read in step with the frames, or what a sound
// server is playing, as mono samples in -1..1.
#pragma once

#include <vector>

namespace glowfield {

class SoundSource {
  public:
    virtual ~SoundSource() = default;
    virtual int sampleRate() const = 0;
    // Fills mono with the samples of the next 20 ms frame (sampleRate() / 50 of them, a remainder carried so
    // that frames stay in step with the sound). A file returns false once it has ended; a live source never
    // blocks and never ends by itself: it returns what has arrived, padded with silence.
    virtual bool nextFrame(std::vector<float>& mono) = 0;
};

} // namespace glowfield
