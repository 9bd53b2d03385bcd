// The sound file cut into frames and its analysis: frames of exact length, mono mixes, refusals of files
// that cannot be read, beats on clicks, bands that follow a sweep, the automatic gain, and silence.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <numeric>
#include <sndfile.h>

#include "platform/sound_file.h"
#include "sound/sound_analyser.h"
#include "sound_files.h"
#include "test_support.h"

namespace glowfield::test {
namespace {

std::vector<SoundFrame> analyseFile(const std::string& path) {
    std::string error;
    std::unique_ptr<SoundFile> file = SoundFile::open(path, error);
    EXPECT_TRUE(file) << error;
    std::vector<SoundFrame> frames;
    if (!file) {
        return frames;
    }
    SoundAnalyser analyser(file->sampleRate());
    std::vector<float> mono;
    while (file->nextFrame(mono)) {
        frames.push_back(analyser.analyse(mono));
    }
    return frames;
}

std::vector<SoundFrame> analyseSamples(const std::vector<float>& samples, int rate) {
    TempDir dir;
    writeSound(dir.file("sound.wav"), samples, rate);
    return analyseFile(dir.file("sound.wav"));
}

TEST(SoundFile, CutsExactFramesAndCarriesTheRemainder) {
    TempDir dir;
    // 11025 Hz: 220.5 samples a frame, so frames alternate 220 and 221 and stay in step with the sound.
    const std::vector<float> ramp = [] {
        std::vector<float> samples(11025 * 2 + 100);
        for (size_t i = 0; i < samples.size(); ++i) {
            samples[i] = static_cast<float>(i % 1000) / 2000.0f;
        }
        return samples;
    }();
    writeSound(dir.file("ramp.wav"), ramp, 11025, 1, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    std::string error;
    auto file = SoundFile::open(dir.file("ramp.wav"), error);
    ASSERT_TRUE(file) << error;
    EXPECT_EQ(file->sampleRate(), 11025);
    EXPECT_EQ(file->frameCount(), 101u);
    std::vector<float> mono, all;
    std::vector<size_t> lengths;
    while (file->nextFrame(mono)) {
        lengths.push_back(mono.size());
        all.insert(all.end(), mono.begin(), mono.end());
    }
    ASSERT_EQ(lengths.size(), 101u);
    EXPECT_EQ(lengths[0], 220u);
    EXPECT_EQ(lengths[1], 221u);
    EXPECT_EQ(std::accumulate(lengths.begin(), lengths.begin() + 100, size_t{0}), 22050u);
    // Every sample in order, the last frame padded with silence.
    ASSERT_GE(all.size(), ramp.size());
    EXPECT_TRUE(std::equal(ramp.begin(), ramp.end(), all.begin()));
    EXPECT_TRUE(
        std::all_of(all.begin() + static_cast<long>(ramp.size()), all.end(), [](float s) { return s == 0; }));
}

TEST(SoundFile, MixesChannelsAndReadsFlacAsWav) {
    TempDir dir;
    std::vector<float> stereo;
    for (int i = 0; i < 4410; ++i) {
        stereo.push_back(0.5f);
        stereo.push_back(-0.25f);
    }
    writeSound(dir.file("stereo.flac"), stereo, 44100, 2, SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
    std::string error;
    auto file = SoundFile::open(dir.file("stereo.flac"), error);
    ASSERT_TRUE(file) << error;
    std::vector<float> mono;
    ASSERT_TRUE(file->nextFrame(mono));
    ASSERT_EQ(mono.size(), 882u);
    EXPECT_NEAR(mono[100], 0.125f, 1e-4);

    const std::vector<float> clicks = clickTrack(44100, 120, 3);
    writeSound(dir.file("clicks.wav"), clicks, 44100);
    writeSound(dir.file("clicks.flac"), clicks, 44100, 1, SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
    const auto wav = analyseFile(dir.file("clicks.wav"));
    const auto flac = analyseFile(dir.file("clicks.flac"));
    ASSERT_EQ(wav.size(), flac.size());
    for (size_t i = 0; i < wav.size(); ++i) {
        EXPECT_EQ(wav[i].level, flac[i].level) << i;
        EXPECT_EQ(wav[i].beat, flac[i].beat) << i;
    }
}

TEST(SoundFile, RefusesWhatItCannotPlay) {
    TempDir dir;
    writeSound(dir.file("whole.wav"), clickTrack(44100, 120, 2), 44100);
    std::ifstream in(dir.file("whole.wav"), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto cut = [&](const std::string& name, size_t length) {
        std::ofstream(dir.file(name), std::ios::binary) << bytes.substr(0, length);
        return dir.file(name);
    };
    std::ofstream(dir.file("text.wav")) << "not a sound at all, only words in a file named like one\n";
    for (const std::string& path : {cut("header.wav", 30), cut("half.wav", bytes.size() / 2),
                                    dir.file("text.wav"), dir.file("missing.wav"), dir.path()}) {
        std::string error;
        EXPECT_FALSE(SoundFile::open(path, error)) << path;
        EXPECT_FALSE(error.empty()) << path;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    }
}

TEST(SoundAnalyser, FindsTheBeatOfClicksWithinAFrame) {
    for (const int rate : {44100, 48000, 22050}) {
        const auto frames = analyseSamples(clickTrack(rate, 120, 20), rate);
        ASSERT_EQ(frames.size(), 1000u);
        int beats = 0, onClick = 0;
        for (size_t f = 0; f < frames.size(); ++f) {
            if (frames[f].onset && f > 0) {
                const size_t offset = f % 25;
                EXPECT_TRUE(offset <= 1 || offset >= 24) << rate << " onset at frame " << f;
                EXPECT_GE(frames[f].onsetStrength, strongOnset) << rate << " onset at frame " << f;
            }
            EXPECT_EQ(frames[f].framesSinceBeat == 0, frames[f].beat);
            if (frames[f].beat && f >= 200) {
                ++beats;
                const size_t offset = f % 25;
                onClick += offset <= 1 || offset >= 24;
            }
        }
        // From the fifth second on the tracker has locked: a beat for every click, each on its click.
        EXPECT_GE(beats, 30) << rate;
        EXPECT_EQ(onClick, beats) << rate;
    }
}

TEST(SoundAnalyser, BandsFollowASweepFromBassToTreble) {
    const auto frames = analyseSamples(sineSweep(44100, 40, 12000, 8), 44100);
    ASSERT_EQ(frames.size(), 400u);
    // The first half second sits below 250 Hz, the last second above 2 kHz; around 3.6 s (about 500 Hz) the
    // middle leads.
    for (size_t f = 5; f < 25; ++f) {
        EXPECT_GT(frames[f].bass, 0.8f) << f;
        EXPECT_LT(frames[f].treble, 0.1f) << f;
    }
    for (size_t f = 175; f < 185; ++f) {
        EXPECT_GT(frames[f].middle, frames[f].bass) << f;
        EXPECT_GT(frames[f].middle, frames[f].treble) << f;
    }
    for (size_t f = 350; f < 400; ++f) {
        EXPECT_GT(frames[f].treble, 0.8f) << f;
        EXPECT_LT(frames[f].bass, 0.1f) << f;
    }
}

TEST(SoundAnalyser, GainMakesQuietAndLoudNoiseAlike) {
    const auto loud = analyseSamples(whiteNoise(44100, 6, 0.8), 44100);
    const auto quiet = analyseSamples(whiteNoise(44100, 6, 0.02), 44100);
    // After the first seconds both fill the range, every band moving.
    for (size_t f = 150; f < 300; ++f) {
        for (const auto* frames : {&loud, &quiet}) {
            const SoundFrame& frame = (*frames)[f];
            EXPECT_GT(frame.level, 0.8f) << f;
            EXPECT_GT(frame.bass, 0.15f) << f; // few bins: it wavers most
            EXPECT_GT(frame.middle, 0.6f) << f;
            EXPECT_GT(frame.treble, 0.6f) << f;
            EXPECT_TRUE(frame.heard());
        }
    }
    // Loud noise, then noise 26 dB quieter: within about five seconds the quiet part fills the range again.
    std::vector<float> samples = whiteNoise(44100, 4, 0.8);
    const std::vector<float> after = whiteNoise(44100, 8, 0.04);
    samples.insert(samples.end(), after.begin(), after.end());
    const auto frames = analyseSamples(samples, 44100);
    EXPECT_LT(frames[210].level, 0.2f);
    EXPECT_GT(frames[200 + 300].level, 0.8f);
}

TEST(SoundAnalyser, SilenceIsHeardAsNothing) {
    std::vector<float> samples(44100 * 3, 0.0f);
    // Digital silence, and a whisper below -80 dBFS.
    for (size_t i = 44100; i < samples.size(); ++i) {
        samples[i] = i % 2 ? 5e-5f : -5e-5f;
    }
    for (const SoundFrame& frame : analyseSamples(samples, 44100)) {
        EXPECT_TRUE(frame.listening);
        EXPECT_EQ(frame.level, 0.0f);
        EXPECT_EQ(frame.bass + frame.middle + frame.treble, 0.0f);
        EXPECT_FALSE(frame.onset);
        EXPECT_FALSE(frame.beat);
        EXPECT_EQ(frame.framesSinceBeat, SoundFrame::neverHeard);
        EXPECT_FALSE(frame.heard());
    }
}

} // namespace
} // namespace glowfield::test
