// A flare of one colour covering the whole grid, centred on spotX/spotY: Magnesium Fire, Pond and Ripple.
#pragma once

#include "effects/effect_state.h"
#include "effects/shared/effect_helpers.h"
#include "field/field.h"
#include "field/numeric.h"
#include "field/random.h"
#include "field/trig.h"

namespace glowfield {

// A flare: adds 4000 / (squared distance + 2) to every live cell of one colour, the colour picked by one
// draw. The centre cell gets 2000; the bump never ends, so the far corners still get a little.
inline void addBump() {
    float* plane = colourPlane(nextRandom() % 3);
    const int n = field.gridSize;
    const int64_t cx = shared.spotX;
    const int64_t cy = shared.spotY;
    for (int x = 0; x < n; ++x) {
        for (int y = 0; y < n; ++y) {
            const int64_t denominator = (y - cy) * (y - cy) + (x - cx) * (x - cx) + 2;
            float& cell = plane[cellAt(x, y)];
            cell = toFloat(cell + 4000.0 / static_cast<double>(denominator));
        }
    }
}

} // namespace glowfield
