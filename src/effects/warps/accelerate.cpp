// Accelerate: the field copied onto itself, shrunk toward a corner.
//
// The copy runs in place, so its loop order shapes the picture.

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

void accelerate() {
    const int n = field.gridSize;
    const double f = shared.frameCounter;
    // The pull toward cell (0, 0) breathes between 0.92 and 0.98, at a different pace in each direction.
    const double kx = fastSin(toFloat(f * 0.1)) * 0.03 + 0.95;
    const double ky = fastSin(toFloat(f * double{0.07692308f})) * 0.03 + 0.95;
    uint8_t rowTo[planeStride];
    for (int y = 2; y <= n - 2; ++y) {
        rowTo[y] = truncToByte(ky * y);
    }
    // In place, but every column is copied into an earlier one (kx < 1), so no column is read after
    // anything was written into it: each column's truncated values are worked out first.
    int32_t whole[6][planeStride];
    for (int x = 2; x <= n - 2; ++x) {
        const uint8_t dx = truncToByte(kx * x);
        if (dx >= planeStride) {
            continue;
        }
        for (int p = 0; p < 6; ++p) {
            truncToIntRun(allPlanes[p] + cellAt(x, 2), whole[p] + 2, n - 3);
        }
        // Where two sources share a destination, the later one in the scan wins.
        for (int y = 2; y <= n - 2; ++y) {
            if (rowTo[y] >= planeStride) {
                continue;
            }
            const int destination = cellAt(dx, rowTo[y]);
            for (int p = 0; p < 6; ++p) {
                allPlanes[p][destination] = static_cast<float>(whole[p][y]);
            }
        }
    }
}

} // namespace glowfield
