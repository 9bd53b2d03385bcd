// .png and .jpg files written by the tests, the Exif orientation tag included where asked for.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace glowfield::test {

// Sample colour of column c and row r counted from the top, as 0x00RRGGBB.
using TopDownColour = std::function<uint32_t(int c, int r)>;

// A lossless 24-bit PNG.
void writePng(const std::string& path, int width, int height, const TopDownColour& colour);

// A baseline JPEG of quality 100 (no chroma subsampling). With orientation 1 to 8 it carries an Exif block
// with that orientation tag, in big-endian TIFF order when asked.
void writeJpeg(const std::string& path, int width, int height, const TopDownColour& colour,
               int orientation = 0, bool bigEndianExif = false);

} // namespace glowfield::test
