// .png and .jpg pictures decoded in memory with stb_image and unpacked into the picture planes exactly as a
// .bmp of the same image would be: the same cropping, the same way up.
#include "field/picture_decode.h"

#include <stb_image.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "field/exif_orientation.h"
#include "field/picture.h"

namespace glowfield {

namespace {

bool isPng(const uint8_t* bytes, size_t size) {
    static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    return size >= sizeof signature && std::memcmp(bytes, signature, sizeof signature) == 0;
}

bool isJpeg(const uint8_t* bytes, size_t size) {
    return size >= 3 && bytes[0] == 0xff && bytes[1] == 0xd8 && bytes[2] == 0xff;
}

struct ImageFree {
    void operator()(stbi_uc* pixels) const { stbi_image_free(pixels); }
};

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
void fillPlanes(const stbi_uc* rgb, const UprightMap& map) {
    picture.pictureWidth = std::min(map.width, pictureColumns);
    picture.pictureHeight = std::min(map.height, pictureRows);
    const int width = picture.pictureWidth;
    for (int k = 1; k < picture.pictureHeight; ++k) {
        const int64_t row = map.origin + (map.height - 1 - k) * map.perRow;
        for (int l = 0; l < width; ++l) {
            const stbi_uc* pixel = rgb + 3 * (row + l * map.perColumn);
            const int sample = pictureAt(width - 1 - l, k);
            picture.pictureRed[sample] = pixel[0];
            picture.pictureGreen[sample] = pixel[1];
            picture.pictureBlue[sample] = pixel[2];
        }
    }
}

} // namespace

bool unpackCompressedPicture(const uint8_t* bytes, size_t size, int64_t minimumPixels) {
    const bool jpeg = isJpeg(bytes, size);
    if ((!jpeg && !isPng(bytes, size)) || size > static_cast<size_t>(INT32_MAX)) {
        return false; // other formats stb_image knows are not offered to it
    }
    const int length = static_cast<int>(size);
    int width = 0, height = 0, channels = 0;
    if (!stbi_info_from_memory(bytes, length, &width, &height, &channels) || width <= 0 || height <= 0) {
        return false;
    }
    const int64_t pixels = static_cast<int64_t>(width) * height;
    if (width > maximumDecodedSide || height > maximumDecodedSide || pixels > maximumDecodedPixels ||
        pixels < minimumPixels) {
        return false;
    }
    int decodedWidth = 0, decodedHeight = 0;
    const std::unique_ptr<stbi_uc, ImageFree> rgb(
        stbi_load_from_memory(bytes, length, &decodedWidth, &decodedHeight, &channels, 3));
    if (!rgb || decodedWidth != width || decodedHeight != height) {
        return false;
    }
    const int orientation = jpeg ? jpegExifOrientation(bytes, size) : 1;
    fillPlanes(rgb.get(), uprightMap(width, height, orientation));
    return true;
}

} // namespace glowfield
