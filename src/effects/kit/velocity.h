// Pushes into the velocity planes, which the wave step spreads into ripples. The wave step never damps
// velocities, so a sustained push must be balanced (zero-sum) or pulsed.
#pragma once

#include "effects/kit/canvas.h"

namespace glowfield::kit {

// Adds amount * (1 - d^2 / r^2)^2 to the velocities of the chosen channels around (cx, cy).
void pushVelocity(const EffectContext& c, float cx, float cy, float radius, float amount,
                  unsigned channels = allChannels);

// A zero-sum push: amount at the centre, balanced by the opposite in a ring out to twice the radius, so the
// mean velocity stays where it was.
void balancedPush(const EffectContext& c, float cx, float cy, float radius, float amount,
                  unsigned channels = allChannels);

} // namespace glowfield::kit
