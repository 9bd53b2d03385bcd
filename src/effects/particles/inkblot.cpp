// Inkblot: particles drawn to their tagged attractors, spreading colour through the velocities.

#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "effects/shared/effect_helpers.h"
#include "effects/shared/live_cells.h"
#include "effects/shared/owner_marks.h"
#include "effects/shared/particle_helpers.h"
#include "effects/shared/particle_reach.h"
#include "field/field.h"
#include "field/numeric.h"
#include "field/random.h"
#include "field/trig.h"

namespace glowfield {

void inkblot() {
    const int n = field.gridSize;
    ParticleStore& ps = particles;
    if (particleOwner != inkblotMark) {
        particleOwner = inkblotMark;
        for (int p = 1; p <= 999; ++p) {
            ps.particleX[p] = static_cast<float>(randomBelow(n - 10) + 5);
            ps.particleY[p] = static_cast<float>(randomBelow(n - 40) + 25);
            ps.particleVX[p] = toFloat((nextRandom() % 5000 - 2500) * 0.0005);
            ps.particleVY[p] = toFloat((nextRandom() % 5000 - 2500) * 0.0005);
        }
    }
    if (shared.frameCounter % 3 == 0) {
        forEachLiveCell([](int cell) {
            planes.redVelocity[cell] = planes.greenVelocity[cell] = planes.blueVelocity[cell] = 0;
            planes.red[cell] = toFloat(planes.red[cell] * 0.8);
            planes.green[cell] = toFloat(planes.green[cell] * 0.8);
            planes.blue[cell] = toFloat(planes.blue[cell] * 0.8);
        });
    }
    // Particles 1..19 are wandering attractors that pull the ink; 20..999 are the ink.
    for (int p = 20; p <= 999; ++p) {
        const ParticleColour colour = swarmColour(p, 2);
        for (int j = 1; j <= 19; ++j) {
            if (certainlyFarther(p, j, 50.125 * 50.125)) {
                continue;
            }
            const double d = particleDistance(p, j);
            if (d > 50) {
                continue;
            }
            if (ps.particleX[p] > ps.particleX[j]) {
                addTo(ps.particleVX[p], -0.25 / d);
            }
            if (ps.particleX[p] < ps.particleX[j]) {
                addTo(ps.particleVX[p], 0.25 / d);
            }
            if (ps.particleY[p] > ps.particleY[j]) {
                addTo(ps.particleVY[p], -0.25 / d);
            }
            if (ps.particleY[p] < ps.particleY[j]) {
                addTo(ps.particleVY[p], 0.25 / d);
            }
        }
        addTo(ps.particleX[p], ps.particleVX[p]);
        addTo(ps.particleY[p], ps.particleVY[p]);
        ps.particleVX[p] = toFloat(ps.particleVX[p] * 0.9);
        ps.particleVY[p] = toFloat(ps.particleVY[p] * 0.9);
        if (isOutOfRange(p)) {
            // The draw picks an attractor to respawn beside; only the draw itself is kept.
            static_cast<void>(nextRandom() % 79 + 1);
            respawnAtRandom(p);
        } else {
            plotParticle(p, colour);
        }
    }
    for (int j = 1; j <= 19; ++j) {
        addTo(ps.particleX[j], ps.particleVX[j]);
        if (ps.particleX[j] < 2) {
            ps.particleX[j] = static_cast<float>(n - 3);
        }
        if (ps.particleX[j] >= n - 2) {
            ps.particleX[j] = 2;
        }
        addTo(ps.particleY[j], ps.particleVY[j]);
        if (ps.particleY[j] < 2) {
            ps.particleY[j] = static_cast<float>(n - 3);
        }
        if (ps.particleY[j] >= n - 2) {
            ps.particleY[j] = 2;
        }
    }
}

} // namespace glowfield
