// Lace: two mirrored wavy curves drawn as bands of clock-driven colour.

#include <initializer_list>

#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "effects/shared/clock.h"
#include "effects/shared/effect_helpers.h"
#include "field/field.h"
#include "field/numeric.h"
#include "field/random.h"
#include "field/trig.h"

namespace glowfield {

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

} // namespace glowfield
