// Perspective particles, meshes and relief.
//
// Not built yet: each routine draws nothing for now.

#include "effects/effect_routines.h"

namespace glowfield {

void wip() {}

void asparagus() {}

void anemone() {}

void zebra() {}

void jamaica() {}

void netball() {}

void lips() {}

} // namespace glowfield
