// Wiggle: a Lissajous curve of red against green and blue.
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

void wiggle() {
    const int n = field.gridSize;
    for (int i = 0; i < 5 * n; ++i) {
        const uint32_t step = static_cast<uint32_t>(i);
        shared.spotX =
            circleCoordinate(fastSin(toFloat(clockPlus(step) * static_cast<double>(0.013333334f))));
        shared.spotY =
            circleCoordinate(fastSin(toFloat(clockPlus(step + 45) * static_cast<double>(0.022222223f))));
        const double s = fastSin(toFloat(i * 0.2));
        const int cell = cellAt(shared.spotX, shared.spotY);
        planes.red[cell] = toFloat(s * 37.5);
        // The first half of the curve is red against green, the second red against blue.
        if (i < n * 2.5) {
            planes.green[cell] = toFloat(-s * 37.5);
        } else {
            planes.blue[cell] = toFloat(-s * 37.5);
        }
    }
}

} // namespace glowfield
