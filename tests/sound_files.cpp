// Sound made on the spot for the listening tests.
#include "sound_files.h"

#include <cmath>
#include <cstdint>
#include <sndfile.h>
#include <stdexcept>

namespace glowfield::test {

std::vector<float> clickTrack(int rate, double bpm, double seconds, double gain) {
    std::vector<float> samples(static_cast<size_t>(rate * seconds), 0.0f);
    const double period = 60.0 / bpm;
    for (int beat = 0; beat * period < seconds; ++beat) {
        const auto start = static_cast<size_t>(std::lround(beat * period * rate));
        for (size_t i = 0; i < static_cast<size_t>(rate / 25) && start + i < samples.size(); ++i) {
            const double t = static_cast<double>(i) / rate;
            const double tone = std::sin(2.0 * M_PI * 2000.0 * t) * std::exp(-t * 300.0);
            const double thump = std::sin(2.0 * M_PI * 80.0 * t) * std::exp(-t * 60.0);
            samples[start + i] = static_cast<float>(gain * (0.6 * tone + 0.4 * thump));
        }
    }
    return samples;
}

std::vector<float> sineSweep(int rate, double low, double high, double seconds) {
    std::vector<float> samples(static_cast<size_t>(rate * seconds));
    const double k = std::log(high / low) / seconds;
    for (size_t i = 0; i < samples.size(); ++i) {
        const double t = static_cast<double>(i) / rate;
        // The phase is the integral of the rising frequency.
        samples[i] = static_cast<float>(0.5 * std::sin(2.0 * M_PI * low * (std::exp(k * t) - 1.0) / k));
    }
    return samples;
}

std::vector<float> whiteNoise(int rate, double seconds, double amplitude) {
    std::vector<float> samples(static_cast<size_t>(rate * seconds));
    uint32_t state = 12345u;
    for (float& sample : samples) {
        state = state * 1664525u + 1013904223u;
        sample = static_cast<float>(amplitude * ((state >> 8) / 8388608.0 - 1.0));
    }
    return samples;
}

void writeSound(const std::string& path, const std::vector<float>& samples, int rate, int channels,
                int format) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = format ? format : SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) {
        throw std::runtime_error("cannot write " + path + ": " + sf_strerror(nullptr));
    }
    sf_writef_float(file, samples.data(), static_cast<sf_count_t>(samples.size() / channels));
    sf_close(file);
}

} // namespace glowfield::test
