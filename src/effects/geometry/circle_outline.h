// A circle drawn as a closed polygon of short lines: for large rings drawn every frame, far cheaper than a
// ring test over the circle's whole bounding box.
#pragma once

#include "effects/kit/shapes.h"
#include "field/trig.h"

namespace glowfield {

// width > 1 draws thick lines of that width.
inline void circleOutline(const EffectContext& c, float cx, float cy, float radius, kit::Rgb colour,
                          float width = 1.0f, kit::Blend blend = kit::Blend::set, int segments = 72) {
    float px = cx + radius, py = cy;
    for (int k = 1; k <= segments; ++k) {
        const float a = 6.28318531f * static_cast<float>(k) / static_cast<float>(segments);
        const float x = cx + radius * fastCos(a), y = cy + radius * fastSin(a);
        if (width > 1.0f) {
            kit::drawThickLine(c, px, py, x, y, width * 0.5f, colour, blend);
        } else {
            kit::drawLine(c, px, py, x, y, colour, blend);
        }
        px = x;
        py = y;
    }
}

} // namespace glowfield
