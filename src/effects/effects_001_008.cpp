// Spokes, pulses, curves, flares and spirals.
//
// The first family draws on the field with the frame counter as its clock: a flower of 24 spokes, three
// pulsing centre cells that also jitter the clock itself, two mirrored wavy curves, occasional flares of one
// colour (a bump that covers the whole grid), three boats on Lissajous paths and a spiral pushed into one
// colour's motion. None keeps state of its own; the flare and boat effects leave their last centre in
// spotX/spotY for the effects that come after them.

#include <initializer_list>

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

// A flare: adds 4000 / (squared distance + 2) to every live cell of one colour, the colour picked by one
// draw. The centre cell gets 2000; the bump never ends, so the far corners still get a little.
void addBump() {
    float* plane = colourPlane(nextRandom() % 3);
    const int n = field.gridSize;
    const int64_t cx = shared.spotX;
    const int64_t cy = shared.spotY;
    for (int x = 0; x < n; ++x) {
        for (int y = 0; y < n; ++y) {
            const int64_t denominator = (y - cy) * (y - cy) + (x - cx) * (x - cx) + 2;
            float& cell = plane[cellAt(x, y)];
            cell = toFloat(cell + 4000.0 / static_cast<double>(denominator));
        }
    }
}

// Lissajous coordinate of the boats: a sine in -1..1 mapped onto 10 .. 190 of a 200-cell grid.
int32_t boatCoordinate(float s) {
    const int half = field.gridSize >> 1;
    return truncToInt((s * static_cast<double>(0.9f) + 1) * half);
}

} // namespace

void flower() {
    const int half = field.gridSize >> 1;
    for (int r = 0; r < half; ++r) {
        const uint32_t ring = static_cast<uint32_t>(r);
        for (int a = 0; a < 360; a += 15) {
            const float angle = toFloat(a * static_cast<double>(0.017444445f));
            const int x = truncToInt(fastCos(angle) * static_cast<double>(r) + half);
            const int y = truncToInt(fastSin(angle) * static_cast<double>(r) + half);
            const int cell = cellAt(x, y);
            // The spokes set their cells, so each frame replaces what the wave step spread there.
            planes.red[cell] = toFloat(
                (nextRandom() % 18 + 110) *
                static_cast<double>(fastSin(toFloat(clockPlus(ring) * static_cast<double>(0.09989013f)))));
            planes.green[cell] = toFloat(
                (nextRandom() % 18 + 110) *
                static_cast<double>(fastCos(toFloat(clockPlus(ring) * static_cast<double>(0.033321116f)))));
            planes.blue[cell] = toFloat(
                (nextRandom() % 18 + 110) *
                static_cast<double>(fastCos(toFloat(clockPlus(ring) * static_cast<double>(0.01428347f)))));
        }
    }
}

void kaleidisco() {
    const int half = field.gridSize >> 1;
    // The clock runs at an uneven pace: each frame it jumps by up to 13 to 33 extra counts.
    const float s = fastSin(toFloat(shared.frameCounter * static_cast<double>(0.003021148f)));
    const int32_t m = truncToInt(s * 10.0 + 24);
    shared.frameCounter += static_cast<uint32_t>(nextRandom() % m);

    planes.red[cellAt(half - 1, half)] =
        toFloat(fastSin(toFloat(clockPlus(314) * static_cast<double>(0.00999001f))) * 700.0);
    planes.green[cellAt(half - 2, half)] =
        toFloat(fastSin(toFloat(clockPlus(0) * static_cast<double>(0.004321521f))) * 700.0);
    planes.blue[cellAt(half - 3, half)] = toFloat(fastSin(toFloat(clockPlus(0) * 0.01)) * 700.0);
}

void lace() {
    const int n = field.gridSize;
    for (int step = 1; step <= n - 2; ++step) {
        const uint8_t a = static_cast<uint8_t>(step);
        const uint32_t h = a / 2;
        const float curve = fastSin(toFloat(clockPlus(0) * 0.02 + a * static_cast<double>(0.016666668f)));
        const int x0 = truncToInt((curve + 2.0) * (n - 1) * 0.25);
        const int x1 = n - x0 - 1;
        const double waveRed = fastSin(toFloat(clockPlus(h) * static_cast<double>(0.098784946f)));
        const double waveGreen = fastCos(toFloat(clockPlus(h) * static_cast<double>(0.03205128f)));
        const double waveBlue = fastCos(toFloat(clockPlus(h) * static_cast<double>(0.01394564f)));
        // Each curve is drawn as a vertical and a horizontal band; one draw per write, in this order.
        for (int x : {x0, x1}) {
            planes.red[cellAt(x, a)] = toFloat(waveRed * (nextRandom() % 8 + 55));
            planes.green[cellAt(x, a)] = toFloat(waveGreen * (nextRandom() % 8 + 55));
            planes.blue[cellAt(x, a)] = toFloat(waveBlue * (nextRandom() % 8 + 55));
            planes.red[cellAt(a, x)] = toFloat(waveRed * (nextRandom() % 8 + 55));
            planes.green[cellAt(a, x)] = toFloat(waveGreen * (nextRandom() % 8 + 55));
            planes.blue[cellAt(a, x)] = toFloat(waveBlue * (nextRandom() % 8 + 55));
        }
    }
}

void magnesiumFire() {
    if (shared.frameCounter % 10 != 0) {
        return;
    }
    const int n = field.gridSize;
    const int r = nextRandom();
    // A flare on the second row from the bottom, somewhere in the middle half.
    shared.spotY = n - 2;
    shared.spotX = (r % n) / 4 + ((n * 3) >> 3);
    addBump();
}

void pond() {
    if (shared.frameCounter % 10 != 0) {
        return;
    }
    const int n = field.gridSize;
    shared.spotX = nextRandom() % n;
    shared.spotY = nextRandom() % n;
    addBump();
}

void primaryBoats() {
    const double f = clockPlus(0);
    const double g = clockPlus(314);
    shared.spotX = boatCoordinate(fastSin(toFloat(f * 0.01)));
    shared.spotY = boatCoordinate(fastSin(toFloat(f * static_cast<double>(0.014084507f))));
    planes.red[cellAt(shared.spotX, shared.spotY)] = 700.0f;
    shared.spotY = boatCoordinate(fastSin(toFloat(f * static_cast<double>(0.0076923077f))));
    shared.spotX = boatCoordinate(fastSin(toFloat(f * static_cast<double>(0.012658228f))));
    planes.blue[cellAt(shared.spotX, shared.spotY)] = 700.0f;
    shared.spotX = boatCoordinate(fastSin(toFloat(g * static_cast<double>(0.011363637f))));
    shared.spotY = boatCoordinate(fastSin(toFloat(g * static_cast<double>(0.012987013f))));
    planes.green[cellAt(shared.spotX, shared.spotY)] = 700.0f;
}

void ripple() {
    if (shared.frameCounter % 10 != 0) {
        return;
    }
    const int n = field.gridSize;
    // Drops fall on one row just below the middle.
    shared.spotX = (nextRandom() % n) / 2 + n / 4;
    shared.spotY = n / 2 + 3;
    addBump();
}

void smear() {
    if (shared.frameCounter % 40 != 0) {
        return;
    }
    const int n = field.gridSize;
    shared.spotX = nextRandom() % (n - 2) + 1;
    shared.spotY = nextRandom() % (n - 2) + 1;
    float* plane = velocityPlane(nextRandom() % 3);
    // A spiral of 0.2 radian per step whose radius grows by 0.01 cell per step, up to 50 cells.
    for (int i = 0; i < 25 * n; ++i) {
        const float angle = toFloat(i * 0.2);
        const int x = truncToInt(fastCos(angle) * static_cast<double>(i) * 0.01 + shared.spotX);
        const int y = truncToInt(fastSin(angle) * static_cast<double>(i) * 0.01 + shared.spotY);
        if (x > 1 && x < n - 1 && y > 1 && y < n - 1) {
            float& cell = plane[cellAt(x, y)];
            cell = toFloat(cell + 4.0);
        }
    }
}

} // namespace glowfield
