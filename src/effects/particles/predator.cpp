// Predator: twenty wandering points whose growing rings light the cells where two of them meet.
//
// Its points live in the first twenty entries of the particle store (so moving point 0 changes the owner
// mark) and its ring radius stays behind in lastChannel.

#include <algorithm>
#include <bit>
#include <cmath>

#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "field/field.h"
#include "field/numeric.h"
#include "field/random.h"

namespace glowfield {

namespace {

constexpr int predatorPoints = 20;

// Everything fades toward -166.7 (where v = 0.97 v - 5) and the motion is damped to a third. Each cell is
// updated from itself alone, so the planes go one after the other. Cloned for wider vector units; every
// clone computes in IEEE double without contraction, so the results are the same bits.
__attribute__((target_clones("avx512f", "avx2", "default"))) void
fadePlane(float* __restrict colour, float* __restrict velocity, int n) {
    const double keep = 0.97f;
    const double damping = 0.33333334f;
    for (int x = 0; x < n; ++x) {
        float* __restrict c = colour + cellAt(x, 0);
        float* __restrict v = velocity + cellAt(x, 0);
        for (int y = 0; y < n; ++y) {
            c[y] = toFloat(c[y] * keep - 5);
            v[y] = toFloat(v[y] * damping);
        }
    }
}

void fadeField() {
    const int n = field.gridSize;
    fadePlane(planes.red, planes.redVelocity, n);
    fadePlane(planes.green, planes.greenVelocity, n);
    fadePlane(planes.blue, planes.blueVelocity, n);
}

// Moves each point by its velocity; a point that leaves the band 2 .. N-3, or stands still, is placed anew at
// random with a new velocity of up to about 0.71 cells per frame on each axis.
void movePoints() {
    const int n = field.gridSize;
    const double speedStep = 0.0028571428f;
    for (int k = 0; k < predatorPoints; ++k) {
        float& px = particles.particleX[k];
        float& py = particles.particleY[k];
        float& vx = particles.particleVX[k];
        float& vy = particles.particleVY[k];
        px = toFloat(static_cast<double>(px) + vx);
        py = toFloat(static_cast<double>(py) + vy);
        // Written as "not inside" so that a position that is not a number counts as outside.
        const bool inside = px >= 2 && px < n - 2 && py >= 2 && py < n - 2;
        if (inside && !(vx == 0 && vy == 0)) {
            continue;
        }
        px = static_cast<float>(nextRandom() % (n - 5) + 2);
        py = static_cast<float>(nextRandom() % (n - 5) + 2);
        vx = toFloat((nextRandom() % 500 - 250) * speedStep);
        vy = toFloat((nextRandom() % 500 - 250) * speedStep);
    }
}

// A cell lies on a point's ring when its squared distance falls in the same band of 155 as R * R. The second
// ring through a cell lights it red, tinted blue outside the exact radius and green inside.
bool ringHit(int k, int x, int y, int64_t band, int64_t& d) {
    const double dx = static_cast<double>(particles.particleX[k]) - x;
    const double dy = static_cast<double>(particles.particleY[k]) - y;
    d = truncToInt(dx * dx + dy * dy);
    return d / 155 == band;
}

void lightCell(int x, int y, int32_t radius, int64_t d) {
    const int cell = cellAt(x, y);
    planes.blue[cell] = static_cast<float>(d - static_cast<int64_t>(radius) * radius);
    planes.red[cell] = 200.0f;
    planes.green[cell] = static_cast<float>(static_cast<int64_t>(radius) * radius - d);
}

// A point is tested only at the cells near its ring: a hit needs the rounded squared distance in [lo, hi),
// so along a row the point can only hit within sqrt(hi - dx^2) of it and not within sqrt(lo - dx^2). Both
// bounds are widened by 1 under the root, many orders of magnitude more than the rounding of the squares,
// so no hit is missed; each candidate is then tested exactly. Cells are written once at most and nothing
// written is read, so the order of the cells does not matter; within a cell the points are still tested in
// order. movePoints leaves every point at a finite position near the grid, which keeps the bounds small.
void lightCrossings(int32_t radius) {
    const int n = field.gridSize;
    const int64_t band = static_cast<int64_t>(radius) * radius / 155;
    const double lo = 155.0 * static_cast<double>(band);
    const double hi = lo + 155.0;
    uint32_t candidates[planeStride] = {}; // bit k: point k may hit the cell of this row
    for (int x = 1; x <= n - 2; ++x) {
        int first = n - 1; // range of candidate cells of the row
        int last = 0;
        for (int k = 0; k < predatorPoints; ++k) {
            const double py = particles.particleY[k];
            const double dx = static_cast<double>(particles.particleX[k]) - x;
            const double outerSquare = hi - dx * dx + 1;
            if (!(outerSquare >= 0)) {
                continue;
            }
            const double outer = std::sqrt(outerSquare);
            const double innerSquare = lo - dx * dx - 1;
            const double inner = innerSquare > 0 ? std::sqrt(innerSquare) : 0;
            const uint32_t bit = 1u << k;
            // Truncation rounds toward zero, so the bounds of the clamped range can only grow.
            auto mark = [&](double from, double to) {
                const int a = static_cast<int>(std::clamp(from, 1.0, n - 1.0));
                const int b = static_cast<int>(std::clamp(to, 0.0, n - 2.0));
                for (int y = a; y <= b; ++y) {
                    candidates[y] |= bit;
                }
                first = std::min(first, a);
                last = std::max(last, b);
            };
            if (inner > 1) {
                mark(py - outer, py - inner);
                mark(py + inner, py + outer);
            } else {
                mark(py - outer, py + outer);
            }
        }
        for (int y = first; y <= last; ++y) {
            uint32_t maybe = candidates[y];
            candidates[y] = 0;
            if ((maybe & (maybe - 1)) == 0) { // fewer than two candidates
                continue;
            }
            int hits = 0;
            for (; maybe != 0; maybe &= maybe - 1) {
                int64_t d = 0;
                if (ringHit(std::countr_zero(maybe), x, y, band, d) && ++hits == 2) {
                    lightCell(x, y, radius, d);
                    break;
                }
            }
        }
    }
}

} // namespace

void predator() {
    fadeField();
    movePoints();
    const int32_t radius = static_cast<int32_t>(shared.frameCounter % 50);
    shared.lastChannel = radius;
    lightCrossings(radius);
}

} // namespace glowfield
