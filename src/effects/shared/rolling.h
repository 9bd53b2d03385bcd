// Particles rolling down the red landscape, for M-Pourer and Dart. Particle 0 rolls too, so they move the
// owner mark.
#pragma once

#include "effects/effect_state.h"
#include "field/field.h"
#include "field/numeric.h"
#include "field/random.h"
#include "field/trig.h"

namespace glowfield {

inline bool isInnerCell(int32_t x, int32_t y, int n) {
    return x >= 1 && x <= n - 2 && y >= 1 && y <= n - 2;
}

// Moves particle b one step down the red slope. A particle found outside the inner cells is put back to the
// centre with a new random push and not moved; one that leaves on its move is put back with a gentler push.
// Returns whether the particle moved, which is when the effects draw its trail. The cell it started from is
// left in scratchX and scratchY.
inline bool rollDownhill(int b) {
    const int n = field.gridSize;
    ParticleStore& ps = particles;
    const int32_t x = truncToInt(ps.particleX[b]);
    const int32_t y = truncToInt(ps.particleY[b]);
    shared.scratchX = x;
    shared.scratchY = y;
    if (!isInnerCell(x, y, n)) {
        ps.particleX[b] = ps.particleY[b] = static_cast<float>(n / 2);
        ps.particleVX[b] = toFloat((nextRandom() % 1000 - 500) * 0.001);
        ps.particleVY[b] = toFloat((nextRandom() % 1000 - 500) * 0.001);
        return false;
    }
    const float* red = planes.red;
    ps.particleVX[b] =
        toFloat(ps.particleVX[b] + (red[cellAt(x - 1, y)] * 0.001 - red[cellAt(x + 1, y)] * 0.001));
    ps.particleVY[b] =
        toFloat(ps.particleVY[b] + (red[cellAt(x, y - 1)] * 0.001 - red[cellAt(x, y + 1)] * 0.001));
    ps.particleX[b] = toFloat(static_cast<double>(ps.particleX[b]) + ps.particleVX[b]);
    ps.particleY[b] = toFloat(static_cast<double>(ps.particleY[b]) + ps.particleVY[b]);
    if (!isInnerCell(truncToInt(ps.particleX[b]), truncToInt(ps.particleY[b]), n)) {
        ps.particleX[b] = ps.particleY[b] = static_cast<float>(n / 2);
        ps.particleVX[b] = toFloat((nextRandom() % 1000 - 500) * double{0.000033333334f});
        ps.particleVY[b] = toFloat((nextRandom() % 1000 - 500) * double{0.000033333334f});
    }
    return true;
}

// The cell a rolled particle is drawn at; rollDownhill leaves every moved particle on an inner cell.
inline int trailCell(int b) {
    return cellAt(truncToInt(particles.particleX[b]), truncToInt(particles.particleY[b]));
}

} // namespace glowfield
