// Stare-O-Gran: one column, motion included, repeated across the grid every 20 columns.

#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "field/field.h"

namespace glowfield {

void stareOGran() {
    const int n = field.gridSize;
    if (n <= 42) {
        return;
    }
    const int copies = (n - 23) / 20;
    float* const order[6] = {planes.red,           planes.redVelocity, planes.green,
                             planes.greenVelocity, planes.blue,        planes.blueVelocity};
    // Each step copies from the column the step before has just written, so every target ends up equal to
    // column 10.
    for (int m = 0; m < copies; ++m) {
        const int source = 10 + 20 * m;
        for (int y = 5; y <= n - 6; ++y) {
            for (float* plane : order) {
                plane[cellAt(source + 20, y)] = plane[cellAt(source, y)];
            }
        }
    }
}

} // namespace glowfield
