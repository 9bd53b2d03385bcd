// The automata and warps effects with their own state: they keep inside the live grid when it is resized
// under them (their particles, walkers and fronts included), and every fresh object starts from nothing, so
// that switching back to an entry cannot see what an earlier run of it left behind.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "app/frame_loop.h"
#include "catalogue_entries.h"
#include "effects/catalogue.h"
#include "effects/effect.h"
#include "effects/effect_state.h"
#include "field/field.h"
#include "field/picture.h"
#include "field/random.h"
#include "field/trig.h"
#include "test_support.h"

namespace glowfield {

std::unique_ptr<Effect> makeGrowth();
std::unique_ptr<Effect> makeLife();
std::unique_ptr<Effect> makeFrozen();
std::unique_ptr<Effect> makeOops();
std::unique_ptr<Effect> makeInEdible();
std::unique_ptr<Effect> makeCrackle2();
std::unique_ptr<Effect> makeMeltdown();
std::unique_ptr<Effect> makeRiver();
std::unique_ptr<Effect> makeGetOuttaHere();
std::unique_ptr<Effect> makeHorlicks();

namespace test {
namespace {

const std::vector<int> ownEntries = ownEffectsOf({Family::automata, Family::warps});

constexpr float sentinel = 5.0f;

float* const allPlanes[6] = {planes.red,         planes.green,         planes.blue,
                             planes.redVelocity, planes.greenVelocity, planes.blueVelocity};

// The first stored cell beyond the live grid that no longer holds the sentinel, as x * 1000 + y; -1 if none.
int firstTouchedOutside(int n) {
    for (float* plane : allPlanes) {
        for (int x = 0; x < planeStride; ++x) {
            for (int y = 0; y < planeStride; ++y) {
                if ((x >= n || y >= n) && plane[cellAt(x, y)] != sentinel) {
                    return x * 1000 + y;
                }
            }
        }
    }
    return -1;
}

// Measures the live picture: the spread of summed channel values over a coarse sample of cells.
float contrast() {
    float low = 1e9f, high = -1e9f;
    for (int x = 0; x < 200; x += 3) {
        for (int y = 0; y < 200; y += 3) {
            const float v = planes.red[cellAt(x, y)] + planes.green[cellAt(x, y)] + planes.blue[cellAt(x, y)];
            low = v < low ? v : low;
            high = v > high ? v : high;
        }
    }
    return high - low;
}

class AutomataWarpsEffects : public StateTest {};

// Each entry starts at the usual size, then the grid shrinks to the smallest an effect is given, to an odd
// size (half-resolution boards) and back up to the largest: cached sizes, particle positions and precomputed
// maps must follow, and nothing may be written in the stored cells beyond the live grid.
TEST_F(AutomataWarpsEffects, KeepInsideTheLiveGridAsItIsResized) {
    for (const int entry : ownEntries) {
        startEffect(entry, 1);
        runFrames(5);
        for (const int n : {minimumEffectGrid, 57, 131}) {
            field.gridSize = static_cast<uint16_t>(n);
            fillField({sentinel});
            // The live cells get an ordinary picture again, so the effect has something to read.
            for (float* plane : allPlanes) {
                for (int x = 0; x < n; ++x) {
                    for (int y = 0; y < n; ++y) {
                        plane[cellAt(x, y)] = static_cast<float>((x * 7 + y * 3) % 90) - 45.0f;
                    }
                }
            }
            runFrames(30);
            EXPECT_EQ(firstTouchedOutside(n), -1) << "entry " << entry << " at grid " << n;
        }
        field.gridSize = planeStride;
        runFrames(10);
        field.gridSize = 200;
    }
}

// Runs a fresh object of one effect for some frames from one fixed field and generator state.
uint64_t freshRun(EffectFactory make, int frames) {
    prepareField(1);
    seedRandom(7);
    EffectContext context{planes, field.gridSize, 0, 40, 60, picture};
    std::unique_ptr<Effect> effect = make();
    effect->start(context);
    for (int i = 0; i < frames; ++i) {
        waveStep();
        context.frame = static_cast<uint32_t>(i);
        context.framesSinceStart = static_cast<uint32_t>(i);
        effect->step(context);
    }
    return fieldHash();
}

// An effect that kept anything in a static or global would run differently the second time, or after
// another effect of the family had run.
TEST_F(AutomataWarpsEffects, FreshObjectsShareNothingWithEarlierRuns) {
    const EffectFactory makers[] = {makeGrowth,   makeLife,     makeFrozen, makeOops,         makeInEdible,
                                    makeCrackle2, makeMeltdown, makeRiver,  makeGetOuttaHere, makeHorlicks};
    for (const EffectFactory make : makers) {
        const uint64_t first = freshRun(make, 40);
        for (const EffectFactory other : makers) {
            freshRun(other, 7);
        }
        EXPECT_EQ(freshRun(make, 40), first);
    }
}

// Cells the effects draw from their own state must show it, not whatever the previous entry left: after a
// bright, busy field and after a flat grey one, each entry's picture has contrast and keeps changing.
TEST_F(AutomataWarpsEffects, ShowAMovingPictureOverAnyLeftovers) {
    for (const int entry : ownEntries) {
        for (const float flat : {0.0f, 1e30f}) {
            startEffect(entry, 1);
            fillField({flat});
            runFrames(80);
            float low = 1e9f, high = -1e9f;
            for (int x = 0; x < 200; x += 3) {
                for (int y = 0; y < 200; y += 3) {
                    const float v =
                        planes.red[cellAt(x, y)] + planes.green[cellAt(x, y)] + planes.blue[cellAt(x, y)];
                    low = v < low ? v : low;
                    high = v > high ? v : high;
                }
            }
            EXPECT_GT(high - low, 60.0f) << "entry " << entry << " over " << flat;
            const uint64_t before = fieldHash();
            runFrames(1);
            EXPECT_NE(fieldHash(), before) << "entry " << entry << " over " << flat;
        }
    }
}

// The entries that run in rounds (a cluster that is replanted, frost that thaws, paint pots, mould that is
// wiped, glaze that is poured again, a melt that resets, a recut portrait, a fresh snapshot) must come round
// again rather than settle: long after their first round they still show contrast and change every frame.
TEST_F(AutomataWarpsEffects, RoundsComeAgainInsteadOfSettling) {
    for (const int entry : {89, 138, 180, 203, 227, 148, 30, 174}) {
        startEffect(entry, 3);
        runFrames(1400);
        EXPECT_GT(contrast(), 60.0f) << "entry " << entry;
        const uint64_t before = fieldHash();
        runFrames(1);
        EXPECT_NE(fieldHash(), before) << "entry " << entry;
    }
}

// The mouse steers some entries (the coral's seed, the goo's seed, the spoon, the broom): held in each corner
// of the grid, where flecks fly straight off the edge, they stay inside the live grid and finite.
TEST_F(AutomataWarpsEffects, MouseInTheCornersKeepsEverythingInside) {
    for (const int entry : {89, 217, 140, 136}) {
        startEffect(entry, 1);
        fillField({sentinel});
        field.gridSize = 200;
        for (const int corner : {0, 1, 2, 3}) {
            shared.mouseX = corner & 1 ? 199 : 0;
            shared.mouseY = corner & 2 ? 199 : 0;
            runFrames(15);
        }
        EXPECT_EQ(firstTouchedOutside(200), -1) << "entry " << entry;
        bool finite = true;
        for (float* plane : allPlanes) {
            for (int x = 0; x < 200; ++x) {
                for (int y = 0; y < 200; ++y) {
                    const float v = plane[cellAt(x, y)];
                    finite = finite && v == v && v < 1e30f && v > -1e30f;
                }
            }
        }
        EXPECT_TRUE(finite) << "entry " << entry;
    }
}

// Get Outta Here works on what it is given: switched to over a picture of red and blue halves, it shoves that
// picture outwards rather than painting it over, so a few frames later most of the screen still shows the two
// colours, and the red half still lies to the left of the blue.
TEST_F(AutomataWarpsEffects, GetOuttaHereBlastsThePreviousPictureInsteadOfCoveringIt) {
    startEffect(13, 1);
    fillField({0.0f});
    for (int x = 0; x < 200; ++x) {
        for (int y = 0; y < 200; ++y) {
            const bool left = x < 100;
            planes.red[cellAt(x, y)] = left ? 110.0f : -110.0f;
            planes.blue[cellAt(x, y)] = left ? -110.0f : 110.0f;
            planes.green[cellAt(x, y)] = -110.0f;
        }
    }
    selectEffect(136);
    runFrames(12);
    int kept = 0, all = 0, redLeft = 0, blueRight = 0;
    for (int x = 0; x < 200; x += 2) {
        for (int y = 0; y < 200; y += 2) {
            const float r = planes.red[cellAt(x, y)], g = planes.green[cellAt(x, y)],
                        b = planes.blue[cellAt(x, y)];
            const bool red = r > 60.0f && g < -60.0f && b<-60.0f, blue = b> 60.0f && g < -60.0f && r < -60.0f;
            kept += red || blue ? 1 : 0;
            redLeft += red && x < 30 ? 1 : 0;
            blueRight += blue && x >= 170 ? 1 : 0;
            ++all;
        }
    }
    EXPECT_GT(kept, all * 6 / 10);
    EXPECT_GT(redLeft, 0);
    EXPECT_GT(blueRight, 0);
}

} // namespace
} // namespace test
} // namespace glowfield
