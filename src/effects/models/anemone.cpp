// Anemone: blue shown as a wire-mesh relief seen from the front.

#include <initializer_list>

#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "effects/shared/live_cells.h"
#include "effects/shared/particle_helpers.h"
#include "field/drawing.h"
#include "field/field.h"
#include "field/numeric.h"
#include "field/trig.h"

namespace glowfield {

void anemone() {
    const int n = field.gridSize;
    const uint32_t f = shared.frameCounter;
    forEachLiveCell([](int cell) {
        planes.blue[cell] = -40;
        planes.green[cell] = -40;
        planes.blueVelocity[cell] = 0;
        planes.greenVelocity[cell] = 0;
    });
    // A mesh of knots five cells apart, each raised by red at the knot's index (not at its position).
    const auto depthAt = [](int i, int j) { return toFloat(planes.red[cellAt(i, j)] * -0.5); };
    const int knots = n / 5;
    for (int j = 0; j < knots; ++j) {
        for (int i = 0; i < knots; ++i) {
            const double shimmer =
                fastSin(toFloat(static_cast<double>(static_cast<uint32_t>(i + j) + f) * 0.025));
            const double here = planes.red[cellAt(i, j)];
            // Line to the right neighbour, then line to the lower one; the knot is projected for each.
            for (const bool right : {true, false}) {
                const bool knotInside = projectToScratch(toFloat(5 * i), toFloat(5 * j), depthAt(i, j));
                const int x1 = shared.scratchX, y1 = shared.scratchY;
                const int ni = right ? i + 1 : i;
                const int nj = right ? j : j + 1;
                const bool neighbourInside =
                    projectToScratch(toFloat(5 * ni), toFloat(5 * nj), depthAt(ni, nj));
                if (!knotInside || !neighbourInside) {
                    continue;
                }
                // The colour follows the slope, measured downhill toward the right and uphill toward the
                // bottom.
                const double there = planes.red[cellAt(ni, nj)];
                const int32_t t = truncToInt((right ? there - here : here - there) * 8 + 40);
                const int32_t m = truncToInt(shimmer * t);
                drawFieldLine(x1, y1, shared.scratchX, shared.scratchY, 0, m, t);
            }
        }
    }
}

} // namespace glowfield
