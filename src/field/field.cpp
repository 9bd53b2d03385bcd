#include "field/field.h"

#include <cstring>

#include "field/random.h"

namespace glowfield {

FieldPlanes planes;
FieldState field;

void resetFieldState() {
    std::memset(&planes, 0, sizeof planes);
    field = FieldState{};
}

void seedFieldNoise() {
    const int n = field.gridSize;
    for (int x = 0; x < n; ++x) {
        for (int y = 0; y < n; ++y) {
            const int c = cellAt(x, y);
            planes.red[c] = planes.green[c] = planes.blue[c] = 0.0f;
            planes.redVelocity[c] = planes.greenVelocity[c] = planes.blueVelocity[c] = 0.0f;
        }
    }
    // Bumps of -1..1 on 3 x 3 cells, so the first frames ripple before any effect has drawn.
    float* const velocities[3] = {planes.redVelocity, planes.greenVelocity, planes.blueVelocity};
    for (int round = 0; round < 9000; ++round) {
        for (float* plane : velocities) {
            const int x = nextRandom() % (n - 4) + 2;
            const int y = nextRandom() % (n - 4) + 2;
            const int r = nextRandom() % 30000;
            const double bump = (r - 15000) * static_cast<double>(0.00006666667f);
            for (int dx = -1; dx <= 1; ++dx) {
                for (int dy = -1; dy <= 1; ++dy) {
                    float& cell = plane[cellAt(x + dx, y + dy)];
                    cell = static_cast<float>(cell + bump);
                }
            }
        }
    }
}

namespace {

// Adds 0.2 times the discrete Laplacian of one colour to its velocity over the inner cells. Colours are only
// read here, so the scan order does not matter. Returns the last increment for the scratch globals.
double spreadColour(const float* __restrict colour, float* __restrict velocity, int n) {
    double increment = 0.0;
    for (int x = 1; x < n - 1; ++x) {
        const float* column = colour + x * planeStride;
        const float* left = column - planeStride;
        const float* right = column + planeStride;
        float* v = velocity + x * planeStride;
        for (int y = 1; y < n - 1; ++y) {
            const double laplace =
                static_cast<double>(column[y + 1]) + right[y] + left[y] + column[y - 1] - 4.0 * column[y];
            increment = 0.2 * laplace;
            v[y] = static_cast<float>(v[y] + increment);
        }
    }
    return increment;
}

void decayColour(float* __restrict colour, const float* __restrict velocity, int n) {
    for (int x = 0; x < n; ++x) {
        float* c = colour + x * planeStride;
        const float* v = velocity + x * planeStride;
        for (int y = 0; y < n; ++y) {
            c[y] = static_cast<float>(c[y] * 0.994 + v[y]);
        }
    }
}

} // namespace

void waveStep() {
    const int n = field.gridSize;
    if (n >= 3) {
        spreadColour(planes.red, planes.redVelocity, n);
        spreadColour(planes.green, planes.greenVelocity, n);
        const double lastBlueIncrement = spreadColour(planes.blue, planes.blueVelocity, n);
        field.laplaceScratch = static_cast<float>(lastBlueIncrement);
        field.centreScratch = static_cast<float>(4.0 * planes.blue[cellAt(n - 2, n - 2)]);
    }
    decayColour(planes.red, planes.redVelocity, n);
    decayColour(planes.green, planes.greenVelocity, n);
    decayColour(planes.blue, planes.blueVelocity, n);
    field.scanX = static_cast<uint8_t>(n);
    field.scanY = static_cast<uint8_t>(n);
}

} // namespace glowfield
