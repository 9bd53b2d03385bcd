// Wip: particles thrown round the centre and drawn as blocks in perspective.

#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "effects/shared/live_cells.h"
#include "effects/shared/owner_marks.h"
#include "effects/shared/particle_helpers.h"
#include "field/drawing.h"
#include "field/field.h"
#include "field/numeric.h"
#include "field/random.h"
#include "field/trig.h"

namespace glowfield {

namespace {

// Lays out particles 1..400 on an ellipse round the centre, in one of four patterns of starting velocity.
void layOutWip(int mode) {
    const int n = field.gridSize;
    ParticleStore& ps = particles;
    for (int p = 1; p <= 400; ++p) {
        const float angle = toFloat(p * double{0.015700001f});
        ps.particleX[p] = toFloat(fastSin(angle) * 60.0 + n / 2);
        const float c = toFloat(fastCos(angle) * 70.0 + n / 2);
        ps.particleZ[p] = c;
        ps.particleY[p] = static_cast<float>(n / 2 - 40);
        const double lift = 4.0 * c / n;
        switch (mode) {
        case 0:
            ps.particleVY[p] = toFloat(lift - p * double{0.00990099f});
            break;
        case 1:
            ps.particleVY[p] = toFloat(lift - (p % 4));
            break;
        case 2:
            ps.particleVY[p] = toFloat(lift - (p / 81));
            break;
        default:
            ps.particleVX[p] = toFloat((nextRandom() % 1000) * 0.001);
            ps.particleVY[p] = toFloat((nextRandom() % 1000) * 0.001);
            ps.particleVZ[p] = toFloat((nextRandom() % 1000) * 0.001);
            continue;
        }
        ps.particleVX[p] = toFloat(2.0 * c / n);
        ps.particleVZ[p] = 0;
    }
}

} // namespace

void wip() {
    const int n = field.gridSize;
    ParticleStore& ps = particles;
    if (particleOwner != wipMark) {
        // Half of the time the particles keep whatever layout the effect before left them.
        if (nextRandom() % 2 == 0) {
            layOutWip(nextRandom() % 4);
        }
        particleOwner = wipMark;
    }
    forEachLiveCell([](int cell) {
        planes.red[cell] = toFloat((planes.red[cell] - 70.0) * 0.5);
        planes.green[cell] = toFloat((planes.green[cell] - 70.0) * 0.5);
        planes.blue[cell] = toFloat((planes.blue[cell] - 70.0) * 0.5);
    });
    const double centre = n / 2;
    for (int p = 1; p <= 400; ++p) {
        // Each velocity is pulled toward the centre of the box by the old position.
        ps.particleVX[p] = toFloat(ps.particleVX[p] - (ps.particleX[p] - centre) * 0.00125);
        ps.particleVY[p] = toFloat(ps.particleVY[p] - (ps.particleY[p] - centre) * 0.00125);
        ps.particleVZ[p] = toFloat(ps.particleVZ[p] - (ps.particleZ[p] - centre) * 0.00125);
        ps.particleX[p] = toFloat(static_cast<double>(ps.particleX[p]) + ps.particleVX[p]);
        ps.particleY[p] = toFloat(static_cast<double>(ps.particleY[p]) + ps.particleVY[p]);
        ps.particleZ[p] = toFloat(static_cast<double>(ps.particleZ[p]) + ps.particleVZ[p]);
        if (!projectToScratch(ps.particleX[p], ps.particleY[p], ps.particleZ[p])) {
            continue;
        }
        const int sx = shared.scratchX;
        const int sy = shared.scratchY;
        const double z = ps.particleZ[p];
        const int size = z > 1 ? truncToInt(50 / (z + 2)) : 18;
        for (int a = 0; a <= size && sx + a < n - 1; ++a) {
            for (int b = 0; b <= size && sy + b < n - 1; ++b) {
                const int cell = cellAt(sx + a, sy + b);
                const int shade = 7 * b + 7 * a;
                planes.blue[cell] = toFloat(n - z * 1.6 - shade);
                planes.green[cell] = toFloat(n - z * 1.4 - shade);
                planes.red[cell] = toFloat(static_cast<double>(planes.blue[cell]) - 5 * size);
            }
        }
    }
}

} // namespace glowfield
