#include "effects/kit/sampling.h"

namespace glowfield::kit {

float* planeOf(const EffectContext& c, int plane) {
    float* const all[FieldCopy::planeCount] = {c.planes.red,           c.planes.green,
                                               c.planes.blue,          c.planes.redVelocity,
                                               c.planes.greenVelocity, c.planes.blueVelocity};
    return all[plane < 0 ? 0 : plane >= FieldCopy::planeCount ? FieldCopy::planeCount - 1 : plane];
}

void FieldCopy::capture(const EffectContext& c) {
    n_ = c.n;
    values_.resize(static_cast<size_t>(planeCount) * n_ * n_);
    for (int p = 0; p < planeCount; ++p) {
        const float* plane = planeOf(c, p);
        float* out = values_.data() + static_cast<size_t>(p) * n_ * n_;
        for (int x = 0; x < n_; ++x) {
            for (int y = 0; y < n_; ++y) {
                out[x * n_ + y] = plane[cellAt(x, y)];
            }
        }
    }
}

float FieldCopy::sample(int plane, float x, float y) const {
    // Sample positions are cell coordinates: (x, y) = (3, 4) reads cell (3, 4) exactly.
    const float limit = static_cast<float>(n_ - 1);
    x = x == x ? (x < 0.0f ? 0.0f : x > limit ? limit : x) : 0.0f;
    y = y == y ? (y < 0.0f ? 0.0f : y > limit ? limit : y) : 0.0f;
    const int x0 = static_cast<int>(x), y0 = static_cast<int>(y);
    const float fx = x - static_cast<float>(x0), fy = y - static_cast<float>(y0);
    const float a = at(plane, x0, y0), b = at(plane, x0 + 1, y0);
    const float d = at(plane, x0, y0 + 1), e = at(plane, x0 + 1, y0 + 1);
    const float top = a + (b - a) * fx;
    const float bottom = d + (e - d) * fx;
    return top + (bottom - top) * fy;
}

void FieldCopy::warpCell(const EffectContext& c, int x, int y, float sx, float sy) const {
    if (!inside(c, x, y) || n_ != c.n) {
        return;
    }
    const int cell = cellAt(x, y);
    for (int p = 0; p < planeCount; ++p) {
        planeOf(c, p)[cell] = sample(p, sx, sy);
    }
}

} // namespace glowfield::kit
