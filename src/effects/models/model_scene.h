// Drawing aids of the model effects, now in the kit (effects/kit/model_scene.h).
#pragma once

#include "effects/kit/kit.h"

namespace glowfield::models {

using kit::Backdrop;
using kit::bright;
using kit::depthShade;
using kit::fastLine;
using kit::modelDot;
using kit::settleField;
using kit::settleGradient;
using kit::settleRows;
using kit::settleSky;
using kit::solidLine;
using kit::thickLine;
using kit::turn;

} // namespace glowfield::models
