// Particle swarms, mirrors and tunnels.
//
// Not built yet: each routine draws nothing for now.

#include "effects/effect_routines.h"

namespace glowfield {

void volcano() {}

void inkblot() {}

void swarm() {}

void four() {}

void oily() {}

void quoonirky() {}

void fleshEating() {}

void tunnel() {}

} // namespace glowfield
