// The orientation tag of a JPEG file's Exif block: how a camera that was held turned stored the picture.
#pragma once

#include <cstddef>
#include <cstdint>

namespace glowfield {

// The Exif orientation (1 to 8) of the JPEG bytes; 1, upright as stored, when the file has no Exif block, no
// orientation tag, or a value out of range. Every offset is checked against size before it is read.
int jpegExifOrientation(const uint8_t* data, size_t size);

} // namespace glowfield
