// Ripple: a flare of one colour every ten frames on a row just below the middle.
//
// Leaves the flare centre in spotX/spotY for the effects that come after it.

#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "effects/shared/effect_helpers.h"
#include "effects/shared/flare.h"
#include "field/field.h"
#include "field/random.h"
#include "field/trig.h"

namespace glowfield {

void ripple() {
    if (shared.frameCounter % 10 != 0) {
        return;
    }
    const int n = field.gridSize;
    // Drops fall on one row just below the middle.
    shared.spotX = (nextRandom() % n) / 2 + n / 4;
    shared.spotY = n / 2 + 3;
    addBump();
}

} // namespace glowfield
