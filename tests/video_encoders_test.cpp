// The video encoders: .y4m frames and their colour accuracy, and the ffmpeg program's process and its
// failures.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

#include "app/recorder.h"
#include "platform/ffmpeg_pipe.h"
#include "platform/memory_surface.h"
#include "platform/y4m_writer.h"
#include "test_support.h"

namespace glowfield::test {
namespace {

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeScript(const std::string& path, const std::string& body) {
    std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
}

TEST(Y4m, HeaderAndPlanesOfKnownColours) {
    EXPECT_EQ(Y4mWriter::header(800, 600), "YUV4MPEG2 W800 H600 F50:1 Ip A1:1 C444 XCOLORRANGE=FULL\n");
    // Black, white, a grey, red, green, blue: Y, Cb and Cr of full-range BT.601, rounded.
    const std::vector<uint8_t> rgb = {0, 0, 0, 255, 255, 255, 100, 100, 100, 255, 0, 0, 0, 255, 0, 0, 0, 255};
    std::vector<uint8_t> frame;
    Y4mWriter::encodeFrame(rgb.data(), 6, frame);
    const std::string marker = "FRAME\n";
    ASSERT_EQ(frame.size(), marker.size() + 18);
    EXPECT_EQ(std::string(frame.begin(), frame.begin() + 6), marker);
    const std::vector<uint8_t> planes(frame.begin() + 6, frame.end());
    EXPECT_EQ(planes, (std::vector<uint8_t>{0, 255, 100, 76, 150, 29,       // Y
                                            128, 128, 128, 85, 44, 255,     // Cb
                                            128, 128, 128, 255, 21, 107})); // Cr
}

// The accuracy a recording promises: decoding any colour gives each channel back within one level.
TEST(Y4m, EveryColourComesBackWithinOneLevel) {
    std::vector<uint8_t> rgb;
    for (int r = 0; r < 256; r += 5) {
        for (int g = 0; g < 256; g += 5) {
            for (int b = 0; b < 256; b += 3) {
                rgb.insert(rgb.end(),
                           {static_cast<uint8_t>(r), static_cast<uint8_t>(g), static_cast<uint8_t>(b)});
            }
        }
    }
    const size_t pixels = rgb.size() / 3;
    std::vector<uint8_t> frame;
    Y4mWriter::encodeFrame(rgb.data(), pixels, frame);
    const uint8_t* y = frame.data() + 6;
    int worst = 0;
    for (size_t i = 0; i < pixels; ++i) {
        const double luma = y[i], cb = y[pixels + i] - 128.0, cr = y[2 * pixels + i] - 128.0;
        const double decoded[3] = {luma + 1.402 * cr, luma - 0.344136 * cb - 0.714136 * cr,
                                   luma + 1.772 * cb};
        for (int c = 0; c < 3; ++c) {
            const int level = static_cast<int>(std::clamp(std::round(decoded[c]), 0.0, 255.0));
            worst = std::max(worst, std::abs(level - rgb[3 * i + c]));
        }
    }
    EXPECT_LE(worst, 1);
}

// The encoder runs in a process group of its own, so that a terminal's Ctrl-C reaches only the player, and
// its last message line explains a failure.
TEST(FfmpegPipe, OwnProcessGroupAndTheLastMessageLineOfAFailure) {
    TempDir dir;
    const std::string program = dir.file("encoder");
    writeScript(program, "cut -d' ' -f5 /proc/$$/stat >" + dir.file("group") +
                             "\ncat >/dev/null\necho 'first line' >&2\necho 'Unknown encoder' >&2\nexit 3");
    std::string error;
    auto encoder = FfmpegPipe::start(program, 4, 2, {"out"}, error);
    ASSERT_TRUE(encoder) << error;
    const std::vector<uint8_t> frame(4 * 2 * 3, 9);
    EXPECT_TRUE(encoder->writeFrame(frame.data(), error)) << error;
    EXPECT_FALSE(encoder->finish(error));
    EXPECT_EQ(error, "ffmpeg failed with exit code 3: Unknown encoder");
    const int group = std::stoi(readAll(dir.file("group")));
    EXPECT_NE(group, getpgrp());
}

// The player ignores SIGPIPE, as this test does.
TEST(FfmpegPipe, AnEncoderThatDiesFailsTheWritesInsteadOfHanging) {
    const auto previous = std::signal(SIGPIPE, SIG_IGN);
    TempDir dir;
    const std::string program = dir.file("encoder");
    writeScript(program, "kill -KILL $$");
    std::string error;
    auto encoder = FfmpegPipe::start(program, 800, 600, {}, error);
    ASSERT_TRUE(encoder) << error;
    const std::vector<uint8_t> frame(800 * 600 * 3);
    bool written = true;
    for (int i = 0; i < 20 && written; ++i) {
        written = encoder->writeFrame(frame.data(), error);
    }
    EXPECT_FALSE(written);
    EXPECT_FALSE(encoder->finish(error));
    EXPECT_EQ(error, "ffmpeg was ended by signal 9");
    std::signal(SIGPIPE, previous);
}

// Seconds since start.
double since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Whether a process of this id still exists (and is no zombie).
bool alive(const std::string& pidFile) {
    const std::string pid = readAll(pidFile);
    const std::string state = readAll("/proc/" + pid.substr(0, pid.find('\n')) + "/stat");
    return !state.empty() && state.find(") Z") == std::string::npos;
}

// An encoder that never reads and one that reads everything but never exits: once the run gives up waiting,
// the frame or the finish fails at once and the program, with whatever it started, is ended.
TEST(FfmpegPipe, AStuckEncoderIsEndedOnceTheRunGivesUp) {
    const auto previous = std::signal(SIGPIPE, SIG_IGN);
    TempDir dir;
    const std::vector<uint8_t> frame(800 * 600 * 3);
    for (const char* body :
         {"sleep 60 & echo $! >PIDFILE; wait", "cat >/dev/null; sleep 60 & echo $! >PIDFILE; wait"}) {
        std::string script = body;
        script.replace(script.find("PIDFILE"), 7, dir.file("pid"));
        writeScript(dir.file("encoder"), script);
        std::string error;
        auto encoder = FfmpegPipe::start(dir.file("encoder"), 800, 600, {}, error);
        ASSERT_TRUE(encoder) << error;
        const auto start = std::chrono::steady_clock::now();
        encoder->setPatience([start] { return since(start) > 0.2; });
        const bool written =
            encoder->writeFrame(frame.data(), error) && encoder->writeFrame(frame.data(), error);
        EXPECT_FALSE(written && encoder->finish(error)) << body;
        EXPECT_LT(since(start), 0.7) << body;
        EXPECT_NE(error.find("so it was ended"), std::string::npos) << error;
        // The encoder's own child went with it.
        const auto end = std::chrono::steady_clock::now();
        while (alive(dir.file("pid")) && since(end) < 2) {
            usleep(10000);
        }
        EXPECT_FALSE(alive(dir.file("pid"))) << body;
    }
    std::signal(SIGPIPE, previous);
}

// An encoder that ends well without writing anything made no video: the previous file stays.
TEST(FfmpegPipe, AnEncoderThatWritesNothingReplacesNothing) {
    const auto previous = std::signal(SIGPIPE, SIG_IGN);
    TempDir dir;
    writeScript(dir.file("ffmpeg"), "cat >/dev/null; exit 0");
    const char* path = std::getenv("PATH");
    const std::string savedPath = path ? path : "";
    setenv("PATH", (dir.path() + ":" + savedPath).c_str(), 1);
    const std::string target = dir.file("run.mp4");
    std::ofstream(target) << "previous";
    std::string error;
    auto recorder = Recorder::start(target, 800, 600, error);
    ASSERT_TRUE(recorder) << error;
    const MemorySurface picture(800, 600, PixelFormat{});
    recorder->addFrame(picture);
    EXPECT_FALSE(recorder->finish(error));
    EXPECT_EQ(error, "cannot record " + target + ": ffmpeg ended without writing the video");
    EXPECT_EQ(readAll(target), "previous");
    setenv("PATH", savedPath.c_str(), 1);
    std::signal(SIGPIPE, previous);
}

} // namespace
} // namespace glowfield::test
