// Specks, the picture relief and the snowflake.
//
// Not built yet: each routine draws nothing for now.

#include "effects/effect_routines.h"

namespace glowfield {

void speckle() {}

void grill() {}

void snowflake() {}

} // namespace glowfield
