// The orientation tag of a JPEG file's Exif block: how a camera that was held turned stored the picture.
#include "field/exif_orientation.h"

#include <cstring>

namespace glowfield {

namespace {

constexpr int upright = 1;
constexpr uint16_t orientationTag = 0x0112;
constexpr uint16_t shortType = 3;
constexpr size_t ifdEntryBytes = 12;

// Reads of the TIFF structure inside the Exif block, in the byte order its header names.
struct TiffReader {
    const uint8_t* data;
    size_t size;
    bool bigEndian;

    bool has(size_t offset, size_t bytes) const { return offset <= size && bytes <= size - offset; }
    uint16_t u16(size_t offset) const {
        const uint16_t a = data[offset], b = data[offset + 1];
        return static_cast<uint16_t>(bigEndian ? a << 8 | b : b << 8 | a);
    }
    uint32_t u32(size_t offset) const {
        const uint32_t high = u16(offset + (bigEndian ? 0 : 2));
        const uint32_t low = u16(offset + (bigEndian ? 2 : 0));
        return high << 16 | low;
    }
};

// The orientation in the first image directory of a TIFF structure ("II*\0" or "MM\0*" and so on).
int tiffOrientation(const uint8_t* tiff, size_t size) {
    if (size < 8) {
        return upright;
    }
    TiffReader reader{tiff, size, false};
    if (std::memcmp(tiff, "MM\0*", 4) == 0) {
        reader.bigEndian = true;
    } else if (std::memcmp(tiff, "II*\0", 4) != 0) {
        return upright;
    }
    const size_t directory = reader.u32(4);
    if (!reader.has(directory, 2)) {
        return upright;
    }
    const size_t entries = reader.u16(directory);
    for (size_t i = 0; i < entries; ++i) {
        const size_t entry = directory + 2 + i * ifdEntryBytes;
        if (!reader.has(entry, ifdEntryBytes)) {
            return upright;
        }
        if (reader.u16(entry) != orientationTag) {
            continue;
        }
        // One SHORT, stored at the start of the value field.
        if (reader.u16(entry + 2) != shortType || reader.u32(entry + 4) != 1) {
            return upright;
        }
        const int value = reader.u16(entry + 8);
        return value >= 1 && value <= 8 ? value : upright;
    }
    return upright;
}

} // namespace

int jpegExifOrientation(const uint8_t* data, size_t size) {
    if (size < 4 || data[0] != 0xff || data[1] != 0xd8) {
        return upright;
    }
    // Marker segments up to the start of the scan: 0xFF, optional fill bytes 0xFF, the marker, then for most
    // markers a big-endian length that counts itself.
    size_t at = 2;
    while (at < size) {
        if (data[at] != 0xff) {
            return upright;
        }
        while (at < size && data[at] == 0xff) {
            ++at;
        }
        if (at >= size) {
            return upright;
        }
        const uint8_t marker = data[at++];
        const bool standalone = marker == 0x01 || (marker >= 0xd0 && marker <= 0xd8);
        if (standalone) {
            continue;
        }
        if (marker == 0xda || marker == 0xd9 || size - at < 2) {
            return upright; // start of scan or end of image: no Exif block before the pixels
        }
        const size_t length = static_cast<size_t>(data[at]) << 8 | data[at + 1];
        if (length < 2 || length > size - at) {
            return upright;
        }
        const uint8_t* body = data + at + 2;
        const size_t bodySize = length - 2;
        if (marker == 0xe1 && bodySize >= 6 && std::memcmp(body, "Exif\0\0", 6) == 0) {
            return tiffOrientation(body + 6, bodySize - 6);
        }
        at += length;
    }
    return upright;
}

} // namespace glowfield
