// Tartan: every ten frames a lattice of lines kicked into one colour's motion.
//
// Leaves its kick in lastChannel, where later effects may read it.

#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "effects/shared/effect_helpers.h"
#include "field/field.h"
#include "field/numeric.h"
#include "field/random.h"
#include "field/trig.h"

namespace glowfield {

void tartan() {
    if (shared.frameCounter % 10 != 0) {
        return;
    }
    const int n = field.gridSize;
    float* plane = velocityPlane(nextRandom() % 3);
    const int32_t kick = (nextRandom() & 1) ? -10 : 10;
    shared.lastChannel = kick;
    for (int i = 1; i < n - 1; i += 25) {
        for (int j = 1; j <= n - 2; ++j) {
            float& down = plane[cellAt(i, j)];
            down = toFloat(down + static_cast<double>(kick));
            float& across = plane[cellAt(j, i)];
            across = toFloat(across + static_cast<double>(kick));
        }
    }
}

} // namespace glowfield
