// Lattices, spirals, borders, circles and mirrors.
//
// A lattice kicked into one colour's motion, a spiral that brightens or cuts, a fringe of random values along
// the border, a wholesale scramble of the velocities, a turning colour wheel, a Lissajous wiggle, a sparse
// left-right mirror and a flickering sun ring. None keeps state of its own; the spiral, wheel and wiggle
// leave their last point in spotX/spotY, and the lattice, mirror and ring leave scratch values in lastChannel
// and sharedAngle that later effects may read.

#include "effects/effect_helpers.h"
#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "field/field.h"
#include "field/numeric.h"
#include "field/random.h"
#include "field/trig.h"

namespace glowfield {

namespace {

// frameCounter + offset, wrapping as the unsigned counter does, as a floating value.
double clockPlus(uint32_t offset) {
    return static_cast<double>(shared.frameCounter + offset);
}

// A coordinate on a circle of radius 0.4 (N - 1) about the grid's centre: a sine in -1..1 maps onto
// 0.1 .. 0.9 of N - 1.
int32_t circleCoordinate(float s) {
    const int n = field.gridSize;
    return truncToInt((s * 0.8 + 1) * (n - 1) * 0.5);
}

} // namespace

void tartan() {
    if (shared.frameCounter % 10 != 0) {
        return;
    }
    const int n = field.gridSize;
    float* plane = velocityPlane(nextRandom() % 3);
    const int32_t kick = (nextRandom() & 1) ? -10 : 10;
    shared.lastChannel = kick;
    for (int i = 1; i < n - 1; i += 25) {
        for (int j = 1; j <= n - 2; ++j) {
            float& down = plane[cellAt(i, j)];
            down = toFloat(down + static_cast<double>(kick));
            float& across = plane[cellAt(j, i)];
            across = toFloat(across + static_cast<double>(kick));
        }
    }
}

void ten() {
    if (shared.frameCounter % 5 != 0) {
        return;
    }
    const int n = field.gridSize;
    shared.spotX = nextRandom() % (n - 2) + 1;
    shared.spotY = nextRandom() % (n - 2) + 1;
    const int kind = nextRandom() % 5;
    const int length = (n * 10) >> 2;
    for (int i = 0; i < length; ++i) {
        const float angle = toFloat(i * 0.2);
        const int x = truncToInt(fastCos(angle) * static_cast<double>(i) * 0.1 + shared.spotX);
        const int y = truncToInt(fastSin(angle) * static_cast<double>(i) * 0.1 + shared.spotY);
        if (!(x > 0 && x < n && y > 0 && y < n)) {
            continue;
        }
        const int cell = cellAt(x, y);
        // Brightest at the centre, fading outward; or a dark cut through all three colours.
        const float w = static_cast<float>(length - i);
        if (kind == 0) {
            planes.red[cell] = w;
        } else if (kind == 1) {
            planes.green[cell] = w;
        } else if (kind == 2) {
            planes.blue[cell] = w;
        } else {
            planes.red[cell] = 0.0f;
            planes.green[cell] = 0.0f;
            planes.blue[cell] = 0.0f;
        }
    }
}

void theVapours() {
    if (shared.frameCounter % 20 != 0) {
        return;
    }
    const int n = field.gridSize;
    for (int step = 1; step <= n - 2; ++step) {
        const uint8_t p = static_cast<uint8_t>(step);
        // Half a sine along the border sets the largest value each cell may get: up to 255 in the middle.
        const float s = toFloat(fastSin(toFloat(p * static_cast<double>(3.14f) / n)) * 255.0);
        const int r = nextRandom() % 2;
        const uint8_t m = truncToByte(r * static_cast<double>(s) + 1);
        if (m == 0) {
            continue;
        }
        planes.red[cellAt(0, p)] = static_cast<float>(nextRandom() % m);
        planes.blue[cellAt(n - 1, p)] = static_cast<float>(nextRandom() % m);
        planes.green[cellAt(p, 0)] = static_cast<float>(nextRandom() % m);
        const float v = static_cast<float>(nextRandom() % m);
        planes.red[cellAt(p, n - 1)] = v;
        planes.green[cellAt(p, n - 1)] = v;
    }
}

void twitch() {
    if (shared.frameCounter % 120 != 1) {
        return;
    }
    const int n = field.gridSize;
    float* still = velocityPlane(nextRandom() % 3);
    // Two colours' motion is scrambled; the chosen one is overwritten with a value of 0 to 2 right away.
    for (int x = 1; x <= n - 2; ++x) {
        for (int y = 1; y <= n - 2; ++y) {
            const int cell = cellAt(x, y);
            planes.redVelocity[cell] = static_cast<float>(nextRandom() % 50 - 25);
            planes.greenVelocity[cell] = static_cast<float>(nextRandom() % 50 - 25);
            planes.blueVelocity[cell] = static_cast<float>(nextRandom() % 50 - 25);
            still[cell] = static_cast<float>(nextRandom() % 3);
        }
    }
}

void wheel() {
    const int n = field.gridSize;
    for (int i = 0; i < 3 * n; ++i) {
        const float angle = toFloat(clockPlus(static_cast<uint32_t>(i)) * static_cast<double>(0.013333334f));
        shared.spotX = circleCoordinate(fastSin(angle));
        shared.spotY = circleCoordinate(fastCos(angle));
        const float d = toFloat(i * static_cast<double>(9.42f) / n);
        const double s = fastSin(d);
        const int cell = cellAt(shared.spotX, shared.spotY);
        // Each third of the circle pairs two colours in opposite phase.
        if (i < n) {
            planes.red[cell] = toFloat(s * 60);
            planes.green[cell] = toFloat(-s * 60);
        } else if (i < 2 * n) {
            planes.red[cell] = toFloat(s * 60);
            planes.blue[cell] = toFloat(-s * 60);
        } else {
            planes.blue[cell] = toFloat(-s * 60);
            planes.green[cell] = toFloat(s * 60);
        }
    }
}

void wiggle() {
    const int n = field.gridSize;
    for (int i = 0; i < 5 * n; ++i) {
        const uint32_t step = static_cast<uint32_t>(i);
        shared.spotX =
            circleCoordinate(fastSin(toFloat(clockPlus(step) * static_cast<double>(0.013333334f))));
        shared.spotY =
            circleCoordinate(fastSin(toFloat(clockPlus(step + 45) * static_cast<double>(0.022222223f))));
        const double s = fastSin(toFloat(i * 0.2));
        const int cell = cellAt(shared.spotX, shared.spotY);
        planes.red[cell] = toFloat(s * 37.5);
        // The first half of the curve is red against green, the second red against blue.
        if (i < n * 2.5) {
            planes.green[cell] = toFloat(-s * 37.5);
        } else {
            planes.blue[cell] = toFloat(-s * 37.5);
        }
    }
}

void mirror() {
    const int n = field.gridSize;
    float* const colours[3] = {planes.red, planes.green, planes.blue};
    for (int x = 0; x < n; x += 3) {
        for (int y = 0; y < n; y += 3) {
            const int cell = cellAt(x, y);
            const int mirrored = cellAt(n - 1 - x, y);
            // The pair's mean is cut to a whole number, so small differences vanish. The last blue mean
            // stays behind in lastChannel.
            for (float* plane : colours) {
                const int32_t mean = truncToInt((static_cast<double>(plane[cell]) + plane[mirrored]) * 0.5);
                plane[cell] = static_cast<float>(mean);
                plane[mirrored] = static_cast<float>(mean);
                if (plane == planes.blue) {
                    shared.lastChannel = mean;
                }
            }
        }
    }
}

void sunburn() {
    const int half = field.gridSize >> 1;
    for (int i = 0; i < 400; ++i) {
        const float angle = toFloat(i * 6.28 * 0.0025);
        shared.sharedAngle = angle;
        const int x = truncToInt(fastCos(angle) * 40.0 + half);
        const int y = truncToInt(fastSin(angle) * 40.0 + half);
        const int cell = cellAt(x, y);
        planes.red[cell] = 90.0f;
        planes.green[cell] = 90.0f;
        planes.blue[cell] = 0.0f;
        // Half of the ring's points flare red, at random each frame.
        if ((nextRandom() & 1) == 0) {
            planes.red[cell] = 240.0f;
            planes.green[cell] = 0.0f;
        }
    }
    darkenBorder();
}

} // namespace glowfield
