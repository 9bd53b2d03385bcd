// Ten: every fifth frame a short spiral that brightens or cuts the colours it crosses.
//
// Leaves the spiral's centre in spotX/spotY.

#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "effects/shared/effect_helpers.h"
#include "field/field.h"
#include "field/numeric.h"
#include "field/random.h"
#include "field/trig.h"

namespace glowfield {

void ten() {
    if (shared.frameCounter % 5 != 0) {
        return;
    }
    const int n = field.gridSize;
    shared.spotX = nextRandom() % (n - 2) + 1;
    shared.spotY = nextRandom() % (n - 2) + 1;
    const int kind = nextRandom() % 5;
    const int length = (n * 10) >> 2;
    for (int i = 0; i < length; ++i) {
        const float angle = toFloat(i * 0.2);
        const int x = truncToInt(fastCos(angle) * static_cast<double>(i) * 0.1 + shared.spotX);
        const int y = truncToInt(fastSin(angle) * static_cast<double>(i) * 0.1 + shared.spotY);
        if (!(x > 0 && x < n && y > 0 && y < n)) {
            continue;
        }
        const int cell = cellAt(x, y);
        // Brightest at the centre, fading outward; or a dark cut through all three colours.
        const float w = static_cast<float>(length - i);
        if (kind == 0) {
            planes.red[cell] = w;
        } else if (kind == 1) {
            planes.green[cell] = w;
        } else if (kind == 2) {
            planes.blue[cell] = w;
        } else {
            planes.red[cell] = 0.0f;
            planes.green[cell] = 0.0f;
            planes.blue[cell] = 0.0f;
        }
    }
}

} // namespace glowfield
