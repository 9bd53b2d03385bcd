// Recordings: scaling with hard pixel edges, and the target replaced only when the video is complete.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/recorder.h"
#include "platform/memory_surface.h"
#include "platform/y4m_writer.h"
#include "test_support.h"

namespace glowfield::test {
namespace {

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(Scaling, EnlargementsRepeatPixelsAndHalvingKeepsTheFirstOfEachPair) {
    // A 2 x 2 picture of four distinct pixels.
    const std::vector<uint8_t> small = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    std::vector<uint8_t> big(4 * 4 * 3);
    scaleNearest(small.data(), 2, 2, big.data(), 4, 4);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            for (int c = 0; c < 3; ++c) {
                EXPECT_EQ(big[(y * 4 + x) * 3 + c], small[((y / 2) * 2 + x / 2) * 3 + c]) << x << "," << y;
            }
        }
    }
    std::vector<uint8_t> back(small.size());
    scaleNearest(big.data(), 4, 4, back.data(), 2, 2);
    EXPECT_EQ(back, small);
    std::vector<uint8_t> same(small.size());
    scaleNearest(small.data(), 2, 2, same.data(), 2, 2);
    EXPECT_EQ(same, small);
    // 3 to 2 columns: the centres fall on source pixels 0 and 2.
    const std::vector<uint8_t> row = {1, 1, 1, 2, 2, 2, 3, 3, 3};
    std::vector<uint8_t> two(6);
    scaleNearest(row.data(), 3, 1, two.data(), 2, 1);
    EXPECT_EQ(two, (std::vector<uint8_t>{1, 1, 1, 3, 3, 3}));
}

// The target is replaced only by a complete video; an abandoned one leaves it as it was and nothing behind.
TEST(Recorder, ReplacesTheTargetOnlyWhenFinished) {
    TempDir dir;
    const std::string target = dir.file("run.y4m");
    std::ofstream(target) << "previous";
    MemorySurface picture(800, 600, PixelFormat{});
    picture.setPixel(0, 0, 0x0000ff); // red at the top left corner
    std::string error;
    {
        auto abandoned = Recorder::start(target, 800, 600, error);
        ASSERT_TRUE(abandoned) << error;
        abandoned->addFrame(picture);
    }
    EXPECT_EQ(readAll(target), "previous");
    auto recorder = Recorder::start(target, 1600, 1200, error);
    ASSERT_TRUE(recorder) << error;
    recorder->addFrame(picture);
    recorder->addFrame(picture);
    EXPECT_EQ(readAll(target), "previous");
    ASSERT_TRUE(recorder->finish(error)) << error;
    EXPECT_EQ(recorder->frames(), 2u);
    const std::string video = readAll(target);
    const std::string header = Y4mWriter::header(1600, 1200);
    ASSERT_EQ(video.size(), header.size() + 2 * (6 + 3 * 1600 * 1200));
    // The red pixel became 2 x 2 pixels of the enlarged frame: Y 76 there, 0 beside them.
    const size_t luma = header.size() + 6;
    EXPECT_EQ(static_cast<uint8_t>(video[luma + 1601]), 76);
    EXPECT_EQ(static_cast<uint8_t>(video[luma + 2]), 0);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(Recorder, OverlayIsDrawnOnTheFrameBeforeItIsScaled) {
    TempDir dir;
    const std::string target = dir.file("named.y4m");
    MemorySurface picture(800, 600, PixelFormat{});
    std::string error;
    auto recorder = Recorder::start(target, 400, 300, error);
    ASSERT_TRUE(recorder) << error;
    recorder->setOverlay([](uint8_t* rgb, int pitch) {
        // White over the 2 x 2 pixels that become the second video pixel of the second line.
        for (const int y : {2, 3}) {
            for (const int x : {2, 3}) {
                std::fill_n(rgb + y * pitch + x * 3, 3, uint8_t{255});
            }
        }
    });
    recorder->addFrame(picture);
    ASSERT_TRUE(recorder->finish(error)) << error;
    const std::string video = readAll(target);
    const size_t luma = Y4mWriter::header(400, 300).size() + 6;
    EXPECT_EQ(static_cast<uint8_t>(video[luma + 401]), 255);
    EXPECT_EQ(static_cast<uint8_t>(video[luma]), 0);
}

} // namespace
} // namespace glowfield::test
