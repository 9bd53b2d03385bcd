// The geometry and particle entries with drawings of their own: they stay on a grid that is small or changes
// size under them, the mouse-led ones keep their followers on the grid when the mouse sits in a corner, and
// the ones that run in cycles (fill and empty, split and wipe, spray and wipe) keep moving long after start.
#include <cmath>
#include <cstdint>
#include <vector>

#include "catalogue_entries.h"
#include "effects/effect.h"
#include "effects/effect_state.h"
#include "field/field.h"
#include "test_support.h"

namespace glowfield::test {
namespace {

const std::vector<int> ownEntries = ownEffectsOf({Family::geometry, Family::particles});

float* const colourPlanes[3] = {planes.red, planes.green, planes.blue};
float* const everyPlane[6] = {planes.red,         planes.green,         planes.blue,
                              planes.redVelocity, planes.greenVelocity, planes.blueVelocity};

constexpr float sentinel = 98765.0f;

// Marks every stored cell beyond the live grid of side n, in all six planes.
void markBeyond(int n) {
    for (float* plane : everyPlane) {
        for (int x = 0; x < planeStride; ++x) {
            for (int y = 0; y < planeStride; ++y) {
                if (x >= n || y >= n) {
                    plane[cellAt(x, y)] = sentinel;
                }
            }
        }
    }
}

// Cells beyond the live grid that no longer hold the mark.
int touchedBeyond(int n) {
    int touched = 0;
    for (float* plane : everyPlane) {
        for (int x = 0; x < planeStride; ++x) {
            for (int y = 0; y < planeStride; ++y) {
                if ((x >= n || y >= n) && plane[cellAt(x, y)] != sentinel) {
                    ++touched;
                }
            }
        }
    }
    return touched;
}

bool liveColoursFinite(int n) {
    for (float* plane : colourPlanes) {
        for (int x = 0; x < n; ++x) {
            for (int y = 0; y < n; ++y) {
                if (!std::isfinite(plane[cellAt(x, y)])) {
                    return false;
                }
            }
        }
    }
    return true;
}

// The spread of brightness over the live grid (levels 0..765 for the sum of the three channels).
float brightnessSpread(int n) {
    float lo = 1e9f, hi = -1e9f;
    for (int x = 0; x < n; ++x) {
        for (int y = 0; y < n; ++y) {
            float sum = 0.0f;
            for (float* plane : colourPlanes) {
                const float v = plane[cellAt(x, y)] + 127.0f;
                sum += v < 0.0f ? 0.0f : v > 255.0f ? 255.0f : v;
            }
            lo = sum < lo ? sum : lo;
            hi = sum > hi ? sum : hi;
        }
    }
    return hi - lo;
}

using GeometryParticlesEffects = StateTest;

TEST_F(GeometryParticlesEffects, StayOnTheLiveGridWhenItShrinksUnderThemAndWhenItIsTiny) {
    // Each entry starts on the full grid, which then shrinks to a sliver: per-column state sized at start
    // must follow, and particles, discs and lines near the new edges must stay inside it.
    for (int entry : ownEntries) {
        startEffect(entry);
        runFrames(30);
        for (int side : {37, minimumEffectGrid}) {
            field.gridSize = static_cast<uint16_t>(side);
            markBeyond(side);
            runFrames(60);
            EXPECT_EQ(touchedBeyond(side), 0) << "entry " << entry << " on a grid of " << side;
            EXPECT_TRUE(liveColoursFinite(side)) << "entry " << entry << " on a grid of " << side;
        }
        // And back to the full grid: the effect must grow its state again rather than index past it.
        field.gridSize = 200;
        runFrames(20);
        EXPECT_TRUE(liveColoursFinite(200)) << "entry " << entry;
    }
}

TEST_F(GeometryParticlesEffects, MouseLedEntriesFollowTheMouseIntoEveryCorner) {
    for (int entry : {45, 96}) { // the rope's anchor and the wasps' target
        startEffect(entry);
        runFrames(20);
        const int corners[4][2] = {{0, 0}, {199, 0}, {199, 199}, {0, 199}};
        for (const auto& corner : corners) {
            shared.mouseX = corner[0];
            shared.mouseY = corner[1];
            const uint64_t before = fieldHash();
            runFrames(40);
            EXPECT_NE(fieldHash(), before)
                << "entry " << entry << " stalled with the mouse at " << corner[0] << "," << corner[1];
            EXPECT_TRUE(liveColoursFinite(200)) << "entry " << entry;
        }
        // The mouse far outside the grid is clamped to its edge before an effect sees it.
        shared.mouseX = -5000;
        shared.mouseY = 1 << 30;
        runFrames(10);
        EXPECT_TRUE(liveColoursFinite(200)) << "entry " << entry;
    }
}

TEST_F(GeometryParticlesEffects, KeepMovingWithContrastThroughTheirCycles) {
    // About 1050 frames take every cyclic entry through at least one full round: the jug's puddle drains, the
    // painting wipes, the jar tips out, the wave breaks, the windscreen is wiped, the spirals change.
    for (int entry : ownEntries) {
        startEffect(entry);
        for (int checkpoint = 0; checkpoint < 3; ++checkpoint) {
            runFrames(350);
            // A round may end in a short rest (the test card is wiped blank for half a second): within a
            // second the picture moves and shows contrast again.
            const uint64_t before = fieldHash();
            bool moved = false, contrast = false;
            for (int frame = 0; frame < 50 && !(moved && contrast); ++frame) {
                runFrames(1);
                moved = moved || fieldHash() != before;
                contrast = contrast || brightnessSpread(200) > 120.0f;
            }
            EXPECT_TRUE(moved) << "entry " << entry << " froze for a second from frame "
                               << (checkpoint + 1) * 350;
            EXPECT_TRUE(contrast) << "entry " << entry << " went flat for a second from frame "
                                  << (checkpoint + 1) * 350;
        }
    }
}

TEST_F(GeometryParticlesEffects, ShowTheirOwnPictureOverAnyLeftovers) {
    // Whatever an earlier entry left (huge, infinite and NaN values; one flat grey; a bright busy field),
    // each entry must have its own picture with contrast and only finite colours within a second.
    const std::vector<std::vector<float>> leftovers = {
        extremeValues(), {0.0f}, {128.0f, -127.0f, 90.0f, 40.0f, -60.0f, 128.0f, 3.0f}};
    for (int entry : ownEntries) {
        for (size_t k = 0; k < leftovers.size(); ++k) {
            startEffect(entry);
            fillField(leftovers[k]);
            runFrames(50);
            EXPECT_TRUE(liveColoursFinite(200)) << "entry " << entry << " over leftovers " << k;
            EXPECT_GT(brightnessSpread(200), 120.0f) << "entry " << entry << " over leftovers " << k;
        }
    }
}

TEST_F(GeometryParticlesEffects, ASecondVisitStartsAfresh) {
    // Leaving and coming back makes a new object: the second visit from the same seed and the same leftovers
    // must match the first, so no state may survive in statics.
    for (int entry : {41, 72, 194, 240}) {
        startEffect(entry, 7);
        runFrames(120);
        const uint64_t first = fieldHash();
        startEffect(entry == 41 ? 42 : 41, 7);
        runFrames(90);
        startEffect(entry, 7);
        runFrames(120);
        EXPECT_EQ(fieldHash(), first) << "entry " << entry;
    }
}

} // namespace
} // namespace glowfield::test
