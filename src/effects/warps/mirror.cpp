// Mirror: a sparse left-right mirror that evens out the colours of each mirrored pair.
//
// Leaves the last blue mean in lastChannel, where later effects may read it.

#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "effects/shared/effect_helpers.h"
#include "field/field.h"
#include "field/numeric.h"
#include "field/trig.h"

namespace glowfield {

void mirror() {
    const int n = field.gridSize;
    float* const colours[3] = {planes.red, planes.green, planes.blue};
    for (int x = 0; x < n; x += 3) {
        for (int y = 0; y < n; y += 3) {
            const int cell = cellAt(x, y);
            const int mirrored = cellAt(n - 1 - x, y);
            // The pair's mean is cut to a whole number, so small differences vanish. The last blue mean
            // stays behind in lastChannel.
            for (float* plane : colours) {
                const int32_t mean = truncToInt((static_cast<double>(plane[cell]) + plane[mirrored]) * 0.5);
                plane[cell] = static_cast<float>(mean);
                plane[mirrored] = static_cast<float>(mean);
                if (plane == planes.blue) {
                    shared.lastChannel = mean;
                }
            }
        }
    }
}

} // namespace glowfield
