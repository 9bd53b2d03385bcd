// Phase fields: the sine angle of a phase, shared by Whiffle, Float and Hanky.
#pragma once

#include "effects/effect_state.h"
#include "effects/shared/lettering.h"
#include "field/drawing.h"
#include "field/field.h"
#include "field/numeric.h"
#include "field/trig.h"

namespace glowfield {

// ---- Phase fields ----

inline constexpr float pi = 3.1415927f;

// The sine angle of a phase: phase times pi, in single precision.
inline float phaseAngle(float phase) {
    return toFloat(static_cast<double>(phase) * pi);
}

// Phase chains carried side by side.
inline constexpr int phaseLanes = 8;

} // namespace glowfield
