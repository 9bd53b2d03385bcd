// Rolling and bouncing particles.
//
// M-Pourer and Dart take the red plane as a landscape and let a few particles of the shared store roll
// downhill on it, leaving blue and green trails; particle 0 rolls too, so they move the owner mark.
// SquareRoot throws particles into a box seen in perspective, where they bounce on a floorRow and are drawn
// as blocks.

#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "effects/live_cells.h"
#include "effects/particle_helpers.h"
#include "field/field.h"
#include "field/numeric.h"
#include "field/random.h"
#include "field/trig.h"

#include <algorithm>

namespace glowfield {

namespace {

constexpr float squareRootMark = 135.0f;

bool isInnerCell(int32_t x, int32_t y, int n) {
    return x >= 1 && x <= n - 2 && y >= 1 && y <= n - 2;
}

// Moves particle b one step down the red slope. A particle found outside the inner cells is put back to the
// centre with a new random push and not moved; one that leaves on its move is put back with a gentler push.
// Returns whether the particle moved, which is when the effects draw its trail. The cell it started from is
// left in scratchX and scratchY.
bool rollDownhill(int b) {
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
int trailCell(int b) {
    return cellAt(truncToInt(particles.particleX[b]), truncToInt(particles.particleY[b]));
}

} // namespace

void mPourer() {
    forEachLiveCell([](int cell) {
        planes.blue[cell] = -120;
        planes.blueVelocity[cell] = 0;
        planes.green[cell] = -120;
        planes.greenVelocity[cell] = 0;
    });
    // Ten particles, each moved a thousand times a frame, leaving a mark on every other step.
    for (int n = 1; n <= 9999; ++n) {
        const int b = n % 10;
        if (rollDownhill(b) && n % 2 == 0) {
            const int cell = trailCell(b);
            planes.blueVelocity[cell] = 0;
            planes.greenVelocity[cell] = 0;
            planes.blue[cell] = toFloat(planes.blue[cell] + 50.0);
            planes.green[cell] = toFloat(planes.green[cell] + 20.0);
        }
    }
}

void dart() {
    forEachLiveCell([](int cell) {
        planes.green[cell] = toFloat(planes.green[cell] * 0.6 - 15);
        planes.blue[cell] = toFloat(planes.blue[cell] * 0.6 - 15);
    });
    // A hundred particles, each moved about ten times a frame.
    for (int n = 1; n <= 999; ++n) {
        const int b = n % 100;
        if (rollDownhill(b) && n % 2 == 0) {
            const int cell = trailCell(b);
            planes.blue[cell] = toFloat(planes.blue[cell] + 60.0);
            planes.green[cell] = toFloat(planes.green[cell] + 40.0);
        }
    }
}

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
