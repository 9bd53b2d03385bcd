// Lips: the centre row of blue read as the heights of pairs of lips.

#include <initializer_list>

#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "effects/shared/live_cells.h"
#include "field/drawing.h"
#include "field/field.h"
#include "field/numeric.h"
#include "field/trig.h"

namespace glowfield {

void lips() {
    const int n = field.gridSize;
    forEachLiveCell([](int cell) {
        planes.green[cell] = -80;
        planes.greenVelocity[cell] = 0;
        planes.red[cell] = -80;
        planes.redVelocity[cell] = 0;
    });
    // Column pairs from the edges inward; the centre row of blue sets each lip's height.
    for (int k = 0; k <= n - 1; ++k) {
        int32_t height = truncToInt((planes.blue[cellAt(n / 2, k)] + 200.0) * k * double{0.0016666667f});
        if (absf(static_cast<float>(height)) > n / 2 - 4) {
            height = n / 2 - 4;
        }
        const int left = k / 2;
        const int right = n - k / 2 - 1;
        const int rows = truncToInt(absf(static_cast<float>(height)));
        for (int i = 0; i < rows; ++i) {
            const float c =
                static_cast<float>(truncToInt(fastSin(toFloat(i * double{3.1415927f} / height)) * 150.0));
            for (const int x : {left, right}) {
                for (const int y : {n / 2 - i, n / 2 + i}) {
                    if (!isStoredCell(x, y)) {
                        continue; // only on a grid too small for lips
                    }
                    planes.red[cellAt(x, y)] = c;
                    planes.green[cellAt(x, y)] = -50;
                }
            }
        }
    }
}

} // namespace glowfield
