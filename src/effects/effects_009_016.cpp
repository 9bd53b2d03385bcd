// Lattices, spirals, borders, circles and mirrors.
//
// Not built yet: each routine draws nothing for now.

#include "effects/effect_routines.h"

namespace glowfield {

void tartan() {}

void ten() {}

void theVapours() {}

void twitch() {}

void wheel() {}

void wiggle() {}

void mirror() {}

void sunburn() {}

} // namespace glowfield
