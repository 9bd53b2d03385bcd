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

} // namespace glowfield::kit
