// The catalogue's marks measured on every entry, both ways: a marked entry does what its mark says and an
// unmarked one does not, so that a wrong mark (a gallery primed for nothing, a store left unguarded) fails
// here rather than being trusted.
#include <cmath>
#include <vector>

#include "app/field_dump.h"
#include "app/frame_loop.h"
#include "catalogue_entries.h"
#include "effects/effect_state.h"
#include "effects/world.h"
#include "field/field.h"
#include "field/picture.h"
#include "test_support.h"

namespace glowfield::test {
namespace {

constexpr int frames = 100;

std::vector<float> particleStore() {
    std::vector<float> store;
    for (const float* array : {particles.particleX, particles.particleY, particles.particleZ,
                               particles.particleVX, particles.particleVY, particles.particleVZ}) {
        store.insert(store.end(), array, array + particleCapacity);
    }
    for (int i = 0; i < particleCapacity; ++i) {
        store.push_back(static_cast<float>(particles.particleTag[i]));
    }
    return store;
}

class CatalogueMarksTest : public StateTest, public ::testing::WithParamInterface<int> {
  protected:
    bool marked(unsigned mark) const { return (catalogue[GetParam()].marks & mark) != 0u; }

    // The field after frames from seed 1, the mouse still at (30, 40) or sweeping the grid every frame.
    uint64_t run(bool mouseMoves) const {
        resetWorld();
        startEffect(GetParam(), 1);
        for (int frame = 0; frame < frames; ++frame) {
            shared.mouseX = mouseMoves ? frame * 37 % 200 : 30;
            shared.mouseY = mouseMoves ? frame * 53 % 200 : 40;
            timerTick(session);
        }
        return fieldHash();
    }
};

TEST_P(CatalogueMarksTest, SayWhatTheEntryDoes) {
#ifdef GLOWFIELD_SANITIZED_TESTS
    // The marks are facts about the pictures, measured on every entry in the release run; under the
    // sanitizers a sample of entries runs the same code at an eighth of the cost.
    if (GetParam() % 8 != 0) {
        GTEST_SKIP() << "measured in the release run";
    }
#endif
    // On a blank field, with no motion either, the wave step alone keeps every cell at 0.
    resetWorld();
    startEffect(GetParam(), 1);
    fillField({0.0f});
    float largest = 0.0f;
    for (int frame = 0; frame < frames; ++frame) {
        timerTick(session);
        for (const float* plane : {planes.red, planes.green, planes.blue}) {
            for (int x = 0; x < field.gridSize; ++x) {
                for (int y = 0; y < field.gridSize; ++y) {
                    largest = std::max(largest, std::fabs(plane[cellAt(x, y)]));
                }
            }
        }
    }
    EXPECT_EQ(largest <= 1.0f, marked(transformsMark)) << "largest level drawn on a blank field: " << largest;

    resetWorld();
    startEffect(GetParam(), 1);
    const std::vector<float> store = particleStore();
    const uint64_t still = run(false);
    EXPECT_EQ(particleStore() != store, marked(laysParticlesMark)) << "whether the shared store changed";
    EXPECT_EQ(run(true) != still, marked(followsMouseMark)) << "whether a moving mouse changes the frames";

    TempDir folder;
    BmpLayout layout;
    layout.width = 300;
    layout.height = 220;
    layout.colour = [](int l, int k) {
        return static_cast<uint32_t>(l * 0x040000 + k * 0x000503) & 0xffffff;
    };
    writeBmp(folder.file("wall.bmp"), layout);
    setPictureDirectory(folder.path());
    EXPECT_EQ(run(false) != still, marked(usesPicturesMark)) << "whether a picture changes the frames";
}

INSTANTIATE_TEST_SUITE_P(Catalogue, CatalogueMarksTest, ::testing::ValuesIn(everyEntry()), entryTestName);

} // namespace
} // namespace glowfield::test
