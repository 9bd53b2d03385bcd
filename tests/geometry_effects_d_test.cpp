// Twenty-six geometry entries with drawings of their own (Paintball to X-Sighting): they stay inside small
// live grids while the mouse jumps between edges and the frame clock wraps, the ones that redraw every cell
// forget what an earlier entry left, and none settles into a frozen or uniform picture after a long run.
#include <algorithm>
#include <cmath>
#include <vector>

#include "catalogue_entries.h"
#include "effects/catalogue.h"
#include "effects/effect_counts.h"
#include "field/field.h"
#include "field/picture.h"
#include "field/random.h"
#include "field/trig.h"
#include "test_support.h"

namespace glowfield::test {
namespace {

const std::vector<int> ownEntries = ownEffectsOf({Family::geometry});

// One entry's own object on an n x n live grid, stepped as the program does: the wave step, then the entry,
// with the runner's counts since start and since the mouse moved.
class Runner {
  public:
    Runner(int entry, int n, uint32_t firstFrame)
        : effect_(catalogue[entry].make()), context_{planes, n, firstFrame, n / 2, n / 2, picture} {
        field.gridSize = static_cast<uint16_t>(n);
        counts_.beforeStep(true, n, context_.mouseX, context_.mouseY);
        effect_->start(context_);
    }

    // With a moving mouse the cursor jumps between the grid's edges every frame.
    void frames(int count, bool mouseMoves = false) {
        const int n = context_.n;
        for (int f = 0; f < count; ++f) {
            if (mouseMoves) {
                context_.mouseX = (f * 7) % n;
                context_.mouseY = f % 2 ? 0 : n - 1;
            }
            if (stepped_) {
                counts_.beforeStep(false, n, context_.mouseX, context_.mouseY);
            }
            context_.framesSinceStart = counts_.framesSinceStart();
            context_.framesSinceMouseMoved = counts_.framesSinceMouseMoved();
            waveStep();
            effect_->step(context_);
            stepped_ = true;
            ++context_.frame;
        }
    }

  private:
    std::unique_ptr<Effect> effect_;
    EffectContext context_;
    EffectCounts counts_;
    bool stepped_ = false;
};

class GeometryEffectsD : public StateTest {
  protected:
    void SetUp() override {
        StateTest::SetUp();
        buildSineTable(); // start-up builds it in the program; the effects' clocks run on it
    }

    static float* plane(int p) {
        float* all[6] = {planes.red,         planes.green,         planes.blue,
                         planes.redVelocity, planes.greenVelocity, planes.blueVelocity};
        return all[p];
    }

    // The live colour cells, for comparing pictures.
    static std::vector<float> colours(int n) {
        std::vector<float> out;
        for (int p = 0; p < 3; ++p) {
            for (int x = 0; x < n; ++x) {
                for (int y = 0; y < n; ++y) {
                    out.push_back(plane(p)[cellAt(x, y)]);
                }
            }
        }
        return out;
    }
};

TEST_F(GeometryEffectsD, StayInsideSmallGridsWhileTheMouseJumpsAndTheClockWraps) {
    constexpr float marker = 7.25f;
    for (int entry : ownEntries) {
        ASSERT_NE(catalogue[entry].make, nullptr) << entry;
        for (int n : {16, 37}) {
            fillField({marker});
            // The smallest grid also crosses the end of the 32-bit frame clock.
            const uint32_t first = n == 16 ? 0xffffffffu - 60u : 1000u;
            Runner(entry, n, first).frames(150, true);
            for (int p = 0; p < 6; ++p) {
                for (int x = 0; x < planeStride; ++x) {
                    for (int y = 0; y < planeStride; ++y) {
                        const float v = plane(p)[cellAt(x, y)];
                        if (x >= n || y >= n) {
                            ASSERT_EQ(v, marker)
                                << "entry " << entry << " n " << n << " wrote (" << x << ", " << y << ")";
                        } else {
                            ASSERT_TRUE(std::isfinite(v)) << "entry " << entry << " n " << n;
                        }
                    }
                }
            }
        }
    }
}

TEST_F(GeometryEffectsD, RedrawnPicturesDoNotDependOnWhatCameBefore) {
    // These entries set every live cell each frame from their own state and the clock, so from the same seed
    // a field of huge values and a calm one must end in the same picture.
    const int redrawn[] = {75, 79, 86, 92, 94, 95, 99, 104, 135, 141, 152, 158, 159, 169, 171};
    for (int entry : redrawn) {
        std::vector<std::vector<float>> pictures;
        for (const std::vector<float>& before :
             std::vector<std::vector<float>>{{3.0f, -50.0f}, {1e30f, -1e30f, std::nanf("")}}) {
            fillField(before);
            seedRandom(11);
            Runner(entry, 200, 5000u).frames(25);
            pictures.push_back(colours(200));
        }
        EXPECT_TRUE(pictures[0] == pictures[1]) << "entry " << entry;
    }
}

TEST_F(GeometryEffectsD, EclipseCoversTheSunAtMidCycleEveryNineSeconds) {
    // The moon's path follows the clock alone: the sun's centre is dark at frames 225 and 675, in the middle
    // of totality, and bright between, at frame 450, when the moon is well clear.
    fillField({0.0f});
    Runner runner(75, 200, 0u);
    const int centre = cellAt(100, 72);
    runner.frames(226);
    EXPECT_LT(planes.red[centre], -100.0f);
    runner.frames(225);
    EXPECT_GT(planes.red[centre], 50.0f);
    runner.frames(225);
    EXPECT_LT(planes.red[centre], -100.0f);
}

TEST_F(GeometryEffectsD, KeepMovingWithContrastAfterALongRun) {
    for (int entry : ownEntries) {
        fillField({0.0f});
        seedRandom(3);
        Runner runner(entry, 200, 0u);
        runner.frames(400);
        const std::vector<float> before = colours(200);
        runner.frames(1);
        const std::vector<float> after = colours(200);
        EXPECT_FALSE(before == after) << "entry " << entry << " froze";
        // Contrast: the shown levels of some channel span a good part of the range.
        float spread = 0.0f;
        for (size_t p = 0; p < 3; ++p) {
            const auto first = after.begin() + static_cast<std::ptrdiff_t>(p * 40000);
            const auto [lo, hi] = std::minmax_element(first, first + 40000);
            spread = std::max(spread, std::clamp(*hi, -127.0f, 128.0f) - std::clamp(*lo, -127.0f, 128.0f));
        }
        EXPECT_GT(spread, 80.0f) << "entry " << entry << " faded to a flat picture";
        // Nothing builds up without bound: an effect that moves colours without their velocities, or pushes
        // one way only, lets the wave step pump the field far past the shown range.
        float largest = 0.0f;
        for (int p = 0; p < 6; ++p) {
            for (int x = 0; x < 200; ++x) {
                for (int y = 0; y < 200; ++y) {
                    largest = std::max(largest, std::fabs(plane(p)[cellAt(x, y)]));
                }
            }
        }
        EXPECT_LT(largest, 2000.0f) << "entry " << entry << " let the field grow";
    }
}

} // namespace
} // namespace glowfield::test
