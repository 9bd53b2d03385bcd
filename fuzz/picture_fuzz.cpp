// libFuzzer target: arbitrary bytes as the only picture file of the picture folder, loaded by
// loadRandomPicture(), then the picture effect's reads of the planes at the extremes of its sampling walk.
// Bytes that start like a PNG or JPEG file are named .png or .jpg, so the decoder and the Exif reader get
// them; all others are named .bmp.
// The candidate threshold is gridSize^2 x 3 bytes, so the load runs with a small grid to let short inputs
// through; the reads use the full 200-cell grid, as the effect does.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "field/field.h"
#include "field/numeric.h"
#include "field/picture.h"

namespace {

std::string folder;
const char* const names[] = {"/input.bmp", "/input.png", "/input.jpg"};

void prepareFolder() {
    // In memory where the system has it: the loader lists and opens the folder on every input.
    char pattern[] = "/dev/shm/glowfield-fuzz-XXXXXX";
    const char* made = mkdtemp(pattern);
    if (!made) {
        std::abort();
    }
    folder = made;
    glowfield::setPictureDirectory(folder);
    std::atexit([] {
        for (const char* name : names) {
            std::remove((folder + name).c_str());
        }
        rmdir(folder.c_str());
    });
}

// Sample reads of the relief effect: u and v run from 1 to just below gridSize, the picture cell is
// trunc(size * u / gridSize).
uint32_t readLikeTheReliefEffect() {
    using namespace glowfield;
    const int n = 200;
    uint32_t sum = 0;
    for (double u : {1.0, 100.0, n - 1.0, n - 1.0 + 0.998}) {
        for (double v : {1.0, 57.5, n - 1.0, n - 1.0 + 0.998}) {
            const int px = truncToInt(picture.pictureWidth * u / n);
            const int py = truncToInt(picture.pictureHeight * v / n);
            if (px < 0 || px >= pictureColumns || py < 0 || py >= pictureRows) {
                std::abort();
            }
            const int at = pictureAt(px, py);
            sum += picture.pictureBlue[at] + picture.pictureGreen[at] + picture.pictureRed[at];
        }
    }
    return sum;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace glowfield;
    if (folder.empty()) {
        prepareFolder();
    }
    const bool png = size >= 4 && data[0] == 0x89 && data[1] == 'P' && data[2] == 'N' && data[3] == 'G';
    const bool jpeg = size >= 2 && data[0] == 0xff && data[1] == 0xd8;
    const std::string path = folder + names[png ? 1 : jpeg ? 2 : 0];
    for (const char* name : names) {
        std::remove((folder + name).c_str());
    }
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        return 0;
    }
    std::fwrite(data, 1, size, f);
    std::fclose(f);

    field.gridSize = 8;
    loadRandomPicture();
    field.gridSize = 200;
    if (picture.pictureWidth < 0 || picture.pictureWidth > pictureColumns || picture.pictureHeight < 0 ||
        picture.pictureHeight > pictureRows) {
        std::abort();
    }
    volatile uint32_t sink = readLikeTheReliefEffect();
    (void)sink;
    return 0;
}
