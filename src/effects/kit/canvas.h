// Cell access for effects with their own state: every write is checked against the live grid, and every
// coordinate that may come from a computation is turned into a cell through toCell.
#pragma once

#include <cstdint>

#include "effects/effect.h"
#include "effects/kit/colour.h"
#include "field/numeric.h"

namespace glowfield::kit {

enum class Blend { set, add, max, min };

// Colour channels for velocity pushes and plane-wide passes.
enum Channels : unsigned { red = 1, green = 2, blue = 4, allChannels = 7 };

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

// Paints one cell; cells outside the grid are skipped.
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
    if (!inside(c, x, y)) {
        return;
    }
    const int cell = cellAt(x, y);
    float& r = c.planes.red[cell];
    float& g = c.planes.green[cell];
    float& b = c.planes.blue[cell];
    r += (colour.r - r) * alpha;
    g += (colour.g - g) * alpha;
    b += (colour.b - b) * alpha;
}

// Every live colour times keep: a fade towards mid-grey.
void fadeColours(const EffectContext& c, float keep);

// Every live colour moved towards a colour by rate (0..1): with black, a fade to dark.
void pullColours(const EffectContext& c, Rgb target, float rate);

// Every live velocity times keep (the wave step never damps them).
void scaleVelocities(const EffectContext& c, float keep, unsigned channels = allChannels);

// Sets every live colour (and, with velocities true, zeroes every live velocity).
void fillColours(const EffectContext& c, Rgb colour, bool velocities = false);

// Clamps every live colour to +-colourLimit and velocity to +-velocityLimit, and replaces NaN by 0: for
// effects that read the field, so that extreme leftovers of an earlier effect cannot take over.
void tameField(const EffectContext& c, float colourLimit = 400.0f, float velocityLimit = 60.0f);

} // namespace glowfield::kit
