// SpongeTrek: a rotating cube of random dots.

#include <cstdint>

#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "effects/shared/lettering.h"
#include "effects/shared/owner_marks.h"
#include "effects/shared/point_models.h"
#include "field/field.h"
#include "field/random.h"
#include "field/trig.h"

namespace glowfield {

namespace {

constexpr PenWave cubeWave{0.016638935f, 0.019489378f, 0.020690653f};

} // namespace

void spongeTrek() {
    const int n = field.gridSize;
    if (particleOwner != cubeMark) {
        particleOwner = cubeMark;
        for (int i = 1; i < 1600; ++i) {
            modelX(i) = static_cast<float>(nextRandom() % (4 * n) - 2 * n);
            modelY(i) = static_cast<float>(nextRandom() % (4 * n) - 2 * n);
            modelZ(i) = static_cast<float>(nextRandom() % (4 * n) - 2 * n);
        }
    }
    const double zOff = sinOf(frameClock() * 0.025) * 3.8 + 2.5;
    const Spin spin = spinForFrame(0.014285714f, 0.013495277f, 0.011806376f, zOff);
    for (int i = 1; i < 1600; ++i) {
        rotatePoint(i, spin);
    }
    clearField();
    // The colour phase of each dot comes from whatever tags the last spiral or text model left.
    for (int i = 1; i < 1600; ++i) {
        const uint32_t phase = static_cast<uint32_t>(particles.particleTag[i] / 10);
        setPens(shared.frameCounter + phase, cubeWave, 460);
        drawPointLine(i, i, 12);
    }
}

} // namespace glowfield
