// Cartwheel: a turning spoke of pulsing velocity.

#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "effects/shared/effect_helpers.h"
#include "field/field.h"
#include "field/numeric.h"
#include "field/trig.h"

namespace glowfield {

void cartwheel() {
    const int n = field.gridSize;
    const double f = shared.frameCounter;
    const double spokeCos = fastCos(toFloat(f * 0.1));
    const double spokeSin = fastSin(toFloat(f * 0.1));
    const double pulseCos = 4.0 * fastCos(toFloat(f * 0.025));
    const double pulseSin = 4.0 * fastSin(toFloat(f * 0.025));
    for (int k = 0; k <= n / 2 - 1; ++k) {
        shared.spotX = truncToInt(spokeCos * k + n / 2);
        shared.spotY = truncToInt(spokeSin * k + n / 2);
        if (!isStoredCell(shared.spotX, shared.spotY)) {
            continue;
        }
        const int cell = cellAt(shared.spotX, shared.spotY);
        planes.redVelocity[cell] = toFloat(pulseCos + planes.greenVelocity[cell]);
        addTo(planes.greenVelocity[cell], pulseSin);
        planes.blueVelocity[cell] = toFloat(planes.greenVelocity[cell] - pulseCos);
    }
}

} // namespace glowfield
