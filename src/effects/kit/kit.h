// The helpers that effects with their own state share: checked cell access, shapes, velocity pushes, a field
// copy for warps, 3-D models, lettering, colours and deterministic maths.
#pragma once

#include "effects/effect.h"
#include "effects/kit/canvas.h"
#include "effects/kit/colour.h"
#include "effects/kit/maths.h"
#include "effects/kit/models.h"
#include "effects/kit/sampling.h"
#include "effects/kit/shapes.h"
#include "effects/kit/text.h"
#include "effects/kit/velocity.h"
#include "field/trig.h"
