// Rolling and bouncing particles.
//
// Not built yet: each routine draws nothing for now.

#include "effects/effect_routines.h"

namespace glowfield {

void mPourer() {}

void dart() {}

void squareRoot() {}

} // namespace glowfield
