// Rotating point models and phase fields.
//
// Not built yet: each routine draws nothing for now.

#include "effects/effect_routines.h"

namespace glowfield {

void oranGeena() {}

void jumper() {}

void boSelecta() {}

void gasFire() {}

void spongeTrek() {}

void whiffle() {}

void floatEffect() {}

void hanky() {}

} // namespace glowfield
