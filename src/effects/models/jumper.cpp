// Jumper: pulsing shells of points, rebuilt and rotated every frame.

#include <cstdint>

#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "effects/shared/lettering.h"
#include "effects/shared/point_models.h"
#include "field/drawing.h"
#include "field/field.h"
#include "field/numeric.h"
#include "field/trig.h"

namespace glowfield {

void jumper() {
    const int n = field.gridSize;
    const uint32_t clock = shared.frameCounter;
    const int shellSpread = truncToInt(n * 0.8);
    for (int i = 0; i < 800; ++i) {
        const int radius = n + (31 * i) % shellSpread;
        const uint32_t turn = static_cast<uint32_t>(i) + static_cast<uint32_t>(radius / 50) * clock;
        const float a = toFloat(static_cast<double>(turn) * 0.007853982f);
        const float wobble = sinOf(static_cast<double>(i * static_cast<int>(clock % 4000)) * 3.2258063e-7f);
        const float b = toFloat(static_cast<double>(wobble) * 6.2831855f +
                                ((72 * i) % 5) * static_cast<double>(0.055555556f) + 5);
        modelX(i) = toFloat(static_cast<double>(fastSin(a)) * fastCos(b) * radius);
        modelY(i) = toFloat(static_cast<double>(fastSin(a)) * fastSin(b) * radius);
        modelZ(i) = toFloat(static_cast<double>(fastCos(a)) * radius);
    }
    // Point 0 is rotated too, so its position overwrites the owner mark.
    const double zOff = sinOf(frameClock() * 0.02) * 1.5 + 2.6;
    const Spin spin = spinForFrame(0.011111111f, 0.010559662f, 0.010362694f, zOff);
    for (int i = 0; i < 800; ++i) {
        rotatePoint(i, spin);
    }
    clearField();
    for (int i = 0; i < 800; ++i) {
        setPens(clock + static_cast<uint32_t>(i / 10), rainbowWave, 450);
        drawPointLine(i, i, 16);
    }
}

} // namespace glowfield
