// Scaling the picture into the window's surface: where it stands, and that every output pixel shows the
// source pixel SDL's own nearest scaling would show, with rows that repeat scaled only once.
#include <SDL.h>

#include <random>
#include <vector>

#include "platform/picture_scaler.h"
#include "test_support.h"

namespace glowfield::test {
namespace {

TEST(PictureScaler, StandsWhereTheRenderersLogicalSizePutsIt) {
    const struct {
        int width, height;
        ScaledArea area;
    } outputs[] = {{800, 600, {0, 0, 800, 600}},       {1000, 600, {100, 0, 800, 600}},
                   {801, 600, {0, 0, 800, 600}},       {1600, 1300, {0, 50, 1600, 1200}},
                   {1280, 800, {107, 0, 1066, 800}},   {3840, 2160, {480, 0, 2880, 2160}},
                   {1920, 1080, {240, 0, 1440, 1080}}, {400, 300, {0, 0, 400, 300}}};
    for (const auto& output : outputs) {
        const ScaledArea area = letterboxArea(800, 600, output.width, output.height);
        EXPECT_EQ(area.x, output.area.x) << output.width << "x" << output.height;
        EXPECT_EQ(area.y, output.area.y) << output.width << "x" << output.height;
        EXPECT_EQ(area.width, output.area.width) << output.width << "x" << output.height;
        EXPECT_EQ(area.height, output.area.height) << output.width << "x" << output.height;
    }
    EXPECT_EQ(letterboxArea(800, 600, 0, 600).width, 0);
}

// Pixels of distinct values in runs of equal rows, as a rendered picture has them, with a pitch wider than
// the rows.
std::vector<uint32_t> testPicture(int width, int height, int pitch) {
    std::mt19937 random(7);
    std::vector<uint32_t> picture(static_cast<size_t>(pitch) * height, 0xdeadbeef);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            picture[static_cast<size_t>(y) * pitch + x] =
                y % 3 == 0 ? random() & 0xffffff : picture[static_cast<size_t>(y - 1) * pitch + x];
        }
    }
    return picture;
}

TEST(PictureScaler, EveryPixelIsTheOneSdlsNearestScalingShows) {
    const int sizes[][4] = {{800, 600, 1600, 1200}, {800, 600, 2400, 1800}, {800, 600, 1066, 800},
                            {800, 600, 2880, 2160}, {800, 600, 1440, 1080}, {800, 600, 803, 601},
                            {800, 600, 800, 600},   {800, 600, 400, 300},   {800, 600, 333, 250},
                            {13, 5, 100, 7},        {7, 3, 50, 9},          {1, 1, 9, 4}};
    for (const auto& size : sizes) {
        const int width = size[0], height = size[1], outWidth = size[2], outHeight = size[3];
        SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height) + " to " +
                     std::to_string(outWidth) + "x" + std::to_string(outHeight));
        const int pitch = width + 3;
        std::vector<uint32_t> picture = testPicture(width, height, pitch);
        SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(picture.data(), width, height, 32, pitch * 4,
                                                                 SDL_PIXELFORMAT_RGB888);
        SDL_Surface* expected =
            SDL_CreateRGBSurfaceWithFormat(0, outWidth, outHeight, 32, SDL_PIXELFORMAT_RGB888);
        ASSERT_NE(source, nullptr) << SDL_GetError();
        ASSERT_NE(expected, nullptr) << SDL_GetError();
        ASSERT_EQ(SDL_SoftStretch(source, nullptr, expected, nullptr), 0) << SDL_GetError();

        const int outPitch = outWidth + 5;
        std::vector<uint32_t> shown(static_cast<size_t>(outPitch) * outHeight, 0x123456);
        PictureScaler scaler;
        for (int round = 0; round < 2; ++round) { // the second round reuses the column tables
            scaler.scale(reinterpret_cast<const uint8_t*>(picture.data()), pitch * 4, width, height,
                         reinterpret_cast<uint8_t*>(shown.data()), outPitch * 4, outWidth, outHeight);
        }
        int wrong = 0;
        for (int y = 0; y < outHeight; ++y) {
            const auto* row = reinterpret_cast<const uint32_t*>(
                static_cast<const uint8_t*>(expected->pixels) + y * expected->pitch);
            for (int x = 0; x < outWidth; ++x) {
                wrong += (shown[static_cast<size_t>(y) * outPitch + x] & 0xffffff) != (row[x] & 0xffffff);
            }
            // Nothing is written past the area's width.
            for (int x = outWidth; x < outPitch; ++x) {
                wrong += shown[static_cast<size_t>(y) * outPitch + x] != 0x123456;
            }
        }
        EXPECT_EQ(wrong, 0);
        SDL_FreeSurface(source);
        SDL_FreeSurface(expected);
    }
}

} // namespace
} // namespace glowfield::test
