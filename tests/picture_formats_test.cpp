// The picture loader on .png and .jpg files written by the tests: the same planes as a .bmp of the same
// image, photos turned upright by their Exif orientation, and broken or oversized files skipped.
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include "field/exif_orientation.h"
#include "field/field.h"
#include "field/picture.h"
#include "field/picture_listing.h"
#include "picture_files.h"
#include "test_support.h"

namespace glowfield::test {
namespace {

using PictureFormatTest = StateTest;

// Loads the only file of a fresh folder into fresh planes.
void loadAlone(const std::function<void(const std::string& path)>& write, const std::string& name) {
    TempDir folder;
    write(folder.file(name));
    resetPictureState();
    setPictureDirectory(folder.path());
    loadRandomPicture();
}

std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

uint32_t sampleAt(int x, int y) {
    const int at = pictureAt(x, y);
    return uint32_t(picture.pictureRed[at]) << 16 | uint32_t(picture.pictureGreen[at]) << 8 |
           picture.pictureBlue[at];
}

uint32_t pattern(int l, int k) {
    return uint32_t((l * 7 + k) & 0xff) << 16 | uint32_t((k * 3) & 0xff) << 8 | uint32_t((l + 2 * k) & 0xff);
}

TEST_F(PictureFormatTest, PngFillsThePlanesExactlyAsTheSameImageStoredAsBmp) {
    field.gridSize = 200;
    // Plain, wider than the planes, taller than the planes: the same rows, columns and cropping.
    for (auto [width, height] : {std::pair{300, 200}, {1700, 30}, {100, 1300}}) {
        BmpLayout layout;
        layout.width = width;
        layout.height = height;
        layout.colour = pattern; // rows counted from the bottom, as a .bmp stores them
        loadAlone([&](const std::string& path) { writeBmp(path, layout); }, "same.bmp");
        const auto fromBmp = std::make_unique<PictureStore>(picture); // too large for the stack
        const int h = height;
        loadAlone(
            [&](const std::string& path) {
                writePng(path, width, h, [h](int c, int r) { return pattern(c, h - 1 - r); });
            },
            "same.png");
        ASSERT_GT(picture.pictureWidth, 0);
        EXPECT_EQ(std::memcmp(&picture, fromBmp.get(), sizeof picture), 0) << width << "x" << height;
    }
}

TEST_F(PictureFormatTest, JpegIsTurnedUprightByItsExifOrientation) {
    // Seen upright, a 64 x 32 photo of four quadrants. Each orientation stores them (top-left, top-right,
    // bottom-left, bottom-right of the stored picture) by the tag's meaning: which sides of the view the
    // stored first row and first column show. 5 to 8 store the picture 32 wide and 64 high.
    const uint32_t R = 0xff0000, G = 0x00ff00, B = 0x0000ff, W = 0xffffff, seen[4] = {R, G, B, W};
    const uint32_t stored[9][4] = {{},           {R, G, B, W}, {G, R, W, B}, {W, B, G, R}, {B, W, R, G},
                                   {R, B, G, W}, {G, W, R, B}, {W, G, B, R}, {B, R, W, G}};
    field.gridSize = 8; // a small photo is enough here
    for (int orientation = 1; orientation <= 8; ++orientation) {
        const int width = orientation >= 5 ? 32 : 64, height = orientation >= 5 ? 64 : 32;
        const uint32_t* quadrant = stored[orientation];
        auto colour = [&](int c, int r) { return quadrant[(r >= height / 2) * 2 + (c >= width / 2)]; };
        loadAlone(
            [&](const std::string& path) {
                writeJpeg(path, width, height, colour, orientation, orientation % 2);
            },
            "photo.jpg");
        ASSERT_EQ(picture.pictureWidth, 64) << orientation;
        ASSERT_EQ(picture.pictureHeight, 32) << orientation;
        for (int q = 0; q < 4; ++q) {
            // The middle of quadrant q seen at (c, r) lands where a .bmp puts it: plane (63 - c, 31 - r).
            const uint32_t got = sampleAt(63 - (16 + 32 * (q % 2)), 31 - (8 + 16 * (q / 2)));
            for (int shift : {0, 8, 16}) {
                EXPECT_NEAR(int(got >> shift & 0xff), int(seen[q] >> shift & 0xff), 12)
                    << "orientation " << orientation << ", quadrant " << q;
            }
        }
    }

    // A damaged Exif block means upright; every read stays inside the file.
    TempDir folder;
    writeJpeg(folder.file("six.jpg"), 16, 16, pattern, 6);
    const std::string six = bytesOf(folder.file("six.jpg"));
    auto with = [&](std::initializer_list<std::pair<size_t, uint8_t>> edits, size_t size = SIZE_MAX) {
        std::string bytes = six;
        for (auto [at, value] : edits) {
            bytes[at] = static_cast<char>(value);
        }
        return jpegExifOrientation(reinterpret_cast<const uint8_t*>(bytes.data()),
                                   std::min(size, bytes.size()));
    };
    EXPECT_EQ(with({}), 6);
    EXPECT_EQ(with({{16, 200}}), 1);            // directory offset past the block
    EXPECT_EQ(with({{20, 30}, {22, 0x13}}), 1); // more entries than the block holds, none the orientation
    EXPECT_EQ(with({{24, 4}}), 1);              // not a SHORT
    EXPECT_EQ(with({{30, 9}}), 1);              // no such orientation
    EXPECT_EQ(with({{5, 250}}, 200), 1);        // segment longer than the file
    EXPECT_EQ(with({{12, 'M'}, {13, 'M'}}), 1); // read big-endian, the directory offset is far out
    for (size_t cut = 0; cut < 40; ++cut) {
        EXPECT_EQ(with({}, cut), cut >= 38 ? 6 : 1) << cut;
    }
}

TEST_F(PictureFormatTest, BrokenOversizedAndTinyFilesChangeNothing) {
    field.gridSize = 200;
    TempDir folder;
    writePng(folder.file("good.png"), 256, 256, pattern);
    const std::string png = bytesOf(folder.file("good.png"));
    auto withSize = [&](uint32_t width,
                        uint32_t height) { // the header's sizes, big-endian at bytes 16 and 20
        std::string bytes = png;
        for (int i = 0; i < 4; ++i) {
            bytes[16 + i] = static_cast<char>(width >> (24 - 8 * i));
            bytes[20 + i] = static_cast<char>(height >> (24 - 8 * i));
        }
        return bytes;
    };
    const std::pair<const char*, std::string> files[] = {
        {"truncated.png", png.substr(0, png.size() / 2)},
        {"too-wide.png", withSize(20000, 100)},
        {"too-many-pixels.png", withSize(10000, 6000)},
        {"fewer-pixels-than-the-grid.png", withSize(199, 200)},
        {"not-a-picture.jpg", "\xff\xd8\xff" + std::string(5000, '\x13')},
        {"gif-inside.png", "GIF89a" + png.substr(6)},
    };
    for (const auto& [name, bytes] : files) {
        loadAlone([&](const std::string& path) { std::ofstream(path, std::ios::binary) << bytes; }, name);
        EXPECT_EQ(picture.pictureWidth, 0) << name;
        EXPECT_EQ(picture.pictureHeight, 0) << name;
        EXPECT_EQ(sampleAt(5, 5), 0u) << name;
    }
}

TEST_F(PictureFormatTest, ExtensionsAreMatchedWithoutRegardToCase) {
    for (const char* name : {"a.png", "b.PNG", "c.jpg", "d.JpEg", "e.JPG"}) {
        EXPECT_EQ(pictureFormatOf(name), PictureFormat::compressed) << name;
    }
    EXPECT_EQ(pictureFormatOf("f.BmP"), PictureFormat::bmp);
    for (const char* name : {"g.gif", "h.png.txt", "png", "i.jpe", "k_jpg"}) {
        EXPECT_EQ(pictureFormatOf(name), std::nullopt) << name;
    }
    // A .bmp needs a grid's worth of bytes, a compressed file only to be non-empty; no directory counts.
    TempDir folder;
    writePng(folder.file("b.PNG"), 10, 10, pattern);
    std::ofstream(folder.file("c.bmp")) << std::string(120001, 'x');
    std::ofstream(folder.file("d.bmp")) << std::string(120000, 'x');
    std::ofstream(folder.file("e.jpg")).close();
    std::filesystem::create_directory(folder.file("f.png"));
    std::vector<std::string> names;
    for (const PictureCandidate& candidate : listPictureCandidates(folder.path(), 120000)) {
        names.push_back(std::filesystem::path(candidate.path).filename().string());
    }
    EXPECT_EQ(names, (std::vector<std::string>{"b.PNG", "c.bmp"}));
}

} // namespace
} // namespace glowfield::test
