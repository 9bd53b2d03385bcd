// SquareRoot: particles bouncing on the floor of a box seen in perspective.

#include <algorithm>

#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "effects/shared/live_cells.h"
#include "effects/shared/owner_marks.h"
#include "effects/shared/particle_helpers.h"
#include "field/field.h"
#include "field/numeric.h"
#include "field/random.h"
#include "field/trig.h"

namespace glowfield {

void squareRoot() {
    const int n = field.gridSize;
    const uint32_t f = shared.frameCounter;
    ParticleStore& ps = particles;
    if (particleOwner != squareRootMark) {
        for (int p = 1; p <= 3999; ++p) {
            ps.particleX[p] = static_cast<float>(randomBelow(n));
            ps.particleY[p] = static_cast<float>(randomBelow(n));
            const int d = nextRandom();
            ps.particleVZ[p] = -1.6f;
            ps.particleZ[p] = static_cast<float>(d % std::max(2 * n, 1));
        }
        particleOwner = squareRootMark;
    }
    forEachLiveCell([](int cell) {
        planes.blueVelocity[cell] = 0;
        planes.greenVelocity[cell] = 0;
    });
    const int floorRow = 7 * n / 8;
    for (int p = 1; p <= 3999; ++p) {
        ps.particleX[p] = toFloat(static_cast<double>(ps.particleX[p]) + ps.particleVX[p]);
        ps.particleY[p] = toFloat(static_cast<double>(ps.particleY[p]) + ps.particleVY[p]);
        ps.particleZ[p] = toFloat(static_cast<double>(ps.particleZ[p]) + ps.particleVZ[p]);
        // A particle that leaves the box (or whose place is no longer a number) is thrown in again from the
        // back, at a height that follows a slow wave.
        const float x = ps.particleX[p], z = ps.particleZ[p];
        if (!(z >= 1 && z <= 2 * n && x >= 1 && x <= n)) {
            ps.particleZ[p] = static_cast<float>(2 * n);
            ps.particleX[p] = static_cast<float>(randomBelow(n));
            const int h = nextRandom();
            const float m = fastSin(toFloat(static_cast<double>(f + static_cast<uint32_t>(h % 30)) * 0.0125));
            ps.particleVY[p] = 0;
            ps.particleY[p] =
                toFloat(floorRow - static_cast<double>(absf(toFloat(m * static_cast<double>(n / 2)))));
        }
        if (ps.particleY[p] > floorRow) {
            ps.particleY[p] = static_cast<float>(floorRow);
            ps.particleVY[p] = toFloat(ps.particleVY[p] * 0.8);
            if (ps.particleVY[p] > 0) {
                ps.particleVY[p] = -ps.particleVY[p];
            }
        }
        ps.particleVY[p] = toFloat(ps.particleVY[p] + 0.05);
        if (!projectToScratch(ps.particleX[p], ps.particleY[p], ps.particleZ[p])) {
            continue;
        }
        // Nearer particles are bigger and brighter; later ones cover earlier ones.
        const int sx = shared.scratchX;
        const int sy = shared.scratchY;
        const double depth = ps.particleZ[p];
        const int size = depth > 1 ? truncToInt(50 / (depth + 2)) : 18;
        const float green = toFloat(absf(ps.particleVY[p]) * 40.0);
        for (int a = 0; a <= size && sx + a < n - 1; ++a) {
            for (int w = 0; w <= size && sy + w < n - 1; ++w) {
                const int cell = cellAt(sx + a, sy + w);
                planes.blue[cell] = toFloat(n - depth * 0.15 - (6 * a + 6 * w));
                planes.green[cell] = green;
            }
        }
    }
}

} // namespace glowfield
