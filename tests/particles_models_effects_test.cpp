// The particle and point-model effects with state of their own: on grids of every allowed size, and when the
// size changes under them, nothing is written beyond the live grid and every colour stays finite; they keep
// moving across a wrap of the frame counter and with the mouse pinned at or beyond the grid's corners; they
// show a picture with contrast that moves from a fresh start; and a switch away and back runs the same way
// every time.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "app/frame_loop.h"
#include "effect_checks.h"
#include "effects/catalogue.h"
#include "effects/effect_state.h"
#include "field/field.h"

namespace glowfield::test {
namespace {

constexpr int ownEntries[] = {108, 139, 143, 145, 150, 157, 161, 173, 182, 202, 205, 207, 212,
                              216, 218, 222, 223, 226, 229, 232, 236, 239, 0,   28,  46,  50};

class ParticlesModelsEffects : public StateTest, public ::testing::WithParamInterface<int> {
  protected:
    // Stored cells beyond the live grid that hold anything but 0; with clear, they are set to 0 as well.
    static int outsideLiveGrid(bool clear) {
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

    static int nonFiniteColours() {
        int count = 0;
        for (int p = 0; p < 3; ++p) {
            for (int x = 0; x < field.gridSize; ++x) {
                for (int y = 0; y < field.gridSize; ++y) {
                    count += std::isfinite(allPlanes[p][cellAt(x, y)]) ? 0 : 1;
                }
            }
        }
        return count;
    }

    // The spread of shown brightness between the 2nd and 98th percentile of the live cells, in levels.
    static float contrast() {
        std::vector<float> levels;
        const int n = field.gridSize;
        for (int x = 0; x < n; ++x) {
            for (int y = 0; y < n; ++y) {
                const int cell = cellAt(x, y);
                const float v = (planes.red[cell] + planes.green[cell] + planes.blue[cell]) / 3.0f;
                levels.push_back(std::clamp(v, -127.0f, 128.0f));
            }
        }
        std::sort(levels.begin(), levels.end());
        return levels[levels.size() * 98 / 100] - levels[levels.size() * 2 / 100];
    }

    // A hash of the live colours only: what the viewer sees.
    static uint64_t colourHash() {
        uint64_t h = 1469598103934665603ull;
        for (int p = 0; p < 3; ++p) {
            for (int x = 0; x < field.gridSize; ++x) {
                for (int y = 0; y < field.gridSize; ++y) {
                    const auto level =
                        static_cast<int64_t>(std::clamp(allPlanes[p][cellAt(x, y)], -127.0f, 128.0f));
                    h = (h ^ static_cast<uint64_t>(level + 128)) * 1099511628211ull;
                }
            }
        }
        return h;
    }

    static void step(int frames) {
        for (int k = 0; k < frames; ++k) {
            frameStep();
        }
    }
};

TEST_P(ParticlesModelsEffects, StaysOnGridsOfEverySizeAndWhenTheSizeChanges) {
    const int effect = GetParam();
    for (const int grid : {minimumEffectGrid, 37, planeStride}) {
        startEffect(effect, 3);
        field.gridSize = static_cast<uint16_t>(grid);
        outsideLiveGrid(true);
        step(90);
        EXPECT_EQ(outsideLiveGrid(false), 0) << "entry " << effect << ", grid " << grid;
        EXPECT_EQ(nonFiniteColours(), 0) << "entry " << effect << ", grid " << grid;
    }
    // Shrinking and growing under a running effect: its state was laid out for the old size.
    for (const int grid : {minimumEffectGrid, planeStride, 101}) {
        field.gridSize = static_cast<uint16_t>(grid);
        outsideLiveGrid(true);
        step(40);
        EXPECT_EQ(outsideLiveGrid(false), 0) << "entry " << effect << ", changed to " << grid;
        EXPECT_EQ(nonFiniteColours(), 0) << "entry " << effect << ", changed to " << grid;
    }
    EXPECT_EQ(shared.currentEffect & 0xff, effect);
}

TEST_P(ParticlesModelsEffects, ShowsContrastAndMotionFromAFreshStart) {
    const int effect = GetParam();
    startEffect(effect, 1);
    step(50);
    EXPECT_GT(contrast(), 40.0f) << "entry " << effect << " at frame 50";
    step(310);
    const uint64_t before = colourHash();
    step(1);
    EXPECT_NE(colourHash(), before) << "entry " << effect << " froze at frame 360";
    step(39);
    EXPECT_GT(contrast(), 40.0f) << "entry " << effect << " at frame 400";
}

TEST_P(ParticlesModelsEffects, KeepsMovingAcrossAWrapOfTheFrameCounter) {
    const int effect = GetParam();
    startEffect(effect, 1);
    // frameStep alone: the automatic switch, which the wrap to 0 would trigger, is not part of this.
    shared.frameCounter = 0xffffffffu - 60u;
    step(120);
    for (int k = 0; k < 3; ++k) {
        const uint64_t before = colourHash();
        step(1);
        EXPECT_NE(colourHash(), before) << "entry " << effect << ", frame " << shared.frameCounter;
    }
    EXPECT_EQ(nonFiniteColours(), 0);
    EXPECT_EQ(shared.currentEffect & 0xff, effect);
}

TEST_P(ParticlesModelsEffects, MouseAtAndBeyondTheCornersKeepsEverythingOnTheGrid) {
    const int effect = GetParam();
    startEffect(effect, 5);
    outsideLiveGrid(true);
    const int far = field.gridSize - 1;
    const int spots[][2] = {{0, 0},     {far, 0},     {far, far},        {0, far},
                            {-500, 40}, {90, 100000}, {far / 2, far / 2}};
    for (int frame = 0; frame < 280; ++frame) {
        // A new spot every 40 frames, with a one-cell jitter so the mouse counts as moving.
        const auto& spot = spots[(frame / 40) % 7];
        shared.mouseX = spot[0] + (frame % 2);
        shared.mouseY = spot[1];
        step(1);
    }
    EXPECT_EQ(outsideLiveGrid(false), 0) << "entry " << effect;
    EXPECT_EQ(nonFiniteColours(), 0) << "entry " << effect;
}

TEST_P(ParticlesModelsEffects, SwitchingAwayAndBackRunsTheSameEveryTime) {
    const int effect = GetParam();
    const int other = effect == 0 ? 28 : 0;
    uint64_t hashes[2] = {};
    for (uint64_t& hash : hashes) {
        startEffect(effect, 9);
        step(70);
        selectEffect(other);
        step(20);
        selectEffect(effect);
        step(70);
        hash = fieldHash();
    }
    EXPECT_EQ(hashes[0], hashes[1]) << "entry " << effect;
}

INSTANTIATE_TEST_SUITE_P(OwnEntries, ParticlesModelsEffects, ::testing::ValuesIn(ownEntries),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return std::to_string(info.param);
                         });

// Effects with a cycle of their own, seen from outside through the colours they leave.
class ParticlesModelsBehaviour : public StateTest {
  protected:
    static int cellsOfColour(float r, float g, float b) {
        int count = 0;
        for (int x = 0; x < field.gridSize; ++x) {
            for (int y = 0; y < field.gridSize; ++y) {
                const int cell = cellAt(x, y);
                count += planes.red[cell] == r && planes.green[cell] == g && planes.blue[cell] == b ? 1 : 0;
            }
        }
        return count;
    }
    static float meanOfTopRows() {
        double sum = 0.0;
        const int rows = field.gridSize / 10;
        for (int x = 0; x < field.gridSize; ++x) {
            for (int y = 0; y < rows; ++y) {
                const int cell = cellAt(x, y);
                sum += (planes.red[cell] + planes.green[cell] + planes.blue[cell]) / 3.0;
            }
        }
        return static_cast<float>(sum / (field.gridSize * rows));
    }
};

TEST_F(ParticlesModelsBehaviour, SnowSettlesIntoDriftsThatThawBeforeTheyFillTheScreen) {
    // The inside of a drift has its own pale blue; its surface is white.
    const float r = 205 - 127.0f, g = 215 - 127.0f, b = 240 - 127.0f;
    startEffect(182, 1);
    runFrames(1500);
    const int early = cellsOfColour(r, g, b);
    EXPECT_GT(early, 200);
    runFrames(4500);
    EXPECT_LT(cellsOfColour(r, g, b), field.gridSize * field.gridSize / 5);
}

TEST_F(ParticlesModelsBehaviour, TheTangleGrowsThenUnravelsAndStartsAgain) {
    startEffect(222, 1);
    const auto yarn = [] {
        const int n = field.gridSize;
        return n * n - cellsOfColour(26 - 127.0f, 22 - 127.0f, 30 - 127.0f) -
               cellsOfColour(32 - 127.0f, 28 - 127.0f, 36 - 127.0f);
    };
    runFrames(300);
    const int young = yarn();
    runFrames(1100);
    const int grown = yarn();
    EXPECT_GT(grown, young + 2000);
    runFrames(200); // past the unravelling at 1500 frames
    EXPECT_LT(yarn(), grown / 2);
}

TEST_F(ParticlesModelsBehaviour, TheSkyDarkensAsTheRocketClimbsAndANewOneStandsInDaylight) {
    startEffect(205, 1);
    runFrames(30);
    const float day = meanOfTopRows();
    runFrames(390);
    EXPECT_LT(meanOfTopRows(), day - 40.0f);
    runFrames(60); // past the relaunch at 450 frames
    EXPECT_NEAR(meanOfTopRows(), day, 10.0f);
}

// Every entry here really has its own effect now, not another entry's routine.
TEST(ParticlesModelsCatalogue, EveryOwnEntryIsAnEffectOfItsOwn) {
    for (const int entry : ownEntries) {
        EXPECT_NE(catalogue[entry].make, nullptr) << "entry " << entry;
    }
}

} // namespace
} // namespace glowfield::test
