// Whiffle: colour differences fed back into the velocities as sine phases.

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

void whiffle() {
    const int n = field.gridSize;
    // Each channel's phase mixes the transposed cell of the same colour with the next colour here. The
    // phases of a column are worked out first and their sines taken all at once.
    float angles[3][planeStride];
    float sines[3][planeStride];
    const auto angle = [](float across, uint32_t s, float here) {
        return phaseAngle(
            toFloat((static_cast<double>(across) + static_cast<double>(s) - here) * 0.004166667f));
    };
    for (int x = 0; x < n; ++x) {
        for (int y = 0; y < n; ++y) {
            const uint32_t s =
                17u * static_cast<uint32_t>(y) + shared.frameCounter - static_cast<uint32_t>(x);
            const int cell = cellAt(x, y);
            const int mirror = cellAt(y, x);
            angles[0][y] = angle(planes.red[mirror], s, planes.green[cell]);
            angles[1][y] = angle(planes.green[mirror], s, planes.blue[cell]);
            angles[2][y] = angle(planes.blue[mirror], s, planes.red[cell]);
        }
        float* const velocity[3] = {planes.redVelocity, planes.greenVelocity, planes.blueVelocity};
        for (int c = 0; c < 3; ++c) {
            fastSinRun(angles[c], sines[c], n);
            float* const column = velocity[c] + cellAt(x, 0);
            for (int y = 0; y < n; ++y) {
                column[y] = toFloat(4.0 * sines[c][y] - 0.5);
            }
        }
    }
    resetBorder();
}

} // namespace glowfield
