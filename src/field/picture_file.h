// One chosen picture file read into memory, off the planes, so that reading it can happen on a thread of its
// own while the frames go on; laying it into the planes is quick and happens on the frame thread.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "field/picture_decode.h"
#include "field/picture_listing.h"

namespace glowfield {

struct PictureFile {
    // A .bmp: the sizes of a header that passed the "BM" test (set even when the bit count is refused), then
    // blue, green, red of the samples in the order the loader writes them, as far as the file holds them.
    bool bmpHeader = false;
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> bmpSamples;
    // A .png or .jpg that decoded.
    std::optional<FittedPicture> fitted;
};

// Reads a listed file as it is now: nothing when it has gone, is no longer a regular file or does not decode.
PictureFile readPictureFile(const PictureCandidate& chosen, int minimumSide);

// Unpacks a fitted picture into the planes as the .bmp loader would unpack the same image.
void fillPlanes(const FittedPicture& fitted);

// Lays what was read into the planes and sizes; nothing read changes nothing.
void applyPictureFile(const PictureFile& file);

} // namespace glowfield
