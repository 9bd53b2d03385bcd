// The Vapours: every 20 frames a fringe of random values along the border.

#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "effects/shared/effect_helpers.h"
#include "field/field.h"
#include "field/numeric.h"
#include "field/random.h"
#include "field/trig.h"

namespace glowfield {

void theVapours() {
    if (shared.frameCounter % 20 != 0) {
        return;
    }
    const int n = field.gridSize;
    for (int step = 1; step <= n - 2; ++step) {
        const uint8_t p = static_cast<uint8_t>(step);
        // Half a sine along the border sets the largest value each cell may get: up to 255 in the middle.
        const float s = toFloat(fastSin(toFloat(p * static_cast<double>(3.14f) / n)) * 255.0);
        const int r = nextRandom() % 2;
        const uint8_t m = truncToByte(r * static_cast<double>(s) + 1);
        if (m == 0) {
            continue;
        }
        planes.red[cellAt(0, p)] = static_cast<float>(nextRandom() % m);
        planes.blue[cellAt(n - 1, p)] = static_cast<float>(nextRandom() % m);
        planes.green[cellAt(p, 0)] = static_cast<float>(nextRandom() % m);
        const float v = static_cast<float>(nextRandom() % m);
        planes.red[cellAt(p, n - 1)] = v;
        planes.green[cellAt(p, n - 1)] = v;
    }
}

} // namespace glowfield
