// One cell of the field: coordinates from computed positions, reads, and the one way to write a cell, in a
// checked form (cells outside the live grid are skipped) and an unchecked form for whole-grid passes.
#pragma once

#include <cstdint>

#include "effects/effect.h"
#include "effects/kit/colour.h"
#include "field/numeric.h"

namespace glowfield::kit {

enum class Blend { set, add, max, min };

// The nearest cell at or below v (floor), saturating; NaN gives 0.
inline int32_t toCell(double v) {
    const int32_t t = truncToInt(v);
    return (v < 0 && static_cast<double>(t) != v && t != INT32_MIN) ? t - 1 : t;
}

// v rounded to the nearest cell.
inline int32_t roundCell(double v) {
    return toCell(v + 0.5);
}

inline bool inside(const EffectContext& c, int64_t x, int64_t y) {
    return x >= 0 && y >= 0 && x < c.n && y < c.n;
}

inline int clampCell(const EffectContext& c, int64_t v) {
    return v < 0 ? 0 : v >= c.n ? c.n - 1 : static_cast<int>(v);
}

inline float clampf(float v, float lo, float hi) {
    return v < lo ? lo : v > hi ? hi : v;
}

// True when (x, y) is finite and lies within margin cells of the live grid (margin may be negative to ask for
// a border inside the grid). NaN fails every comparison, so it is never on the grid.
inline bool onGrid(const EffectContext& c, float x, float y, float margin = 0.0f) {
    const float hi = static_cast<float>(c.n) + margin;
    return x >= -margin && y >= -margin && x < hi && y < hi;
}

// The colour of a cell; outside the grid, mid-grey.
inline Rgb colourAt(const EffectContext& c, int x, int y) {
    if (!inside(c, x, y)) {
        return grey;
    }
    const int cell = cellAt(x, y);
    return {c.planes.red[cell], c.planes.green[cell], c.planes.blue[cell]};
}

inline void blendValue(float& cell, float value, Blend blend) {
    switch (blend) {
    case Blend::set:
        cell = value;
        break;
    case Blend::add:
        cell += value;
        break;
    case Blend::max:
        cell = cell > value ? cell : value;
        break;
    case Blend::min:
        cell = cell < value ? cell : value;
        break;
    }
}

// ---- Unchecked writes. (x, y) must be a live cell: 0 <= x < c.n and 0 <= y < c.n. They are for loops that
// already run over the live grid only, where a bounds check and a call per cell would be wasted work.

// Sets the cell's colour.
inline void setCell(const EffectContext& c, int x, int y, Rgb colour) {
    const int cell = cellAt(x, y);
    c.planes.red[cell] = colour.r;
    c.planes.green[cell] = colour.g;
    c.planes.blue[cell] = colour.b;
}

// Moves the cell's colour towards colour by alpha (0..1).
inline void mixCell(const EffectContext& c, int x, int y, Rgb colour, float alpha) {
    const int cell = cellAt(x, y);
    c.planes.red[cell] += (colour.r - c.planes.red[cell]) * alpha;
    c.planes.green[cell] += (colour.g - c.planes.green[cell]) * alpha;
    c.planes.blue[cell] += (colour.b - c.planes.blue[cell]) * alpha;
}

// Sets the cell's colour with its velocities at rest, for pictures repainted whole every frame: the wave step
// then adds no ripples of its own and leaves nothing growing in the planes.
inline void setSolidCell(const EffectContext& c, int x, int y, Rgb colour) {
    setCell(c, x, y, colour);
    const int cell = cellAt(x, y);
    c.planes.redVelocity[cell] = 0.0f;
    c.planes.greenVelocity[cell] = 0.0f;
    c.planes.blueVelocity[cell] = 0.0f;
}

// One column of the colour planes, for the same loops: y must lie in 0..c.n-1.
struct Column {
    float* r;
    float* g;
    float* b;

    void set(int y, Rgb v) const {
        r[y] = v.r;
        g[y] = v.g;
        b[y] = v.b;
    }

    // Moves cell y towards v by alpha (0..1), as mixCell.
    void blend(int y, Rgb v, float alpha) const {
        r[y] += (v.r - r[y]) * alpha;
        g[y] += (v.g - g[y]) * alpha;
        b[y] += (v.b - b[y]) * alpha;
    }
};

inline Column column(const EffectContext& c, int x) {
    const int base = cellAt(x, 0);
    return {c.planes.red + base, c.planes.green + base, c.planes.blue + base};
}

// ---- Checked writes: any (x, y); cells outside the live grid are skipped.

// Paints one cell, blended into what is there.
inline void paint(const EffectContext& c, int x, int y, Rgb colour, Blend blend = Blend::set) {
    if (!inside(c, x, y)) {
        return;
    }
    const int cell = cellAt(x, y);
    blendValue(c.planes.red[cell], colour.r, blend);
    blendValue(c.planes.green[cell], colour.g, blend);
    blendValue(c.planes.blue[cell], colour.b, blend);
}

// Moves a cell towards a colour by alpha (0..1).
inline void blendCell(const EffectContext& c, int x, int y, Rgb colour, float alpha) {
    if (inside(c, x, y)) {
        mixCell(c, x, y, colour, alpha);
    }
}

// setSolidCell for any cell.
inline void paintSolid(const EffectContext& c, int x, int y, Rgb colour) {
    if (inside(c, x, y)) {
        setSolidCell(c, x, y, colour);
    }
}

// A free-moving point (a particle) as a cell, only while it is finite and on the grid.
inline void plot(const EffectContext& c, float x, float y, Rgb colour, Blend blend = Blend::set) {
    if (onGrid(c, x, y)) {
        paint(c, toCell(x), toCell(y), colour, blend);
    }
}

} // namespace glowfield::kit
