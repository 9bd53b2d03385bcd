// Upsilon: a ring of particles of the shared store turning about the centre.

#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "effects/shared/effect_helpers.h"
#include "effects/shared/live_cells.h"
#include "effects/shared/particle_helpers.h"
#include "field/field.h"
#include "field/numeric.h"
#include "field/trig.h"

namespace glowfield {

void upsilon() {
    const int n = field.gridSize;
    const uint32_t f = shared.frameCounter;
    ParticleStore& ps = particles;
    fadeColourPlanes(0.6, 15);
    // Particle 0 takes part too: its X is the owner mark, so this effect moves the mark.
    for (int p = 0; p <= 63; ++p) {
        const double a = ps.particleTag[p] * 0.5 + static_cast<double>(f + 1280u) * 0.06666666666666667;
        ParticleColour colour;
        colour.red = truncToInt(static_cast<double>(fastCos(toFloat(a * double{0.23187867f}))) * 60);
        colour.green = truncToInt(static_cast<double>(fastSin(toFloat(a * double{0.39483553f}))) * 60);
        colour.blue = truncToInt(static_cast<double>(fastCos(toFloat(a * double{0.28848374f}))) * -60);

        ps.particleVX[p] = toFloat(ps.particleVX[p] * 0.97);
        ps.particleVY[p] = toFloat(ps.particleVY[p] * 0.97);
        // The swirl reverses its sense every hundred frames.
        const uint32_t up = static_cast<uint32_t>(p);
        const uint32_t g = (f % 200 >= 100) ? up + f : up - f + 1000000u;
        addTo(ps.particleVX[p], fastSin(toFloat(static_cast<double>(g) * 0.2)) * 0.2);
        addTo(ps.particleVY[p], fastCos(toFloat(static_cast<double>(g) * 0.2)) * 0.2);

        addTo(ps.particleX[p], ps.particleVX[p]);
        addTo(ps.particleY[p], ps.particleVY[p]);
        if (!insideSquare(ps.particleX[p], ps.particleY[p], 2, n - 2)) {
            respawnAtRandom(p);
        } else {
            plotParticle(p, colour);
        }
    }
}

} // namespace glowfield
