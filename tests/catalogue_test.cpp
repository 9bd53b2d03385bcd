// Every entry of the catalogue, one suite generated from catalogue[]: each entry draws from a fresh start, is
// deterministic, stays finite and inside the live grid, survives extreme planes and stores, and moves on top
// of what another entry left. The long adversarial runs are meant for the sanitizer build, which turns any
// read or write outside an array and any undefined conversion into a failure; other builds run a short
// version.
#include <cctype>
#include <cmath>
#include <cstdint>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/frame_loop.h"
#include "catalogue_entries.h"
#include "effects/catalogue.h"
#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "effects/shared/owner_marks.h"
#include "effects/world.h"
#include "field/field.h"
#include "field/picture.h"
#include "test_support.h"

namespace glowfield::test {
namespace {

#ifdef GLOWFIELD_SANITIZED_TESTS
constexpr bool fullAdversarialRuns = true;
#else
constexpr bool fullAdversarialRuns = false;
#endif

float* const allPlanes[6] = {planes.red,         planes.green,         planes.blue,
                             planes.redVelocity, planes.greenVelocity, planes.blueVelocity};

bool liveFieldFinite() {
    for (const float* plane : allPlanes) {
        for (int x = 0; x < field.gridSize; ++x) {
            for (int y = 0; y < field.gridSize; ++y) {
                if (!std::isfinite(plane[cellAt(x, y)])) {
                    return false;
                }
            }
        }
    }
    return true;
}

// Counts the stored cells beyond the live grid that hold anything but 0 (when clearing, sets them to 0).
int outsideLiveGrid(bool clear) {
    int written = 0;
    for (float* plane : allPlanes) {
        for (int x = 0; x < planeStride; ++x) {
            for (int y = field.gridSize; y < planeStride; ++y) {
                for (float* v : {&plane[cellAt(x, y)], &plane[cellAt(y, x)]}) {
                    written += *v != 0.0f ? 1 : 0;
                    *v = clear ? 0.0f : *v;
                }
            }
        }
    }
    return written;
}

// True when every live cell shows the same colour.
bool coloursUniform() {
    const int first = cellAt(0, 0);
    for (int x = 0; x < field.gridSize; ++x) {
        for (int y = 0; y < field.gridSize; ++y) {
            const int cell = cellAt(x, y);
            if (planes.red[cell] != planes.red[first] || planes.green[cell] != planes.green[first] ||
                planes.blue[cell] != planes.blue[first]) {
                return false;
            }
        }
    }
    return true;
}

// The marks that the entries laying the particle store out leave in it.
struct OwnerMark {
    int entry;
    float mark;
};
const OwnerMark ownerMarks[] = {{21, reliefMark},     {109, volcanoMark},    {110, inkblotMark},
                                {114, volcanoMark},   {123, lavaMark},       {125, wipMark},
                                {126, asparagusMark}, {134, squareRootMark}, {184, spiralMark},
                                {186, messageMark},   {188, cubeMark}};

// A picture for the picture effects, so that their sampling reads real pixels.
void writePicture(const TempDir& folder) {
    BmpLayout layout;
    layout.width = 300;
    layout.height = 220;
    layout.colour = [](int l, int k) {
        return static_cast<uint32_t>(l * 0x010305 + k * 0x070100) & 0xffffff;
    };
    writeBmp(folder.file("wall.bmp"), layout);
}

class CatalogueEntryTest : public StateTest, public ::testing::WithParamInterface<int> {
  protected:
    int entry() const { return GetParam(); }

    // Start-up with the entry current, then extremes in the planes, the particle store and the shared globals
    // that effects read before they write them.
    void startAmidExtremes(const std::vector<float>& fill, const std::vector<int32_t>& tags) const {
        resetWorld();
        startEffect(entry(), 1);
        fillField(fill);
        outsideLiveGrid(true);
        fillParticles(fill, tags);
        const bool odd = entry() % 2 != 0;
        shared.scratchX = odd ? 2147483647 : -2147483647 - 1;
        shared.scratchY = odd ? -2147483647 - 1 : 2147483647;
        shared.spotX = shared.spotY = odd ? 2147483647 : -2147483647 - 1;
        shared.letterOffset = odd ? 2147483600 : -2147483600;
        shared.particleCount = odd ? 2147483647 : -5;
        shared.lastChannel = odd ? 7 : -1;
        shared.sharedAngle = fill[static_cast<size_t>(entry()) % fill.size()];
        // The largest picture the planes hold, so that picture samples reach their far edges.
        picture.pictureWidth = pictureColumns;
        picture.pictureHeight = pictureRows;
    }
};

// From a seeded start: within 40 frames the entry leaves a mark of its own compared with the same frames of
// the wave step alone; a second run from the same seed gives the same dump; after 300 frames the field is
// finite and nothing was written outside the live grid.
TEST_P(CatalogueEntryTest, DrawsDeterministicallyAndStaysFinite) {
    TempDir folder;
    writePicture(folder);
    setPictureDirectory(folder.path());
    startEffect(entry(), 3);
    runFrames(40);
    const uint64_t drawn = fieldHash();
    runFrames(20);
    const uint64_t sixty = fieldHash();
    runFrames(240);
    EXPECT_TRUE(liveFieldFinite()) << "after 300 frames";
    EXPECT_EQ(outsideLiveGrid(false), 0) << "after 300 frames";

    resetWorld();
    setPictureDirectory(folder.path());
    startEffect(entry(), 3);
    runFrames(60);
    EXPECT_EQ(fieldHash(), sixty) << "a second run from the same seed";

    resetWorld();
    startEffect(entry(), 3);
    for (int frame = 0; frame < 40; ++frame) {
        waveStep();
        ++shared.frameCounter;
    }
    // Speckle only brightens colour that is already there, and a fresh field holds none it takes; what it
    // draws shows on top of leftovers.
    if (catalogue[entry()].routine != speckle) {
        EXPECT_NE(drawn, fieldHash()) << "nothing drawn in 40 frames";
    }
}

// Huge, infinite and NaN values in the planes, the store and the shared globals; also a store that carries
// the entry's own owner mark, so that it runs on a layout it did not make, and the clock across its wrap.
TEST_P(CatalogueEntryTest, SurvivesExtremePlanesAndStores) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const std::vector<std::vector<float>> fills = {extremeValues(), {1e30f, -1e30f}, {nan}, {inf, -inf}};
    const std::vector<int32_t> tags = {0,      -1, 2147483647, -2147483647 - 1, 12000,
                                       -12001, 25, 3999,       11999,           1000000};
    const int frames = fullAdversarialRuns ? 150 : 12;
    const auto& chosen = fills[static_cast<size_t>(entry()) % fills.size()];
    for (const std::vector<float>* fill : {&chosen, &fills[0]}) {
        startAmidExtremes(*fill, tags);
        HeadlessDisplay display(32);
        for (int frame = 0; frame < frames; ++frame) {
            frameStep();
            // Refill now and then: an effect that clears the field must meet the extremes again.
            if (frame % 100 == 99) {
                fillField(*fill);
                outsideLiveGrid(true);
                fillParticles(*fill, tags);
            }
        }
        // Every pixel of the 32-bit surface carries only colour bits.
        for (int y = 0; y < 600; y += 7) {
            for (int x = 0; x < 800; x += 5) {
                ASSERT_EQ(display.surface().pixelAt(x, y) & 0xff000000u, 0u);
            }
        }
        EXPECT_EQ(outsideLiveGrid(false), 0);
    }
    for (const OwnerMark& owner : ownerMarks) {
        if (owner.entry != entry() && catalogue[entry()].routine != catalogue[owner.entry].routine) {
            continue;
        }
        startAmidExtremes(fills[0], tags);
        particleOwner = owner.mark;
        runFrames(fullAdversarialRuns ? 150 : 10);
        EXPECT_EQ(outsideLiveGrid(false), 0);
    }
    // Across the wrap of the clock, which only Kaleidisco moves on its own.
    startAmidExtremes(fills[1], tags);
    const uint32_t start = 0xfffffffcu;
    shared.frameCounter = start;
    for (uint32_t frame = 1; frame <= 8; ++frame) {
        frameStep();
        if (catalogue[entry()].routine != kaleidisco) {
            ASSERT_EQ(shared.frameCounter, start + frame);
        }
    }
    EXPECT_EQ(outsideLiveGrid(false), 0);
}

// On top of what others left: a few frames on what each entry that writes the shared particle store leaves
// stay finite and inside the grid; switched to after 750 frames of Flower (Kaleidisco for Flower itself), as
// the automatic switch would, the entry shows a picture of its own after 50 frames and still moves between
// frames 360 and 361.
TEST_P(CatalogueEntryTest, MovesOnTopOfLeftovers) {
    for (const int before : entriesMarked(laysParticlesMark)) {
        resetWorld();
        startEffect(before, 1);
        runFrames(5);
        selectEffect(entry());
        runFrames(20);
        EXPECT_TRUE(liveFieldFinite()) << "after " << before;
        EXPECT_EQ(outsideLiveGrid(false), 0) << "after " << before;
    }
    resetWorld();
    startEffect(entry() == 1 ? 2 : 1, 1);
    runFrames(750);
    selectEffect(entry());
    runFrames(50);
    EXPECT_FALSE(coloursUniform()) << "uniform 50 frames after the switch";
    runFrames(310);
    const uint64_t frame360 = fieldHash();
    runFrames(1);
    EXPECT_NE(frame360, fieldHash()) << "frames 360 and 361 after the switch are the same";
}

INSTANTIATE_TEST_SUITE_P(Catalogue, CatalogueEntryTest, ::testing::ValuesIn(everyEntry()), entryTestName);

TEST(CatalogueRows, HaveUniqueNamesAndOneWayToDraw) {
    std::set<std::string> names;
    for (int i = 0; i < effectCount; ++i) {
        const CatalogueEntry& row = catalogue[i];
        EXPECT_TRUE((row.routine != nullptr) != (row.make != nullptr)) << i;
        if (i < effectCount - 1) {
            ASSERT_NE(row.name, nullptr) << i;
            EXPECT_TRUE(names.insert(row.name).second) << "name twice: " << row.name;
        }
    }
    EXPECT_EQ(catalogue[effectCount - 1].name, nullptr);
    EXPECT_EQ(effectName(effectCount), nullptr);
    EXPECT_EQ(effectName(-1), nullptr);
}

TEST(CatalogueRows, ListPrintsEveryEntryAndTheLastWithoutAName) {
    const std::string list = effectListText();
    std::vector<std::string> lines;
    for (size_t start = 0, end; start < list.size(); start = end + 1) {
        end = list.find('\n', start);
        ASSERT_NE(end, std::string::npos) << "unterminated last line";
        lines.push_back(list.substr(start, end - start));
    }
    ASSERT_EQ(lines.size(), static_cast<size_t>(effectCount));
    for (int i = 0; i < effectCount - 1; ++i) {
        EXPECT_EQ(lines[i], std::to_string(i) + " " + catalogue[i].name +
                                (catalogue[i].marks & flashesMark ? " (flashes)" : "") +
                                (catalogue[i].marks & listensMark ? " (listens)" : ""));
    }
    EXPECT_EQ(lines.back(), "241");
}

} // namespace
} // namespace glowfield::test
