#include "field/field.h"

#include "field/random.h"

namespace glowfield {

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

// The wave step in one pass over the planes, column by column and the three colours together. The velocity
// phase of column x reads the old colours of columns x - 1 .. x + 1; those are kept as doubles in a ring of
// three columns, converted once as each column comes into reach, so the value phase of column x can run
// right after its velocity phase while the old colours stay at hand. Every cell sees exactly the operations
// of a velocity pass over all inner cells followed by a value pass over all live cells.
struct OldColumns {
    double column[3][planeStride]; // the old colours of columns x - 1, x and x + 1, by x % 3
};

// Cloned for wider vector units where the processor has them; every clone computes in IEEE double without
// contraction, so the results are the same bits.
__attribute__((target_clones("avx512f", "avx2", "default"))) void widenColumn(const float* __restrict colour,
                                                                              double* __restrict old, int n) {
    for (int y = 0; y < n; ++y) {
        old[y] = colour[y];
    }
}

// Velocity phase over the inner rows of an inner column, and the value phase of the whole column after it.
// The old colours of the column to the right are widened on the way, for the next two columns.
__attribute__((target_clones("avx512f", "avx2", "default"))) void
stepInnerColumn(const double* __restrict left, const double* __restrict centre,
                const float* __restrict rightColour, double* __restrict right, float* __restrict colour,
                float* __restrict velocity, int n) {
    right[0] = rightColour[0];
    right[n - 1] = rightColour[n - 1];
    colour[0] = static_cast<float>(centre[0] * 0.994 + velocity[0]);
    for (int y = 1; y < n - 1; ++y) {
        const double r = rightColour[y];
        right[y] = r;
        // The discrete Laplacian, summed in this order.
        const double laplace = centre[y + 1] + r + left[y] + centre[y - 1] - 4.0 * centre[y];
        const float v = static_cast<float>(velocity[y] + 0.2 * laplace);
        velocity[y] = v;
        colour[y] = static_cast<float>(centre[y] * 0.994 + v);
    }
    colour[n - 1] = static_cast<float>(centre[n - 1] * 0.994 + velocity[n - 1]);
}

// The value phase alone, for the first and last columns.
__attribute__((target_clones("avx512f", "avx2", "default"))) void
decayColumn(float* __restrict colour, const float* __restrict velocity, int n) {
    for (int y = 0; y < n; ++y) {
        colour[y] = static_cast<float>(colour[y] * 0.994 + velocity[y]);
    }
}

OldColumns oldColumns[3]; // red, green, blue

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
    float* const colours[3] = {planes.red, planes.green, planes.blue};
    float* const velocities[3] = {planes.redVelocity, planes.greenVelocity, planes.blueVelocity};
    if (n < 3) {
        for (int x = 0; x < n; ++x) {
            for (int c = 0; c < 3; ++c) {
                decayColumn(colours[c] + cellAt(x, 0), velocities[c] + cellAt(x, 0), n);
            }
        }
    } else {
        for (int c = 0; c < 3; ++c) {
            widenColumn(colours[c], oldColumns[c].column[0], n);
            widenColumn(colours[c] + cellAt(1, 0), oldColumns[c].column[1], n);
            decayColumn(colours[c], velocities[c], n);
        }
        for (int x = 1; x <= n - 2; ++x) {
            for (int c = 0; c < 3; ++c) {
                double(&old)[3][planeStride] = oldColumns[c].column;
                stepInnerColumn(old[(x - 1) % 3], old[x % 3], colours[c] + cellAt(x + 1, 0), old[(x + 1) % 3],
                                colours[c] + cellAt(x, 0), velocities[c] + cellAt(x, 0), n);
            }
        }
        for (int c = 0; c < 3; ++c) {
            decayColumn(colours[c] + cellAt(n - 1, 0), velocities[c] + cellAt(n - 1, 0), n);
        }
    }
    field.scanX = static_cast<uint8_t>(n);
    field.scanY = static_cast<uint8_t>(n);
}

} // namespace glowfield
