// The picture files of a folder that a load may choose from, listed once per load in name order.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace glowfield {

enum class PictureFormat {
    bmp,        // read row by row from the file, as far as the planes reach
    compressed, // .png or .jpg/.jpeg: read whole and decoded in memory
};

// Compressed files are read into memory whole, so larger ones are not candidates.
inline constexpr uint64_t maximumCompressedFileBytes = 64u << 20;

struct PictureCandidate {
    std::string path;
    uint64_t size = 0;
    PictureFormat format = PictureFormat::bmp;
};

// The format that a file name's extension (.bmp, .png, .jpg, .jpeg in any case) announces, if any.
std::optional<PictureFormat> pictureFormatOf(std::string_view name);

// The entries that are not directories and have a picture extension, sorted by path so that a draw selects
// the same file on every machine. A .bmp must be larger than bmpMinimumBytes (a full grid of 24-bit pixels);
// a compressed file must be non-empty and at most maximumCompressedFileBytes, its pixel count being checked
// when it is decoded.
std::vector<PictureCandidate> listPictureCandidates(const std::string& folder, uint64_t bmpMinimumBytes);

} // namespace glowfield
