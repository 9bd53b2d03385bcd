// Bounds checks for free-moving particles: a particle is used as a cell only while it is finite and on the
// grid; anything else is respawned or dropped by its effect.
#pragma once

#include "effects/kit/canvas.h"

namespace glowfield::bounds {

// True when (x, y) is finite and lies within margin cells of the live grid (margin may be negative to ask for
// a border inside the grid). NaN fails every comparison, so it is never on the grid.
inline bool onGrid(const EffectContext& c, float x, float y, float margin = 0.0f) {
    const float hi = static_cast<float>(c.n) + margin;
    return x >= -margin && y >= -margin && x < hi && y < hi;
}

// One particle as a cell, only when it is on the grid.
inline void plot(const EffectContext& c, float x, float y, kit::Rgb colour,
                 kit::Blend blend = kit::Blend::set) {
    if (onGrid(c, x, y)) {
        kit::paint(c, kit::toCell(x), kit::toCell(y), colour, blend);
    }
}

// Sets a cell known to be on the live grid, for passes over every cell: no check and no blend, so a
// full-screen background costs little. Callers loop over 0 <= x, y < c.n only.
inline void setCell(const EffectContext& c, int x, int y, kit::Rgb colour) {
    const int cell = cellAt(x, y);
    c.planes.red[cell] = colour.r;
    c.planes.green[cell] = colour.g;
    c.planes.blue[cell] = colour.b;
}

// Moves a cell known to be on the live grid towards a colour by alpha, as kit::blendCell does.
inline void mixCell(const EffectContext& c, int x, int y, kit::Rgb colour, float alpha) {
    const int cell = cellAt(x, y);
    c.planes.red[cell] += (colour.r - c.planes.red[cell]) * alpha;
    c.planes.green[cell] += (colour.g - c.planes.green[cell]) * alpha;
    c.planes.blue[cell] += (colour.b - c.planes.blue[cell]) * alpha;
}

// Zeroes the velocities of the live grid: for effects that paint every cell each frame, so the wave step
// neither smears their picture nor piles up velocity (it never damps it) under a still image.
inline void clearVelocities(const EffectContext& c) {
    for (float* plane : {c.planes.redVelocity, c.planes.greenVelocity, c.planes.blueVelocity}) {
        for (int x = 0; x < c.n; ++x) {
            float* column = plane + cellAt(x, 0);
            for (int y = 0; y < c.n; ++y) {
                column[y] = 0.0f;
            }
        }
    }
}

// kit::tameField every fourth frame: enough for effects that blend into the field, so that extreme leftovers
// are cleared within a few frames, at a quarter of the cost.
inline void tameNowAndThen(const EffectContext& c, float colourLimit, float velocityLimit) {
    if ((c.frame & 3u) == 0u) {
        kit::tameField(c, colourLimit, velocityLimit);
    }
}

// Sizes scaled to the grid: v cells on a 200-cell grid.
inline float gridScale(const EffectContext& c) {
    return static_cast<float>(c.n) / 200.0f;
}

} // namespace glowfield::bounds
