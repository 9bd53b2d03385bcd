// Pond: a flare of one colour every ten frames anywhere on the grid.
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

void pond() {
    if (shared.frameCounter % 10 != 0) {
        return;
    }
    const int n = field.gridSize;
    shared.spotX = nextRandom() % n;
    shared.spotY = nextRandom() % n;
    addBump();
}

} // namespace glowfield
