// Sound made on the spot for the listening tests: clicks on a beat, a sine sweep, white noise and silence,
// written as WAV or FLAC files through libsndfile.
#pragma once

#include <string>
#include <vector>

namespace glowfield::test {

// Short bright clicks (a decaying 2 kHz tone with a thump below it) every 60 / bpm seconds, the first at
// 0, of peak amplitude gain.
std::vector<float> clickTrack(int rate, double bpm, double seconds, double gain = 0.8);

// A sine of amplitude 0.5 whose frequency rises exponentially from low to high Hz.
std::vector<float> sineSweep(int rate, double low, double high, double seconds);

// Uniform white noise of the given amplitude, from a fixed seed.
std::vector<float> whiteNoise(int rate, double seconds, double amplitude);

// Writes mono samples (or interleaved ones with channels > 1); format is a libsndfile SF_FORMAT_* value,
// 16-bit PCM WAV by default.
void writeSound(const std::string& path, const std::vector<float>& samples, int rate, int channels = 1,
                int format = 0);

} // namespace glowfield::test
