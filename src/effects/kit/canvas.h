// Whole-plane passes for effects with their own state: fades, fills, velocity damping and taming, over the
// live grid only. Single cells are in cells.h.
#pragma once

#include "effects/effect.h"
#include "effects/kit/cells.h"

namespace glowfield::kit {

// Colour channels for velocity pushes and plane-wide passes.
enum Channels : unsigned { red = 1, green = 2, blue = 4, allChannels = 7 };

// Sizes scaled to the grid: v cells on a 200-cell grid.
inline float gridScale(const EffectContext& c) {
    return static_cast<float>(c.n) / 200.0f;
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

// tameField every fourth frame: enough for effects that blend into the field, so that extreme leftovers are
// cleared within a few frames, at a quarter of the cost.
inline void tameNowAndThen(const EffectContext& c, float colourLimit, float velocityLimit) {
    if ((c.frame & 3u) == 0u) {
        tameField(c, colourLimit, velocityLimit);
    }
}

// Zeroes every live velocity: for effects that paint every cell each frame, so the wave step neither smears
// their picture nor piles up velocity (it never damps it) under a still image.
void clearVelocities(const EffectContext& c);

} // namespace glowfield::kit
