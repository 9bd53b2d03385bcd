// Twitch: every 120 frames the velocities are scrambled wholesale.

#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "effects/shared/effect_helpers.h"
#include "field/field.h"
#include "field/random.h"
#include "field/trig.h"

namespace glowfield {

void twitch() {
    if (shared.frameCounter % 120 != 1) {
        return;
    }
    const int n = field.gridSize;
    float* still = velocityPlane(nextRandom() % 3);
    // Two colours' motion is scrambled; the chosen one is overwritten with a value of 0 to 2 right away.
    for (int x = 1; x <= n - 2; ++x) {
        for (int y = 1; y <= n - 2; ++y) {
            const int cell = cellAt(x, y);
            planes.redVelocity[cell] = static_cast<float>(nextRandom() % 50 - 25);
            planes.greenVelocity[cell] = static_cast<float>(nextRandom() % 50 - 25);
            planes.blueVelocity[cell] = static_cast<float>(nextRandom() % 50 - 25);
            still[cell] = static_cast<float>(nextRandom() % 3);
        }
    }
}

} // namespace glowfield
