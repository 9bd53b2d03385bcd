// .png and .jpg pictures decoded in memory (libpng's simplified reader, TurboJPEG) and unpacked into the
// picture planes exactly as a .bmp of the same image would be: the same cropping, the same way up.
#pragma once

#include <cstddef>
#include <cstdint>

namespace glowfield {

// Decompression bombs: pictures claiming more than this per side, or more pixels in all (a 50-megapixel
// photo passes), are refused before anything is decoded.
inline constexpr int maximumDecodedSide = 16384;
inline constexpr int64_t maximumDecodedPixels = 50'000'000;

// Decodes PNG or JPEG bytes (the content decides, not the name; anything else is refused) and unpacks the
// picture, turned upright by its Exif orientation. A picture of fewer than minimumPixels pixels (the grid's
// worth that the size of a .bmp candidate ensures), an oversized or an undecodable one changes nothing and
// returns false.
bool unpackCompressedPicture(const uint8_t* bytes, size_t size, int64_t minimumPixels);

} // namespace glowfield
