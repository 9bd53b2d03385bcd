// One cell of a picture that is repainted whole every frame: the colour set outright and the velocities
// cleared, so the wave step adds no ripples of its own and leaves nothing growing in the planes.
#pragma once

#include "effects/kit/canvas.h"

namespace glowfield {

inline void paintSolid(const EffectContext& c, int x, int y, kit::Rgb colour) {
    if (!kit::inside(c, x, y)) {
        return;
    }
    const int cell = cellAt(x, y);
    c.planes.red[cell] = colour.r;
    c.planes.green[cell] = colour.g;
    c.planes.blue[cell] = colour.b;
    c.planes.redVelocity[cell] = 0.0f;
    c.planes.greenVelocity[cell] = 0.0f;
    c.planes.blueVelocity[cell] = 0.0f;
}

} // namespace glowfield
