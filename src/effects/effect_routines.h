// The routines of the effects that draw on the shared state, declared from the catalogue. Each lives in its
// own file under its family's folder.
#pragma once

namespace glowfield {

#define GLOWFIELD_ROUTINE(index, name, family, routine) void routine();
#include "effects/catalogue.def"

} // namespace glowfield
