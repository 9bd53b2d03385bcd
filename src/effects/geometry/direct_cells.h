// Whole-grid passes of the geometry entries write straight into the planes: their loops already run over the
// live grid only, so the per-cell bounds check and call of kit::paint would be wasted work.
#pragma once

#include "effects/kit/kit.h"

namespace glowfield::geometry {

// Sets a live cell's colour; (x, y) must lie inside the live grid.
inline void putCell(const EffectContext& c, int x, int y, kit::Rgb col) {
    const int cell = cellAt(x, y);
    c.planes.red[cell] = col.r;
    c.planes.green[cell] = col.g;
    c.planes.blue[cell] = col.b;
}

// Moves a live cell's colour towards col by alpha, like kit::blendCell; (x, y) must lie inside the live grid.
inline void mixCell(const EffectContext& c, int x, int y, kit::Rgb col, float alpha) {
    const int cell = cellAt(x, y);
    c.planes.red[cell] += (col.r - c.planes.red[cell]) * alpha;
    c.planes.green[cell] += (col.g - c.planes.green[cell]) * alpha;
    c.planes.blue[cell] += (col.b - c.planes.blue[cell]) * alpha;
}

// kit::mix, inlined for per-cell use.
inline kit::Rgb blend(kit::Rgb a, kit::Rgb b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// kit::shade, inlined: each channel's level scaled by k about black.
inline kit::Rgb dim(kit::Rgb col, float k) {
    return {(col.r + 127.0f) * k - 127.0f, (col.g + 127.0f) * k - 127.0f, (col.b + 127.0f) * k - 127.0f};
}

// The smaller and the larger of two values, inline (the library's fminf and fmaxf are calls).
inline float lesser(float a, float b) {
    return a < b ? a : b;
}

inline float greater(float a, float b) {
    return a > b ? a : b;
}

// Largest whole number at or below v, for the bounded coordinates of per-cell passes (saturating like
// truncToInt far outside them).
inline float floorOf(float v) {
    const float t = static_cast<float>(truncToInt(v));
    return t > v ? t - 1.0f : t;
}

// sin(a(x) + b(y)) over the grid from a table of a by column and one of b by row, as
// sin a cos b + cos a sin b, so that a per-cell pass needs no sine of its own.
struct SplitSine {
    float sinX[planeStride] = {}, cosX[planeStride] = {}, sinY[planeStride] = {}, cosY[planeStride] = {};

    template <typename ColumnPart, typename RowPart> void make(int n, ColumnPart a, RowPart b) {
        for (int i = 0; i < n && i < planeStride; ++i) {
            const float ai = a(static_cast<float>(i)), bi = b(static_cast<float>(i));
            sinX[i] = fastSin(ai);
            cosX[i] = fastCos(ai);
            sinY[i] = fastSin(bi);
            cosY[i] = fastCos(bi);
        }
    }

    float at(int x, int y) const { return sinX[x] * cosY[y] + cosX[x] * sinY[y]; }
};

// A small filled disc (the cells whose centres lie within r), for stamping many tiny buds and grains without
// the general shape code's set-up per call. Cells outside the grid are skipped; coordinates that are not
// finite draw nothing.
inline void dot(const EffectContext& c, float cx, float cy, float r, kit::Rgb col) {
    if (!(cx > -64.0f && cx < c.n + 64.0f && cy > -64.0f && cy < c.n + 64.0f && r >= 0.0f && r < 16.0f)) {
        return;
    }
    const int x0 = kit::toCell(cx - r), x1 = kit::toCell(cx + r) + 1, y0 = kit::toCell(cy - r),
              y1 = kit::toCell(cy + r) + 1;
    for (int x = x0 < 0 ? 0 : x0; x <= x1 && x < c.n; ++x) {
        for (int y = y0 < 0 ? 0 : y0; y <= y1 && y < c.n; ++y) {
            const float dx = x - cx, dy = y - cy;
            if (dx * dx + dy * dy <= r * r) {
                putCell(c, x, y, col);
            }
        }
    }
}

} // namespace glowfield::geometry
