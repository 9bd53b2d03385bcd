// Jamaica: a closed curve whose radius follows blue, at full, half and quarter size.

#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "effects/shared/live_cells.h"
#include "field/drawing.h"
#include "field/field.h"
#include "field/numeric.h"
#include "field/trig.h"

namespace glowfield {

void jamaica() {
    const int n = field.gridSize;
    const uint32_t f = shared.frameCounter;
    forEachLiveCell([](int cell) {
        planes.red[cell] = toFloat(planes.red[cell] * 0.95);
        planes.green[cell] = toFloat(planes.green[cell] * 0.95);
        planes.redVelocity[cell] = 0;
        planes.greenVelocity[cell] = 0;
    });
    // A closed curve whose radius follows the centre column of blue, drawn at full, half and quarter size.
    for (int k = 1; k <= 4 * n - 1; ++k) {
        const float angle = toFloat(static_cast<double>(k) / (4 * n) * 6.28);
        const double radius = planes.blue[cellAt(n / 2, k / 4)] * 4.5 + n / 4;
        int32_t rx = truncToInt(static_cast<double>(fastCos(angle)) * radius);
        int32_t ry = truncToInt(static_cast<double>(fastSin(angle)) * radius);
        for (int copy = 0; copy < 3; ++copy) {
            const int64_t x = static_cast<int64_t>(n / 2) + rx;
            const int64_t y = static_cast<int64_t>(n / 2) + ry;
            if (x > 1 && x < n - 1 && y > 1 && y < n - 1) {
                const int cell = cellAt(static_cast<int>(x), static_cast<int>(y));
                const double redAngle =
                    static_cast<double>(static_cast<uint32_t>(x) + f) * double{0.07686395f};
                const double greenAngle =
                    static_cast<double>(static_cast<uint32_t>(y) + f) * double{0.14245014f};
                planes.red[cell] = static_cast<float>(truncToInt(fastSin(toFloat(redAngle)) * 140.0));
                planes.green[cell] = static_cast<float>(truncToInt(fastCos(toFloat(greenAngle)) * 140.0));
                planes.redVelocity[cell] = 0;
                planes.greenVelocity[cell] = 0;
            }
            rx /= 2;
            ry /= 2;
        }
    }
}

} // namespace glowfield
