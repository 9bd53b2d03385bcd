// .png and .jpg pictures decoded in memory (libpng row by row, TurboJPEG at a reduced scale) and fitted to
// the screen, then unpacked into the picture planes the way a .bmp of the same image would be.
#include "field/picture_decode.h"

#include <png.h>
#include <turbojpeg.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <memory>
#include <vector>

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

// The header's sizes are checked before any pixel memory is taken.
bool acceptableSize(int64_t width, int64_t height, int minimumSide) {
    return width >= std::max(minimumSide, 1) && height >= std::max(minimumSide, 1) &&
           width <= maximumDecodedSide && height <= maximumDecodedSide &&
           width * height <= maximumDecodedPixels;
}

// --- PNG -------------------------------------------------------------------------------------------------

struct PngSource {
    const uint8_t* bytes;
    size_t size;
    size_t at;
};

void readPngBytes(png_structp png, png_bytep out, png_size_t length) {
    auto* source = static_cast<PngSource*>(png_get_io_ptr(png));
    if (length > source->size - source->at) {
        png_error(png, "truncated");
    }
    std::memcpy(out, source->bytes + source->at, length);
    source->at += length;
}

void ignorePngWarning(png_structp, png_const_charp) {}

// Transparent pixels are laid over black.
void toRgb(const uint8_t* from, int width, int channels, uint8_t* to) {
    for (int i = 0; i < width; ++i, from += channels, to += 3) {
        if (channels == 4) {
            const unsigned alpha = from[3];
            for (int c = 0; c < 3; ++c) {
                to[c] = static_cast<uint8_t>((from[c] * alpha + 127) / 255);
            }
        } else {
            std::memcpy(to, from, 3);
        }
    }
}

struct PngJob {
    png_structp png = nullptr;
    png_infop info = nullptr;
    int minimumSide = 0;
    std::vector<uint8_t> row;   // as libpng gives it, 3 or 4 bytes a pixel
    std::vector<uint8_t> rgb;   // the same row in RGB
    std::vector<uint8_t> whole; // an interlaced picture, until its last pass
    std::unique_ptr<BoxScaler> scaler;
    std::optional<FittedPicture> fitted;
};

// Everything that may end in png_error, which jumps back to readPng's setjmp: only job's members, which
// outlive the jump, hold memory.
void readPngRows(PngJob& job) {
    png_structp png = job.png;
    png_read_info(png, job.info);
    const png_uint_32 width = png_get_image_width(png, job.info);
    const png_uint_32 height = png_get_image_height(png, job.info);
    if (!acceptableSize(width, height, job.minimumSide)) {
        return;
    }
    const bool interlaced = png_get_interlace_type(png, job.info) != PNG_INTERLACE_NONE;
    if (interlaced && static_cast<int64_t>(width) * height > maximumInterlacedPixels) {
        return;
    }
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, job.info);
    const int channels = png_get_channels(png, job.info);
    if (channels != 3 && channels != 4) {
        return;
    }
    const PictureCrop crop = coverCrop(static_cast<int>(width), static_cast<int>(height));
    const PictureCrop out = fittedSize(crop);
    job.scaler = std::make_unique<BoxScaler>(crop.width, crop.height, out.width, out.height);
    const size_t rowBytes = static_cast<size_t>(width) * channels;
    job.rgb.resize(3 * static_cast<size_t>(width));
    if (interlaced) {
        job.whole.resize(rowBytes * height);
        for (int pass = 0; pass < passes; ++pass) {
            for (png_uint_32 r = 0; r < height; ++r) {
                png_read_row(png, job.whole.data() + r * rowBytes, nullptr);
            }
        }
    } else {
        job.row.resize(rowBytes);
    }
    // Rows below the crop are never decoded.
    const png_uint_32 last = static_cast<png_uint_32>(crop.y + crop.height);
    for (png_uint_32 r = 0; r < last; ++r) {
        const uint8_t* row = job.row.data();
        if (interlaced) {
            row = job.whole.data() + r * rowBytes;
        } else {
            png_read_row(png, job.row.data(), nullptr);
        }
        if (r >= static_cast<png_uint_32>(crop.y)) {
            toRgb(row, static_cast<int>(width), channels, job.rgb.data());
            job.scaler->addRow(job.rgb.data() + 3 * static_cast<size_t>(crop.x));
        }
    }
    job.fitted = job.scaler->finish();
}

std::optional<FittedPicture> decodePng(const uint8_t* bytes, size_t size, int minimumSide) {
    PngSource source{bytes, size, 0};
    PngJob job;
    job.minimumSide = minimumSide;
    job.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, ignorePngWarning);
    if (!job.png) {
        return std::nullopt;
    }
    job.info = png_create_info_struct(job.png);
    if (job.info && setjmp(png_jmpbuf(job.png)) == 0) {
        png_set_read_fn(job.png, &source, readPngBytes);
        readPngRows(job);
    } else {
        job.fitted.reset(); // a broken or truncated file gives nothing
    }
    png_destroy_read_struct(&job.png, job.info ? &job.info : nullptr, nullptr);
    return std::move(job.fitted);
}

// --- JPEG ------------------------------------------------------------------------------------------------

struct TurboJpegCloser {
    void operator()(void* handle) const { tjDestroy(handle); }
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

bool transposes(int orientation) {
    return orientation >= 5 && orientation <= 8;
}

// The smallest of TurboJPEG's scales (n/8, never above 1) at which the upright picture's crop still holds the
// fitted size, so that no more pixels are decoded than the screen can show.
tjscalingfactor smallestScale(int width, int height, int orientation, const PictureCrop& out) {
    int count = 0;
    const tjscalingfactor* factors = tjGetScalingFactors(&count);
    tjscalingfactor best{1, 1};
    int64_t bestPixels = static_cast<int64_t>(width) * height;
    for (int i = 0; factors && i < count; ++i) {
        const tjscalingfactor f = factors[i];
        if (f.num > f.denom) {
            continue;
        }
        const int w = TJSCALED(width, f), h = TJSCALED(height, f);
        const PictureCrop crop = transposes(orientation) ? coverCrop(h, w) : coverCrop(w, h);
        const int64_t pixels = static_cast<int64_t>(w) * h;
        if (crop.width >= out.width && crop.height >= out.height && pixels < bestPixels) {
            best = f;
            bestPixels = pixels;
        }
    }
    return best;
}

// CMYK as JPEG files store it (Adobe's inverted samples, 255 meaning no ink) turned into light.
void cmykToRgb(std::vector<uint8_t>& pixels, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        const unsigned c = pixels[4 * i], m = pixels[4 * i + 1], y = pixels[4 * i + 2], k = pixels[4 * i + 3];
        pixels[3 * i] = static_cast<uint8_t>((c * k + 127) / 255);
        pixels[3 * i + 1] = static_cast<uint8_t>((m * k + 127) / 255);
        pixels[3 * i + 2] = static_cast<uint8_t>((y * k + 127) / 255);
    }
    pixels.resize(3 * count);
}

std::optional<FittedPicture> decodeJpeg(const uint8_t* bytes, size_t size, int minimumSide) {
    const std::unique_ptr<void, TurboJpegCloser> handle(tjInitDecompress());
    int width = 0, height = 0, subsampling = 0, colourSpace = 0;
    if (!handle ||
        tjDecompressHeader3(handle.get(), bytes, size, &width, &height, &subsampling, &colourSpace) != 0 ||
        !acceptableSize(width, height, minimumSide)) {
        return std::nullopt;
    }
    const int orientation = jpegExifOrientation(bytes, size);
    const PictureCrop out =
        fittedSize(transposes(orientation) ? coverCrop(height, width) : coverCrop(width, height));
    const tjscalingfactor scale = smallestScale(width, height, orientation, out);
    const int storedWidth = TJSCALED(width, scale), storedHeight = TJSCALED(height, scale);
    const bool cmyk = colourSpace == TJCS_CMYK || colourSpace == TJCS_YCCK;
    const size_t count = static_cast<size_t>(storedWidth) * storedHeight;
    std::vector<uint8_t> pixels(count * (cmyk ? 4 : 3));
    // The accurate transform whatever the library's default, and no endless progressive scans. A warning
    // (a truncated or slightly damaged file) still leaves a picture, as a short .bmp does.
    const int flags = TJFLAG_ACCURATEDCT | TJFLAG_LIMITSCANS;
    if (tjDecompress2(handle.get(), bytes, size, pixels.data(), storedWidth, 0, storedHeight,
                      cmyk ? TJPF_CMYK : TJPF_RGB, flags) != 0 &&
        tjGetErrorCode(handle.get()) != TJERR_WARNING) {
        return std::nullopt;
    }
    if (cmyk) {
        cmykToRgb(pixels, count);
    }
    const UprightMap map = uprightMap(storedWidth, storedHeight, orientation);
    const PictureCrop crop = coverCrop(map.width, map.height);
    BoxScaler scaler(crop.width, crop.height, out.width, out.height);
    std::vector<uint8_t> row(3 * static_cast<size_t>(crop.width));
    for (int r = crop.y; r < crop.y + crop.height; ++r) {
        for (int c = 0; c < crop.width; ++c) {
            const uint8_t* pixel = &pixels[3 * (map.origin + (crop.x + c) * map.perColumn + r * map.perRow)];
            std::memcpy(&row[3 * static_cast<size_t>(c)], pixel, 3);
        }
        scaler.addRow(row.data());
    }
    return scaler.finish();
}

} // namespace

std::optional<FittedPicture> decodeCompressedPicture(const uint8_t* bytes, size_t size, int minimumSide) {
    // The content decides, whatever the name says; no other format is offered to a decoder.
    if (isJpeg(bytes, size)) {
        return decodeJpeg(bytes, size, minimumSide);
    }
    if (isPng(bytes, size)) {
        return decodePng(bytes, size, minimumSide);
    }
    return std::nullopt;
}

} // namespace glowfield
