// Particle swarms, mirrors and tunnels.
//
// Volcano, Inkblot and Swarm move particles of the shared store and plot them into the velocity planes, so
// the wave step spreads their colour; their attractors are particles of the same store whose tags, left by
// other effects, steer them. Quoonirky is a relief lit from a point held by particle 1. 4, Oily and Tunnel
// copy the field onto itself: mirrored, shifted and shrunk.

#include "effects/cell_runs.h"
#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "effects/live_cells.h"
#include "effects/particle_helpers.h"
#include "field/field.h"
#include "field/numeric.h"
#include "field/random.h"
#include "field/trig.h"

#include <cmath>

namespace glowfield {

namespace {

constexpr float volcanoMark = 110.0f; // also Quoonirky's: each skips its set-up after the other
constexpr float inkblotMark = 111.0f;

float* const allPlanes[6] = {planes.red,         planes.green,         planes.blue,
                             planes.redVelocity, planes.greenVelocity, planes.blueVelocity};

// Square of the distance between two particles, one cell added so that it never reaches 0.
double squaredDistance(int a, int b) {
    const double dx = static_cast<double>(particles.particleX[a]) - particles.particleX[b];
    const double dy = static_cast<double>(particles.particleY[a]) - particles.particleY[b];
    return dx * dx + dy * dy + 1;
}

// Distance between two particles.
double particleDistance(int a, int b) {
    return std::sqrt(squaredDistance(a, b));
}

// True when particle b is certainly farther than reach from particle a: the square is at least
// (reach + 1/8)^2, so its root is above reach however it rounds. The root itself is then not needed; NaN is
// never certain.
bool certainlyFarther(int a, int b, double reachSquaredWithMargin) {
    return squaredDistance(a, b) >= reachSquaredWithMargin;
}

void addTo(float& value, double change) {
    value = toFloat(value + change);
}

// One cell of Quoonirky's waving edges.
float edgeWave(double angle) {
    return toFloat(fastSin(toFloat(angle)) * 300.0 - 400);
}

// Flesh Eating steers each particle up the green slope. When no neighbour qualifies, the direction chosen for
// the particle before applies, also across frames.
struct FleshEatingState {
    int direction = 0; // 0: none yet; 1..4: left, right, up, down
};

FleshEatingState fleshEatingState;

} // namespace

void resetFleshEatingState() {
    fleshEatingState = FleshEatingState{};
}

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

void four() {
    const uint32_t f = shared.frameCounter;
    // The pulse: grow every sixth frame, shrink three frames later, and a stronger beat every fiftieth.
    float s = 1.0f;
    if (f % 6 == 0) {
        s = 1.1f;
    }
    if (f % 6 == 3) {
        s = 0.90909094f;
    }
    if (f % 50 == 0) {
        s = 1.2f;
    }
    const int n = field.gridSize;
    if (n < 22) {
        return;
    }
    const int h = n / 2;
    for (int x = 10; x < h; ++x) {
        for (int y = 10; y < h; ++y) {
            const int source = cellAt(x, y);
            const int mirrors[3] = {cellAt(x, n - 1 - y), cellAt(n - 1 - x, n - 1 - y), cellAt(n - 1 - x, y)};
            for (float* plane : allPlanes) {
                plane[source] = toFloat(static_cast<double>(s) * plane[source]);
            }
            // The mirrors take the already scaled source, so they pulse with s squared.
            for (int mirror : mirrors) {
                for (float* plane : allPlanes) {
                    plane[mirror] = toFloat(static_cast<double>(s) * plane[source]);
                }
            }
        }
    }
}

void oily() {
    const int n = field.gridSize;
    for (int x = 0; x <= n - 13; ++x) {
        for (int y = 0; y <= n - 13; ++y) {
            const int source = cellAt(x, y);
            planes.green[cellAt(x + 5, y + 5)] = planes.blue[source];
            planes.greenVelocity[cellAt(x + 5, y + 5)] = planes.blueVelocity[source];
            planes.red[cellAt(x + 10, y + 10)] = planes.blue[source];
            planes.redVelocity[cellAt(x + 10, y + 10)] = planes.blueVelocity[source];
        }
    }
}

void quoonirky() {
    const int n = field.gridSize;
    const uint32_t f = shared.frameCounter;
    ParticleStore& ps = particles;
    if (particleOwner != volcanoMark) {
        // A pyramid of blue velocity with a little noise, highest in the centre.
        const int h = n / 2;
        for (int x = 1; x <= n - 2; ++x) {
            for (int y = 1; y <= n - 2; ++y) {
                const double w = (1 - absf(static_cast<float>(x - h)) / static_cast<double>(h)) *
                                 (1 - absf(static_cast<float>(y - h)) / static_cast<double>(h));
                const double height = (nextRandom() % 40 + 980) * 0.001 * w;
                planes.blue[cellAt(x, y)] = 0;
                planes.blueVelocity[cellAt(x, y)] = toFloat((height * 1300 - 800) * 0.025);
            }
        }
        for (int k = 1; k <= 9; ++k) {
            ps.particleX[k] = ps.particleY[k] = toFloat(n * 0.5);
            ps.particleTag[k] = nextRandom() % 2;
        }
        particleOwner = volcanoMark;
    }
    // Four waving edges hold the relief in place.
    for (int i = 1; i <= n - 2; ++i) {
        const int edges[4] = {cellAt(i, 1), cellAt(i, n - 2), cellAt(1, i), cellAt(n - 2, i)};
        const double fi = i, ff = f;
        planes.blue[edges[0]] = edgeWave(fi * double{0.099108025f} + ff * 0.05);
        planes.blue[edges[1]] = edgeWave(fi * double{0.089445435f} + ff * double{0.04327131f});
        planes.blue[edges[2]] = edgeWave(ff * double{0.03796507f} + fi * double{0.082169265f});
        planes.blue[edges[3]] = edgeWave(ff * double{0.036455106f} + fi * double{0.07627765f});
        for (int cell : edges) {
            planes.redVelocity[cell] = planes.greenVelocity[cell] = planes.blueVelocity[cell] = 0;
        }
    }
    const int32_t px = truncToInt(ps.particleX[1]);
    const int32_t py = truncToInt(ps.particleY[1]);
    if (isStoredCell(px, py)) {
        planes.blue[cellAt(px, py)] = 2000;
    }
    forEachLiveCell([](int cell) {
        planes.red[cell] = toFloat(planes.blue[cell] * 0.57);
        planes.green[cell] = toFloat(planes.blue[cell] * 0.4);
    });
}

void fleshEating() {
    const int n = field.gridSize;
    ParticleStore& ps = particles;
    forEachLiveCell([](int cell) {
        planes.green[cell] = toFloat(planes.green[cell] * 0.99);
        planes.red[cell] = toFloat(planes.red[cell] * 0.6 - 15);
        planes.blue[cell] = toFloat(planes.blue[cell] * 0.6 - 15);
    });
    int& direction = fleshEatingState.direction;
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

void tunnel() {
    const int n = field.gridSize;
    // Tag parity of particle 1, as other effects left it, picks the shrink: halve into the centre, or 0.8.
    const bool halve = (particles.particleTag[1] & 1) != 0;
    const double factor = halve ? 1.0 : 0.8;
    const double offset = n * 0.1;
    // The destination row of each row, the same for every column.
    uint8_t rowTo[planeStride];
    for (int y = 1; y <= n - 2; ++y) {
        rowTo[y] = halve ? static_cast<uint8_t>(n / 4 + y / 2) : truncToByte(offset + y * 0.8);
    }
    int32_t whole[planeStride];
    float shrunk[6][planeStride];
    for (int x = 1; x <= n - 2; ++x) {
        const uint8_t dx = halve ? static_cast<uint8_t>(x / 2 + n / 4) : truncToByte(offset + x * 0.8);
        if (dx >= planeStride) {
            continue;
        }
        // In place: a source cell may already hold what an earlier cell of this pass wrote there. A column
        // copied into another one reads nothing it writes, so its values are worked out first; the column
        // copied into itself (the centre) goes cell by cell.
        if (dx == x) {
            for (int y = 1; y <= n - 2; ++y) {
                if (rowTo[y] >= planeStride) {
                    continue;
                }
                const int source = cellAt(x, y);
                const int destination = cellAt(dx, rowTo[y]);
                for (float* plane : allPlanes) {
                    plane[destination] = toFloat(truncToInt(plane[source]) * factor);
                }
            }
            continue;
        }
        for (int p = 0; p < 6; ++p) {
            truncToIntRun(allPlanes[p] + cellAt(x, 1), whole, n - 2);
            for (int k = 0; k < n - 2; ++k) {
                shrunk[p][k + 1] = toFloat(whole[k] * factor);
            }
        }
        // Rows that share a destination: the later one wins, as before.
        for (int y = 1; y <= n - 2; ++y) {
            if (rowTo[y] >= planeStride) {
                continue;
            }
            const int destination = cellAt(dx, rowTo[y]);
            for (int p = 0; p < 6; ++p) {
                allPlanes[p][destination] = shrunk[p][y];
            }
        }
    }
}

} // namespace glowfield
