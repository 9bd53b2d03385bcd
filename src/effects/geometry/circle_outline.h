// A circle drawn as a closed polygon of short lines, now kit::circleOutline.
#pragma once

#include "effects/kit/shapes.h"

namespace glowfield {

using kit::circleOutline;

} // namespace glowfield
