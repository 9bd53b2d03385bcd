// Zooms, mirrors, shaded balls and bar graphs.
//
// Accelerate and Dr Who copy the field onto itself, shrunk toward a corner or mirrored and zoomed; the copies
// run in place, so their loop order shapes the picture. Upsilon drives a ring of particles of the shared
// store. Fingerprint, Balls, lava and Pump Up read one plane as a texture, a relief or a row of bar lengths
// and draw it into the others; Cartwheel turns a spoke of velocity.

#include "effects/cell_runs.h"
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

constexpr float lavaMark = 123.0f;
// Steps of each angle of Balls: 0 to pi in steps of 0.015707964, summed in single precision (200).
constexpr int ballSteps = [] {
    int steps = 0;
    for (float v = 0; v < 3.1415927f; v = v + 0.015707964f) {
        ++steps;
    }
    return steps;
}();
// Heights y - base of a drawn lava cell: row y is 1..planeStride - 1 and the base a byte.
constexpr int lavaLowest = 254;
constexpr int lavaHeights = lavaLowest + planeStride;

float* const allPlanes[6] = {planes.red,         planes.green,         planes.blue,
                             planes.redVelocity, planes.greenVelocity, planes.blueVelocity};

void addTo(float& value, double change) {
    value = toFloat(value + change);
}

// Sets count cells of a column from cell on to lava colours (Count when it is not 0: a loop of a fixed length
// is much cheaper than a short one of a varying length) and stops their motion.
template <int Count> void paintLava(int cell, const float* red, const float* green, int count) {
    const int rows = Count != 0 ? Count : count;
    for (int j = 0; j < rows; ++j) {
        planes.red[cell + j] = red[j];
        planes.green[cell + j] = green[j];
        planes.redVelocity[cell + j] = 0;
        planes.greenVelocity[cell + j] = 0;
    }
}

} // namespace

void accelerate() {
    const int n = field.gridSize;
    const double f = shared.frameCounter;
    // The pull toward cell (0, 0) breathes between 0.92 and 0.98, at a different pace in each direction.
    const double kx = fastSin(toFloat(f * 0.1)) * 0.03 + 0.95;
    const double ky = fastSin(toFloat(f * double{0.07692308f})) * 0.03 + 0.95;
    uint8_t rowTo[planeStride];
    for (int y = 2; y <= n - 2; ++y) {
        rowTo[y] = truncToByte(ky * y);
    }
    // In place, but every column is copied into an earlier one (kx < 1), so no column is read after
    // anything was written into it: each column's truncated values are worked out first.
    int32_t whole[6][planeStride];
    for (int x = 2; x <= n - 2; ++x) {
        const uint8_t dx = truncToByte(kx * x);
        if (dx >= planeStride) {
            continue;
        }
        for (int p = 0; p < 6; ++p) {
            truncToIntRun(allPlanes[p] + cellAt(x, 2), whole[p] + 2, n - 3);
        }
        // Where two sources share a destination, the later one in the scan wins.
        for (int y = 2; y <= n - 2; ++y) {
            if (rowTo[y] >= planeStride) {
                continue;
            }
            const int destination = cellAt(dx, rowTo[y]);
            for (int p = 0; p < 6; ++p) {
                allPlanes[p][destination] = static_cast<float>(whole[p][y]);
            }
        }
    }
}

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

void drWho() {
    const int n = field.gridSize;
    // The lower half, zoomed and mirrored, becomes the upper half, fading a little on each pass.
    const double d = n * 0.025;
    for (int x = 1; x <= n - 2; ++x) {
        for (int y = 1; y <= n / 2 - 1; ++y) {
            const uint8_t sx = truncToByte(d + x * 0.95 + 0.5);
            const uint8_t sy = static_cast<uint8_t>(n - truncToInt(d + y * 0.95 + 0.5) - 1);
            if (!isStoredCell(sx, sy)) {
                continue;
            }
            const int source = cellAt(sx, sy);
            const int destination = cellAt(x, y);
            for (float* plane : allPlanes) {
                plane[destination] = toFloat(0.99 * plane[source]);
            }
        }
    }
    // The new upper half is mirrored down over the lower half it came from.
    for (int x = 1; x <= n - 2; ++x) {
        for (int k = 0; k <= n / 2 - 2; ++k) {
            for (float* plane : allPlanes) {
                plane[cellAt(x, n - 2 - k)] = plane[cellAt(x, 1 + k)];
            }
        }
    }
    // Now and then a square of random velocity in the centre starts new ripples.
    if (shared.frameCounter % 75 == 0) {
        for (int x = n / 2 - 8; x <= n / 2 + 7; ++x) {
            for (int y = n / 2 - 8; y <= n / 2 + 7; ++y) {
                const int cell = cellAt(x, y);
                planes.redVelocity[cell] = static_cast<float>(nextRandom() % 90 - 45);
                planes.greenVelocity[cell] = static_cast<float>(nextRandom() % 90 - 45);
                planes.blueVelocity[cell] = static_cast<float>(nextRandom() % 90 - 45);
            }
        }
    }
}

void fingerprint() {
    const int n = field.gridSize;
    const int rows = n - 2;
    // Blue is only read, so a column's angles are gathered first and their sines taken all at once.
    float angles[2][planeStride];
    float sines[2][planeStride];
    for (int x = 1; x <= n - 2; ++x) {
        const float* const blue = planes.blue + cellAt(x, 1);
        for (int k = 0; k < rows; ++k) {
            angles[0][k] = toFloat(blue[k] * 0.1);
            angles[1][k] = toFloat(blue[k] * double{0.098891266f});
        }
        fastSinRun(angles[0], sines[0], rows);
        fastSinRun(angles[1], sines[1], rows);
        float* const red = planes.red + cellAt(x, 1);
        float* const green = planes.green + cellAt(x, 1);
        float* const redVelocity = planes.redVelocity + cellAt(x, 1);
        float* const greenVelocity = planes.greenVelocity + cellAt(x, 1);
        for (int k = 0; k < rows; ++k) {
            red[k] = toFloat(sines[0][k] * 80.0);
            green[k] = toFloat(sines[1][k] * -80.0);
            redVelocity[k] = 0;
            greenVelocity[k] = 0;
        }
    }
}

void cartwheel() {
    const int n = field.gridSize;
    const double f = shared.frameCounter;
    const double spokeCos = fastCos(toFloat(f * 0.1));
    const double spokeSin = fastSin(toFloat(f * 0.1));
    const double pulseCos = 4.0 * fastCos(toFloat(f * 0.025));
    const double pulseSin = 4.0 * fastSin(toFloat(f * 0.025));
    for (int k = 0; k <= n / 2 - 1; ++k) {
        shared.spotX = truncToInt(spokeCos * k + n / 2);
        shared.spotY = truncToInt(spokeSin * k + n / 2);
        if (!isStoredCell(shared.spotX, shared.spotY)) {
            continue;
        }
        const int cell = cellAt(shared.spotX, shared.spotY);
        planes.redVelocity[cell] = toFloat(pulseCos + planes.greenVelocity[cell]);
        addTo(planes.greenVelocity[cell], pulseSin);
        planes.blueVelocity[cell] = toFloat(planes.greenVelocity[cell] - pulseCos);
    }
}

void balls() {
    const int n = field.gridSize;
    const double f = shared.frameCounter;
    forEachLiveCell([](int cell) {
        planes.red[cell] = toFloat(planes.red[cell] * 0.6 - 15);
        planes.green[cell] = toFloat(planes.green[cell] * 0.6 - 15);
    });
    if (n < 1) {
        return;
    }
    // Both angles step in single precision, as the sum is kept: 200 values each. Every v loop walks the
    // same values, so what depends on v alone is worked out once.
    struct AlongV {
        float cosV;     // fastCos(v)
        float sinShift; // fastSin(v + 0.2)
        uint8_t column; // blue column the angle reads, sy
    };
    AlongV alongV[ballSteps];
    int vCount = 0;
    for (float v = 0; v < 3.1415927f && vCount < ballSteps; v = v + 0.015707964f) {
        alongV[vCount++] = {fastCos(v), fastSin(toFloat(v + 0.2)),
                            truncToByte(static_cast<double>(n) * v * double{0.31830987f})};
    }
    for (float u = 0; u < 3.1415927f; u = u + 0.015707964f) {
        const int32_t x = truncToInt(static_cast<double>(fastCos(u)) * 60 + n / 2);
        const double sinU = fastSin(u);
        const double sinShiftU = fastSin(toFloat(u + 0.4));
        // The blue plane is wrapped round the ball and turns with the frame counter.
        const uint8_t sx = static_cast<uint8_t>(truncToInt((f * 0.05 + u) * 0.31830987732601135 * n) % n);
        for (int k = 0; k < vCount; ++k) {
            const AlongV& a = alongV[k];
            const int32_t y = truncToInt(sinU * a.cosV * 60 + n / 2);
            const uint8_t sy = a.column;
            if (!isStoredCell(x, y) || !isStoredCell(sx, sy)) {
                continue;
            }
            const double r = sinShiftU * a.sinShift * 1.2;
            const int64_t t =
                static_cast<int64_t>(truncToInt(r * planes.blue[cellAt(sx, sy)])) + truncToInt(r * 200 - 100);
            const int cell = cellAt(x, y);
            planes.red[cell] = static_cast<float>(t);
            planes.redVelocity[cell] = 0;
            planes.greenVelocity[cell] = 0;
            planes.green[cell] = static_cast<float>(t / 2);
        }
    }
}

void lava() {
    const int n = field.gridSize;
    if (particleOwner != lavaMark) {
        // Whatever blue was left becomes a shallow relief, upside down.
        forEachLiveCell([](int cell) {
            planes.blue[cell] = toFloat(planes.blue[cell] * -0.01);
            planes.blueVelocity[cell] = toFloat(planes.blueVelocity[cell] * -0.01);
        });
        particleOwner = lavaMark;
    }
    // A drawn cell's colours depend only on its height above the row's base, y - base: one sine per height a
    // frame instead of one per cell.
    float redAt[lavaHeights], greenAt[lavaHeights];
    for (int h = 0; h < lavaHeights; ++h) {
        const int64_t height = h - lavaLowest;
        redAt[h] = toFloat(60 - height * 10.0);
        greenAt[h] = toFloat(fastSin(toFloat((redAt[h] - 60.0) * double{0.028571429f})) * 40.0);
    }
    // Each column's share of the width, the same for every row.
    double across[planeStride];
    for (int c = 1; c <= n - 2; ++c) {
        across[c] = static_cast<double>(c) / n;
    }
    // The blue relief as a landscape seen from the front, drawn from the back row to the front one so that
    // nearer rows cover farther ones.
    for (int row = n - 2; row >= 1; --row) {
        const double d = row * 0.5;
        const uint8_t base = truncToByte(n * 3 / 4 - d);
        for (int c = 1; c <= n - 2; ++c) {
            const uint8_t x = truncToByte((n - d) * across[c] + d * 0.5);
            const int64_t top = static_cast<int64_t>(base) - truncToInt(planes.blue[cellAt(c, row)] * -10.0);
            // Up to eight rows from top down, stopping at the first one outside the inner rows or the
            // stored cells: none at all when top itself is outside.
            if (top < 1 || top > n - 2 || x >= planeStride) {
                continue;
            }
            const int first = static_cast<int>(top);
            const int count = std::min({8, n - 1 - first, planeStride - first});
            const int h = first - base + lavaLowest;
            const int cell = cellAt(x, first);
            if (count == 8) {
                paintLava<8>(cell, redAt + h, greenAt + h, 8);
            } else {
                paintLava<0>(cell, redAt + h, greenAt + h, count);
            }
        }
    }
}

void pumpUp() {
    const int n = field.gridSize;
    forEachLiveCell([](int cell) {
        planes.red[cell] = toFloat(planes.red[cell] * 0.6 - 45);
        planes.green[cell] = toFloat(planes.green[cell] * 0.6 - 45);
    });
    if (n < 3) {
        return;
    }
    // The bar lengths come from column scratchX of red, as whichever effect last set it left it. A column
    // outside the stored planes reads as 0, like the unused rest of each plane.
    const int32_t column = shared.scratchX;
    for (int i = 1; i <= n - 2; ++i) {
        const double level = isStoredCell(column, i) ? planes.red[cellAt(column, i)] : 0.0;
        const int64_t wanted = 30 - static_cast<int64_t>(truncToInt(level * -0.2));
        const int count =
            static_cast<int>(std::max<int64_t>(std::min<int64_t>(wanted, n / 2 - 4), 4 - n / 2));
        for (int j = 0; j < count; ++j) {
            const float value = toFloat(static_cast<double>(j) / count * 160);
            for (int x : {n / 2 + j, n / 2 - j}) {
                if (!isStoredCell(x, i)) {
                    continue;
                }
                const int cell = cellAt(x, i);
                planes.greenVelocity[cell] = 0;
                planes.blueVelocity[cell] = 0;
                planes.green[cell] = value;
            }
        }
    }
}

} // namespace glowfield
