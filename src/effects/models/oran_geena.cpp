// OranGeena: a rotating spiral of points on a sphere, drawn as lines.

#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "effects/shared/lettering.h"
#include "effects/shared/owner_marks.h"
#include "effects/shared/point_models.h"
#include "field/drawing.h"
#include "field/field.h"
#include "field/numeric.h"
#include "field/trig.h"

namespace glowfield {

void oranGeena() {
    const int n = field.gridSize;
    if (particleOwner != spiralMark) {
        particleOwner = spiralMark;
        // A spiral from pole to pole, fifteen turns around for one half turn down.
        for (int i = 1; i < 800; ++i) {
            const float a = toFloat(i * static_cast<double>(0.003926991f));
            const float b = toFloat(i * static_cast<double>(0.058904864f));
            modelX(i) = toFloat(static_cast<double>(fastSin(a)) * fastCos(b) * n);
            modelY(i) = toFloat(static_cast<double>(fastSin(a)) * fastSin(b) * n);
            modelZ(i) = toFloat(static_cast<double>(fastCos(a)) * n);
            particles.particleTag[i] = i < 2 ? 1 : (i + 770) % 800;
        }
    }
    const double zOff = sinOf(frameClock() * 0.033333335f) * 1.5 + 1.8;
    const Spin spin = spinForFrame(0.02f, 0.019193858f, 0.018281536f, zOff);
    for (int i = 1; i < 800; ++i) {
        rotatePoint(i, spin);
    }
    clearField();
    // Every line takes the same pens: the clock does not move while the lines are drawn.
    setPens(shared.frameCounter, rainbowWave, 300);
    for (int i = 50; i < 800; ++i) {
        drawPointLine(i, particles.particleTag[i], 12);
    }
}

} // namespace glowfield
