// The picture loader on .png and .jpg files written by the tests: the same planes as a .bmp of the same
// image when it already fits the screen, larger ones fitted to it, photos turned upright by their Exif
// orientation, CMYK shown, and broken, oversized or too small files skipped.
#include <png.h>
#include <turbojpeg.h>

#include <csetjmp>
#include <cstdio>

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
#include "field/picture_loader.h"
#include "picture_files.h"
#include "test_support.h"

namespace glowfield::test {
namespace {

using PictureFormatTest = StateTest;

// Loads the only file of a fresh folder into fresh planes.
void loadAlone(const std::function<void(const std::string& path)>& write, const std::string& name) {
    TempDir folder;
    write(folder.file(name));
    resetPicture();
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

TEST_F(PictureFormatTest, PngThatFitsTheScreenFillsThePlanesExactlyAsTheSameImageStoredAsBmp) {
    field.gridSize = 200;
    for (auto [width, height] : {std::pair{400, 300}, {800, 600}}) {
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

// The colour seen at (u, v), 0..1 across and down the fitted picture, as the picture effects look it up.
uint32_t seenAt(double u, double v) {
    const int w = picture.pictureWidth, h = picture.pictureHeight;
    return sampleAt(w - 1 - static_cast<int>(u * w), h - 1 - static_cast<int>(v * h));
}

TEST_F(PictureFormatTest, LargerPicturesAreFittedToTheScreenByTheirMiddle) {
    field.gridSize = 200;
    // Quadrants of four colours with a 40-pixel border of grey: the whole picture is shown, not a corner.
    const uint32_t quadrants[4] = {0xff0000, 0x00ff00, 0x0000ff, 0xffffff};
    for (auto [width, height] : {std::pair{2000, 1500}, {1001, 751}}) {
        loadAlone(
            [&](const std::string& path) {
                writePng(path, width, height, [&](int c, int r) {
                    if (c < 40 || r < 40 || c >= width - 40 || r >= height - 40) {
                        return 0x808080u;
                    }
                    return quadrants[(r >= height / 2) * 2 + (c >= width / 2)];
                });
            },
            "big.png");
        ASSERT_EQ(picture.pictureWidth, 800) << width;
        ASSERT_EQ(picture.pictureHeight, 600) << width;
        EXPECT_EQ(seenAt(0.25, 0.25), quadrants[0]) << width;
        EXPECT_EQ(seenAt(0.75, 0.25), quadrants[1]) << width;
        EXPECT_EQ(seenAt(0.25, 0.75), quadrants[2]) << width;
        EXPECT_EQ(seenAt(0.75, 0.75), quadrants[3]) << width;
        EXPECT_EQ(seenAt(0.005, 0.005), 0x808080u) << width;
        EXPECT_EQ(seenAt(0.995, 0.995), 0x808080u) << width;
    }

    // A panorama loses its sides, a portrait its top and bottom: the 4:3 middle covers the screen.
    auto bands = [](int along, int length) {
        return along < length / 3 ? 0xff0000u : along < 2 * length / 3 ? 0x00ff00u : 0x0000ffu;
    };
    loadAlone(
        [&](const std::string& path) {
            writeJpeg(path, 1200, 300, [&](int c, int) { return bands(c, 1200); });
        },
        "wide.jpg");
    EXPECT_EQ(picture.pictureWidth, 400);
    EXPECT_EQ(picture.pictureHeight, 300);
    for (double u : {0.01, 0.5, 0.99}) {
        EXPECT_GT(int(seenAt(u, 0.5) >> 8 & 0xff), 240) << u; // only the green middle third
    }
    loadAlone(
        [&](const std::string& path) {
            writePng(path, 300, 1200, [&](int, int r) { return bands(r, 1200); });
        },
        "tall.png");
    EXPECT_EQ(picture.pictureWidth, 300);
    EXPECT_EQ(picture.pictureHeight, 225);
    for (double v : {0.01, 0.5, 0.99}) {
        EXPECT_EQ(seenAt(0.5, v), 0x00ff00u) << v;
    }
}

// A PNG that libpng's simplified writer cannot make: interlaced, or grey with alpha.
void writeUnusualPng(const std::string& path, int width, int height, bool interlaced, int colourType,
                     const std::function<std::vector<uint8_t>(int c, int r)>& pixel) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, file);
        png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                     colourType, interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        std::vector<std::vector<uint8_t>> rows(static_cast<size_t>(height));
        std::vector<png_bytep> pointers;
        for (int r = 0; r < height; ++r) {
            for (int c = 0; c < width; ++c) {
                const std::vector<uint8_t> value = pixel(c, r);
                rows[r].insert(rows[r].end(), value.begin(), value.end());
            }
            pointers.push_back(rows[r].data());
        }
        png_set_rows(png, info, pointers.data());
        png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    }
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
}

TEST_F(PictureFormatTest, InterlacedAndTransparentPngsAreShown) {
    field.gridSize = 200;
    // Interlaced: the rows are only whole after the last pass; the picture is the same as plain.
    loadAlone([](const std::string& path) { writePng(path, 400, 300, pattern); }, "plain.png");
    const auto plain = std::make_unique<PictureStore>(picture);
    loadAlone(
        [](const std::string& path) {
            writeUnusualPng(path, 400, 300, true, PNG_COLOR_TYPE_RGB, [](int c, int r) {
                const uint32_t v = pattern(c, r);
                return std::vector<uint8_t>{uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)};
            });
        },
        "interlaced.png");
    ASSERT_EQ(picture.pictureWidth, 400);
    EXPECT_EQ(std::memcmp(&picture, plain.get(), sizeof picture), 0);

    // Grey with alpha: grey 200, opaque on the left, half transparent on the right, laid over black.
    loadAlone(
        [](const std::string& path) {
            writeUnusualPng(path, 400, 300, false, PNG_COLOR_TYPE_GRAY_ALPHA, [](int c, int) {
                return std::vector<uint8_t>{200, uint8_t(c < 200 ? 255 : 128)};
            });
        },
        "grey.png");
    ASSERT_EQ(picture.pictureWidth, 400);
    EXPECT_EQ(seenAt(0.25, 0.5), 0xc8c8c8u);
    EXPECT_EQ(seenAt(0.75, 0.5), 0x646464u);
}

TEST_F(PictureFormatTest, CmykJpegIsShownInRgb) {
    field.gridSize = 200;
    // Adobe's inverted CMYK, 255 meaning no ink: cyan ink only on the left, full black on the right.
    const int width = 320, height = 240;
    std::vector<uint8_t> cmyk(static_cast<size_t>(width) * height * 4);
    for (int r = 0; r < height; ++r) {
        for (int c = 0; c < width; ++c) {
            uint8_t* pixel = &cmyk[(static_cast<size_t>(r) * width + c) * 4];
            const bool left = c < width / 2;
            pixel[0] = left ? 0 : 255;
            pixel[1] = 255;
            pixel[2] = 255;
            pixel[3] = left ? 255 : 0;
        }
    }
    TempDir folder;
    tjhandle compressor = tjInitCompress();
    unsigned char* out = nullptr;
    unsigned long size = 0;
    ASSERT_EQ(
        tjCompress2(compressor, cmyk.data(), width, 0, height, TJPF_CMYK, &out, &size, TJSAMP_444, 100, 0),
        0);
    std::ofstream(folder.file("print.jpg"), std::ios::binary)
        .write(reinterpret_cast<const char*>(out), static_cast<long>(size));
    tjFree(out);
    tjDestroy(compressor);
    resetPicture();
    setPictureDirectory(folder.path());
    loadRandomPicture();
    ASSERT_EQ(picture.pictureWidth, width);
    ASSERT_EQ(picture.pictureHeight, height);
    const uint32_t cyan = seenAt(0.25, 0.5), black = seenAt(0.75, 0.5);
    EXPECT_LT(int(cyan >> 16), 8);
    EXPECT_GT(int(cyan >> 8 & 0xff), 247);
    EXPECT_GT(int(cyan & 0xff), 247);
    EXPECT_LT(int(black >> 16), 8);
    EXPECT_LT(int(black >> 8 & 0xff), 8);
    EXPECT_LT(int(black & 0xff), 8);
}

TEST_F(PictureFormatTest, JpegIsTurnedUprightByItsExifOrientation) {
    // Seen upright, a 64 x 48 photo of four quadrants. Each orientation stores them (top-left, top-right,
    // bottom-left, bottom-right of the stored picture) by the tag's meaning: which sides of the view the
    // stored first row and first column show. 5 to 8 store the picture 48 wide and 64 high.
    const uint32_t R = 0xff0000, G = 0x00ff00, B = 0x0000ff, W = 0xffffff, seen[4] = {R, G, B, W};
    const uint32_t stored[9][4] = {{},           {R, G, B, W}, {G, R, W, B}, {W, B, G, R}, {B, W, R, G},
                                   {R, B, G, W}, {G, W, R, B}, {W, G, B, R}, {B, R, W, G}};
    field.gridSize = 8; // a small photo is enough here
    for (int orientation = 1; orientation <= 8; ++orientation) {
        const int width = orientation >= 5 ? 48 : 64, height = orientation >= 5 ? 64 : 48;
        const uint32_t* quadrant = stored[orientation];
        auto colour = [&](int c, int r) { return quadrant[(r >= height / 2) * 2 + (c >= width / 2)]; };
        loadAlone(
            [&](const std::string& path) {
                writeJpeg(path, width, height, colour, orientation, orientation % 2);
            },
            "photo.jpg");
        ASSERT_EQ(picture.pictureWidth, 64) << orientation;
        ASSERT_EQ(picture.pictureHeight, 48) << orientation;
        for (int q = 0; q < 4; ++q) {
            // The middle of quadrant q seen at (c, r) lands where a .bmp puts it: plane (63 - c, 47 - r).
            const uint32_t got = sampleAt(63 - (16 + 32 * (q % 2)), 47 - (12 + 24 * (q / 2)));
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
        {"narrower-than-the-grid.png", withSize(199, 200)},
        {"not-a-picture.jpg", "\xff\xd8\xff" + std::string(5000, '\x13')},
        {"gif-inside.png", "GIF89a" + png.substr(6)},
    };
    for (const auto& [name, bytes] : files) {
        loadAlone([&](const std::string& path) { std::ofstream(path, std::ios::binary) << bytes; }, name);
        EXPECT_EQ(picture.pictureWidth, 0) << name;
        EXPECT_EQ(picture.pictureHeight, 0) << name;
        EXPECT_EQ(sampleAt(5, 5), 0u) << name;
    }
    // At least 200 x 200: more pixels than the grid's 40,000 do not make up for a side that is too short.
    loadAlone([](const std::string& path) { writePng(path, 1000, 199, pattern); }, "low.png");
    EXPECT_EQ(picture.pictureWidth, 0);
    loadAlone([](const std::string& path) { writeJpeg(path, 199, 1000, pattern); }, "narrow.jpg");
    EXPECT_EQ(picture.pictureWidth, 0);
    loadAlone([](const std::string& path) { writePng(path, 200, 200, pattern); }, "square.png");
    EXPECT_EQ(picture.pictureWidth, 200);
    EXPECT_EQ(picture.pictureHeight, 150);
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
