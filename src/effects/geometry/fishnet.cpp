// Fishnet: a dashed green ring that grows from the centre.

#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "effects/shared/effect_helpers.h"
#include "field/drawing.h"
#include "field/field.h"
#include "field/numeric.h"
#include "field/trig.h"

namespace glowfield {

void fishnet() {
    const int half = field.gridSize >> 1;
    // The radius grows by one cell every two frames and wraps at half.
    const uint32_t radius = (shared.frameCounter / 2) % static_cast<uint32_t>(half);
    for (int i = 0; i < 400; ++i) {
        const float angle = toFloat(i * 6.28 * 0.0025);
        shared.sharedAngle = angle;
        const int x = truncToInt(fastCos(angle) * static_cast<double>(radius) + half);
        const int y = truncToInt(fastSin(angle) * static_cast<double>(radius) + half);
        const int cell = cellAt(x, y);
        planes.red[cell] = 0.0f;
        planes.green[cell] = 90.0f;
        planes.blue[cell] = 0.0f;
        // Dashes of four points alternate green and blue and travel round with the clock.
        if (((shared.frameCounter + static_cast<uint32_t>(i)) & 4) == 0) {
            planes.blue[cell] = 240.0f;
            planes.green[cell] = 0.0f;
            planes.red[cell] = 0.0f;
        }
    }
    darkenBorder();
}

} // namespace glowfield
