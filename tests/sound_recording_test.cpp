// Recordings with a sound file: .mp4 and .webm carry it as a sound track exactly as long as the video,
// whether the file is longer or shorter than the run; a .gif has no track.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/recorder.h"
#include "platform/ffmpeg_pipe.h"
#include "platform/memory_surface.h"
#include "test_support.h"

namespace glowfield::test {
namespace {

// A 16-bit mono WAV file of a 440 Hz tone.
void writeTone(const std::string& path, double seconds) {
    const int rate = 44100;
    const auto samples = static_cast<uint32_t>(seconds * rate);
    std::ofstream out(path, std::ios::binary);
    const auto put32 = [&](uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
    const auto put16 = [&](uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
    out << "RIFF";
    put32(36 + samples * 2);
    out << "WAVEfmt ";
    put32(16);
    put16(1);
    put16(1);
    put32(rate);
    put32(rate * 2);
    put16(2);
    put16(16);
    out << "data";
    put32(samples * 2);
    for (uint32_t i = 0; i < samples; ++i) {
        put16(static_cast<uint16_t>(static_cast<int16_t>(8000 * std::sin(i * 2 * M_PI * 440 / rate))));
    }
}

// Where the last packet of each kind of stream ends, in seconds; -1 for a kind the file lacks.
std::pair<double, double> streamEnds(const std::string& path) {
    double video = -1, audio = -1;
    for (const auto& [kind, end] : {std::pair{"v", &video}, std::pair{"a", &audio}}) {
        const std::string command = "ffprobe -v error -select_streams " + std::string(kind) +
                                    " -show_entries packet=pts_time,duration_time -of csv=p=0 '" + path + "'";
        FILE* pipe = popen(command.c_str(), "r");
        char line[256];
        while (pipe && std::fgets(line, sizeof line, pipe)) {
            double pts = 0, duration = 0;
            char comma = 0;
            std::istringstream(line) >> pts >> comma >> duration;
            *end = std::max(*end, pts + duration);
        }
        if (pipe) {
            pclose(pipe);
        }
    }
    return {video, audio};
}

bool haveFfmpeg() {
    return !findProgram("ffmpeg", std::getenv("PATH")).empty() &&
           !findProgram("ffprobe", std::getenv("PATH")).empty();
}

double record(const std::string& target, const std::string& sound, int frames, double& audioEnd) {
    std::string error;
    auto recorder = Recorder::start(target, 160, 120, error, sound);
    EXPECT_TRUE(recorder) << error;
    if (!recorder) {
        return -1;
    }
    const MemorySurface picture(800, 600, PixelFormat{});
    for (int i = 0; i < frames; ++i) {
        recorder->addFrame(picture);
    }
    EXPECT_TRUE(recorder->finish(error)) << error;
    const auto [video, audio] = streamEnds(target);
    audioEnd = audio;
    return video;
}

TEST(SoundRecording, TheSoundTrackLastsAsLongAsTheVideo) {
    if (!haveFfmpeg()) {
        GTEST_SKIP() << "ffmpeg and ffprobe are needed";
    }
    TempDir dir;
    writeTone(dir.file("long.wav"), 3.0);
    writeTone(dir.file("short.wav"), 0.3);
    // A file longer than the run is cut; one shorter is followed by silence.
    for (const auto& [name, sound] :
         {std::pair{"cut.mp4", "long.wav"}, std::pair{"padded.mp4", "short.wav"},
          std::pair{"cut.webm", "long.wav"}, std::pair{"padded.webm", "short.wav"}}) {
        double audio = 0;
        const double video = record(dir.file(name), dir.file(sound), 50, audio);
        // WebM keeps milliseconds, and its last frame's length is estimated.
        EXPECT_NEAR(video, 1.0, 0.01) << name;
        // Within one packet of the sound codec (AAC: 1024 samples, Opus: 20 ms).
        EXPECT_NEAR(audio, video, 0.03) << name;
    }
}

TEST(SoundRecording, AGifHasNoSoundTrack) {
    if (!haveFfmpeg()) {
        GTEST_SKIP() << "ffmpeg and ffprobe are needed";
    }
    EXPECT_TRUE(videoCarriesSound(VideoFormat::mp4));
    EXPECT_FALSE(videoCarriesSound(VideoFormat::gif));
    EXPECT_FALSE(videoCarriesSound(VideoFormat::y4m));
    TempDir dir;
    writeTone(dir.file("tone.wav"), 1.0);
    double audio = 0;
    EXPECT_GT(record(dir.file("run.gif"), dir.file("tone.wav"), 10, audio), 0);
    EXPECT_EQ(audio, -1);
}

// A sound file whose relative name looks like one of ffmpeg's protocols is still read as that file.
TEST(SoundRecording, ASoundFileNameIsNeverAProtocol) {
    if (!haveFfmpeg()) {
        GTEST_SKIP() << "ffmpeg and ffprobe are needed";
    }
    TempDir dir;
    const std::string previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    writeTone("concat:tone.wav", 1.0);
    double audio = 0;
    EXPECT_NEAR(record(dir.file("run.mp4"), "concat:tone.wav", 25, audio), 0.5, 0.001);
    EXPECT_NEAR(audio, 0.5, 0.03);
    std::filesystem::current_path(previous);
}

} // namespace
} // namespace glowfield::test
