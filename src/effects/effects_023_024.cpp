// Wandering points and the column cascade.
//
// Not built yet: each routine draws nothing for now.

#include "effects/effect_routines.h"

namespace glowfield {

void predator() {}

void stareOGran() {}

} // namespace glowfield
