// Wheel: a colour wheel turning on a circle about the centre.
//
// Leaves its last point in spotX/spotY.

#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "effects/shared/clock.h"
#include "effects/shared/effect_helpers.h"
#include "field/field.h"
#include "field/numeric.h"
#include "field/trig.h"

namespace glowfield {

void wheel() {
    const int n = field.gridSize;
    for (int i = 0; i < 3 * n; ++i) {
        const float angle = toFloat(clockPlus(static_cast<uint32_t>(i)) * static_cast<double>(0.013333334f));
        shared.spotX = circleCoordinate(fastSin(angle));
        shared.spotY = circleCoordinate(fastCos(angle));
        const float d = toFloat(i * static_cast<double>(9.42f) / n);
        const double s = fastSin(d);
        const int cell = cellAt(shared.spotX, shared.spotY);
        // Each third of the circle pairs two colours in opposite phase.
        if (i < n) {
            planes.red[cell] = toFloat(s * 60);
            planes.green[cell] = toFloat(-s * 60);
        } else if (i < 2 * n) {
            planes.red[cell] = toFloat(s * 60);
            planes.blue[cell] = toFloat(-s * 60);
        } else {
            planes.blue[cell] = toFloat(-s * 60);
            planes.green[cell] = toFloat(s * 60);
        }
    }
}

} // namespace glowfield
