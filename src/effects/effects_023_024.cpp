// Wandering points and the column cascade.
//
// Predator darkens the field, moves twenty points through the shared particle store and lights the cells
// where the rings growing around two of them meet. Stare-O-Gran repeats one column, motion included, across
// the grid in steps of 20 columns. Predator's points live in the first twenty entries of the particle store
// (so moving point 0 changes the owner mark) and its ring radius stays behind in lastChannel.

#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "field/field.h"
#include "field/numeric.h"
#include "field/random.h"

namespace glowfield {

namespace {

constexpr int predatorPoints = 20;

// Everything fades toward -166.7 (where v = 0.97 v - 5) and the motion is damped to a third.
void fadeField() {
    const int n = field.gridSize;
    const double keep = 0.97f;
    const double damping = 0.33333334f;
    for (int x = 0; x < n; ++x) {
        for (int y = 0; y < n; ++y) {
            const int cell = cellAt(x, y);
            planes.red[cell] = toFloat(planes.red[cell] * keep - 5);
            planes.green[cell] = toFloat(planes.green[cell] * keep - 5);
            planes.blue[cell] = toFloat(planes.blue[cell] * keep - 5);
            planes.redVelocity[cell] = toFloat(planes.redVelocity[cell] * damping);
            planes.greenVelocity[cell] = toFloat(planes.greenVelocity[cell] * damping);
            planes.blueVelocity[cell] = toFloat(planes.blueVelocity[cell] * damping);
        }
    }
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
void lightCrossings(int32_t radius) {
    const int n = field.gridSize;
    const int64_t band = static_cast<int64_t>(radius) * radius / 155;
    for (int x = 1; x <= n - 2; ++x) {
        for (int y = 1; y <= n - 2; ++y) {
            int hits = 0;
            for (int k = 0; k < predatorPoints; ++k) {
                const double dx = static_cast<double>(particles.particleX[k]) - x;
                const double dy = static_cast<double>(particles.particleY[k]) - y;
                const int64_t d = truncToInt(dx * dx + dy * dy);
                if (d / 155 != band) {
                    continue;
                }
                if (++hits == 2) {
                    const int cell = cellAt(x, y);
                    planes.blue[cell] = static_cast<float>(d - static_cast<int64_t>(radius) * radius);
                    planes.red[cell] = 200.0f;
                    planes.green[cell] = static_cast<float>(static_cast<int64_t>(radius) * radius - d);
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

void stareOGran() {
    const int n = field.gridSize;
    if (n <= 42) {
        return;
    }
    const int copies = (n - 23) / 20;
    float* const order[6] = {planes.red,           planes.redVelocity, planes.green,
                             planes.greenVelocity, planes.blue,        planes.blueVelocity};
    // Each step copies from the column the step before has just written, so every target ends up equal to
    // column 10.
    for (int m = 0; m < copies; ++m) {
        const int source = 10 + 20 * m;
        for (int y = 5; y <= n - 6; ++y) {
            for (float* plane : order) {
                plane[cellAt(source + 20, y)] = plane[cellAt(source, y)];
            }
        }
    }
}

} // namespace glowfield
