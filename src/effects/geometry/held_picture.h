// A picture kept by the effect itself between frames, now kit::HeldPicture.
#pragma once

#include "effects/kit/held_picture.h"

namespace glowfield {

using kit::HeldPicture;

} // namespace glowfield
