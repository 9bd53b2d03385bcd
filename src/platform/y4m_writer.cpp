// YUV4MPEG2 frames from RGB pictures: full-range BT.601 in 16-bit fixed point, rounded to nearest.
#include "platform/y4m_writer.h"

#include <algorithm>
#include <cstring>

#include "platform/atomic_file.h"

namespace glowfield {

namespace {

constexpr char frameMarker[] = "FRAME\n";
constexpr size_t markerSize = sizeof frameMarker - 1;

constexpr int32_t half = 1 << 15; // added before the shift by 16 to round to nearest

uint8_t clampLevel(int32_t value) {
    return static_cast<uint8_t>(std::clamp(value, 0, 255));
}

} // namespace

Y4mWriter::Y4mWriter(int descriptor, int width, int height)
    : descriptor_(descriptor), width_(width), height_(height) {}

std::string Y4mWriter::header(int width, int height) {
    return "YUV4MPEG2 W" + std::to_string(width) + " H" + std::to_string(height) + " F" +
           std::to_string(videoFramesPerSecond) + ":1 Ip A1:1 C444 XCOLORRANGE=FULL\n";
}

void Y4mWriter::encodeFrame(const uint8_t* rgb, size_t pixels, std::vector<uint8_t>& out) {
    out.resize(markerSize + 3 * pixels);
    std::memcpy(out.data(), frameMarker, markerSize);
    uint8_t* luma = out.data() + markerSize;
    uint8_t* blueDifference = luma + pixels;
    uint8_t* redDifference = blueDifference + pixels;
    // The weights times 65536. Those of Cb and Cr each sum to zero, so greys keep their chroma at 128
    // exactly.
    for (size_t i = 0; i < pixels; ++i) {
        const int32_t r = rgb[3 * i], g = rgb[3 * i + 1], b = rgb[3 * i + 2];
        luma[i] = clampLevel((19595 * r + 38470 * g + 7471 * b + half) >> 16);
        blueDifference[i] = clampLevel(((-11059 * r - 21709 * g + 32768 * b + half) >> 16) + 128);
        redDifference[i] = clampLevel(((32768 * r - 27439 * g - 5329 * b + half) >> 16) + 128);
    }
}

bool Y4mWriter::begin(std::string& error) {
    const std::string text = header(width_, height_);
    return writeAll(descriptor_, reinterpret_cast<const uint8_t*>(text.data()), text.size(), error);
}

bool Y4mWriter::writeFrame(const uint8_t* rgb, std::string& error) {
    encodeFrame(rgb, static_cast<size_t>(width_) * static_cast<size_t>(height_), frame_);
    return writeAll(descriptor_, frame_.data(), frame_.size(), error);
}

bool Y4mWriter::finish(std::string&) {
    return true;
}

} // namespace glowfield
