// The 3-D model effects with their own state: they keep to the live grid however small it is, show a
// moving picture with contrast from a fresh start, survive their own cycles and counters wrapping, and
// start afresh when their entry is chosen again.
#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "catalogue_entries.h"
#include "effects/catalogue.h"
#include "effects/effect_state.h"
#include "effects/world.h"
#include "field/field.h"
#include "field/random.h"
#include "test_support.h"

namespace glowfield::test {
namespace {

const std::vector<int> modelEntries = ownEffectsOf({Family::models});

class ModelsEffects : public StateTest {
  protected:
    // Spread of the live cells' brightness (sum of the three colours), and whether every live value is
    // finite.
    static float brightnessSpread(bool& finite) {
        const int n = field.gridSize;
        float lo = 1e30f, hi = -1e30f;
        finite = true;
        for (int x = 0; x < n; ++x) {
            for (int y = 0; y < n; ++y) {
                const int cell = cellAt(x, y);
                const float v = planes.red[cell] + planes.green[cell] + planes.blue[cell];
                finite = finite && std::isfinite(v);
                lo = v < lo ? v : lo;
                hi = v > hi ? v : hi;
            }
        }
        return hi - lo;
    }

    static std::vector<float> liveColours() {
        const int n = field.gridSize;
        std::vector<float> out;
        for (int x = 0; x < n; ++x) {
            for (int y = 0; y < n; ++y) {
                out.push_back(planes.red[cellAt(x, y)]);
                out.push_back(planes.green[cellAt(x, y)]);
                out.push_back(planes.blue[cellAt(x, y)]);
            }
        }
        return out;
    }

    // True when any stored cell outside the live grid holds something other than zero.
    static bool wroteOutsideGrid() {
        const int n = field.gridSize;
        const float* const all[6] = {planes.red,         planes.green,         planes.blue,
                                     planes.redVelocity, planes.greenVelocity, planes.blueVelocity};
        for (const float* plane : all) {
            for (int x = 0; x < planeStride; ++x) {
                for (int y = 0; y < planeStride; ++y) {
                    if ((x >= n || y >= n) && plane[cellAt(x, y)] != 0.0f) {
                        return true;
                    }
                }
            }
        }
        return false;
    }
};

// Models are laid out in proportion to the grid, with perspective blowing near parts up well beyond it:
// on the smallest grids and an odd one, every write must still land inside.
TEST_F(ModelsEffects, KeepToTheLiveGridOnSmallAndOddGrids) {
    for (const int grid : {minimumEffectGrid, 37}) {
        for (const int entry : modelEntries) {
            startEffect(entry, 3);
            field.gridSize = static_cast<uint16_t>(grid);
            float* const all[6] = {planes.red,         planes.green,         planes.blue,
                                   planes.redVelocity, planes.greenVelocity, planes.blueVelocity};
            for (float* plane : all) {
                for (int cell = 0; cell < planeCells; ++cell) {
                    plane[cell] = 0.0f;
                }
            }
            runFrames(120);
            EXPECT_FALSE(wroteOutsideGrid()) << "entry " << entry << " grid " << grid;
            bool finite = false;
            brightnessSpread(finite);
            EXPECT_TRUE(finite) << "entry " << entry << " grid " << grid;
        }
    }
}

// The grid can shrink while an entry runs (its objects were laid out for the larger one), and the mouse can
// sit in any corner (it steers the star flight's vanishing point and the bouncing ball): stars, drops,
// shards and dice that end up off the grid are dropped or respawned, never written.
TEST_F(ModelsEffects, KeepToTheGridWhenItShrinksAndTheMouseIsInACorner) {
    for (const int entry : modelEntries) {
        for (const int corner : {0, 1}) {
            startEffect(entry, 6);
            shared.mouseX = corner ? 100000 : -5;
            shared.mouseY = corner ? -5 : 100000;
            runFrames(60);
            field.gridSize = 29;
            float* const all[6] = {planes.red,         planes.green,         planes.blue,
                                   planes.redVelocity, planes.greenVelocity, planes.blueVelocity};
            for (float* plane : all) {
                for (int x = 0; x < planeStride; ++x) {
                    for (int y = 0; y < planeStride; ++y) {
                        if (x >= 29 || y >= 29) {
                            plane[cellAt(x, y)] = 0.0f;
                        }
                    }
                }
            }
            runFrames(80);
            EXPECT_FALSE(wroteOutsideGrid()) << "entry " << entry << " corner " << corner;
            bool finite = false;
            brightnessSpread(finite);
            EXPECT_TRUE(finite) << entry;
        }
    }
}

// A fresh start shows a picture with contrast within a second and again much later, and keeps moving.
TEST_F(ModelsEffects, ShowAMovingPictureWithContrast) {
    for (const int entry : modelEntries) {
        startEffect(entry, 1);
        runFrames(50);
        bool finite = false;
        EXPECT_GT(brightnessSpread(finite), 120.0f) << "entry " << entry << " at frame 50";
        runFrames(310);
        const std::vector<float> before = liveColours();
        runFrames(1);
        EXPECT_NE(before, liveColours()) << "entry " << entry << " froze";
        runFrames(39);
        EXPECT_GT(brightnessSpread(finite), 120.0f) << "entry " << entry << " at frame 400";
        EXPECT_TRUE(finite) << entry;
    }
}

// Effects on long cycles (the Lorenz tracers regather after 2000 frames, the life board reseeds, the dice
// are thrown again, the tower is rebuilt) and a frame counter near the top of its range (its wrap itself
// always switches entries) must not leave a blank, frozen or undefined field.
TEST_F(ModelsEffects, OutliveTheirCyclesAndAFrameCounterNearItsTop) {
    for (const int entry : {142, 220, 237, 66, 201}) {
        startEffect(entry, 5);
        runFrames(2300);
        bool finite = false;
        EXPECT_GT(brightnessSpread(finite), 120.0f) << entry;
        EXPECT_TRUE(finite) << entry;
    }
    for (const int entry : modelEntries) {
        startEffect(entry, 2);
        shared.frameCounter = 0xffffffffu - 100u;
        runFrames(90);
        ASSERT_EQ(shared.currentEffect & 0xff, entry);
        bool finite = false;
        EXPECT_GT(brightnessSpread(finite), 120.0f) << entry;
        EXPECT_TRUE(finite) << entry;
    }
}

// Choosing an entry again starts its object afresh: from the same field, generator and clock, an effect
// chosen again after running a while draws exactly what it drew from its first start.
TEST_F(ModelsEffects, StartAfreshWhenChosenAgain) {
    auto saved = std::make_unique<FieldPlanes>();
    for (const int entry : {66, 142, 151, 172, 201, 220, 237}) {
        startEffect(entry, 4);
        *saved = planes;
        const EffectState savedShared = shared;
        const RandomState savedRandom = randomState;
        runFrames(30);
        const uint64_t fresh = fieldHash();
        runFrames(220);
        planes = *saved;
        shared = savedShared;
        randomState = savedRandom;
        selectEffect(entry);
        runFrames(30);
        EXPECT_EQ(fieldHash(), fresh) << entry;
    }
}

} // namespace
} // namespace glowfield::test
