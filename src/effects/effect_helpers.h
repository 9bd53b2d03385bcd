// Small pieces that effects of several families share: the choice of a plane by a drawn channel index, and
// the dark frame that the ring effects leave around the grid.
#pragma once

#include "field/field.h"

namespace glowfield {

// Colour plane by channel index: 0 red, 1 green, anything else blue (callers pass a draw modulo 3).
inline float* colourPlane(int channel) {
    return channel == 0 ? planes.red : channel == 1 ? planes.green : planes.blue;
}

// Velocity plane by channel index, in the same order.
inline float* velocityPlane(int channel) {
    return channel == 0 ? planes.redVelocity : channel == 1 ? planes.greenVelocity : planes.blueVelocity;
}

// Sets the three colours of the border cells to 0. The walk stops one short of the far corner, so the cell
// (N-1, N-1) keeps its colour.
inline void darkenBorder() {
    const int n = field.gridSize;
    for (int i = 0; i <= n - 2; ++i) {
        const int cells[4] = {cellAt(n - 1, i), cellAt(0, i), cellAt(i, n - 1), cellAt(i, 0)};
        for (int cell : cells) {
            planes.red[cell] = 0.0f;
            planes.green[cell] = 0.0f;
            planes.blue[cell] = 0.0f;
        }
    }
}

} // namespace glowfield
