// Gas Fire: moving sources whose signed potential drives the velocities.

#include <initializer_list>

#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "effects/shared/lettering.h"
#include "field/drawing.h"
#include "field/field.h"
#include "field/numeric.h"
#include "field/random.h"
#include "field/trig.h"

namespace glowfield {

namespace {

// ---- Gas Fire: the potential of the sources ----

constexpr int potentialSources = 53;

// The potential at cells (x, 1..count) of the sources at (sourceX[i], sourceY[i]), signed +, -, +, ... by i,
// and what it leaves in the red and green velocities from row 1 on: where it is weak, its size in red and
// 66.67 less a third of that in green, elsewhere 0. Each cell's sum is formed source by source in the same
// order as a cell-by-cell loop would, so it is the same to the bit; with the sources outside, the cells of a
// column are independent and the divisions vectorise across them.
__attribute__((target_clones("avx512f", "avx2", "default"))) void
potentialColumn(int x, int count, const double* __restrict sourceX, const double* __restrict sourceY,
                float* __restrict red, float* __restrict green) {
    double potential[planeStride];
    for (int k = 0; k < count; ++k) {
        potential[k] = 0;
    }
    for (int i = 0; i < potentialSources; ++i) {
        const double sign = i % 2 == 0 ? 1.0 : -1.0;
        const double dx = x - sourceX[i];
        const double dxSquared = dx * dx;
        for (int k = 0; k < count; ++k) {
            const double dy = (k + 1) - sourceY[i];
            potential[k] += sign / (dy * dy + dxSquared + 1);
        }
    }
    // Three loops, as each vectorises alone but not together with the others.
    for (int k = 0; k < count; ++k) {
        red[k] = absf(toFloat(potential[k] * 100000));
    }
    for (int k = 0; k < count; ++k) {
        green[k] = toFloat(static_cast<double>(66.666664f) - static_cast<double>(red[k]) * 0.33333334f);
    }
    for (int k = 0; k < count; ++k) {
        const bool weak = (potential[k] < 0.002) & (potential[k] > -0.002);
        red[k] = weak ? red[k] : 0.0f;
        green[k] = weak ? green[k] : 0.0f;
    }
}

} // namespace

void gasFire() {
    const int n = field.gridSize;
    auto& px = particles.particleX;
    auto& py = particles.particleY;
    auto& vx = particles.particleVX;
    auto& vy = particles.particleVY;

    // Each cell depends on itself only, so the planes go one after the other and each column vectorises.
    for (float* plane : {planes.red, planes.green, planes.blue}) {
        for (int x = 0; x < n; ++x) {
            float* const column = plane + cellAt(x, 0);
            for (int y = 0; y < n; ++y) {
                column[y] = toFloat((4.0 * column[y] - 120) * 0.2);
            }
        }
    }

    // A source that leaves the inner field or stands still jumps to another source's cell with a new
    // velocity.
    for (int i = 0; i < 90; ++i) {
        px[i] = toFloat(static_cast<double>(px[i]) + vx[i]);
        py[i] = toFloat(static_cast<double>(py[i]) + vy[i]);
        const bool inside = px[i] >= 2 && px[i] < n - 2 && py[i] >= 2 && py[i] < n - 2;
        if (!inside || (vx[i] == 0 && vy[i] == 0)) {
            const int r = nextRandom() % 90;
            px[i] = static_cast<float>(truncToInt(px[r]) % n);
            py[i] = static_cast<float>(truncToInt(py[r]) % n);
            vx[i] = toFloat((nextRandom() % 500 - 250) * static_cast<double>(0.0028571428f));
            vy[i] = toFloat((nextRandom() % 500 - 250) * static_cast<double>(0.0028571428f));
        }
    }

    // Sources of alternating sign; where the potential is weak its size drives red and, inverted, green.
    double sourceX[potentialSources], sourceY[potentialSources];
    for (int i = 0; i < potentialSources; ++i) {
        sourceX[i] = px[i];
        sourceY[i] = py[i];
    }
    for (int x = 1; x <= n - 2; ++x) {
        potentialColumn(x, n - 2, sourceX, sourceY, planes.redVelocity + cellAt(x, 1),
                        planes.greenVelocity + cellAt(x, 1));
    }
}

} // namespace glowfield
