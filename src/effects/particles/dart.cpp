// Dart: a few particles darting down the red landscape, leaving trails.

#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "effects/shared/live_cells.h"
#include "effects/shared/rolling.h"
#include "field/field.h"
#include "field/numeric.h"
#include "field/trig.h"

namespace glowfield {

void dart() {
    forEachLiveCell([](int cell) {
        planes.green[cell] = toFloat(planes.green[cell] * 0.6 - 15);
        planes.blue[cell] = toFloat(planes.blue[cell] * 0.6 - 15);
    });
    // A hundred particles, each moved about ten times a frame.
    for (int n = 1; n <= 999; ++n) {
        const int b = n % 100;
        if (rollDownhill(b) && n % 2 == 0) {
            const int cell = trailCell(b);
            planes.blue[cell] = toFloat(planes.blue[cell] + 60.0);
            planes.green[cell] = toFloat(planes.green[cell] + 40.0);
        }
    }
}

} // namespace glowfield
