// Own effects drawn to fill the screen: ten seconds in, from a fresh start and after another entry, most of
// the picture is lit and has contrast, a visible share of it changes every few frames, and nothing strobes a
// large area. These are the faults their earlier drawings had (a wash to flat grey, a near-black screen, a
// picture that hardly moved), so each is checked where it would show.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "effects/catalogue.h"
#include "field/field.h"
#include "test_support.h"

namespace glowfield::test {
namespace {

const int entries[] = {37, 59, 79, 80, 108, 167, 168, 178, 210};

constexpr int flowerEntry = 1;

// The shown levels of the live grid: three channels per cell, as the renderer clamps them.
std::vector<int> shownLevels() {
    const int n = field.gridSize;
    std::vector<int> levels;
    levels.reserve(static_cast<size_t>(n) * n * 3);
    for (int x = 0; x < n; ++x) {
        for (int y = 0; y < n; ++y) {
            for (const float* plane : {planes.red, planes.green, planes.blue}) {
                const float v = plane[cellAt(x, y)] + 127.0f;
                levels.push_back(v < 0.0f ? 0 : v > 255.0f ? 255 : static_cast<int>(v));
            }
        }
    }
    return levels;
}

double shareNearBlack(const std::vector<int>& levels) {
    int dark = 0;
    for (size_t i = 0; i < levels.size(); i += 3) {
        dark += std::max({levels[i], levels[i + 1], levels[i + 2]}) < 40 ? 1 : 0;
    }
    return 3.0 * dark / static_cast<double>(levels.size());
}

// The spread of the shown levels: low for a wash of one flat colour.
double levelSpread(const std::vector<int>& levels) {
    double sum = 0.0, squares = 0.0;
    for (const int v : levels) {
        sum += v;
        squares += static_cast<double>(v) * v;
    }
    const double mean = sum / static_cast<double>(levels.size());
    return std::sqrt(squares / static_cast<double>(levels.size()) - mean * mean);
}

// The share of cells whose levels moved by more than a faint flicker (a summed 12 levels).
double shareChanged(const std::vector<int>& a, const std::vector<int>& b) {
    int changed = 0;
    for (size_t i = 0; i < a.size(); i += 3) {
        const int d = std::abs(a[i] - b[i]) + std::abs(a[i + 1] - b[i + 1]) + std::abs(a[i + 2] - b[i + 2]);
        changed += d > 12 ? 1 : 0;
    }
    return 3.0 * changed / static_cast<double>(a.size());
}

// The share of cells whose brightness jumped by more than a quarter of the range in one frame.
double shareJumped(const std::vector<int>& a, const std::vector<int>& b) {
    int jumped = 0;
    for (size_t i = 0; i < a.size(); i += 3) {
        const int luma = 3 * (b[i] - a[i]) + 6 * (b[i + 1] - a[i + 1]) + (b[i + 2] - a[i + 2]);
        jumped += std::abs(luma) > 640 ? 1 : 0;
    }
    return 3.0 * jumped / static_cast<double>(a.size());
}

class ScreenFillingEffect : public StateTest, public ::testing::WithParamInterface<int> {
  protected:
    // Runs from the entry's first frame to frame 605 and checks the picture at 600 against 605; from frame 20
    // on, no step may jump a large area's brightness (the first frames may cut from what was there).
    void checkRun(const char* how) {
        std::vector<int> last = shownLevels();
        std::vector<int> at600;
        for (int frame = 1; frame <= 605; ++frame) {
            runFrames(1);
            std::vector<int> now = shownLevels();
            if (frame >= 20) {
                ASSERT_LT(shareJumped(last, now), 0.1) << how << ": a flash at frame " << frame;
            }
            if (frame == 600) {
                at600 = now;
                EXPECT_LE(shareNearBlack(now), 0.7) << how << ": mostly near-black at frame 600";
                EXPECT_GT(levelSpread(now), 30.0) << how << ": washed flat by frame 600";
            }
            last = std::move(now);
        }
        EXPECT_GT(shareChanged(at600, last), 0.005) << how << ": frames 600 and 605 hardly differ";
    }
};

TEST_P(ScreenFillingEffect, StaysLitAndMovingWithoutFlashesFromAFreshStart) {
    startEffect(GetParam(), 1);
    checkRun("fresh");
}

TEST_P(ScreenFillingEffect, StaysLitAndMovingWithoutFlashesAfterAnotherEntry) {
    startEffect(flowerEntry, 1);
    runFrames(300);
    selectEffect(GetParam());
    checkRun("after Flower");
}

INSTANTIATE_TEST_SUITE_P(Redesigned, ScreenFillingEffect, ::testing::ValuesIn(entries),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return "Entry" + std::to_string(info.param);
                         });

} // namespace
} // namespace glowfield::test
