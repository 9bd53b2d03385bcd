// Picture loads: the folder's listing kept until the folder changes, and in play a slow file that never
// holds up the frame that asks for it.
#include <fcntl.h>
#include <sys/stat.h>

#include <chrono>
#include <fstream>
#include <set>
#include <thread>

#include "field/field.h"
#include "field/picture.h"
#include "field/picture_loader.h"
#include "field/random.h"
#include "test_support.h"

namespace glowfield::test {
namespace {

class PictureLoaderTest : public StateTest {
  protected:
    void SetUp() override {
        StateTest::SetUp();
        field.gridSize = 200;
        setPictureDirectory(folder.path());
    }
    void TearDown() override {
        setPictureScanHook(nullptr);
        setPictureLoadsWait(true);
        StateTest::TearDown();
    }

    void writeOne(const std::string& name, uint32_t colour) {
        BmpLayout layout;
        layout.width = 210;
        layout.height = 200;
        layout.colour = [colour](int, int) { return colour; };
        writeBmp(folder.file(name), layout);
    }

    // The folder as if it had last changed an hour ago, so that its listing is trusted.
    void ageFolder() {
        const timespec times[2] = {{time(nullptr) - 3600, 0}, {time(nullptr) - 3600, 0}};
        ASSERT_EQ(utimensat(AT_FDCWD, folder.path().c_str(), times, 0), 0);
    }

    // The blue sample of a load from each of 20 seeds.
    std::set<int> coloursSeen() {
        std::set<int> seen;
        for (int32_t seed = 1; seed <= 20; ++seed) {
            resetPicture();
            seedRandom(seed);
            loadRandomPicture();
            seen.insert(picture.pictureBlue[pictureAt(5, 5)]);
        }
        return seen;
    }

    TempDir folder;
};

TEST_F(PictureLoaderTest, ListingIsKeptUntilTheFolderChanges) {
    writeOne("a.bmp", 0x11);
    std::ofstream(folder.file("b.bmp")) << "too short to be a candidate";
    ageFolder();
    EXPECT_EQ(coloursSeen(), (std::set<int>{0x11}));

    // Rewriting a file in place leaves the folder as it was: b.bmp, grown into a picture, stays unlisted.
    writeOne("b.bmp", 0x22);
    EXPECT_EQ(coloursSeen(), (std::set<int>{0x11}));

    // A new name changes the folder, which is listed again.
    writeOne("c.bmp", 0x33);
    EXPECT_EQ(coloursSeen(), (std::set<int>{0x11, 0x22, 0x33}));
}

TEST_F(PictureLoaderTest, InPlayASlowFileNeverHoldsUpTheFrame) {
    writeOne("slow.bmp", 0x44);
    setPictureLoadsWait(false);
    finishPictureLoads(); // the listing that leaving waiting starts
    setPictureScanHook([] { std::this_thread::sleep_for(std::chrono::milliseconds(500)); });
    seedRandom(5);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(requestRandomPicture(), PictureLoad::pending);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took, std::chrono::milliseconds(200));
    EXPECT_NE(randomState.seed, 5); // the draw is made on the frame, as when waiting
    EXPECT_EQ(picture.pictureWidth, 0);
    finishPictureLoads();
    EXPECT_EQ(picture.pictureWidth, 210);
    EXPECT_EQ(picture.pictureBlue[pictureAt(5, 5)], 0x44);

    // A fresh start forgets a load that has not landed.
    EXPECT_EQ(requestRandomPicture(), PictureLoad::pending);
    resetPicture();
    finishPictureLoads();
    EXPECT_EQ(picture.pictureWidth, 0);
}

TEST_F(PictureLoaderTest, InPlayNothingIsChosenBeforeTheFolderIsListed) {
    setPictureLoadsWait(false);
    finishPictureLoads();
    TempDir other;
    BmpLayout layout;
    layout.width = 210;
    layout.height = 200;
    writeBmp(other.file("a.bmp"), layout);
    setPictureDirectory(other.path());
    seedRandom(5);
    EXPECT_EQ(requestRandomPicture(), PictureLoad::none);
    EXPECT_EQ(randomState.seed, 5);
    finishPictureLoads();
}

} // namespace
} // namespace glowfield::test
