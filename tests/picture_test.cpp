// The picture loader on real .bmp files written by the tests.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "field/field.h"
#include "field/picture.h"
#include "field/random.h"
#include "test_support.h"

namespace glowfield::test {
namespace {

class PictureTest : public StateTest {
  protected:
    void SetUp() override {
        StateTest::SetUp();
        field.gridSize = 200;
        setPictureDirectory(folder.path());
    }

    // Distinct colours per pixel, so a misplaced sample shows.
    static uint32_t pattern(int l, int k) {
        return static_cast<uint32_t>((l * 7 + k) & 0xff) << 16 | static_cast<uint32_t>((k * 3) & 0xff) << 8 |
               static_cast<uint32_t>((l + 2 * k) & 0xff);
    }

    static void expectSample(int x, int y, uint32_t rgb) {
        EXPECT_EQ(picture.pictureRed[pictureAt(x, y)], (rgb >> 16) & 0xff) << x << "," << y;
        EXPECT_EQ(picture.pictureGreen[pictureAt(x, y)], (rgb >> 8) & 0xff) << x << "," << y;
        EXPECT_EQ(picture.pictureBlue[pictureAt(x, y)], rgb & 0xff) << x << "," << y;
    }

    // The number of draws loadRandomPicture made.
    int drawsDuring(void (*action)()) {
        seedRandom(99);
        action();
        const int32_t after = randomState.seed;
        seedRandom(99);
        for (int draws = 0; draws < 10; ++draws) {
            if (randomState.seed == after) {
                return draws;
            }
            nextRandom();
        }
        return -1;
    }

    TempDir folder;
};

TEST_F(PictureTest, PixelsLandMirroredLeftToRightWithStoredRowZeroSkipped) {
    BmpLayout layout;
    layout.width = 300;
    layout.height = 200;
    layout.colour = pattern;
    writeBmp(folder.file("a.bmp"), layout);
    picture.pictureRed[pictureAt(5, 0)] = 201; // row 0 keeps its old content
    loadRandomPicture();
    EXPECT_EQ(picture.pictureWidth, 300);
    EXPECT_EQ(picture.pictureHeight, 200);
    EXPECT_EQ(picture.pictureRed[pictureAt(5, 0)], 201);
    for (int k : {1, 2, 100, 199}) {
        for (int l : {0, 1, 150, 299}) {
            expectSample(299 - l, k, pattern(l, k));
        }
    }
    EXPECT_EQ(picture.pictureRed[pictureAt(5, 200)], 0);
}

TEST_F(PictureTest, LargerInformationHeadersAreReadFromTheirPixelOffset) {
    for (uint32_t headerSize : {108u, 124u}) {
        resetPicture();
        TempDir own;
        setPictureDirectory(own.path());
        BmpLayout layout;
        layout.width = 250;
        layout.height = 170;
        layout.infoHeaderSize = headerSize;
        layout.colour = pattern;
        writeBmp(own.file("v.bmp"), layout);
        loadRandomPicture();
        expectSample(249, 1, pattern(0, 1));
        expectSample(0, 169, pattern(249, 169));
    }
}

TEST_F(PictureTest, ThreePixelWidePictureFillsOnlyThreeColumns) {
    BmpLayout layout;
    layout.width = 3;
    layout.height = 10000; // 120000 bytes of rows plus headers: a candidate
    layout.colour = pattern;
    writeBmp(folder.file("narrow.bmp"), layout);
    loadRandomPicture();
    EXPECT_EQ(picture.pictureWidth, 3);
    EXPECT_EQ(picture.pictureHeight, 1200);
    expectSample(2, 1, pattern(0, 1));
    expectSample(0, 1199, pattern(2, 1199));
    expectSample(3, 5, 0);
    expectSample(1, 0, 0);
}

TEST_F(PictureTest, WidePictureIsCroppedNotSheared) {
    BmpLayout layout;
    layout.width = 1700;
    layout.height = 30;
    layout.colour = pattern;
    writeBmp(folder.file("wide.bmp"), layout);
    loadRandomPicture();
    EXPECT_EQ(picture.pictureWidth, 1600);
    // Row k of the planes holds file row k, columns 0..1599 mirrored.
    for (int k : {1, 15, 29}) {
        expectSample(1599, k, pattern(0, k));
        expectSample(0, k, pattern(1599, k));
    }
}

TEST_F(PictureTest, OtherBitCountsChangeTheSizesButNoPixel) {
    BmpLayout layout;
    layout.width = 500;
    layout.height = 300;
    layout.bitCount = 8;
    layout.colour = [](int, int) { return 0xffffffu; };
    writeBmp(folder.file("grey.bmp"), layout);
    loadRandomPicture();
    EXPECT_EQ(picture.pictureWidth, 500);
    EXPECT_EQ(picture.pictureHeight, 300);
    expectSample(10, 10, 0);
}

TEST_F(PictureTest, NegativeSizesNeverLeaveThePlanes) {
    BmpLayout layout;
    layout.width = 200;
    layout.height = -200; // stored top-down
    layout.colour = pattern;
    writeBmp(folder.file("topdown.bmp"), layout);
    loadRandomPicture();
    EXPECT_EQ(picture.pictureWidth, 200);
    EXPECT_EQ(picture.pictureHeight, 0);
    expectSample(100, 100, 0);

    resetPicture();
    std::filesystem::remove(folder.file("topdown.bmp"));
    layout.width = -5;
    layout.height = 100000;
    writeBmp(folder.file("broken.bmp"), layout);
    std::filesystem::resize_file(folder.file("broken.bmp"), 200000);
    loadRandomPicture();
    EXPECT_EQ(picture.pictureWidth, 0);
    EXPECT_EQ(picture.pictureHeight, 1200);
}

TEST_F(PictureTest, TruncatedFileCopiesOnlyTheBytesItHolds) {
    BmpLayout layout;
    layout.width = 400;
    layout.height = 200;
    layout.colour = pattern;
    layout.truncate = 1200 * 50 + 6; // the last 50 rows and 2 pixels of the row before
    writeBmp(folder.file("cut.bmp"), layout);
    loadRandomPicture();
    expectSample(399, 148, pattern(0, 148));
    expectSample(2, 149, pattern(397, 149));
    expectSample(1, 149, 0);
    expectSample(399, 150, 0);
}

TEST_F(PictureTest, NothingSuitableMeansNoDrawAndNoChange) {
    EXPECT_EQ(drawsDuring(loadRandomPicture), 0); // empty folder

    BmpLayout small;
    small.width = 200;
    small.height = 199; // 119400 bytes of rows + 54 of headers: not more than 120000
    writeBmp(folder.file("small.bmp"), small);
    std::filesystem::create_directory(folder.file("folder.bmp"));
    std::ofstream(folder.file("notes.txt")) << std::string(200000, 'x');
    EXPECT_EQ(drawsDuring(loadRandomPicture), 0);
    EXPECT_EQ(picture.pictureWidth, 0);

    setPictureDirectory(folder.file("missing"));
    EXPECT_EQ(drawsDuring(loadRandomPicture), 0);
    setPictureDirectory("");
    EXPECT_EQ(drawsDuring(loadRandomPicture), 0);
}

TEST_F(PictureTest, CandidatesAreChosenByOneDrawInNameOrder) {
    BmpLayout layout;
    layout.width = 210;
    layout.height = 200;
    for (const char* name : {"c.bmp", "A.BMP", "b.bmp"}) {
        const uint32_t colour = static_cast<uint32_t>(name[0]);
        layout.colour = [colour](int, int) { return colour; };
        writeBmp(folder.file(name), layout);
    }
    std::ofstream(folder.file("x.bmp")) << "not a picture but large enough" << std::string(130000, ' ');
    EXPECT_EQ(drawsDuring(loadRandomPicture), 1);
    // Candidates in name order: A.BMP, b.bmp, c.bmp, x.bmp; the draw picks one of the four.
    const char order[4] = {'A', 'b', 'c', 0};
    for (int32_t seed = 1; seed < 40; ++seed) {
        resetPicture();
        seedRandom(seed);
        const int choice = [&] {
            const int32_t keep = randomState.seed;
            const int draw = nextRandom() % 4;
            randomState.seed = keep;
            return draw;
        }();
        loadRandomPicture();
        ASSERT_EQ(picture.pictureBlue[pictureAt(3, 3)], static_cast<uint8_t>(order[choice])) << seed;
    }
}

TEST_F(PictureTest, OddEntriesAreSkippedQuietly) {
    std::ofstream(folder.file("empty.bmp")).close();
    std::filesystem::create_symlink(folder.file("nowhere"), folder.file("dangling.bmp"));
    ASSERT_EQ(mkfifo(folder.file("pipe.bmp").c_str(), 0600), 0); // opening it would block for ever
    EXPECT_EQ(drawsDuring(loadRandomPicture), 0);

    BmpLayout layout;
    layout.width = 210;
    layout.height = 200;
    layout.colour = [](int, int) { return 0x123456u; };
    writeBmp(folder.file("real.bmp"), layout);
    EXPECT_EQ(drawsDuring(loadRandomPicture), 1);
    expectSample(5, 5, 0x123456);
}

// The folder is listed once, then the chosen file opened; what happens in between must not matter beyond
// loading nothing.
std::string vanishingFolder;

TEST_F(PictureTest, FileThatVanishesBetweenThePassesLoadsNothing) {
    BmpLayout layout;
    layout.width = 210;
    layout.height = 200;
    layout.colour = [](int, int) { return 0x654321u; };
    writeBmp(folder.file("only.bmp"), layout);
    vanishingFolder = folder.path();
    setPictureScanHook([] { std::filesystem::remove(vanishingFolder + "/only.bmp"); });
    loadRandomPicture();
    setPictureScanHook(nullptr);
    EXPECT_EQ(picture.pictureWidth, 0);
    expectSample(5, 5, 0);

    // A file cut shorter between the listing and the open is read only as far as it goes.
    writeBmp(folder.file("only.bmp"), layout);
    setPictureScanHook(
        [] { std::filesystem::resize_file(vanishingFolder + "/only.bmp", 54 + 632 * 190 + 6); });
    loadRandomPicture();
    setPictureScanHook(nullptr);
    expectSample(5, 189, 0x654321);
    expectSample(209, 190, 0x654321);
    expectSample(5, 190, 0);
}

TEST_F(PictureTest, FileThatFailsTheBmTestChangesNothing) {
    std::ofstream(folder.file("fake.bmp")) << "PK" << std::string(150000, '\x7f');
    picture.pictureWidth = 33;
    loadRandomPicture();
    EXPECT_EQ(picture.pictureWidth, 33);
    expectSample(5, 5, 0);
}

} // namespace
} // namespace glowfield::test
