// Every entry of the effect table in turn on velocities that key m has doubled into infinities and NaNs.
// Nothing may read or write outside an array (the sanitizer build turns any such access into a failure), and
// the rendered picture stays defined. Each entry on its own against extremes is in catalogue_test.
#include <cmath>
#include <limits>

#include "app/commands.h"
#include "app/frame_loop.h"
#include "effects/catalogue.h"
#include "effects/effect_state.h"
#include "effects/world.h"
#include "field/field.h"
#include "test_support.h"

namespace glowfield::test {
namespace {

class AdversarialTest : public StateTest {
  protected:
    // Renders into a 32-bit surface whose every pixel must carry only the colour bits.
    void expectDefinedPicture(HeadlessDisplay& display, int effect) {
        for (int y = 0; y < 600; y += 7) {
            for (int x = 0; x < 800; x += 5) {
                ASSERT_EQ(display.surface().pixelAt(x, y) & 0xff000000u, 0u) << "effect " << effect;
            }
        }
    }
};

TEST_F(AdversarialTest, DoublingThreeHundredTimesThenEveryEffect) {
    startEffect(0, 1);
    for (int press = 0; press < 300; ++press) {
        pressKey(session, 'm');
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
