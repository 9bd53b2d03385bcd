// Drawing aids that the model effects share: a backdrop pass that settles whatever an earlier effect left,
// view turns, projected dots and solid strokes, so each model file holds only its own shape and motion.
#pragma once

#include <algorithm>
#include <cmath>

#include "effects/kit/kit.h"

namespace glowfield::models {

using kit::Rgb;
using kit::Vec3;

// One pass over the live cells: colours move towards the backdrop by rate and velocities are scaled by
// keep, both clamped so that extreme leftovers (huge, infinite, NaN) cannot outlast the first frame.
inline void settleField(const EffectContext& c, Rgb backdrop, float rate, float keep = 0.8f) {
    const float targets[3] = {backdrop.r, backdrop.g, backdrop.b};
    float* const colours[3] = {c.planes.red, c.planes.green, c.planes.blue};
    float* const motion[3] = {c.planes.redVelocity, c.planes.greenVelocity, c.planes.blueVelocity};
    for (int p = 0; p < 3; ++p) {
        const float t = targets[p];
        for (int x = 0; x < c.n; ++x) {
            float* col = colours[p] + cellAt(x, 0);
            float* vel = motion[p] + cellAt(x, 0);
            for (int y = 0; y < c.n; ++y) {
                float v = col[y];
                v = v > 300.0f ? 300.0f : v < -300.0f ? -300.0f : v == v ? v : t;
                col[y] = v + (t - v) * rate;
                float w = vel[y] * keep;
                vel[y] = w > 40.0f ? 40.0f : w < -40.0f ? -40.0f : w == w ? w : 0.0f;
            }
        }
    }
}

// A vertical backdrop gradient, blended in by rate: skies, dusk and deep water.
inline void settleGradient(const EffectContext& c, Rgb top, Rgb bottom, float rate, float keep = 0.8f) {
    settleField(c, kit::grey, 0.0f, keep);
    float* const colours[3] = {c.planes.red, c.planes.green, c.planes.blue};
    const float tops[3] = {top.r, top.g, top.b}, bottoms[3] = {bottom.r, bottom.g, bottom.b};
    const float inv = 1.0f / static_cast<float>(c.n - 1);
    for (int p = 0; p < 3; ++p) {
        for (int x = 0; x < c.n; ++x) {
            float* col = colours[p] + cellAt(x, 0);
            for (int y = 0; y < c.n; ++y) {
                const float t = tops[p] + (bottoms[p] - tops[p]) * static_cast<float>(y) * inv;
                col[y] += (t - col[y]) * rate;
            }
        }
    }
}

// A sky above a horizon row and a ground below it, each a vertical gradient, blended in by rate: the
// backdrop of the first-person scenes.
inline void settleSky(const EffectContext& c, float horizon, Rgb skyTop, Rgb skyLow, Rgb groundFar,
                      Rgb groundNear, float rate, float keep = 0.8f) {
    settleField(c, kit::grey, 0.0f, keep);
    float* const colours[3] = {c.planes.red, c.planes.green, c.planes.blue};
    const float st[3] = {skyTop.r, skyTop.g, skyTop.b}, sl[3] = {skyLow.r, skyLow.g, skyLow.b};
    const float gf[3] = {groundFar.r, groundFar.g, groundFar.b},
                gn[3] = {groundNear.r, groundNear.g, groundNear.b};
    const float h = kit::clampf(horizon, 1.0f, static_cast<float>(c.n) - 2.0f);
    const float skySpan = 1.0f / h, groundSpan = 1.0f / (static_cast<float>(c.n) - h);
    for (int p = 0; p < 3; ++p) {
        for (int x = 0; x < c.n; ++x) {
            float* col = colours[p] + cellAt(x, 0);
            for (int y = 0; y < c.n; ++y) {
                const float fy = static_cast<float>(y);
                const float t = fy < h ? st[p] + (sl[p] - st[p]) * fy * skySpan
                                       : gf[p] + (gn[p] - gf[p]) * (fy - h) * groundSpan;
                col[y] += (t - col[y]) * rate;
            }
        }
    }
}

// Turns about x, then y, then z. (Models drawn with kit::modelLine must stay at z >= 0 after this: the
// field's 3-D line skips the parts of a line in front of the projection plane.)
inline Vec3 turn(Vec3 v, float ax, float ay, float az = 0.0f) {
    return kit::rotateZ(kit::rotateY(kit::rotateX(v, ax), ay), az);
}

// Depth dimming for points: full at and in front of the focus scale, falling steeply behind it so that the
// far side of a cloud reads as far.
inline float depthShade(float scale, float focus) {
    return kit::clampf(1.0f - 1.6f * (focus - scale), 0.15f, 1.0f);
}

// A point as a round block whose radius and brightness fall with depth, blended by maximum.
inline void modelDot(const EffectContext& c, Vec3 p, Rgb colour, float radius, float focus = 1.0f) {
    const kit::Projected q = kit::project(c, p);
    if (!q.visible) {
        return;
    }
    const float r = radius * q.scale;
    const Rgb shaded = kit::shade(colour, depthShade(q.scale, focus));
    if (r < 0.75f) {
        kit::paint(c, kit::toCell(q.x), kit::toCell(q.y), shaded, kit::Blend::max);
    } else {
        kit::fillDisc(c, q.x, q.y, r, shaded, kit::Blend::max);
    }
}

// A stroke between two model points, width scaled by depth, painted over what is there (for models drawn
// on a busy backdrop, where blending by maximum would lose them).
inline void solidLine(const EffectContext& c, Vec3 a, Vec3 b, Rgb colour, float width,
                      kit::Blend blend = kit::Blend::set) {
    const kit::Projected pa = kit::project(c, a), pb = kit::project(c, b);
    if (!pa.visible || !pb.visible) {
        return;
    }
    const float r = width * 0.25f * (pa.scale + pb.scale);
    if (r < 0.6f) {
        kit::drawLine(c, pa.x, pa.y, pb.x, pb.y, colour, blend);
    } else {
        kit::drawThickLine(c, pa.x, pa.y, pb.x, pb.y, r, colour, blend);
    }
}

// Hue along a path, 0..1 turns, as a bright saturated colour.
inline Rgb bright(float hue, float value = 1.0f) {
    return kit::hsv(hue, 0.85f, value);
}

} // namespace glowfield::models
