// Spokes, pulses, curves, flares and spirals.
//
// Not built yet: each routine draws nothing for now.

#include "effects/effect_routines.h"

namespace glowfield {

void flower() {}

void kaleidisco() {}

void lace() {}

void magnesiumFire() {}

void pond() {}

void primaryBoats() {}

void ripple() {}

void smear() {}

} // namespace glowfield
