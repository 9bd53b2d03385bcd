// Dark holes and flying letters.
//
// Not built yet: each routine draws nothing for now.

#include "effects/effect_routines.h"

namespace glowfield {

void letters() {}

void scatter() {}

} // namespace glowfield
