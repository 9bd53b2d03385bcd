// Letters: squared-sine velocities from colour differences, with dark holes where the cell below is dark.

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

namespace {

// The sine angle of a colour difference: d pi, d being the difference times 1/240, both in single precision.
float differenceAngle(double difference) {
    const float d = toFloat(difference * 0.004166667f);
    return toFloat(static_cast<double>(d) * pi);
}

// 8 sin^2 - 5 of a difference's sine.
float squaredSineVelocity(double sine) {
    return toFloat(8.0 * sine * sine - 5);
}

} // namespace

void letters() {
    const int n = field.gridSize;
    const int rows = n - 2;
    // A cell is only ever written after the cells it reads (itself and the one below, row y + 1 coming
    // after row y), so every test and difference sees this frame's old values. That lets a column's sines
    // be taken all at once before anything is written.
    float angles[3][planeStride];
    float sines[3][planeStride];
    for (int x = 1; x <= n - 2; ++x) {
        for (int y = 1; y <= n - 2; ++y) {
            const int cell = cellAt(x, y);
            const double r = planes.red[cell], g = planes.green[cell], b = planes.blue[cell];
            angles[0][y - 1] = differenceAngle(r - g);
            angles[1][y - 1] = differenceAngle(g - b);
            angles[2][y - 1] = differenceAngle(b - r);
        }
        for (int c = 0; c < 3; ++c) {
            fastSinRun(angles[c], sines[c], rows);
        }
        for (int y = 1; y <= n - 2; ++y) {
            const int below = cellAt(x, y + 1);
            const double c =
                static_cast<double>(planes.blue[below]) + planes.green[below] + planes.red[below];
            const int cell = cellAt(x, y);
            if (c < -300) {
                planes.red[cell] = planes.green[cell] = planes.blue[cell] = -58.0f;
                continue;
            }
            planes.redVelocity[cell] = squaredSineVelocity(sines[0][y - 1]);
            planes.greenVelocity[cell] = squaredSineVelocity(sines[1][y - 1]);
            planes.blueVelocity[cell] = squaredSineVelocity(sines[2][y - 1]);
        }
    }
}

} // namespace glowfield
