// Lightning: a jagged bolt from the centre alternating with a dark frame.
//
// The bolt keeps its direction from frame to frame in sharedAngle and its path in the particle store, so
// particle 0 marks the store as the bolt's.

#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "effects/shared/effect_helpers.h"
#include "field/drawing.h"
#include "field/field.h"
#include "field/numeric.h"
#include "field/random.h"
#include "field/trig.h"

namespace glowfield {

namespace {

// Bolt mode runs on every fourth frame of the first 51 of each 100.
bool boltFrame() {
    const uint32_t f = shared.frameCounter;
    return f % 100 <= 50 && f % 4 == 0;
}

void drawBolt() {
    const int n = field.gridSize;
    const int half = n >> 1;
    uint8_t last = 0;
    // One cell further out per step, the direction wandering by a random turn of -0.05 .. +0.0499 radian.
    for (int k = 0; k < half * 1.5; ++k) {
        shared.sharedAngle = toFloat(shared.sharedAngle + (nextRandom() % 1000) * 0.0001 - 0.05);
        const int32_t x = truncToInt(fastCos(shared.sharedAngle) * static_cast<double>(k) + half);
        if (x < 1 || x >= n - 1) {
            break;
        }
        const int32_t y = truncToInt(half + fastSin(shared.sharedAngle) * static_cast<double>(k));
        if (y < 1 || y >= n - 1) {
            break;
        }
        particles.particleX[k] = static_cast<float>(x);
        particles.particleY[k] = static_cast<float>(y);
        last = static_cast<uint8_t>(k);
    }
    // The segment to the last stored point is left out.
    for (int j = 0; j <= last - 2; ++j) {
        drawFieldLine(truncToInt(particles.particleX[j]), truncToInt(particles.particleY[j]),
                      truncToInt(particles.particleX[j + 1]), truncToInt(particles.particleY[j + 1]), 100,
                      100, 100);
    }
}

void drawDarkFrame() {
    const int n = field.gridSize;
    for (int i = 0; i < n; ++i) {
        const int cells[4] = {cellAt(i, 0), cellAt(i, n - 1), cellAt(n - 1, i), cellAt(0, i)};
        for (int cell : cells) {
            planes.red[cell] = -20.0f;
            planes.green[cell] = -20.0f;
            planes.blue[cell] = -20.0f;
        }
    }
}

} // namespace

void lightning() {
    if (boltFrame()) {
        drawBolt();
    } else {
        drawDarkFrame();
    }
}

} // namespace glowfield
