// Zooms, mirrors, shaded balls and bar graphs.
//
// Not built yet: each routine draws nothing for now.

#include "effects/effect_routines.h"

namespace glowfield {

void accelerate() {}

void upsilon() {}

void drWho() {}

void fingerprint() {}

void cartwheel() {}

void balls() {}

void lava() {}

void pumpUp() {}

} // namespace glowfield
