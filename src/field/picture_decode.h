// .png and .jpg pictures decoded in memory (libpng row by row, TurboJPEG at a reduced scale), turned upright,
// cut to the screen's 4:3 shape and averaged down to at most 800 x 600 pixels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "field/picture_scale.h"

namespace glowfield {

// Decompression bombs: pictures claiming more than this per side, or more pixels in all (a 50-megapixel
// photo passes), are refused before anything is decoded. Neither decoder ever holds the whole picture: a JPEG
// is decoded at the smallest scale that still gives the fitted size, a PNG a row at a time, except an
// interlaced PNG, whose rows are only whole at the end and which may have no more than
// maximumInterlacedPixels.
inline constexpr int maximumDecodedSide = 16384;
inline constexpr int64_t maximumDecodedPixels = 50'000'000;
inline constexpr int64_t maximumInterlacedPixels = 12'000'000;

// Decodes PNG or JPEG bytes (the content decides, not the name; anything else is refused) and fits the
// picture, turned upright by its Exif orientation, to the screen. A picture narrower or lower than
// minimumSide pixels, an oversized or an undecodable one gives nothing. CMYK JPEGs are shown in RGB.
std::optional<FittedPicture> decodeCompressedPicture(const uint8_t* bytes, size_t size, int minimumSide);

} // namespace glowfield
