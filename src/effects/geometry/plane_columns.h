// Direct access to one column of the colour planes for whole-grid passes, which would otherwise pay a checked
// call per cell. Callers loop x and y over the live grid only (0 <= x, y < c.n, and c.n <= planeStride).
#pragma once

#include "effects/kit/canvas.h"

namespace glowfield::columns {

struct Column {
    float* r;
    float* g;
    float* b;

    void set(int y, kit::Rgb v) const {
        r[y] = v.r;
        g[y] = v.g;
        b[y] = v.b;
    }

    // Moves cell y towards v by alpha (0..1).
    void blend(int y, kit::Rgb v, float alpha) const {
        r[y] += (v.r - r[y]) * alpha;
        g[y] += (v.g - g[y]) * alpha;
        b[y] += (v.b - b[y]) * alpha;
    }
};

// kit::mix and kit::shade, inline for the per-cell loops.
inline kit::Rgb mix(kit::Rgb a, kit::Rgb b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

inline kit::Rgb shade(kit::Rgb colour, float k) {
    return {(colour.r + 127.0f) * k - 127.0f, (colour.g + 127.0f) * k - 127.0f,
            (colour.b + 127.0f) * k - 127.0f};
}

inline Column column(const EffectContext& c, int x) {
    const int base = cellAt(x, 0);
    return {c.planes.red + base, c.planes.green + base, c.planes.blue + base};
}

} // namespace glowfield::columns
