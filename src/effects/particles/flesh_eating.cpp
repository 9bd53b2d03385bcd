// Flesh Eating: particles climbing the green slope and eating the other colours.

#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "effects/shared/effect_helpers.h"
#include "effects/shared/live_cells.h"
#include "effects/shared/particle_helpers.h"
#include "field/field.h"
#include "field/numeric.h"
#include "field/trig.h"

namespace glowfield {

void fleshEating() {
    const int n = field.gridSize;
    ParticleStore& ps = particles;
    forEachLiveCell([](int cell) {
        planes.green[cell] = toFloat(planes.green[cell] * 0.99);
        planes.red[cell] = toFloat(planes.red[cell] * 0.6 - 15);
        planes.blue[cell] = toFloat(planes.blue[cell] * 0.6 - 15);
    });
    // Each particle steers up the green slope; when no neighbour qualifies, the direction chosen for the
    // particle before applies, also across frames.
    int32_t& direction = shared.steeringDirection;
    for (int p = 1; p <= 1499; ++p) {
        if (!insideSquare(ps.particleX[p], ps.particleY[p], 2, n - 2)) {
            respawnAtRandom(p);
            continue;
        }
        const int x = truncToInt(ps.particleX[p]);
        const int y = truncToInt(ps.particleY[p]);
        const int neighbours[4] = {cellAt(x - 1, y), cellAt(x + 1, y), cellAt(x, y - 1), cellAt(x, y + 1)};
        double best = -999.9;
        for (int k = 0; k < 4; ++k) {
            if (planes.green[neighbours[k]] > best) {
                best = planes.green[neighbours[k]];
                direction = k + 1;
            }
        }
        ps.particleVX[p] = toFloat(ps.particleVX[p] * 0.78);
        ps.particleVY[p] = toFloat(ps.particleVY[p] * 0.78);
        switch (direction) {
        case 1:
            addTo(ps.particleVX[p], -0.8);
            break;
        case 2:
            addTo(ps.particleVX[p], 0.8);
            break;
        case 3:
            addTo(ps.particleVY[p], -0.8);
            break;
        case 4:
            addTo(ps.particleVY[p], 0.8);
            break;
        default:
            break;
        }
        addTo(ps.particleX[p], ps.particleVX[p]);
        addTo(ps.particleY[p], ps.particleVY[p]);
        if (!insideSquare(ps.particleX[p], ps.particleY[p], 2, n - 2)) {
            respawnAtRandom(p);
            continue;
        }
        // The bite: red by the particle's speed, blue by a fixed amount.
        const int cell = cellAt(truncToInt(ps.particleX[p]), truncToInt(ps.particleY[p]));
        const int32_t bite =
            truncToInt((static_cast<double>(absf(ps.particleVY[p])) + absf(ps.particleVX[p])) * 120);
        addTo(planes.red[cell], bite);
        addTo(planes.blue[cell], 120);
    }
}

} // namespace glowfield
