// Flower: 24 spokes from the centre, each cell set to a colour pulsing with its ring and the frame clock.

#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "effects/shared/clock.h"
#include "effects/shared/effect_helpers.h"
#include "field/field.h"
#include "field/numeric.h"
#include "field/random.h"
#include "field/trig.h"

namespace glowfield {

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

} // namespace glowfield
