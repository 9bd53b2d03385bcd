// Balls: shaded balls whose relief comes from the blue plane.

#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "effects/shared/live_cells.h"
#include "field/field.h"
#include "field/numeric.h"
#include "field/trig.h"

namespace glowfield {

namespace {

// Steps of each angle of Balls: 0 to pi in steps of 0.015707964, summed in single precision (200).
constexpr int ballSteps = [] {
    int steps = 0;
    for (float v = 0; v < 3.1415927f; v = v + 0.015707964f) {
        ++steps;
    }
    return steps;
}();

} // namespace

void balls() {
    const int n = field.gridSize;
    const double f = shared.frameCounter;
    forEachLiveCell([](int cell) {
        planes.red[cell] = toFloat(planes.red[cell] * 0.6 - 15);
        planes.green[cell] = toFloat(planes.green[cell] * 0.6 - 15);
    });
    if (n < 1) {
        return;
    }
    // Both angles step in single precision, as the sum is kept: 200 values each. Every v loop walks the
    // same values, so what depends on v alone is worked out once.
    struct AlongV {
        float cosV;     // fastCos(v)
        float sinShift; // fastSin(v + 0.2)
        uint8_t column; // blue column the angle reads, sy
    };
    AlongV alongV[ballSteps];
    int vCount = 0;
    for (float v = 0; v < 3.1415927f && vCount < ballSteps; v = v + 0.015707964f) {
        alongV[vCount++] = {fastCos(v), fastSin(toFloat(v + 0.2)),
                            truncToByte(static_cast<double>(n) * v * double{0.31830987f})};
    }
    for (float u = 0; u < 3.1415927f; u = u + 0.015707964f) {
        const int32_t x = truncToInt(static_cast<double>(fastCos(u)) * 60 + n / 2);
        const double sinU = fastSin(u);
        const double sinShiftU = fastSin(toFloat(u + 0.4));
        // The blue plane is wrapped round the ball and turns with the frame counter.
        const uint8_t sx = static_cast<uint8_t>(truncToInt((f * 0.05 + u) * 0.31830987732601135 * n) % n);
        for (int k = 0; k < vCount; ++k) {
            const AlongV& a = alongV[k];
            const int32_t y = truncToInt(sinU * a.cosV * 60 + n / 2);
            const uint8_t sy = a.column;
            if (!isStoredCell(x, y) || !isStoredCell(sx, sy)) {
                continue;
            }
            const double r = sinShiftU * a.sinShift * 1.2;
            const int64_t t =
                static_cast<int64_t>(truncToInt(r * planes.blue[cellAt(sx, sy)])) + truncToInt(r * 200 - 100);
            const int cell = cellAt(x, y);
            planes.red[cell] = static_cast<float>(t);
            planes.redVelocity[cell] = 0;
            planes.greenVelocity[cell] = 0;
            planes.green[cell] = static_cast<float>(t / 2);
        }
    }
}

} // namespace glowfield
