// M-Pourer: particles rolling down the red landscape, leaving blue and green trails.

#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "effects/shared/live_cells.h"
#include "effects/shared/rolling.h"
#include "field/field.h"
#include "field/numeric.h"
#include "field/trig.h"

namespace glowfield {

void mPourer() {
    forEachLiveCell([](int cell) {
        planes.blue[cell] = -120;
        planes.blueVelocity[cell] = 0;
        planes.green[cell] = -120;
        planes.greenVelocity[cell] = 0;
    });
    // Ten particles, each moved a thousand times a frame, leaving a mark on every other step.
    for (int n = 1; n <= 9999; ++n) {
        const int b = n % 10;
        if (rollDownhill(b) && n % 2 == 0) {
            const int cell = trailCell(b);
            planes.blueVelocity[cell] = 0;
            planes.greenVelocity[cell] = 0;
            planes.blue[cell] = toFloat(planes.blue[cell] + 50.0);
            planes.green[cell] = toFloat(planes.green[cell] + 20.0);
        }
    }
}

} // namespace glowfield
