// The helpers that the effects with their own state share: single cells (checked and unchecked), whole-plane
// passes, shapes, velocity pushes, field copies and held pictures, 3-D models and their scenes, lit grounds,
// waves split by axis, lettering, colours and deterministic maths.
#pragma once

#include "effects/effect.h"
#include "effects/kit/axis_wave.h"
#include "effects/kit/backdrop.h"
#include "effects/kit/canvas.h"
#include "effects/kit/cells.h"
#include "effects/kit/colour.h"
#include "effects/kit/held_picture.h"
#include "effects/kit/maths.h"
#include "effects/kit/model_scene.h"
#include "effects/kit/models.h"
#include "effects/kit/sampling.h"
#include "effects/kit/shapes.h"
#include "effects/kit/text.h"
#include "effects/kit/velocity.h"
#include "field/trig.h"
