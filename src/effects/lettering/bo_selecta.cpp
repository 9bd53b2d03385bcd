// Bo Selecta: a rotating message in vector letters among grey dots.

#include <algorithm>
#include <cstdint>

#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "effects/shared/lettering.h"
#include "effects/shared/owner_marks.h"
#include "effects/shared/point_models.h"
#include "field/drawing.h"
#include "field/field.h"
#include "field/numeric.h"
#include "field/random.h"
#include "field/trig.h"

namespace glowfield {

namespace {

// The number of model points that fit the store, whatever another effect left in particleCount.
int storedModelCount() {
    return std::clamp(shared.particleCount, 0, modelCapacity);
}

// ---- Bo Selecta: layout of a message ----

// Pen positions move on by one character width; a count that reaches the end of the 32-bit range wraps
// around instead of overflowing.
void advanceLetterOffset() {
    shared.letterOffset = static_cast<int32_t>(static_cast<uint32_t>(shared.letterOffset) + 60u);
}

// Lays out a random message from point 1 on and scatters 700 grey dots behind it. The pen position is not
// reset: it continues from whatever the last message or drawLine3D left in letterOffset.
void buildMessageModel() {
    particleOwner = messageMark;
    const char* message = messageTable[nextRandom() % messageCount];
    int k = 1;
    for (const char* c = message; *c != '\0'; ++c) {
        // Only capitals have strokes; any other character just takes its width.
        if (*c >= 'A' && *c <= 'Z') {
            forEachStrokePoint(letterStrokes[*c - 'A'], [&k](const StrokePoint& point) {
                modelX(k) = toFloat(static_cast<double>(point.x) + shared.letterOffset);
                if (!point.hasY) {
                    return;
                }
                modelY(k) = static_cast<float>(point.y);
                particles.particleTag[k] = point.joined ? k - 1 : k;
                ++k;
            });
        }
        advanceLetterOffset();
    }
    shared.particleCount = k;
    // Centre the text about three quarters of the final pen position and scale it up.
    for (int i = 1; i < k; ++i) {
        modelZ(i) = 0.0f;
        modelX(i) = toFloat((static_cast<double>(modelX(i)) - 0.75 * shared.letterOffset) * 3);
        modelY(i) = toFloat((static_cast<double>(modelY(i)) - 150) * 3);
    }
    const int n = field.gridSize;
    for (int dot = 0; dot < 700; ++dot) {
        const int idx = shared.particleCount;
        modelX(idx) = static_cast<float>(nextRandom() % (20 * n) - 10 * n);
        modelY(idx) = static_cast<float>(n);
        particles.particleTag[idx] = idx;
        modelZ(idx) = static_cast<float>(nextRandom() % (20 * n) - 10 * n);
        shared.particleCount = idx + 1;
    }
}

} // namespace

void boSelecta() {
    if (particleOwner != messageMark || shared.frameCounter % 160 == 0) {
        buildMessageModel();
    }
    const int count = storedModelCount();
    const double zOff = sinOf(frameClock() * 0.02) * 7.5 + 8.6;
    const Spin spin = spinForFrame(0.0125f, 0.015453562f, 0.012577034f, zOff);
    for (int i = 1; i < count; ++i) {
        rotatePoint(i, spin);
    }
    darkenField();
    // The dots after the first 700 points in grey, then the letter points in colour.
    for (int i = 701; i < count; ++i) {
        shared.penRed = shared.penGreen = shared.penBlue = -80;
        drawPointLine(i, particles.particleTag[i], 22);
    }
    for (int i = 1; i <= count - 701; ++i) {
        setPens(shared.frameCounter + static_cast<uint32_t>(i / 10), rainbowWave, 750);
        drawPointLine(i, particles.particleTag[i], 42);
    }
}

} // namespace glowfield
