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

// One colour's wave step, fused column by column: the velocity phase of column x reads colours of columns
// x - 1 .. x + 1, so once it is done column x - 1 is read no more and its value phase can run. Every cell
// sees exactly the operations of a velocity pass over all inner cells followed by a value pass over all live
// cells. Cloned for AVX2 where the processor has it; both clones compute in IEEE double without contraction,
// so the results are the same bits.
__attribute__((target_clones("avx512f", "avx2", "default"))) void
stepColour(float* __restrict colour, float* __restrict velocity, int n) {
    for (int x = 0; x <= n; ++x) {
        if (x >= 1 && x <= n - 2) {
            const float* __restrict column = colour + x * planeStride;
            const float* __restrict left = column - planeStride;
            const float* __restrict right = column + planeStride;
            float* __restrict v = velocity + x * planeStride;
            for (int y = 1; y < n - 1; ++y) {
                // The discrete Laplacian, summed in this order.
                const double laplace =
                    static_cast<double>(column[y + 1]) + right[y] + left[y] + column[y - 1] - 4.0 * column[y];
                v[y] = static_cast<float>(v[y] + 0.2 * laplace);
            }
        }
        if (x >= 1) {
            float* __restrict c = colour + (x - 1) * planeStride;
            const float* __restrict v = velocity + (x - 1) * planeStride;
            for (int y = 0; y < n; ++y) {
                c[y] = static_cast<float>(c[y] * 0.994 + v[y]);
            }
        }
    }
}

} // namespace

void waveStep() {
    const int n = field.gridSize;
    if (n >= 3) {
        // The last cell of the velocity phase leaves its blue increment and four times its blue value behind;
        // they are taken before the value phase changes that colour.
        const int x = n - 2;
        const float* blue = planes.blue;
        const double laplace = static_cast<double>(blue[cellAt(x, x + 1)]) + blue[cellAt(x + 1, x)] +
                               blue[cellAt(x - 1, x)] + blue[cellAt(x, x - 1)] - 4.0 * blue[cellAt(x, x)];
        field.laplaceScratch = static_cast<float>(0.2 * laplace);
        field.centreScratch = static_cast<float>(4.0 * blue[cellAt(x, x)]);
    }
    stepColour(planes.red, planes.redVelocity, n);
    stepColour(planes.green, planes.greenVelocity, n);
    stepColour(planes.blue, planes.blueVelocity, n);
    field.scanX = static_cast<uint8_t>(n);
    field.scanY = static_cast<uint8_t>(n);
}

} // namespace glowfield
