// Lines, discs, rings, rectangles and polygons, clipped to the live grid. Coordinates are in cells (floats);
// shapes with coordinates that are not finite draw nothing.
#pragma once

#include "effects/kit/canvas.h"

namespace glowfield::kit {

// A line of single cells from (x0, y0) to (x1, y1), both ends drawn.
void drawLine(const EffectContext& c, float x0, float y0, float x1, float y1, Rgb colour,
              Blend blend = Blend::set);

// A line of discs of the given radius: a thick stroke with round ends.
void drawThickLine(const EffectContext& c, float x0, float y0, float x1, float y1, float radius, Rgb colour,
                   Blend blend = Blend::set);

// The cells whose centres lie within radius of (cx, cy).
void fillDisc(const EffectContext& c, float cx, float cy, float radius, Rgb colour, Blend blend = Blend::set);

// The cells whose centres lie between radius - width / 2 and radius + width / 2 of (cx, cy).
void drawRing(const EffectContext& c, float cx, float cy, float radius, float width, Rgb colour,
              Blend blend = Blend::set);

// A soft round glow: colour * strength * (1 - d^2 / r^2)^2 added, or blended towards with that weight when
// blend is Blend::set.
void softDisc(const EffectContext& c, float cx, float cy, float radius, Rgb colour, float strength = 1.0f,
              Blend blend = Blend::add);

// The cells with x0 <= x < x1 and y0 <= y < y1.
void fillRect(const EffectContext& c, float x0, float y0, float x1, float y1, Rgb colour,
              Blend blend = Blend::set);

// A filled polygon of up to 64 corners (even-odd rule, cell centres).
void fillPolygon(const EffectContext& c, const float* xs, const float* ys, int corners, Rgb colour,
                 Blend blend = Blend::set);

// Its outline.
void drawPolygon(const EffectContext& c, const float* xs, const float* ys, int corners, Rgb colour,
                 Blend blend = Blend::set);

// A circle drawn as a closed polygon of short lines: for large rings drawn every frame, far cheaper than a
// ring test over the circle's whole bounding box. width > 1 draws thick lines of that width.
void circleOutline(const EffectContext& c, float cx, float cy, float radius, Rgb colour, float width = 1.0f,
                   Blend blend = Blend::set, int segments = 72);

// A small filled disc, the cells (x, y) with (x - cx)^2 + (y - cy)^2 <= r^2, set outright: for stamping many
// tiny buds and grains without the general shape code's set-up per call.
inline void dot(const EffectContext& c, float cx, float cy, float r, Rgb colour) {
    if (!(cx > -64.0f && cx < c.n + 64.0f && cy > -64.0f && cy < c.n + 64.0f && r >= 0.0f && r < 16.0f)) {
        return;
    }
    const int x0 = toCell(cx - r), x1 = toCell(cx + r) + 1, y0 = toCell(cy - r), y1 = toCell(cy + r) + 1;
    for (int x = x0 < 0 ? 0 : x0; x <= x1 && x < c.n; ++x) {
        for (int y = y0 < 0 ? 0 : y0; y <= y1 && y < c.n; ++y) {
            const float dx = x - cx, dy = y - cy;
            if (dx * dx + dy * dy <= r * r) {
                setCell(c, x, y, colour);
            }
        }
    }
}

} // namespace glowfield::kit
