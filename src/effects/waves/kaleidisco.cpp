// Kaleidisco: three pulsing centre cells on a clock that jumps unevenly from frame to frame.

#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "effects/shared/clock.h"
#include "effects/shared/effect_helpers.h"
#include "field/field.h"
#include "field/numeric.h"
#include "field/random.h"
#include "field/trig.h"

namespace glowfield {

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

} // namespace glowfield
