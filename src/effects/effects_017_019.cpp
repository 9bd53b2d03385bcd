// Rings, bright spots and lightning.
//
// Not built yet: each routine draws nothing for now.

#include "effects/effect_routines.h"

namespace glowfield {

void fishnet() {}

void bright() {}

void lightning() {}

} // namespace glowfield
