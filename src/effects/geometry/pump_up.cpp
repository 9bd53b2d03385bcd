// Pump Up: a column of red read as the lengths of a row of bars.

#include <algorithm>

#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "effects/shared/live_cells.h"
#include "field/field.h"
#include "field/numeric.h"
#include "field/trig.h"

namespace glowfield {

void pumpUp() {
    const int n = field.gridSize;
    forEachLiveCell([](int cell) {
        planes.red[cell] = toFloat(planes.red[cell] * 0.6 - 45);
        planes.green[cell] = toFloat(planes.green[cell] * 0.6 - 45);
    });
    if (n < 3) {
        return;
    }
    // The bar lengths come from column scratchX of red, as whichever effect last set it left it. A column
    // outside the stored planes reads as 0, like the unused rest of each plane.
    const int32_t column = shared.scratchX;
    for (int i = 1; i <= n - 2; ++i) {
        const double level = isStoredCell(column, i) ? planes.red[cellAt(column, i)] : 0.0;
        const int64_t wanted = 30 - static_cast<int64_t>(truncToInt(level * -0.2));
        const int count =
            static_cast<int>(std::max<int64_t>(std::min<int64_t>(wanted, n / 2 - 4), 4 - n / 2));
        for (int j = 0; j < count; ++j) {
            const float value = toFloat(static_cast<double>(j) / count * 160);
            for (int x : {n / 2 + j, n / 2 - j}) {
                if (!isStoredCell(x, i)) {
                    continue;
                }
                const int cell = cellAt(x, i);
                planes.greenVelocity[cell] = 0;
                planes.blueVelocity[cell] = 0;
                planes.green[cell] = value;
            }
        }
    }
}

} // namespace glowfield
