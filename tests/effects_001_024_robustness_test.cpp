// Effects 1 to 24 over long runs and on a field and particle store full of extreme values (huge, infinite,
// not a number). Out-of-bounds access is what the sanitizer build looks for; here every run also checks that
// no effect wrote outside the live grid and that the effect stayed current.
#include <limits>

#include "app/frame_loop.h"
#include "effect_checks.h"
#include "effects/effect_state.h"
#include "field/field.h"
#include "field/picture.h"

namespace glowfield::test {
namespace {

class EffectsOneToTwentyFourRobustness : public StateTest, public ::testing::WithParamInterface<int> {
  protected:
    // Counts the stored cells beyond the live grid that hold anything but 0 (when clearing, sets them to 0).
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
};

// A picture for the relief, so that its lattice walk reads real samples.
void writePicture(const TempDir& folder) {
    BmpSpec spec;
    spec.width = 300;
    spec.height = 220;
    spec.colour = [](int l, int k) { return static_cast<uint32_t>(l * 0x010305 + k * 0x070100) & 0xffffff; };
    writeBmp(folder.file("wall.bmp"), spec);
}

TEST_P(EffectsOneToTwentyFourRobustness, RunsTwoThousandFramesFromASeededStart) {
    const int effect = GetParam();
    TempDir folder;
    writePicture(folder);
    setPictureDirectory(folder.path());
    startEffect(effect, 1);
    runFrames(2000);
    EXPECT_EQ(shared.currentEffect & 0xff, effect);
    EXPECT_EQ(outsideLiveGrid(false), 0);
}

TEST_P(EffectsOneToTwentyFourRobustness, SurvivesAnExtremeFieldAndParticleStore) {
    const int effect = GetParam();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const int32_t tags[] = {std::numeric_limits<int32_t>::min(), -1, 0, 7,
                            std::numeric_limits<int32_t>::max()};
    const float angles[] = {nan, inf, -1e30f, 3e9f};
    startEffect(effect, 1);
    fillField(extremeValues());
    outsideLiveGrid(true);
    fillParticles(extremeValues(), std::vector<int32_t>(std::begin(tags), std::end(tags)));
    shared.sharedAngle = angles[effect % 4];
    shared.lastChannel = tags[effect % 5];
    shared.spotX = shared.spotY = tags[(effect + 1) % 5];
    // The largest picture the planes hold, so that the relief samples reach their far edges.
    picture.pictureWidth = pictureColumns;
    picture.pictureHeight = pictureRows;
    runFrames(300);
    EXPECT_EQ(shared.currentEffect & 0xff, effect);
    EXPECT_EQ(outsideLiveGrid(false), 0);
}

INSTANTIATE_TEST_SUITE_P(Effects, EffectsOneToTwentyFourRobustness, ::testing::Range(1, 25));

} // namespace
} // namespace glowfield::test
