// .png and .jpg files written by the tests, the Exif orientation tag included where asked for.
#include "picture_files.h"

#include <gtest/gtest.h>
#include <png.h>
#include <turbojpeg.h>

#include <fstream>
#include <vector>

namespace glowfield::test {

namespace {

std::vector<uint8_t> rgbOf(int width, int height, const TopDownColour& colour) {
    std::vector<uint8_t> rgb;
    for (int r = 0; r < height; ++r) {
        for (int c = 0; c < width; ++c) {
            const uint32_t sample = colour(c, r);
            rgb.insert(rgb.end(), {uint8_t(sample >> 16), uint8_t(sample >> 8), uint8_t(sample)});
        }
    }
    return rgb;
}

// APP1 segment: "Exif\0\0", a TIFF header and one directory entry: orientation, SHORT, count 1, the value.
std::vector<uint8_t> exifSegment(int orientation, bool bigEndian) {
    std::vector<uint8_t> segment = {0xff, 0xe1, 0, 34, 'E', 'x', 'i', 'f', 0, 0};
    auto put = [&](uint64_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            segment.push_back(uint8_t(value >> 8 * (bigEndian ? bytes - 1 - i : i)));
        }
    };
    segment.insert(segment.end(), 2, bigEndian ? 'M' : 'I');
    for (auto [value, bytes] : {std::pair{42u, 2}, {8u, 4}, {1u, 2}, {0x0112u, 2}, {3u, 2}, {1u, 4}}) {
        put(value, bytes);
    }
    put(static_cast<uint32_t>(orientation), 2);
    put(0, 6); // the rest of the value field, no next directory
    return segment;
}

} // namespace

void writePng(const std::string& path, int width, int height, const TopDownColour& colour) {
    const std::vector<uint8_t> rgb = rgbOf(width, height, colour);
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGB;
    ASSERT_NE(png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr), 0) << path;
}

void writeJpeg(const std::string& path, int width, int height, const TopDownColour& colour, int orientation,
               bool bigEndianExif) {
    const std::vector<uint8_t> rgb = rgbOf(width, height, colour);
    tjhandle compressor = tjInitCompress();
    unsigned char* out = nullptr;
    unsigned long size = 0;
    const int result = tjCompress2(compressor, rgb.data(), width, 0, height, TJPF_RGB, &out, &size,
                                   TJSAMP_444, 100, TJFLAG_ACCURATEDCT);
    std::vector<uint8_t> jpeg(out, out + (result == 0 ? size : 0));
    tjFree(out);
    tjDestroy(compressor);
    ASSERT_EQ(result, 0) << path;
    if (orientation != 0) {
        const std::vector<uint8_t> exif = exifSegment(orientation, bigEndianExif);
        jpeg.insert(jpeg.begin() + 2, exif.begin(), exif.end()); // right after the start-of-image marker
    }
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(jpeg.data()), static_cast<std::streamsize>(jpeg.size()));
}

} // namespace glowfield::test
