// Swarm: a swarm of particles chasing each other, plotted into the velocities.

#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "effects/shared/effect_helpers.h"
#include "effects/shared/live_cells.h"
#include "effects/shared/particle_helpers.h"
#include "effects/shared/particle_reach.h"
#include "field/field.h"
#include "field/numeric.h"
#include "field/trig.h"

namespace glowfield {

void swarm() {
    const int n = field.gridSize;
    ParticleStore& ps = particles;
    fadeColourPlanes(0.6, 35);
    // Each of particles 1..49 chases the nearest other one that is not too close.
    for (int p = 1; p <= 49; ++p) {
        const ParticleColour colour = swarmColour(p, 2);
        double best = 99999.9;
        int target = p;
        for (int i = 1; i <= 49; ++i) {
            if (i == p) {
                continue;
            }
            const double d = particleDistance(p, i);
            if (d > 5 && d < best) {
                best = d;
                target = i;
            }
        }
        ps.particleVX[p] = toFloat(ps.particleVX[p] * 0.98);
        ps.particleVY[p] = toFloat(ps.particleVY[p] * 0.98);
        if (best > 0 && best < n / 2) {
            if (ps.particleX[p] < ps.particleX[target]) {
                addTo(ps.particleVX[p], 0.65 / best);
            }
            if (ps.particleX[p] > ps.particleX[target]) {
                addTo(ps.particleVX[p], -0.65 / best);
            }
            if (ps.particleY[p] < ps.particleY[target]) {
                addTo(ps.particleVY[p], 0.65 / best);
            }
            if (ps.particleY[p] > ps.particleY[target]) {
                addTo(ps.particleVY[p], -0.65 / best);
            }
        }
        addTo(ps.particleX[p], ps.particleVX[p]);
        addTo(ps.particleY[p], ps.particleVY[p]);
        if (isOutOfRange(p)) {
            respawnAtRandom(p);
        } else {
            plotParticle(p, colour);
        }
    }
}

} // namespace glowfield
