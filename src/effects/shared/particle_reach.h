// Distances between particles of the shared store, for the effects whose particles seek attractors.
#pragma once

#include <cmath>

#include "effects/effect_state.h"
#include "field/field.h"
#include "field/trig.h"

namespace glowfield {

// Square of the distance between two particles, one cell added so that it never reaches 0.
inline double squaredDistance(int a, int b) {
    const double dx = static_cast<double>(particles.particleX[a]) - particles.particleX[b];
    const double dy = static_cast<double>(particles.particleY[a]) - particles.particleY[b];
    return dx * dx + dy * dy + 1;
}

// Distance between two particles.
inline double particleDistance(int a, int b) {
    return std::sqrt(squaredDistance(a, b));
}

// True when particle b is certainly farther than reach from particle a: the square is at least
// (reach + 1/8)^2, so its root is above reach however it rounds. The root itself is then not needed; NaN is
// never certain.
inline bool certainlyFarther(int a, int b, double reachSquaredWithMargin) {
    return squaredDistance(a, b) >= reachSquaredWithMargin;
}

} // namespace glowfield
