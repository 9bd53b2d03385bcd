// A resting level for wave effects: the wave step decays every colour towards mid-grey, but a uniform
// velocity of 0.006 times a colour holds that colour still, so waves can ripple about a darker or tinted
// rest.
#pragma once

#include "effects/kit/kit.h"

namespace glowfield::waves {

inline constexpr float restDecay = 0.006f; // 1 - the wave step's colour keep factor

// Sets every live cell to the rest colour with the velocity that keeps it there.
inline void setRest(const EffectContext& c, kit::Rgb rest) {
    kit::fillColours(c, rest, true);
    const float v[3] = {rest.r * restDecay, rest.g * restDecay, rest.b * restDecay};
    float* const planes[3] = {c.planes.redVelocity, c.planes.greenVelocity, c.planes.blueVelocity};
    for (int p = 0; p < 3; ++p) {
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                planes[p][cellAt(x, y)] = v[p];
            }
        }
    }
}

// Moves each colour and velocity of cell (x, y) towards rest: keep 1 leaves it, 0 makes it calm water.
inline void calmCell(const EffectContext& c, int x, int y, kit::Rgb rest, float keep) {
    if (!kit::inside(c, x, y)) {
        return;
    }
    const int cell = cellAt(x, y);
    const float r[3] = {rest.r, rest.g, rest.b};
    float* const colours[3] = {c.planes.red, c.planes.green, c.planes.blue};
    float* const velocities[3] = {c.planes.redVelocity, c.planes.greenVelocity, c.planes.blueVelocity};
    for (int p = 0; p < 3; ++p) {
        colours[p][cell] = r[p] + (colours[p][cell] - r[p]) * keep;
        velocities[p][cell] = r[p] * restDecay + (velocities[p][cell] - r[p] * restDecay) * keep;
    }
}

// Every live velocity moved towards its rest value by 1 - keep: damping that keeps the rest colour.
inline void calmVelocities(const EffectContext& c, kit::Rgb rest, float keep) {
    const float r[3] = {rest.r * restDecay, rest.g * restDecay, rest.b * restDecay};
    float* const velocities[3] = {c.planes.redVelocity, c.planes.greenVelocity, c.planes.blueVelocity};
    for (int p = 0; p < 3; ++p) {
        for (int x = 0; x < c.n; ++x) {
            float* column = velocities[p] + cellAt(x, 0);
            for (int y = 0; y < c.n; ++y) {
                column[y] = r[p] + (column[y] - r[p]) * keep;
            }
        }
    }
}

} // namespace glowfield::waves
