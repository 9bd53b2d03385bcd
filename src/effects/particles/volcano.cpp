// Volcano: lava particles rising from a vent and falling back, pushed away by fixed attractors.

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

void volcano() {
    const int n = field.gridSize;
    ParticleStore& ps = particles;
    if (particleOwner != volcanoMark) {
        particleOwner = volcanoMark;
        for (int p = 1; p <= 999; ++p) {
            ps.particleX[p] = static_cast<float>(randomBelow(n - 10) + 5);
            ps.particleY[p] = static_cast<float>(randomBelow(n - 40) + 25);
        }
    }
    if (shared.frameCounter % 3 == 0) {
        forEachLiveCell([](int cell) {
            planes.redVelocity[cell] = planes.greenVelocity[cell] = planes.blueVelocity[cell] = 0;
            planes.red[cell] = toFloat(planes.red[cell] * 0.8 - 12);
            planes.green[cell] = toFloat(planes.green[cell] * 0.8 - 12);
            planes.blue[cell] = toFloat(planes.blue[cell] * 0.8 - 12);
        });
    }
    // Particles 1..79 are fixed attractors that push the lava away; 80..999 rise from the vent and fall back.
    for (int p = 80; p <= 999; ++p) {
        const ParticleColour colour = swarmColour(p, 1);
        for (int j = 1; j <= 79; ++j) {
            if (certainlyFarther(p, j, 10.125 * 10.125)) {
                continue;
            }
            const double d = particleDistance(p, j);
            if (d > 10) {
                continue;
            }
            if (ps.particleX[p] > ps.particleX[j]) {
                addTo(ps.particleVX[p], 0.5 / d);
            }
            if (ps.particleX[p] < ps.particleX[j]) {
                addTo(ps.particleVX[p], -0.5 / d);
            }
            if (ps.particleY[p] > ps.particleY[j]) {
                addTo(ps.particleVY[p], 0.5 / d);
            }
            if (ps.particleY[p] < ps.particleY[j]) {
                addTo(ps.particleVY[p], -0.5 / d);
            }
        }
        addTo(ps.particleVY[p], 0.07);
        addTo(ps.particleX[p], ps.particleVX[p]);
        addTo(ps.particleY[p], ps.particleVY[p]);
        if (isOutOfRange(p)) {
            ps.particleVX[p] = 0;
            ps.particleX[p] = static_cast<float>(nextRandom() % 5 + n / 2 - 2);
            ps.particleY[p] = 2;
            ps.particleVY[p] = toFloat((nextRandom() % 5000 + 2000) * 0.00025);
        }
        plotParticle(p, colour);
    }
    // The attractors drift sideways by the parity of their tags and wrap around.
    for (int j = 1; j <= 79; ++j) {
        if ((ps.particleTag[j] & 1) == 0) {
            addTo(ps.particleX[j], (nextRandom() % 400) * 0.001);
            if (ps.particleX[j] > n - 2) {
                ps.particleX[j] = 2;
            }
        } else {
            addTo(ps.particleX[j], -((nextRandom() % 400) * 0.001));
            if (ps.particleX[j] < 2) {
                ps.particleX[j] = static_cast<float>(n - 2);
            }
        }
    }
}

} // namespace glowfield
