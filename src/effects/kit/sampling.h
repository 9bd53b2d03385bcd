// A copy of the live field for warps, mirrors and feedback: read the copy, write the planes, so a pass never
// reads what it has just written. Look-ups are clamped to the grid, and coordinates that are not finite
// read the nearest edge.
#pragma once

#include <vector>

#include "effects/kit/canvas.h"
#include "field/field.h"

namespace glowfield::kit {

class FieldCopy {
  public:
    // Plane numbers: 0 red, 1 green, 2 blue, then their velocities 3, 4, 5.
    static constexpr int planeCount = 6;

    // Copies the live cells of all six planes.
    void capture(const EffectContext& c);

    // The copied value of a cell, the cell clamped into the grid.
    float at(int plane, int x, int y) const {
        const int cx = x < 0 ? 0 : x >= n_ ? n_ - 1 : x;
        const int cy = y < 0 ? 0 : y >= n_ ? n_ - 1 : y;
        return values_[(static_cast<size_t>(plane) * n_ + cx) * n_ + cy];
    }

    // Bilinear sample at a fractional cell.
    float sample(int plane, float x, float y) const;

    // All six planes of cell (x, y) from the copy sampled at (sx, sy).
    void warpCell(const EffectContext& c, int x, int y, float sx, float sy) const;

    int size() const { return n_; }

  private:
    int n_ = 0;
    std::vector<float> values_;
};

// The six planes of a context by plane number, as FieldCopy counts them.
float* planeOf(const EffectContext& c, int plane);

// Resamples the whole grid: cell (x, y) takes the copy's value at source(x, y) -> (sx, sy), all six planes.
template <typename Source> void warpField(const EffectContext& c, const FieldCopy& copy, Source source) {
    for (int x = 0; x < c.n; ++x) {
        for (int y = 0; y < c.n; ++y) {
            float sx = 0.0f;
            float sy = 0.0f;
            source(x, y, sx, sy);
            copy.warpCell(c, x, y, sx, sy);
        }
    }
}

} // namespace glowfield::kit
