// What a viewer sees of every catalogue entry: no entry of our own flashes more than three times in any
// second (fresh from seed 1, and after another entry has run), an entry given to us that does is marked so
// and left out of automatic switching; and every entry of our own still moves at frame 600, is not mostly
// black (a night sky or space shows a subject of some size) and carries no one-cell checkerboard over a large
// area. The measures themselves are checked first, on pictures made for them. The sanitizer build counts
// flashes over a shorter run and leaves the frame-600 checks out.
//
// The table of every entry's numbers: build/glowfield_catalogue_report (README, tests).
#include <cmath>
#include <string>
#include <vector>

#include "app/effect_list.h"
#include "app/frame_loop.h"
#include "catalogue_entries.h"
#include "display/renderer.h"
#include "effects/catalogue.h"
#include "field/field.h"
#include "picture_measures.h"
#include "test_support.h"

namespace glowfield::test {
namespace {

using measure::Picture;
using measure::side;

#ifdef GLOWFIELD_SANITIZED_TESTS
const measure::Schedule schedule{100, false, 50, 100};
#else
const measure::Schedule schedule{};
#endif

// Own entries that still miss a floor from seed 1, with the floors they miss: not moving between frames 600
// and 605, mostly near-black at frame 600: line drawings on black that wait for a backdrop of their own. An
// entry that meets a floor its line names fails here until the line is corrected.
enum Floor : unsigned { moving = 1u, lit = 2u, smooth = 4u };
struct KnownShortfall {
    int entry;
    unsigned floors;
};
// Empty while every own entry meets its floors; a new entry that cannot yet goes here with its reason.
const std::vector<KnownShortfall> knownShortfalls = {};

// Noise is the design of X-Static: television snow.
const int noiseByDesign[] = {170};

unsigned knownShortfall(int entry) {
    for (const KnownShortfall& known : knownShortfalls) {
        if (known.entry == entry) {
            return known.floors;
        }
    }
    return 0u;
}

bool isNoiseByDesign(int entry) {
    for (const int noisy : noiseByDesign) {
        if (noisy == entry) {
            return true;
        }
    }
    return false;
}

Picture uniform(uint32_t packed) {
    Picture picture;
    picture.fill(packed);
    return picture;
}

// A picture of grey level a, with the cells inside the rectangle at level b (on a one-cell checkerboard of
// b and c when c is given).
Picture withPatch(int a, int b, int x0, int y0, int x1, int y1, int c = -1) {
    const auto grey = [](int level) { return static_cast<uint32_t>(level) * 0x010101u; };
    Picture picture = uniform(grey(a));
    for (int x = x0; x < x1; ++x) {
        for (int y = y0; y < y1; ++y) {
            picture[static_cast<size_t>(x * side + y)] = grey(c >= 0 && (x + y) % 2 ? c : b);
        }
    }
    return picture;
}

double flashesOf(const std::vector<Picture>& cycle, int frames) {
    measure::FlashCounter counter;
    for (int frame = 0; frame < frames; ++frame) {
        counter.add(cycle[static_cast<size_t>(frame) % cycle.size()]);
    }
    return counter.maxFlashesPerSecond();
}

// A cycle of frames: `on` frames of one picture, then `off` of the other.
std::vector<Picture> blink(const Picture& a, const Picture& b, int on, int off) {
    std::vector<Picture> cycle(static_cast<size_t>(on), a);
    cycle.insert(cycle.end(), static_cast<size_t>(off), b);
    return cycle;
}

TEST(PictureMeasures, FlashesAreLargeOpposingChangesWithADarkSide) {
    const Picture black = uniform(0), white = uniform(0xffffff);
    // Five full-screen flashes a second, and two and a half.
    EXPECT_DOUBLE_EQ(flashesOf(blink(white, black, 5, 5), 200), 5.0);
    EXPECT_LE(flashesOf(blink(white, black, 10, 10), 200), 3.0);
    EXPECT_GE(flashesOf(blink(white, black, 10, 10), 200), 2.5);
    // A strobe at 25 a second.
    EXPECT_DOUBLE_EQ(flashesOf(blink(white, black, 1, 1), 100), 25.0);
    // Both states brighter than 0.8: no flash however fast.
    EXPECT_EQ(flashesOf(blink(uniform(0xf0f0f0), white, 1, 1), 100), 0.0);
    // A change of under a tenth of the luminance range: none.
    EXPECT_EQ(flashesOf(blink(uniform(0x404040), uniform(0x505050), 1, 1), 100), 0.0);
    // A one-cell checkerboard that swaps every frame keeps its average: none.
    EXPECT_EQ(
        flashesOf(blink(withPatch(0, 0, 0, 0, side, side, 255), withPatch(0, 255, 0, 0, side, side, 0), 1, 1),
                  100),
        0.0);
}

TEST(PictureMeasures, AFlashMustCoverAThirtySixthOfTheScreen) {
    // 36 x 36 cells are more than a thirty-sixth of 200 x 200; 28 x 28 are less.
    const Picture dark = uniform(0);
    EXPECT_DOUBLE_EQ(flashesOf(blink(withPatch(0, 255, 80, 80, 116, 116), dark, 2, 2), 100), 12.5);
    EXPECT_EQ(flashesOf(blink(withPatch(0, 255, 80, 80, 108, 108), dark, 2, 2), 100), 0.0);
    // Small flashes scattered over the screen do not add up beyond a third of it.
    Picture scattered = dark;
    for (int x = 0; x < side; x += 50) {
        for (int y = 0; y < side; y += 50) {
            for (int dx = 0; dx < 16; ++dx) {
                for (int dy = 0; dy < 16; ++dy) {
                    scattered[static_cast<size_t>((x + dx) * side + y + dy)] = 0xffffff;
                }
            }
        }
    }
    EXPECT_EQ(flashesOf(blink(scattered, dark, 2, 2), 100), 0.0);
}

TEST(PictureMeasures, MotionDarknessAndCheckerboardShares) {
    const Picture grey = uniform(0x808080);
    EXPECT_EQ(measure::motionShare(grey, grey), 0.0);
    // A quarter of the cells move by a visible step, the rest by less.
    Picture moved = grey;
    for (size_t i = 0; i < moved.size(); ++i) {
        moved[i] = i % 4 == 0 ? 0x8080a0 : 0x808088;
    }
    EXPECT_DOUBLE_EQ(measure::motionShare(grey, moved), 0.25);

    EXPECT_EQ(measure::nearBlackShare(grey), 0.0);
    EXPECT_DOUBLE_EQ(measure::nearBlackShare(withPatch(0x80, 0x10, 0, 0, 100, 200)), 0.5);

    // A checkerboard over a whole third of the screen, over a small corner, and random speckle.
    EXPECT_DOUBLE_EQ(measure::checkerShare(withPatch(0x80, 0x40, 60, 60, 140, 140, 0xc0)), 1.0);
    EXPECT_LT(measure::checkerShare(withPatch(0x80, 0x40, 0, 0, 24, 24, 0xc0)), measure::checkerCeiling);
    Picture speckle = grey;
    uint32_t state = 12345u;
    for (uint32_t& cell : speckle) {
        state = state * 1103515245u + 12345u;
        cell = (state >> 16 & 0xffu) * 0x010101u;
    }
    EXPECT_LT(measure::checkerShare(speckle), 0.05);
}

class PictureCapture : public StateTest {};

TEST_F(PictureCapture, SeesTheRenderersColours) {
    startEffect(13, 1);
    runFrames(30);
    const Picture picture = measure::capture();
    for (int x = 0; x < side; x += 7) {
        for (int y = 0; y < side; y += 3) {
            ASSERT_EQ(picture[static_cast<size_t>(x * side + y)], packedColourAt(x, y)) << x << ", " << y;
        }
    }
}

class CatalogueQualityTest : public StateTest, public ::testing::WithParamInterface<int> {};

TEST_P(CatalogueQualityTest, SafeToWatchAndLively) {
    const int entry = GetParam();
    const CatalogueEntry& row = catalogue[entry];
    const bool own = row.make != nullptr;
    const measure::EntryMeasures m = measure::measureEntry(entry, schedule);
    const bool marked = (row.marks & flashesMark) != 0u;
    const std::string counts = "flashes in a second: " + std::to_string(m.freshFlashes) + " from seed 1, " +
                               std::to_string(m.afterFlashes) + " after entry " +
                               std::to_string((entry + 1) % effectCount);
    if (own) {
        EXPECT_FALSE(marked) << "an effect of our own is made not to flash rather than marked";
        EXPECT_LE(m.maxFlashes(), measure::flashLimit) << counts;
    } else if (!marked) {
        EXPECT_LE(m.maxFlashes(), measure::flashLimit) << counts << ": mark it as flashing in catalogue.def";
    } else if (schedule.judged) {
        EXPECT_GT(m.maxFlashes(), measure::flashLimit) << counts << ": its flashes mark is no longer needed";
    }
    if (!own || !schedule.judged) {
        return;
    }
    const unsigned known = knownShortfall(entry);
    unsigned missed = 0u;
    if (m.motion < measure::motionFloor) {
        missed |= moving;
        EXPECT_TRUE(known & moving) << 100.0 * m.motion
                                    << " % of the cells move visibly between frames 600 and 605";
    }
    const bool night = (row.marks & nightSkyMark) != 0u;
    if (night ? 1.0 - m.nearBlack < measure::nightSubjectFloor : m.nearBlack > measure::nearBlackCeiling) {
        missed |= lit;
        EXPECT_TRUE(known & lit) << 100.0 * m.nearBlack << " % of the cells are near-black at frame 600"
                                 << (night ? " (a night sky, but its subject is too small)" : "");
    }
    if (m.checker > measure::checkerCeiling && !isNoiseByDesign(entry)) {
        missed |= smooth;
        EXPECT_TRUE(known & smooth) << "a one-cell checkerboard covers " << 100.0 * m.checker
                                    << " % of a third of the screen at frame 600";
    }
    EXPECT_EQ(known & ~missed, 0u) << "meets floors its knownShortfalls line says it misses: take them out";
}

INSTANTIATE_TEST_SUITE_P(Catalogue, CatalogueQualityTest, ::testing::ValuesIn(everyEntry()), entryTestName);

TEST(CatalogueMarks, FewNightSkiesAndFlashingOnlyWhereGiven) {
    int nights = 0;
    for (const CatalogueEntry& row : catalogue) {
        nights += (row.marks & nightSkyMark) ? 1 : 0;
    }
    EXPECT_LE(nights, 8);
    for (const KnownShortfall& known : knownShortfalls) {
        EXPECT_TRUE(catalogue[known.entry].make != nullptr) << known.entry;
    }
}

} // namespace
} // namespace glowfield::test
