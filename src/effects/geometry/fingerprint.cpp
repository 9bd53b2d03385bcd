// Fingerprint: blue read as a texture of sine ridges drawn into red and green.

#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "effects/shared/cell_runs.h"
#include "field/field.h"
#include "field/numeric.h"
#include "field/trig.h"

namespace glowfield {

void fingerprint() {
    const int n = field.gridSize;
    const int rows = n - 2;
    // Blue is only read, so a column's angles are gathered first and their sines taken all at once.
    float angles[2][planeStride];
    float sines[2][planeStride];
    for (int x = 1; x <= n - 2; ++x) {
        const float* const blue = planes.blue + cellAt(x, 1);
        for (int k = 0; k < rows; ++k) {
            angles[0][k] = toFloat(blue[k] * 0.1);
            angles[1][k] = toFloat(blue[k] * double{0.098891266f});
        }
        fastSinRun(angles[0], sines[0], rows);
        fastSinRun(angles[1], sines[1], rows);
        float* const red = planes.red + cellAt(x, 1);
        float* const green = planes.green + cellAt(x, 1);
        float* const redVelocity = planes.redVelocity + cellAt(x, 1);
        float* const greenVelocity = planes.greenVelocity + cellAt(x, 1);
        for (int k = 0; k < rows; ++k) {
            red[k] = toFloat(sines[0][k] * 80.0);
            green[k] = toFloat(sines[1][k] * -80.0);
            redVelocity[k] = 0;
            greenVelocity[k] = 0;
        }
    }
}

} // namespace glowfield
