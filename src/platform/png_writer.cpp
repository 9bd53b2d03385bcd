#include "platform/png_writer.h"

#include <bit>
#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <png.h>

#include "platform/atomic_file.h"
#include "platform/memory_surface.h"

namespace glowfield {

namespace {

uint8_t channelOf(uint32_t pixel, uint32_t mask) {
    if (mask == 0) {
        return 0;
    }
    const uint32_t value = (pixel & mask) >> std::countr_zero(mask);
    const int bits = std::popcount(mask);
    if (bits >= 8) {
        return static_cast<uint8_t>(value >> (bits - 8));
    }
    // Spread a narrow channel over the full 0..255 range.
    return static_cast<uint8_t>(value * 255 / ((1u << bits) - 1));
}

} // namespace

std::vector<uint8_t> surfaceToRgb(const MemorySurface& surface) {
    std::vector<uint8_t> rgb(static_cast<size_t>(surface.width()) * surface.height() * 3);
    const PixelFormat& format = surface.format();
    size_t at = 0;
    for (int y = 0; y < surface.height(); ++y) {
        for (int x = 0; x < surface.width(); ++x) {
            const uint32_t pixel = surface.pixelAt(x, y);
            rgb[at++] = channelOf(pixel, format.redMask);
            rgb[at++] = channelOf(pixel, format.greenMask);
            rgb[at++] = channelOf(pixel, format.blueMask);
        }
    }
    return rgb;
}

namespace {

void appendToBuffer(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void flushNothing(png_structp) {}

} // namespace

bool encodeRgbPng(int width, int height, const std::vector<uint8_t>& rgb, std::vector<uint8_t>& out,
                  std::string& error) {
    if (width <= 0 || height <= 0 || rgb.size() < static_cast<size_t>(width) * height * 3) {
        error = "no picture to write";
        return false;
    }
    out.clear();
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info) {
        png_destroy_write_struct(&png, nullptr);
        error = "out of memory encoding a picture";
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        error = "cannot encode the picture";
        return false;
    }
    png_set_write_fn(png, &out, appendToBuffer, flushNothing);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) {
        png_write_row(png, const_cast<png_bytep>(rgb.data() + static_cast<size_t>(y) * width * 3));
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

bool writeRgbPng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb,
                 std::string& error) {
    std::vector<uint8_t> bytes;
    if (!encodeRgbPng(width, height, rgb, bytes, error)) {
        error = "cannot write " + path + ": " + error;
        return false;
    }
    return writeFileAtomically(path, bytes, error);
}

bool writeSurfacePng(const std::string& path, const MemorySurface& surface, std::string& error) {
    return writeRgbPng(path, surface.width(), surface.height(), surfaceToRgb(surface), error);
}

} // namespace glowfield
