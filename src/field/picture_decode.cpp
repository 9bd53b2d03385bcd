// .png and .jpg pictures decoded in memory (libpng's simplified reader, TurboJPEG) and unpacked into the
// picture planes exactly as a .bmp of the same image would be: the same cropping, the same way up.
#include "field/picture_decode.h"

#include <png.h>
#include <turbojpeg.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include "field/exif_orientation.h"
#include "field/picture.h"

namespace glowfield {

namespace {

struct DecodedPicture {
    std::vector<uint8_t> rgb; // top-down rows of red, green, blue bytes
    int width = 0;
    int height = 0;
};

bool isPng(const uint8_t* bytes, size_t size) {
    static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    return size >= sizeof signature && std::memcmp(bytes, signature, sizeof signature) == 0;
}

bool isJpeg(const uint8_t* bytes, size_t size) {
    return size >= 3 && bytes[0] == 0xff && bytes[1] == 0xd8 && bytes[2] == 0xff;
}

// The header's sizes are checked before any pixel memory is taken.
bool acceptableSize(int64_t width, int64_t height, int64_t minimumPixels) {
    return width > 0 && height > 0 && width <= maximumDecodedSide && height <= maximumDecodedSide &&
           width * height <= maximumDecodedPixels && width * height >= minimumPixels;
}

std::optional<DecodedPicture> decodePng(const uint8_t* bytes, size_t size, int64_t minimumPixels) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes, size)) {
        return std::nullopt;
    }
    if (!acceptableSize(image.width, image.height, minimumPixels)) {
        png_image_free(&image);
        return std::nullopt;
    }
    // Transparent pixels are laid over the zeroed buffer, that is over black.
    image.format = PNG_FORMAT_RGB;
    DecodedPicture decoded{std::vector<uint8_t>(PNG_IMAGE_SIZE(image)), static_cast<int>(image.width),
                           static_cast<int>(image.height)};
    if (!png_image_finish_read(&image, nullptr, decoded.rgb.data(), 0, nullptr)) {
        return std::nullopt; // the reader has freed its state
    }
    return decoded;
}

struct TurboJpegCloser {
    void operator()(void* handle) const { tjDestroy(handle); }
};

std::optional<DecodedPicture> decodeJpeg(const uint8_t* bytes, size_t size, int64_t minimumPixels) {
    const std::unique_ptr<void, TurboJpegCloser> handle(tjInitDecompress());
    int width = 0, height = 0, subsampling = 0, colourSpace = 0;
    if (!handle ||
        tjDecompressHeader3(handle.get(), bytes, size, &width, &height, &subsampling, &colourSpace) != 0 ||
        !acceptableSize(width, height, minimumPixels)) {
        return std::nullopt;
    }
    DecodedPicture decoded{std::vector<uint8_t>(static_cast<size_t>(width) * height * 3), width, height};
    // The accurate transform whatever the library's default, and no endless progressive scans. A warning
    // (a truncated or slightly damaged file) still leaves a picture, as a short .bmp does.
    const int flags = TJFLAG_ACCURATEDCT | TJFLAG_LIMITSCANS;
    if (tjDecompress2(handle.get(), bytes, size, decoded.rgb.data(), width, 0, height, TJPF_RGB, flags) !=
            0 &&
        tjGetErrorCode(handle.get()) != TJERR_WARNING) {
        return std::nullopt;
    }
    return decoded;
}

// Where the upright picture's pixels are in the decoded one: upright (c, r) is stored pixel
// origin + c * perColumn + r * perRow, counted in pixels.
struct UprightMap {
    int width = 0;  // of the upright picture
    int height = 0; //
    int64_t origin = 0;
    int64_t perColumn = 1;
    int64_t perRow = 0;
};

// The Exif orientation says where the stored rows and columns belong when shown. Upright column c and row r
// come from stored column a and row b, (a, b) being (c, r), or (r, c) for a transposed orientation, each
// counted from the far side when mirrored: 2 and 4 mirror, 3 is half a turn, 6 a camera held turned
// clockwise, 8 anticlockwise, 5 and 7 turns with a mirror.
UprightMap uprightMap(int storedWidth, int storedHeight, int orientation) {
    struct Layout {
        bool transposed, mirroredColumns, mirroredRows;
    };
    static constexpr Layout layouts[9] = {{false, false, false}, {false, false, false}, {false, true, false},
                                          {false, true, true},   {false, false, true},  {true, false, false},
                                          {true, false, true},   {true, true, true},    {true, true, false}};
    const Layout layout = layouts[orientation >= 1 && orientation <= 8 ? orientation : 1];
    const int64_t w = storedWidth;
    const int64_t h = storedHeight;
    const int64_t columnStep = layout.mirroredColumns ? -1 : 1;
    const int64_t rowStep = layout.mirroredRows ? -w : w;
    UprightMap map;
    map.width = layout.transposed ? storedHeight : storedWidth;
    map.height = layout.transposed ? storedWidth : storedHeight;
    map.origin = (layout.mirroredRows ? (h - 1) * w : 0) + (layout.mirroredColumns ? w - 1 : 0);
    map.perColumn = layout.transposed ? rowStep : columnStep;
    map.perRow = layout.transposed ? columnStep : rowStep;
    return map;
}

// The planes as the .bmp loader fills them from the same picture stored bottom-up: plane row k holds the
// k-th row from the bottom (row 0 is skipped), plane column X the column width - 1 - X from the left, and
// only the bottom-left 1600 x 1200 pixels of a larger picture.
void fillPlanes(const uint8_t* rgb, const UprightMap& map) {
    picture.pictureWidth = std::min(map.width, pictureColumns);
    picture.pictureHeight = std::min(map.height, pictureRows);
    const int width = picture.pictureWidth;
    for (int k = 1; k < picture.pictureHeight; ++k) {
        const int64_t row = map.origin + (map.height - 1 - k) * map.perRow;
        for (int l = 0; l < width; ++l) {
            const uint8_t* pixel = rgb + 3 * (row + l * map.perColumn);
            const int sample = pictureAt(width - 1 - l, k);
            picture.pictureRed[sample] = pixel[0];
            picture.pictureGreen[sample] = pixel[1];
            picture.pictureBlue[sample] = pixel[2];
        }
    }
}

} // namespace

bool unpackCompressedPicture(const uint8_t* bytes, size_t size, int64_t minimumPixels) {
    // The content decides, whatever the name says; no other format is offered to a decoder.
    const bool jpeg = isJpeg(bytes, size);
    const std::optional<DecodedPicture> decoded = jpeg ? decodeJpeg(bytes, size, minimumPixels)
                                                  : isPng(bytes, size) ? decodePng(bytes, size, minimumPixels)
                                                                       : std::nullopt;
    if (!decoded) {
        return false;
    }
    const int orientation = jpeg ? jpegExifOrientation(bytes, size) : 1;
    fillPlanes(decoded->rgb.data(), uprightMap(decoded->width, decoded->height, orientation));
    return true;
}

} // namespace glowfield
