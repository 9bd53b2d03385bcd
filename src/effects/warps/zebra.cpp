// Zebra: blue read as a displacement that pushes diagonal stripes up and left.

#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "field/drawing.h"
#include "field/field.h"
#include "field/numeric.h"
#include "field/trig.h"

namespace glowfield {

void zebra() {
    const int n = field.gridSize;
    const double f = shared.frameCounter;
    // The colour depends on x + y alone, so it is worked out once per diagonal.
    float colourAt[2 * planeStride];
    for (int sum = 4; sum <= 2 * n - 4; ++sum) {
        const float c = toFloat(sum * 0.001);
        colourAt[sum] = toFloat(fastSin(toFloat(500 / (c * 200.0 + 9) + f * 0.1)) * 80.0);
    }
    for (int x = 2; x <= n - 2; ++x) {
        for (int y = 2; y <= n - 2; ++y) {
            // Each cell is pushed up and left by blue, the further the nearer it lies to the far corner.
            const float c = toFloat((x + y) * 0.001);
            const float d = toFloat(static_cast<double>(c) * planes.blue[cellAt(x, y)]);
            shared.scratchX = truncToInt(x - static_cast<double>(d));
            if (!(shared.scratchX > 0 && shared.scratchX <= n - 2)) {
                continue;
            }
            shared.scratchY = truncToInt(y - static_cast<double>(d));
            if (!(shared.scratchY > 0 && shared.scratchY <= n - 2)) {
                continue;
            }
            const int cell = cellAt(shared.scratchX, shared.scratchY);
            planes.greenVelocity[cell] = 0;
            planes.green[cell] = colourAt[x + y];
        }
    }
}

} // namespace glowfield
