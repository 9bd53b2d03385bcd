// The seed corpus of the picture fuzzer: real .bmp files of every shape the loader meets, and small .png and
// .jpg files. Each is loaded here (sizes must stay in range); with GLOWFIELD_FUZZ_CORPUS set, the files are
// also written to that folder.
#include <cstdlib>
#include <filesystem>

#include "field/field.h"
#include "field/picture.h"
#include "picture_files.h"
#include "test_support.h"

namespace glowfield::test {
namespace {

struct CorpusEntry {
    const char* name;
    int32_t width;
    int32_t height;
    uint16_t bitCount;
    uint32_t infoHeaderSize;
    size_t truncate;
    int64_t storedRows;
};

const CorpusEntry corpus[] = {
    {"rgb24-info40.bmp", 13, 9, 24, 40, 0, -1},  {"rgb24-info108.bmp", 7, 5, 24, 108, 0, -1},
    {"rgb24-info124.bmp", 6, 6, 24, 124, 0, -1}, {"rgb8.bmp", 16, 8, 8, 40, 0, -1},
    {"rgb16.bmp", 10, 10, 16, 40, 0, -1},        {"rgb32.bmp", 9, 7, 32, 40, 0, -1},
    {"top-down.bmp", 12, -8, 24, 40, 0, -1},     {"wide.bmp", 1700, 2, 24, 40, 0, -1},
    {"tall.bmp", 1, 1300, 24, 40, 0, -1},        {"negative-width.bmp", -4, 6, 24, 40, 0, -1},
    {"truncated.bmp", 20, 20, 24, 40, 700, -1},  {"huge-claims.bmp", 2000000000, 2000000000, 24, 40, 0, 0},
    {"three-wide.bmp", 3, 64, 24, 40, 0, -1},
};

BmpLayout specOf(const CorpusEntry& entry) {
    BmpLayout layout;
    layout.width = entry.width;
    layout.height = entry.height;
    layout.bitCount = entry.bitCount;
    layout.infoHeaderSize = entry.infoHeaderSize;
    layout.truncate = entry.truncate;
    layout.storedRows = entry.storedRows;
    layout.colour = [](int l, int k) {
        return static_cast<uint32_t>(l & 0xff) << 16 | static_cast<uint32_t>(k & 0xff) << 8 | 0x40u;
    };
    return layout;
}

// Small compressed pictures, JPEGs with an Exif orientation in either byte order.
struct CompressedEntry {
    const char* name;
    int width;
    int height;
    int orientation;
};

const CompressedEntry compressedCorpus[] = {{"rgb.png", 13, 9, 0},
                                            {"exif6-big-endian.jpg", 16, 12, 6},
                                            {"exif3.jpg", 9, 17, 3},
                                            {"plain.jpeg", 8, 8, 0}};

void writeCompressed(const std::string& path, const CompressedEntry& entry) {
    const auto colour = [](int c, int r) {
        return static_cast<uint32_t>(c * 20) << 16 | static_cast<uint32_t>(r * 9);
    };
    if (path.ends_with(".png")) {
        writePng(path, entry.width, entry.height, colour);
    } else {
        writeJpeg(path, entry.width, entry.height, colour, entry.orientation, entry.orientation == 6);
    }
}

using PictureCorpus = StateTest;

TEST_F(PictureCorpus, EverySeedLoadsWithSizesInRange) {
    const char* out = std::getenv("GLOWFIELD_FUZZ_CORPUS");
    if (out) {
        std::filesystem::create_directories(out);
    }
    const auto loadAndKeep = [out](const TempDir& folder, const std::string& name) {
        setPictureDirectory(folder.path());
        field.gridSize = 8; // as the fuzzer does: small files are candidates too
        loadRandomPicture();
        EXPECT_GE(picture.pictureWidth, 0) << name;
        EXPECT_LE(picture.pictureWidth, pictureColumns) << name;
        EXPECT_GE(picture.pictureHeight, 0) << name;
        EXPECT_LE(picture.pictureHeight, pictureRows) << name;
        if (out) {
            std::filesystem::copy_file(folder.file(name), std::string(out) + "/" + name,
                                       std::filesystem::copy_options::overwrite_existing);
        }
    };
    for (const CorpusEntry& entry : corpus) {
        TempDir folder;
        writeBmp(folder.file(entry.name), specOf(entry));
        loadAndKeep(folder, entry.name);
    }
    for (const CompressedEntry& entry : compressedCorpus) {
        TempDir folder;
        writeCompressed(folder.file(entry.name), entry);
        loadAndKeep(folder, entry.name);
        EXPECT_GT(picture.pictureWidth, 0) << entry.name;
    }
}

} // namespace
} // namespace glowfield::test
