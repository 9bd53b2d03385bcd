// Magnesium Fire: a flare of one colour every ten frames on the second row from the bottom.
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

void magnesiumFire() {
    if (shared.frameCounter % 10 != 0) {
        return;
    }
    const int n = field.gridSize;
    const int r = nextRandom();
    // A flare on the second row from the bottom, somewhere in the middle half.
    shared.spotY = n - 2;
    shared.spotX = (r % n) / 4 + ((n * 3) >> 3);
    addBump();
}

} // namespace glowfield
