// One cell of a picture that is repainted whole every frame, now kit::paintSolid.
#pragma once

#include "effects/kit/cells.h"

namespace glowfield {

using kit::paintSolid;

} // namespace glowfield
