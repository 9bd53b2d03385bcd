// Inline cell access and colour arithmetic for whole-grid passes: the same rules as the kit's painting and
// colour helpers (cells outside the grid are skipped or read as grey), without a call per cell, so that an
// effect that touches every cell each frame stays within its time.
#pragma once

#include <cmath>

#include "effects/kit/kit.h"

namespace glowfield::fx {

inline kit::Rgb mix(kit::Rgb a, kit::Rgb b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// Each channel's level scaled by k about black.
inline kit::Rgb shade(kit::Rgb colour, float k) {
    return {(colour.r + 127.0f) * k - 127.0f, (colour.g + 127.0f) * k - 127.0f,
            (colour.b + 127.0f) * k - 127.0f};
}

// A hue in turns (any finite value), saturation and value in 0..1; non-finite hues read as red.
inline kit::Rgb hsv(float hue, float saturation, float value) {
    float h = hue == hue && hue < 1e6f && hue > -1e6f ? hue - std::floor(hue) : 0.0f;
    h *= 6.0f;
    const int sector = truncToInt(h) % 6;
    const float f = h - static_cast<float>(truncToInt(h));
    const float p = value * (1.0f - saturation);
    const float q = value * (1.0f - saturation * f);
    const float t = value * (1.0f - saturation * (1.0f - f));
    float r = value, g = t, b = p;
    switch (sector) {
    case 1:
        r = q, g = value, b = p;
        break;
    case 2:
        r = p, g = value, b = t;
        break;
    case 3:
        r = p, g = q, b = value;
        break;
    case 4:
        r = t, g = p, b = value;
        break;
    case 5:
        r = value, g = p, b = q;
        break;
    default:
        break;
    }
    return {r * 255.0f - 127.0f, g * 255.0f - 127.0f, b * 255.0f - 127.0f};
}

// Sets a cell's colour; cells outside the grid are skipped.
inline void put(const EffectContext& c, int x, int y, kit::Rgb v) {
    if (!kit::inside(c, x, y)) {
        return;
    }
    const int cell = cellAt(x, y);
    c.planes.red[cell] = v.r;
    c.planes.green[cell] = v.g;
    c.planes.blue[cell] = v.b;
}

// A cell's colour; outside the grid, mid-grey.
inline kit::Rgb at(const EffectContext& c, int x, int y) {
    if (!kit::inside(c, x, y)) {
        return kit::grey;
    }
    const int cell = cellAt(x, y);
    return {c.planes.red[cell], c.planes.green[cell], c.planes.blue[cell]};
}

// Moves a cell towards a colour by alpha.
inline void blend(const EffectContext& c, int x, int y, kit::Rgb v, float alpha) {
    if (!kit::inside(c, x, y)) {
        return;
    }
    const int cell = cellAt(x, y);
    c.planes.red[cell] += (v.r - c.planes.red[cell]) * alpha;
    c.planes.green[cell] += (v.g - c.planes.green[cell]) * alpha;
    c.planes.blue[cell] += (v.b - c.planes.blue[cell]) * alpha;
}

} // namespace glowfield::fx
