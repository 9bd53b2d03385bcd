// The cost of hearing: analysing one 20 ms frame of sound (level, bands, onsets and the beat), against the
// 0.1 ms it may take of each frame.
//
//   build/glowfield_bench --benchmark_filter=Sound
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "sound/sound_analyser.h"

namespace glowfield {
namespace {

// Noise with a loud hit every half second, so that the onset and beat detectors do their whole work.
std::vector<float> music(int rate, int frames) {
    std::vector<float> samples(static_cast<size_t>(rate / 50 * frames));
    uint32_t state = 1u;
    for (size_t i = 0; i < samples.size(); ++i) {
        state = state * 1664525u + 1013904223u;
        const double noise = (state >> 8) / 8388608.0 - 1.0;
        const bool hit = i % static_cast<size_t>(rate / 2) < static_cast<size_t>(rate / 50);
        samples[i] = static_cast<float>(noise * (hit ? 0.8 : 0.1));
    }
    return samples;
}

void analyseFrame(benchmark::State& state) {
    const int rate = static_cast<int>(state.range(0));
    const int perFrame = rate / 50;
    constexpr int frames = 500;
    const std::vector<float> samples = music(rate, frames);
    SoundAnalyser analyser(rate);
    std::vector<float> frame(static_cast<size_t>(perFrame));
    int at = 0;
    for (auto _ : state) {
        std::copy(samples.begin() + at * perFrame, samples.begin() + (at + 1) * perFrame, frame.begin());
        benchmark::DoNotOptimize(analyser.analyse(frame));
        at = (at + 1) % frames;
    }
}
BENCHMARK(analyseFrame)->Name("SoundAnalyseFrame")->Arg(44100)->Arg(48000)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace glowfield
