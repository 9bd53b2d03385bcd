// Dark holes and flying letters.
//
// Letters turns colour differences into squared-sine velocities and punches dark holes wherever the cell
// below is dark. Scatter flies 145 stroke-font letters at the viewer, each turning about its vertical axis:
// letter L keeps its position in slot L of particleX/Y/Z and its letter number in particleTag[L]; the stroke
// points of the current frame go to the model slots from 2000 on, with their partner index in
// particleTag[2000 + n]. Letter 0's X position is particleOwner, so a respawn of letter 0 makes the next
// model effect rebuild.

#include <cstdint>

#include "effects/cell_runs.h"
#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "effects/lettering.h"
#include "field/drawing.h"
#include "field/field.h"
#include "field/numeric.h"
#include "field/random.h"
#include "field/trig.h"

namespace glowfield {
namespace {

constexpr float pi = 3.1415927f;
constexpr int flyingLetters = 145;

// The stroke points of all letters fit the store behind the model base.
static_assert(modelBase + flyingLetters * maxLetterPoints <= particleCapacity);

// The sine angle of a colour difference: d pi, d being the difference times 1/240, both in single precision.
float differenceAngle(double difference) {
    const float d = toFloat(difference * 0.004166667f);
    return toFloat(static_cast<double>(d) * pi);
}

// 8 sin^2 - 5 of a difference's sine.
float squaredSineVelocity(double sine) {
    return toFloat(8.0 * sine * sine - 5);
}

// A letter whose depth falls below 1 comes back far away at a random place with a random letter.
void respawnLetter(int letter) {
    const int n = field.gridSize;
    particles.particleZ[letter] = static_cast<float>(4 * n + nextRandom() % (4 * n));
    particles.particleX[letter] = static_cast<float>(nextRandom() % (4 * n) - 2 * n);
    particles.particleY[letter] = toFloat(nextRandom() % (2 * n) - 1.5 * n);
    particles.particleTag[letter] = nextRandom() % 26;
}

// The letter number of letter L, written back: a tag left negative by another effect counts by its size.
int letterNumber(int letter) {
    int64_t tag = particles.particleTag[letter];
    if (tag < 0) {
        tag = -tag;
    }
    particles.particleTag[letter] = static_cast<int32_t>(tag % letterCount);
    return particles.particleTag[letter];
}

// Appends the stroke points of letter g, turned by theta about the vertical axis through the letter's
// position.
void layOutLetter(int letter, int g) {
    shared.letterOffset = -100;
    const float theta = toFloat(static_cast<double>(shared.frameCounter) * 0.1 + g);
    const double turnX = fastSin(theta);
    const double turnZ = fastCos(theta);
    const double x0 = particles.particleX[letter];
    const double y0 = particles.particleY[letter];
    const double z0 = particles.particleZ[letter];
    forEachStrokePoint(letterStrokes[g], [&](const StrokePoint& point) {
        const int n = shared.particleCount;
        const double across = static_cast<double>(point.x) + shared.letterOffset;
        modelX(n) = toFloat(turnX * across + x0);
        if (!point.hasY) {
            return;
        }
        modelY(n) = toFloat(point.y + y0);
        modelZ(n) = toFloat(turnZ * across + z0);
        particles.particleTag[modelBase + n] = point.joined ? modelBase - 1 + n : modelBase + n;
        ++shared.particleCount;
    });
    shared.letterOffset += 60;
}

} // namespace

void letters() {
    const int n = field.gridSize;
    const int rows = n - 2;
    // A cell is only ever written after the cells it reads (itself and the one below, row y + 1 coming
    // after row y), so every test and difference sees this frame's old values. That lets a column's sines
    // be taken all at once before anything is written.
    float angles[3][planeStride];
    float sines[3][planeStride];
    for (int x = 1; x <= n - 2; ++x) {
        for (int y = 1; y <= n - 2; ++y) {
            const int cell = cellAt(x, y);
            const double r = planes.red[cell], g = planes.green[cell], b = planes.blue[cell];
            angles[0][y - 1] = differenceAngle(r - g);
            angles[1][y - 1] = differenceAngle(g - b);
            angles[2][y - 1] = differenceAngle(b - r);
        }
        for (int c = 0; c < 3; ++c) {
            fastSinRun(angles[c], sines[c], rows);
        }
        for (int y = 1; y <= n - 2; ++y) {
            const int below = cellAt(x, y + 1);
            const double c =
                static_cast<double>(planes.blue[below]) + planes.green[below] + planes.red[below];
            const int cell = cellAt(x, y);
            if (c < -300) {
                planes.red[cell] = planes.green[cell] = planes.blue[cell] = -58.0f;
                continue;
            }
            planes.redVelocity[cell] = squaredSineVelocity(sines[0][y - 1]);
            planes.greenVelocity[cell] = squaredSineVelocity(sines[1][y - 1]);
            planes.blueVelocity[cell] = squaredSineVelocity(sines[2][y - 1]);
        }
    }
}

void scatter() {
    darkenField();
    shared.particleCount = 0;

    for (int letter = 0; letter < flyingLetters; ++letter) {
        particles.particleZ[letter] = toFloat(static_cast<double>(particles.particleZ[letter]) - 10);
        if (particles.particleZ[letter] < 1) {
            respawnLetter(letter);
        }
        layOutLetter(letter, letterNumber(letter));
    }

    // Colour by depth and time, dimmed with distance; each point draws a stroke to its partner.
    const double time = static_cast<double>(shared.frameCounter + 1280u) * 0.4;
    for (int i = 0; i < shared.particleCount; ++i) {
        const double z = modelZ(i);
        const double u = z * 0.011111111f + time;
        const int32_t red0 = truncToInt(fastCos(toFloat(u * 0.23190556f)) * 300.0);
        const int32_t green0 = truncToInt(fastSin(toFloat(u * 0.39488235f)) * 300.0);
        const int32_t blue0 = truncToInt(fastCos(toFloat(u * 0.28846708f)) * 300.0);
        const double o = z + 1600;
        shared.penRed = truncToInt(red0 * 1600.0 / o - 60);
        shared.penGreen = truncToInt(green0 * 1600.0 / o - 60);
        shared.penBlue = truncToInt(blue0 * 1600.0 / o - 60);
        // The stored partner is always a stroke slot of this frame; a true modulus keeps any other value in
        // the store too.
        int32_t k = particles.particleTag[modelBase + i] % 4000;
        if (k < 0) {
            k += 4000;
        }
        drawLine3D(modelX(i), modelY(i), modelZ(i), particles.particleX[k], particles.particleY[k],
                   particles.particleZ[k], shared.penRed, shared.penGreen, shared.penBlue, 15);
    }
}

} // namespace glowfield
