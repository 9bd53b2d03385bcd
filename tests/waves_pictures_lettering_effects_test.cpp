// Tests for the wave, picture, lettering and grid-algorithm entries that have effects of their own here: a
// grid that changes size under them, the level of the wave entries over long runs, the wallpaper's way up and
// its fallback, and motion late in each entry's cycle.
#include <cmath>
#include <cstdint>
#include <set>
#include <vector>

#include "catalogue_entries.h"
#include "effects/catalogue.h"
#include "effects/pictures/wallpaper.h"
#include "field/field.h"
#include "field/picture.h"
#include "test_support.h"

namespace glowfield::test {
namespace {

const std::vector<int> waveEntries = ownEffectsOf({Family::waves});
const std::vector<int> pictureEntries = ownEffectsOf({Family::pictures});
const std::vector<int> ownEntries =
    ownEffectsOf({Family::waves, Family::pictures, Family::lettering, Family::automata});

struct Levels {
    double mean = 0.0;   // of the shown level, 0..255, over all channels
    double spread = 0.0; // standard deviation of the cells' brightness
    double pinned = 0.0; // share of channel values at the top of the range
    bool finite = true;
};

Levels measure(int n) {
    Levels levels;
    double sum = 0.0, sumSq = 0.0;
    int64_t pinned = 0;
    for (int x = 0; x < n; ++x) {
        for (int y = 0; y < n; ++y) {
            double brightness = 0.0;
            for (const float* plane : {planes.red, planes.green, planes.blue}) {
                const float v = plane[cellAt(x, y)];
                levels.finite = levels.finite && std::isfinite(v);
                const double level = v < -127.0f ? 0.0 : v > 128.0f ? 255.0 : v + 127.0;
                pinned += level >= 255.0 ? 1 : 0;
                brightness += level / 3.0;
            }
            sum += brightness;
            sumSq += brightness * brightness;
        }
    }
    const double cells = static_cast<double>(n) * n;
    levels.mean = sum / cells;
    levels.spread = std::sqrt(std::fmax(0.0, sumSq / cells - levels.mean * levels.mean));
    levels.pinned = pinned / (3.0 * cells);
    return levels;
}

// A picture whose top half is red, bottom half blue and left half also green, which tells every way round
// apart.
void writeQuarters(const TempDir& folder) {
    BmpLayout layout;
    layout.width = 240;
    layout.height = 180;
    layout.colour = [](int column, int storedRow) {
        const uint32_t top = storedRow >= 90 ? 0xff0000u : 0x0000ffu; // stored rows count from the bottom
        return top | (column < 120 ? 0x00ff00u : 0u);
    };
    writeBmp(folder.file("quarters.bmp"), layout);
}

// Share of live cells showing one of the quarters' pure colours.
double shareOfPictureCells() {
    int64_t pure = 0;
    for (int x = 0; x < 200; ++x) {
        for (int y = 0; y < 200; ++y) {
            const int cell = cellAt(x, y);
            const bool full = (planes.red[cell] == 128.0f || planes.red[cell] == -127.0f) &&
                              (planes.green[cell] == 128.0f || planes.green[cell] == -127.0f) &&
                              (planes.blue[cell] == 128.0f || planes.blue[cell] == -127.0f);
            pure += full ? 1 : 0;
        }
    }
    return pure / 40000.0;
}

class OwnEffects : public StateTest {
  protected:
    void TearDown() override {
        field.gridSize = 200;
        StateTest::TearDown();
    }
};

// Effects keep grids, particles and lattices sized to the grid they started on; a grid that shrinks or grows
// under them must neither reach past it (the sanitizer build catches that) nor leave values undefined.
TEST_F(OwnEffects, SurviveTheGridChangingSizeMidRun) {
    for (int entry : ownEntries) {
        startEffect(entry, 3);
        runFrames(20);
        for (uint16_t size : {uint16_t{16}, uint16_t{240}, uint16_t{97}}) {
            field.gridSize = size;
            runFrames(8);
            EXPECT_TRUE(measure(size).finite) << entry << " at grid " << size;
        }
        field.gridSize = 200;
    }
}

// The wave step never damps velocities, so a push that is not balanced, or a held shape whose laplacian keeps
// feeding its neighbours, pumps the field slowly towards white or black. After half a minute of running, each
// wave entry must still be near where it settled and still show a picture.
TEST_F(OwnEffects, WaveEntriesHoldTheirLevelOverHalfAMinute) {
    for (int entry : waveEntries) {
        startEffect(entry, 1);
        runFrames(300);
        const Levels early = measure(200);
        runFrames(1500);
        const Levels late = measure(200);
        EXPECT_TRUE(late.finite) << entry;
        EXPECT_LT(std::fabs(late.mean - early.mean), 30.0) << entry;
        EXPECT_LT(late.pinned, 0.2) << entry;
        EXPECT_GT(late.spread, 6.0) << entry;
    }
}

// The picture planes keep a file's rows bottom up and its columns mirrored; the screen must show the
// picture's top left at the top left. A picture whose top half is red, bottom half blue and left half also
// green tells every way round apart. Image shows it whole the frame its last block lands.
TEST_F(OwnEffects, ImageShowsTheWallpaperTheRightWayUp) {
    TempDir folder;
    writeQuarters(folder);
    setPictureDirectory(folder.path());
    startEffect(85, 1);
    runFrames(72);
    const auto at = [](int x, int y) {
        return std::vector<float>{planes.red[cellAt(x, y)], planes.green[cellAt(x, y)],
                                  planes.blue[cellAt(x, y)]};
    };
    EXPECT_EQ(at(30, 30), (std::vector<float>{128.0f, 128.0f, -127.0f}));    // top left: red and green
    EXPECT_EQ(at(170, 30), (std::vector<float>{128.0f, -127.0f, -127.0f}));  // top right: red
    EXPECT_EQ(at(30, 170), (std::vector<float>{-127.0f, 128.0f, 128.0f}));   // bottom left: blue and green
    EXPECT_EQ(at(170, 170), (std::vector<float>{-127.0f, -127.0f, 128.0f})); // bottom right: blue
}

// Each time an entry becomes current its effect starts afresh: Image, switched away from and back to after
// its picture was whole, builds it block by block again.
TEST_F(OwnEffects, ImageStartsAfreshWhenSwitchedBackTo) {
    TempDir folder;
    writeQuarters(folder);
    setPictureDirectory(folder.path());
    startEffect(85, 1);
    runFrames(75);
    EXPECT_GT(shareOfPictureCells(), 0.95);
    selectEffect(39);
    runFrames(5);
    selectEffect(85);
    runFrames(10);
    EXPECT_LT(shareOfPictureCells(), 0.3);
    runFrames(70);
    EXPECT_GT(shareOfPictureCells(), 0.95);
}

// Without a picture and after an entry that left the field a flat grey, each picture entry still paints a
// picture of its own rather than a blank screen.
TEST_F(OwnEffects, PictureEntriesShowAPictureWithoutWallpaperOnAPlainField) {
    for (int entry : pictureEntries) {
        startEffect(entry, 5);
        fillField({0.0f});
        runFrames(120);
        const Levels levels = measure(200);
        EXPECT_GT(levels.spread, 15.0) << entry;
    }
}

// Without a picture file the wallpaper is the screen when it holds a picture; only a plain screen falls back
// to a painted scene, the effect's own when it brings one (each picture entry paints a different one), else
// the landscape.
TEST_F(OwnEffects, WallpaperPaintsTheEffectsOwnSceneOnlyWhenTheScreenIsPlain) {
    const int n = 200;
    EffectContext context{planes, n, 0u, 0, 0, picture};
    const pictures::Wallpaper::Scene green = [](EffectContext&, std::vector<kit::Rgb>& samples) {
        samples.assign(samples.size(), kit::fromLevels(20, 230, 40));
    };
    const auto isGreen = [](kit::Rgb v) { return v.r == -107.0f && v.g == 103.0f && v.b == -87.0f; };
    pictures::Wallpaper wallpaper;
    fillField({0.0f});
    EXPECT_FALSE(wallpaper.load(context, green));
    EXPECT_TRUE(isGreen(wallpaper.at(0.5f, 0.5f)));
    wallpaper.load(context);
    EXPECT_FALSE(isGreen(wallpaper.at(0.5f, 0.5f))) << "the landscape stays the default";
    for (int x = 0; x < n; ++x) {
        for (int y = 0; y < n; ++y) {
            planes.red[cellAt(x, y)] = (x / 10) % 2 ? 100.0f : -100.0f;
        }
    }
    wallpaper.load(context, green);
    EXPECT_FALSE(isGreen(wallpaper.at(0.5f, 0.5f)));
    EXPECT_FLOAT_EQ(wallpaper.atCell(context, 5.0f, 5.0f).r, -100.0f);
    EXPECT_FLOAT_EQ(wallpaper.atCell(context, 15.0f, 5.0f).r, 100.0f);
}

// Cycles end and begin again (mazes, signs, paintings, lists, transmissions): late in a run every entry is
// still moving from frame to frame, not frozen at the end of its first cycle.
TEST_F(OwnEffects, KeepMovingLateInTheirCycles) {
    for (int entry : ownEntries) {
        startEffect(entry, 2);
        runFrames(700);
        std::set<uint64_t> seen;
        for (int k = 0; k < 4; ++k) {
            runFrames(1);
            seen.insert(fieldHash());
        }
        EXPECT_EQ(seen.size(), 4u) << entry;
    }
}

} // namespace
} // namespace glowfield::test
