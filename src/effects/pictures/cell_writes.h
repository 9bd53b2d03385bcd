// Inline whole-frame cell writes for effects that repaint every live cell each frame: no clipping (the caller
// loops over the live grid) and no call per cell, with the velocities set to rest so the wave step leaves the
// picture as painted.
#pragma once

#include "effects/kit/kit.h"

namespace glowfield::pictures {

// Cell (x, y), which must be live, set to a colour with its velocities at rest.
inline void putCell(const EffectContext& c, int x, int y, kit::Rgb colour) {
    const int cell = cellAt(x, y);
    c.planes.red[cell] = colour.r;
    c.planes.green[cell] = colour.g;
    c.planes.blue[cell] = colour.b;
    c.planes.redVelocity[cell] = 0.0f;
    c.planes.greenVelocity[cell] = 0.0f;
    c.planes.blueVelocity[cell] = 0.0f;
}

// a + (b - a) * t, inline.
inline kit::Rgb blend(kit::Rgb a, kit::Rgb b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// A level scaled about black, as kit::shade, inline.
inline kit::Rgb dim(kit::Rgb colour, float k) {
    return {(colour.r + 127.0f) * k - 127.0f, (colour.g + 127.0f) * k - 127.0f,
            (colour.b + 127.0f) * k - 127.0f};
}

} // namespace glowfield::pictures
