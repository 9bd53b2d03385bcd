// Scatter: 145 stroke-font letters flying at the viewer, each turning about its vertical axis.
//
// Letter L keeps its position in slot L of particleX/Y/Z and its letter number in particleTag[L]; the
// stroke points of the current frame go to the model slots from 2000 on. Letter 0's X position is
// particleOwner, so a respawn of letter 0 makes the next model effect rebuild.

#include <cstdint>

#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "effects/shared/lettering.h"
#include "field/drawing.h"
#include "field/field.h"
#include "field/numeric.h"
#include "field/random.h"
#include "field/trig.h"

namespace glowfield {

namespace {

constexpr int flyingLetters = 145;

// The stroke points of all letters fit the store behind the model base.
static_assert(modelBase + flyingLetters * maxLetterPoints <= particleCapacity);

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
        drawPenLine3D(modelX(i), modelY(i), modelZ(i), particles.particleX[k], particles.particleY[k],
                      particles.particleZ[k], 15);
    }
}

} // namespace glowfield
