// Every entry of the effect table against fields and particle stores that no sane frame would produce:
// huge, infinite and NaN values everywhere. Nothing may read or write outside an array (the sanitizer build
// turns any such access into a failure), and the rendered picture stays defined.
#include <cmath>
#include <limits>

#include "app/commands.h"
#include "app/frame_loop.h"
#include "app/global_state.h"
#include "effects/effect_state.h"
#include "effects/catalogue.h"
#include "field/field.h"
#include "test_support.h"

namespace glowfield::test {
namespace {

class AdversarialTest : public StateTest {
  protected:
    // Start-up, the effect current, then extremes in the planes, the particle store and the shared globals
    // that effects read before they write them.
    static void startAmidExtremes(int effect, const std::vector<float>& fill,
                                  const std::vector<int32_t>& tags) {
        resetAllState();
        startEffect(effect, 1);
        fillField(fill);
        fillParticles(fill, tags);
        const bool odd = effect % 2 != 0;
        shared.scratchX = odd ? 2147483647 : -2147483647 - 1;
        shared.scratchY = odd ? -2147483647 - 1 : 2147483647;
        shared.spotX = shared.spotY = odd ? 2147483647 : -2147483647 - 1;
        shared.letterOffset = odd ? 2147483600 : -2147483600;
        shared.particleCount = odd ? 2147483647 : -5;
        shared.lastChannel = odd ? 7 : -1;
        shared.sharedAngle = fill[static_cast<size_t>(effect) % fill.size()];
    }

    // Renders into a 32-bit surface whose every pixel must carry only the colour bits.
    void expectDefinedPicture(HeadlessDisplay& display, int effect) {
        for (int y = 0; y < 600; y += 7) {
            for (int x = 0; x < 800; x += 5) {
                ASSERT_EQ(display.surface().pixelAt(x, y) & 0xff000000u, 0u) << "effect " << effect;
            }
        }
    }
};

// Frames per entry, split between the entry's own mix of extremes and the full mix.
constexpr int adversarialFrames = 500;

class EveryEntry : public AdversarialTest, public ::testing::WithParamInterface<int> {};

TEST_P(EveryEntry, SurvivesExtremeFieldsAndParticles) {
    const std::vector<std::vector<float>> fills = {
        extremeValues(),
        {1e30f, -1e30f},
        {std::numeric_limits<float>::quiet_NaN()},
        {std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity()},
    };
    const std::vector<int32_t> tags = {0, -1, 2147483647, -2147483647 - 1, 12000, -12001, 25, 3999};
    const int effect = GetParam();
    for (const std::vector<float>& fill : {fills[static_cast<size_t>(effect) % fills.size()], fills[0]}) {
        startAmidExtremes(effect, fill, tags);
        HeadlessDisplay display(32);
        for (int frame = 0; frame < adversarialFrames / 2; ++frame) {
            frameStep();
            // Refill now and then: an effect that clears the field must meet the extremes again.
            if (frame % 100 == 99) {
                fillField(fill);
                fillParticles(fill, tags);
            }
        }
        expectDefinedPicture(display, effect);
        ASSERT_EQ(shared.currentEffect & 0xff, effect);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, EveryEntry, ::testing::Range(0, effectCount));

TEST_F(AdversarialTest, DoublingThreeHundredTimesThenEveryEffect) {
    startEffect(0, 1);
    for (int press = 0; press < 300; ++press) {
        pressKey('m');
    }
    // The velocities have overflowed to infinities and NaNs by now.
    HeadlessDisplay display(32);
    for (int effect = 0; effect < effectCount; ++effect) {
        selectEffect(effect);
        for (int frame = 0; frame < 50; ++frame) {
            frameStep();
        }
    }
    expectDefinedPicture(display, -1);
}

} // namespace
} // namespace glowfield::test
