// Oily: blue copied onto green and red, shifted down the diagonal.

#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "field/field.h"
#include "field/trig.h"

namespace glowfield {

void oily() {
    const int n = field.gridSize;
    for (int x = 0; x <= n - 13; ++x) {
        for (int y = 0; y <= n - 13; ++y) {
            const int source = cellAt(x, y);
            planes.green[cellAt(x + 5, y + 5)] = planes.blue[source];
            planes.greenVelocity[cellAt(x + 5, y + 5)] = planes.blueVelocity[source];
            planes.red[cellAt(x + 10, y + 10)] = planes.blue[source];
            planes.redVelocity[cellAt(x + 10, y + 10)] = planes.blueVelocity[source];
        }
    }
}

} // namespace glowfield
