// Hanky: colour differences fed back into the velocities as phases across the rows.

#include <algorithm>
#include <cstdint>

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

void hanky() {
    const int n = field.gridSize;
    // The phase runs along each row in single precision, three additions a cell, each waiting for the one
    // before. Rows do not depend on each other, so phaseLanes of them are carried side by side, reading
    // neighbouring cells of the same column, and the sines of a row are then taken all at once.
    float angles[phaseLanes][3][planeStride];
    float sines[3][planeStride];
    for (int y0 = 1; y0 <= n - 1; y0 += phaseLanes) {
        float p[phaseLanes];
        uint32_t j[phaseLanes];
        for (int lane = 0; lane < phaseLanes; ++lane) {
            p[lane] = 0.0f;
            // Each row starts from the shared byte counter, which the wave step leaves at gridSize and every
            // row sets to gridSize when it is done.
            const uint32_t counter = y0 + lane == 1 ? field.scanX : static_cast<uint8_t>(n);
            j[lane] = (counter + shared.frameCounter) % static_cast<uint32_t>(n);
        }
        for (int k = 0; k < n; ++k) {
            for (int lane = 0; lane < phaseLanes; ++lane) {
                // Lanes past the last row repeat it; they are not written.
                j[lane] = j[lane] == 0 ? static_cast<uint32_t>(n - 1) : j[lane] - 1;
                const int source = cellAt(static_cast<int>(j[lane]), std::min(y0 + lane, n - 1));
                const double r = planes.red[source], g = planes.green[source], b = planes.blue[source];
                p[lane] = toFloat(p[lane] + (r - g) * 0.010989011f);
                angles[lane][0][k] = phaseAngle(p[lane]);
                p[lane] = toFloat(p[lane] + (g - b) * 0.010989011f);
                angles[lane][1][k] = phaseAngle(p[lane]);
                p[lane] = toFloat(p[lane] + (b - r) * 0.010989011f);
                angles[lane][2][k] = phaseAngle(p[lane]);
            }
        }
        for (int lane = 0; lane < phaseLanes && y0 + lane <= n - 1; ++lane) {
            for (int c = 0; c < 3; ++c) {
                fastSinRun(angles[lane][c], sines[c], n);
            }
            for (int k = 0; k < n; ++k) {
                const int cell = cellAt(k, y0 + lane);
                planes.redVelocity[cell] = toFloat(5.0 * sines[0][k] - 0.5);
                planes.greenVelocity[cell] = toFloat(5.0 * sines[1][k] - 1.5);
                planes.blueVelocity[cell] = toFloat(5.0 * sines[2][k] - 1);
            }
        }
    }
    if (n - 1 >= 1) {
        field.scanX = static_cast<uint8_t>(n);
    }
    resetBorder();
}

} // namespace glowfield
