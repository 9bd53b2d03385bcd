// lava: blue read as the heights of lava columns rising from the bottom.

#include <algorithm>

#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "effects/shared/live_cells.h"
#include "effects/shared/owner_marks.h"
#include "field/field.h"
#include "field/numeric.h"
#include "field/trig.h"

namespace glowfield {

namespace {

// Heights y - base of a drawn lava cell: row y is 1..planeStride - 1 and the base a byte.
constexpr int lavaLowest = 254;
constexpr int lavaHeights = lavaLowest + planeStride;

// Sets count cells of a column from cell on to lava colours (Count when it is not 0: a loop of a fixed length
// is much cheaper than a short one of a varying length) and stops their motion.
template <int Count> void paintLava(int cell, const float* red, const float* green, int count) {
    const int rows = Count != 0 ? Count : count;
    for (int j = 0; j < rows; ++j) {
        planes.red[cell + j] = red[j];
        planes.green[cell + j] = green[j];
        planes.redVelocity[cell + j] = 0;
        planes.greenVelocity[cell + j] = 0;
    }
}

} // namespace

void lava() {
    const int n = field.gridSize;
    if (particleOwner != lavaMark) {
        // Whatever blue was left becomes a shallow relief, upside down.
        forEachLiveCell([](int cell) {
            planes.blue[cell] = toFloat(planes.blue[cell] * -0.01);
            planes.blueVelocity[cell] = toFloat(planes.blueVelocity[cell] * -0.01);
        });
        particleOwner = lavaMark;
    }
    // A drawn cell's colours depend only on its height above the row's base, y - base: one sine per height a
    // frame instead of one per cell.
    float redAt[lavaHeights], greenAt[lavaHeights];
    for (int h = 0; h < lavaHeights; ++h) {
        const int64_t height = h - lavaLowest;
        redAt[h] = toFloat(60 - height * 10.0);
        greenAt[h] = toFloat(fastSin(toFloat((redAt[h] - 60.0) * double{0.028571429f})) * 40.0);
    }
    // Each column's share of the width, the same for every row.
    double across[planeStride];
    for (int c = 1; c <= n - 2; ++c) {
        across[c] = static_cast<double>(c) / n;
    }
    // The blue relief as a landscape seen from the front, drawn from the back row to the front one so that
    // nearer rows cover farther ones.
    for (int row = n - 2; row >= 1; --row) {
        const double d = row * 0.5;
        const uint8_t base = truncToByte(n * 3 / 4 - d);
        for (int c = 1; c <= n - 2; ++c) {
            const uint8_t x = truncToByte((n - d) * across[c] + d * 0.5);
            const int64_t top = static_cast<int64_t>(base) - truncToInt(planes.blue[cellAt(c, row)] * -10.0);
            // Up to eight rows from top down, stopping at the first one outside the inner rows or the
            // stored cells: none at all when top itself is outside.
            if (top < 1 || top > n - 2 || x >= planeStride) {
                continue;
            }
            const int first = static_cast<int>(top);
            const int count = std::min({8, n - 1 - first, planeStride - first});
            const int h = first - base + lavaLowest;
            const int cell = cellAt(x, first);
            if (count == 8) {
                paintLava<8>(cell, redAt + h, greenAt + h, 8);
            } else {
                paintLava<0>(cell, redAt + h, greenAt + h, count);
            }
        }
    }
}

} // namespace glowfield
