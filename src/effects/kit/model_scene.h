// Drawing aids for effects that show 3-D models: a backdrop pass that settles whatever an earlier effect
// left, view turns, projected dots and solid strokes, so each model file holds only its own shape and motion.
#pragma once

#include <algorithm>
#include <cmath>

#include "effects/kit/canvas.h"
#include "effects/kit/colour.h"
#include "effects/kit/models.h"
#include "effects/kit/shapes.h"

namespace glowfield::kit {

// Settling towards a backdrop that varies only down the screen: one target per row and channel. Colours
// move towards it by rate every frame, clamped first so that extreme leftovers (huge, infinite, NaN) cannot
// outlast the first frame. Velocities, which only the leftovers and an effect's own pulses fill, are damped
// and clamped every fourth frame (by keep to the fourth power), which halves the cost of the pass.
inline void settleRows(const EffectContext& c, const float* const rowTargets[3], float rate, float keep) {
    float* const colours[3] = {c.planes.red, c.planes.green, c.planes.blue};
    for (int p = 0; p < 3; ++p) {
        const float* target = rowTargets[p];
        for (int x = 0; x < c.n; ++x) {
            float* col = colours[p] + cellAt(x, 0);
            for (int y = 0; y < c.n; ++y) {
                float v = col[y];
                v = v > 300.0f ? 300.0f : v < -300.0f ? -300.0f : v == v ? v : target[y];
                col[y] = v + (target[y] - v) * rate;
            }
        }
    }
    if (c.frame % 4u != 0u) {
        return;
    }
    const float keep4 = keep * keep * keep * keep;
    float* const motion[3] = {c.planes.redVelocity, c.planes.greenVelocity, c.planes.blueVelocity};
    for (int p = 0; p < 3; ++p) {
        for (int x = 0; x < c.n; ++x) {
            float* vel = motion[p] + cellAt(x, 0);
            for (int y = 0; y < c.n; ++y) {
                const float w = vel[y] * keep4;
                vel[y] = w > 40.0f ? 40.0f : w < -40.0f ? -40.0f : w == w ? w : 0.0f;
            }
        }
    }
}

// Rows of backdrop targets for the settle pass, filled by the helpers below.
struct Backdrop {
    float rows[3][planeStride];
    const float* planes[3] = {rows[0], rows[1], rows[2]};
};

// A flat backdrop.
inline void settleField(const EffectContext& c, Rgb backdrop, float rate, float keep = 0.8f) {
    Backdrop b;
    for (int y = 0; y < c.n; ++y) {
        b.rows[0][y] = backdrop.r;
        b.rows[1][y] = backdrop.g;
        b.rows[2][y] = backdrop.b;
    }
    settleRows(c, b.planes, rate, keep);
}

// A vertical backdrop gradient: skies, dusk and deep water.
inline void settleGradient(const EffectContext& c, Rgb top, Rgb bottom, float rate, float keep = 0.8f) {
    Backdrop b;
    const float inv = 1.0f / static_cast<float>(c.n - 1);
    for (int y = 0; y < c.n; ++y) {
        const Rgb t = mix(top, bottom, static_cast<float>(y) * inv);
        b.rows[0][y] = t.r;
        b.rows[1][y] = t.g;
        b.rows[2][y] = t.b;
    }
    settleRows(c, b.planes, rate, keep);
}

// A sky above a horizon row and a ground below it, each a vertical gradient: the backdrop of the
// first-person scenes.
inline void settleSky(const EffectContext& c, float horizon, Rgb skyTop, Rgb skyLow, Rgb groundFar,
                      Rgb groundNear, float rate, float keep = 0.8f) {
    Backdrop b;
    const float h = clampf(horizon, 1.0f, static_cast<float>(c.n) - 2.0f);
    const float skySpan = 1.0f / h, groundSpan = 1.0f / (static_cast<float>(c.n) - h);
    for (int y = 0; y < c.n; ++y) {
        const float fy = static_cast<float>(y);
        const Rgb t =
            fy < h ? mix(skyTop, skyLow, fy * skySpan) : mix(groundFar, groundNear, (fy - h) * groundSpan);
        b.rows[0][y] = t.r;
        b.rows[1][y] = t.g;
        b.rows[2][y] = t.b;
    }
    settleRows(c, b.planes, rate, keep);
}

// Turns about x, then y, then z. (Models drawn with modelLine must stay at z >= 0 after this: the
// field's 3-D line skips the parts of a line in front of the projection plane.)
inline Vec3 turn(Vec3 v, float ax, float ay, float az = 0.0f) {
    return rotateZ(rotateY(rotateX(v, ax), ay), az);
}

// Depth dimming for points: full at and in front of the focus scale, falling steeply behind it so that the
// far side of a cloud reads as far.
inline float depthShade(float scale, float focus) {
    return clampf(1.0f - 1.6f * (focus - scale), 0.15f, 1.0f);
}

// A point as a round block whose radius and brightness fall with depth, blended by maximum.
inline void modelDot(const EffectContext& c, Vec3 p, Rgb colour, float radius, float focus = 1.0f) {
    const Projected q = project(c, p);
    if (!q.visible) {
        return;
    }
    const float r = radius * q.scale;
    const Rgb shaded = shade(colour, depthShade(q.scale, focus));
    if (r < 0.75f) {
        paint(c, toCell(q.x), toCell(q.y), shaded, Blend::max);
    } else if (r < 1.4f) {
        // Small dots as 2 x 2 blocks: the same look as a disc of this size, at a fraction of the cost.
        const int x = toCell(q.x - 0.5f), y = toCell(q.y - 0.5f);
        paint(c, x, y, shaded, Blend::max);
        paint(c, x + 1, y, shaded, Blend::max);
        paint(c, x, y + 1, shaded, Blend::max);
        paint(c, x + 1, y + 1, shaded, Blend::max);
    } else {
        fillDisc(c, q.x, q.y, r, shaded, Blend::max);
    }
}

// A thick stroke cut into short pieces: the kit's thick line tests every cell of its bounding box, which for
// a long diagonal is many times the cells it paints. For set and max blends only (joints are painted twice).
inline void thickLine(const EffectContext& c, float x0, float y0, float x1, float y1, float radius,
                      Rgb colour, Blend blend) {
    const float dx = x1 - x0, dy = y1 - y0;
    const float length = std::fabs(dx) + std::fabs(dy);
    if (!(length < 4.0f * static_cast<float>(c.n))) {
        drawThickLine(c, x0, y0, x1, y1, radius, colour, blend); // not finite or huge: the kit clips it
        return;
    }
    const int pieces = 1 + toCell(length / (2.0f + radius * 2.0f));
    const float step = 1.0f / static_cast<float>(pieces);
    for (int k = 0; k < pieces; ++k) {
        const float u0 = static_cast<float>(k) * step, u1 = u0 + step;
        drawThickLine(c, x0 + dx * u0, y0 + dy * u0, x0 + dx * u1, y0 + dy * u1, radius, colour, blend);
    }
}

// A light model line: one projected line of single cells (thick near the viewer, in short pieces, when thick
// is true), colour dimmed with depth, blended by maximum.
inline void fastLine(const EffectContext& c, Vec3 a, Vec3 b, Rgb colour, bool thick = false) {
    const Projected pa = project(c, a), pb = project(c, b);
    if (!pa.visible || !pb.visible) {
        return;
    }
    const float scale = (pa.scale + pb.scale) * 0.5f;
    const Rgb dimmed = shade(colour, std::min(1.0f, std::max(0.15f, scale)));
    if (thick && scale > 1.2f) {
        thickLine(c, pa.x, pa.y, pb.x, pb.y, 0.5f * scale, dimmed, Blend::max);
    } else {
        drawLine(c, pa.x, pa.y, pb.x, pb.y, dimmed, Blend::max);
    }
}

// A stroke between two model points, width scaled by depth, painted over what is there (for models drawn
// on a busy backdrop, where blending by maximum would lose them).
inline void solidLine(const EffectContext& c, Vec3 a, Vec3 b, Rgb colour, float width,
                      Blend blend = Blend::set) {
    const Projected pa = project(c, a), pb = project(c, b);
    if (!pa.visible || !pb.visible) {
        return;
    }
    const float r = width * 0.25f * (pa.scale + pb.scale);
    if (r < 0.6f) {
        drawLine(c, pa.x, pa.y, pb.x, pb.y, colour, blend);
    } else {
        thickLine(c, pa.x, pa.y, pb.x, pb.y, r, colour, blend);
    }
}

// Hue along a path, 0..1 turns, as a bright saturated colour.
inline Rgb bright(float hue, float value = 1.0f) {
    return hsv(hue, 0.85f, value);
}

} // namespace glowfield::kit
