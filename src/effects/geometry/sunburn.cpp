// Sunburn: a flickering yellow and red ring about the centre inside a dark border.
//
// Leaves the ring's last angle in sharedAngle, where later effects may read it.

#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "effects/shared/effect_helpers.h"
#include "field/field.h"
#include "field/numeric.h"
#include "field/random.h"
#include "field/trig.h"

namespace glowfield {

void sunburn() {
    const int half = field.gridSize >> 1;
    for (int i = 0; i < 400; ++i) {
        const float angle = toFloat(i * 6.28 * 0.0025);
        shared.sharedAngle = angle;
        const int x = truncToInt(fastCos(angle) * 40.0 + half);
        const int y = truncToInt(fastSin(angle) * 40.0 + half);
        const int cell = cellAt(x, y);
        planes.red[cell] = 90.0f;
        planes.green[cell] = 90.0f;
        planes.blue[cell] = 0.0f;
        // Half of the ring's points flare red, at random each frame.
        if ((nextRandom() & 1) == 0) {
            planes.red[cell] = 240.0f;
            planes.green[cell] = 0.0f;
        }
    }
    darkenBorder();
}

} // namespace glowfield
