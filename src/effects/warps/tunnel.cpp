// Tunnel: the field copied onto itself, shrunk into the centre.

#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "effects/shared/cell_runs.h"
#include "field/field.h"
#include "field/numeric.h"
#include "field/trig.h"

namespace glowfield {

namespace {

float* const allPlanes[6] = {planes.red,         planes.green,         planes.blue,
                             planes.redVelocity, planes.greenVelocity, planes.blueVelocity};

} // namespace

void tunnel() {
    const int n = field.gridSize;
    // Tag parity of particle 1, as other effects left it, picks the shrink: halve into the centre, or 0.8.
    const bool halve = (particles.particleTag[1] & 1) != 0;
    const double factor = halve ? 1.0 : 0.8;
    const double offset = n * 0.1;
    // The destination row of each row, the same for every column.
    uint8_t rowTo[planeStride];
    for (int y = 1; y <= n - 2; ++y) {
        rowTo[y] = halve ? static_cast<uint8_t>(n / 4 + y / 2) : truncToByte(offset + y * 0.8);
    }
    int32_t whole[planeStride];
    float shrunk[6][planeStride];
    for (int x = 1; x <= n - 2; ++x) {
        const uint8_t dx = halve ? static_cast<uint8_t>(x / 2 + n / 4) : truncToByte(offset + x * 0.8);
        if (dx >= planeStride) {
            continue;
        }
        // In place: a source cell may already hold what an earlier cell of this pass wrote there. A column
        // copied into another one reads nothing it writes, so its values are worked out first; the column
        // copied into itself (the centre) goes cell by cell.
        if (dx == x) {
            for (int y = 1; y <= n - 2; ++y) {
                if (rowTo[y] >= planeStride) {
                    continue;
                }
                const int source = cellAt(x, y);
                const int destination = cellAt(dx, rowTo[y]);
                for (float* plane : allPlanes) {
                    plane[destination] = toFloat(truncToInt(plane[source]) * factor);
                }
            }
            continue;
        }
        for (int p = 0; p < 6; ++p) {
            truncToIntRun(allPlanes[p] + cellAt(x, 1), whole, n - 2);
            for (int k = 0; k < n - 2; ++k) {
                shrunk[p][k + 1] = toFloat(whole[k] * factor);
            }
        }
        // Rows that share a destination: the later one wins, as before.
        for (int y = 1; y <= n - 2; ++y) {
            if (rowTo[y] >= planeStride) {
                continue;
            }
            const int destination = cellAt(dx, rowTo[y]);
            for (int p = 0; p < 6; ++p) {
                allPlanes[p][destination] = shrunk[p][y];
            }
        }
    }
}

} // namespace glowfield
