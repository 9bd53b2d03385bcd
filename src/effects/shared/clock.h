// The frame clock and the circle path of the clock-driven effects (Flower, Lace, Primary Boats, Wheel,
// Wiggle and others).
#pragma once

#include "effects/effect_state.h"
#include "effects/shared/effect_helpers.h"
#include "field/field.h"
#include "field/numeric.h"
#include "field/trig.h"

namespace glowfield {

// frameCounter + offset, wrapping as the unsigned counter does, as a floating value.
inline double clockPlus(uint32_t offset) {
    return static_cast<double>(shared.frameCounter + offset);
}

// A coordinate on a circle of radius 0.4 (N - 1) about the grid's centre: a sine in -1..1 maps onto
// 0.1 .. 0.9 of N - 1.
inline int32_t circleCoordinate(float s) {
    const int n = field.gridSize;
    return truncToInt((s * 0.8 + 1) * (n - 1) * 0.5);
}

} // namespace glowfield
