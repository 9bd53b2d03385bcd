// Lit grounds that an effect settles its colours towards each frame instead of black: a vertical gradient
// (a sky, a coloured paper, a lit room) with an optional round glow, so the picture has an atmosphere
// rather than a void behind its subject.
#pragma once

#include "effects/kit/canvas.h"
#include "effects/kit/colour.h"

namespace glowfield::kit {

// A glow laid over the gradient: a colour added at the centre, falling off smoothly to nothing at radius.
struct Glow {
    float x = 0.0f, y = 0.0f, radius = 0.0f;
    Rgb add{0.0f, 0.0f, 0.0f};
};

// Every live colour moved by rate (0..1) towards a gradient running from top to bottom, plus the glow.
// Like pullColours it trusts the colours it is given: an entry that can inherit extreme leftovers tames
// the field first.
inline void pullTowards(const EffectContext& c, Rgb top, Rgb bottom, float rate, const Glow& glow = {}) {
    float rows[3][planeStride];
    const float inv = 1.0f / static_cast<float>(c.n > 1 ? c.n - 1 : 1);
    for (int y = 0; y < c.n; ++y) {
        const Rgb t = mix(top, bottom, static_cast<float>(y) * inv);
        rows[0][y] = t.r;
        rows[1][y] = t.g;
        rows[2][y] = t.b;
    }
    const float adds[3] = {glow.add.r, glow.add.g, glow.add.b};
    const float r2 = glow.radius * glow.radius;
    const float invR2 = r2 > 0.0f ? 1.0f / r2 : 0.0f;
    float* const planes[3] = {c.planes.red, c.planes.green, c.planes.blue};
    float weight[planeStride];
    for (int x = 0; x < c.n; ++x) {
        const float dx = static_cast<float>(x) - glow.x;
        for (int y = 0; y < c.n; ++y) {
            const float dy = static_cast<float>(y) - glow.y;
            const float k = 1.0f - (dx * dx + dy * dy) * invR2;
            weight[y] = k > 0.0f ? k * k : 0.0f;
        }
        for (int p = 0; p < 3; ++p) {
            float* column = planes[p] + cellAt(x, 0);
            const float* row = rows[p];
            const float add = adds[p];
            for (int y = 0; y < c.n; ++y) {
                const float target = row[y] + add * weight[y];
                column[y] += (target - column[y]) * rate;
            }
        }
    }
}

} // namespace glowfield::kit
