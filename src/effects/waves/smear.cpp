// Smear: every 40 frames a spiral kicked into one colour's motion.

#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "effects/shared/effect_helpers.h"
#include "field/field.h"
#include "field/numeric.h"
#include "field/random.h"
#include "field/trig.h"

namespace glowfield {

void smear() {
    if (shared.frameCounter % 40 != 0) {
        return;
    }
    const int n = field.gridSize;
    shared.spotX = nextRandom() % (n - 2) + 1;
    shared.spotY = nextRandom() % (n - 2) + 1;
    float* plane = velocityPlane(nextRandom() % 3);
    // A spiral of 0.2 radian per step whose radius grows by 0.01 cell per step, up to 50 cells.
    for (int i = 0; i < 25 * n; ++i) {
        const float angle = toFloat(i * 0.2);
        const int x = truncToInt(fastCos(angle) * static_cast<double>(i) * 0.01 + shared.spotX);
        const int y = truncToInt(fastSin(angle) * static_cast<double>(i) * 0.01 + shared.spotY);
        if (x > 1 && x < n - 1 && y > 1 && y < n - 1) {
            float& cell = plane[cellAt(x, y)];
            cell = toFloat(cell + 4.0);
        }
    }
}

} // namespace glowfield
