#include "effects/kit/models.h"

#include <algorithm>

#include "effects/effect_state.h"
#include "effects/kit/maths.h"
#include "field/drawing.h"

namespace glowfield::kit {

Vec3 rotateX(Vec3 v, float angle) {
    const float s = fastSin(angle), co = fastCos(angle);
    return {v.x, v.y * co - v.z * s, v.y * s + v.z * co};
}

Vec3 rotateY(Vec3 v, float angle) {
    const float s = fastSin(angle), co = fastCos(angle);
    return {v.x * co + v.z * s, v.y, -v.x * s + v.z * co};
}

Vec3 rotateZ(Vec3 v, float angle) {
    const float s = fastSin(angle), co = fastCos(angle);
    return {v.x * co - v.y * s, v.x * s + v.y * co, v.z};
}

Projected project(const EffectContext& c, Vec3 p) {
    Projected out;
    const float n = static_cast<float>(c.n);
    const float depth = n + p.z;
    if (!(depth >= 1.0f) || !(p.x == p.x) || !(p.y == p.y) || depth > 1.0e30f) {
        return out;
    }
    out.scale = n / depth;
    out.x = p.x * out.scale + n * 0.5f;
    out.y = p.y * out.scale + n * 0.5f;
    out.visible = out.x == out.x && out.y == out.y && out.x > -1.0e6f && out.x < 1.0e6f && out.y > -1.0e6f &&
                  out.y < 1.0e6f;
    return out;
}

void modelLine(const EffectContext& c, Vec3 a, Vec3 b, Rgb colour, int size) {
    // The field's 3-D line keeps its ends and block size in state that older effects read; both are put back.
    const DrawingState saved = drawingState;
    const int32_t savedOffset = shared.letterOffset;
    const float centre = static_cast<float>(c.n) * 0.5f;
    // drawLine3D shows value * 80 / (depth + 80) - 60 at a depth: at depth 0, v + 60 shows as v.
    const auto value = [](float v) { return truncToInt(std::min(std::max(v, -127.0f), 128.0f) + 60.0f); };
    drawLine3D(a.x + centre, a.y + centre, a.z, b.x + centre, b.y + centre, b.z, value(colour.r),
               value(colour.g), value(colour.b), size);
    drawingState = saved;
    shared.letterOffset = savedOffset;
}

} // namespace glowfield::kit
