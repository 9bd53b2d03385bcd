// Float: colour differences fed back into the velocities as chained sine phases.

#include <algorithm>

#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "effects/shared/cell_runs.h"
#include "effects/shared/lettering.h"
#include "effects/shared/phase_fields.h"
#include "field/drawing.h"
#include "field/field.h"
#include "field/numeric.h"
#include "field/trig.h"

namespace glowfield {

void floatEffect() {
    const int n = field.gridSize;
    const int rows = n - 2;
    // The phase runs down each column in single precision, three additions a cell, each waiting for the one
    // before. Columns do not depend on each other, so phaseLanes of them are carried side by side, and the
    // sines of a column are then taken all at once.
    float angles[phaseLanes][3][planeStride];
    float sines[3][planeStride];
    for (int x0 = 1; x0 <= n - 2; x0 += phaseLanes) {
        float p[phaseLanes];
        for (float& phase : p) {
            phase = pi;
        }
        for (int y = 1; y <= n - 2; ++y) {
            for (int j = 0; j < phaseLanes; ++j) {
                // Lanes past the last column repeat it; they are not written.
                const int cell = cellAt(std::min(x0 + j, n - 2), y);
                const double r = planes.red[cell], g = planes.green[cell], b = planes.blue[cell];
                p[j] = toFloat(p[j] + (r - g) * 0.008333334f);
                angles[j][0][y - 1] = phaseAngle(p[j]);
                p[j] = toFloat(p[j] + (g - b) * 0.0076923077f);
                angles[j][1][y - 1] = phaseAngle(p[j]);
                p[j] = toFloat(p[j] + (b - r) * 0.009090909f);
                angles[j][2][y - 1] = phaseAngle(p[j]);
            }
        }
        for (int j = 0; j < phaseLanes && x0 + j <= n - 2; ++j) {
            float* const velocity[3] = {planes.redVelocity, planes.greenVelocity, planes.blueVelocity};
            for (int c = 0; c < 3; ++c) {
                fastSinRun(angles[j][c], sines[c], rows);
                float* const column = velocity[c] + cellAt(x0 + j, 1);
                for (int k = 0; k < rows; ++k) {
                    column[k] = toFloat(8.0 * sines[c][k]);
                }
            }
        }
    }
    resetBorder();
}

} // namespace glowfield
