// A copy of the three colour planes for warps that resample the whole grid every frame: values tamed as they
// are copied (NaN as 0, extremes clamped), and one bilinear look-up writes all three colours of a cell, so a
// full-grid warp costs a few dozen operations a cell.
#pragma once

#include <cstddef>
#include <vector>

#include "effects/kit/canvas.h"

namespace glowfield {

class ColourCopy {
  public:
    void capture(const EffectContext& c, float limit = 300.0f) {
        n_ = c.n;
        values_.resize(static_cast<size_t>(3 * n_ * n_));
        const float* planes[3] = {c.planes.red, c.planes.green, c.planes.blue};
        for (int p = 0; p < 3; ++p) {
            for (int x = 0; x < n_; ++x) {
                const float* column = planes[p] + cellAt(x, 0);
                float* out = &values_[index(p, x, 0)];
                for (int y = 0; y < n_; ++y) {
                    const float v = column[y];
                    out[y] = v > limit ? limit : v < -limit ? -limit : v == v ? v : 0.0f;
                }
            }
        }
    }

    // The copied value of a cell, the cell clamped into the grid.
    float at(int plane, int x, int y) const {
        const int cx = x < 0 ? 0 : x >= n_ ? n_ - 1 : x;
        const int cy = y < 0 ? 0 : y >= n_ ? n_ - 1 : y;
        return values_[index(plane, cx, cy)];
    }

    // The three colours of cell (x, y) from a bilinear look-up at (sx, sy), clamped to the grid (coordinates
    // that are not numbers read the first row or column).
    void sampleInto(const EffectContext& c, int x, int y, float sx, float sy) const {
        if (!kit::inside(c, x, y) || n_ != c.n) {
            return;
        }
        float rgb[3];
        sample(sx, sy, rgb);
        const int cell = cellAt(x, y);
        c.planes.red[cell] = rgb[0];
        c.planes.green[cell] = rgb[1];
        c.planes.blue[cell] = rgb[2];
    }

    void sample(float sx, float sy, float* rgb) const {
        const float limit = static_cast<float>(n_ - 1);
        sx = sx > 0.0f ? (sx < limit ? sx : limit) : 0.0f;
        sy = sy > 0.0f ? (sy < limit ? sy : limit) : 0.0f;
        const int x0 = truncToInt(sx), y0 = truncToInt(sy);
        const size_t stepX = x0 + 1 < n_ ? static_cast<size_t>(n_) : 0, stepY = y0 + 1 < n_ ? 1 : 0;
        const float fx = sx - static_cast<float>(x0), fy = sy - static_cast<float>(y0);
        const size_t planeSize = static_cast<size_t>(n_) * n_;
        const float* v = &values_[index(0, x0, y0)];
        for (int p = 0; p < 3; ++p, v += planeSize) {
            const float a = v[0], b = v[stepX], d = v[stepY], e = v[stepX + stepY];
            const float top = a + (b - a) * fx;
            const float bottom = d + (e - d) * fx;
            rgb[p] = top + (bottom - top) * fy;
        }
    }

    // Writes the copy back into the colour planes unchanged, and clears the velocities (for effects that keep
    // their own picture here between frames).
    void restore(const EffectContext& c) const {
        if (n_ != c.n) {
            return;
        }
        float* const colours[3] = {c.planes.red, c.planes.green, c.planes.blue};
        float* const motion[3] = {c.planes.redVelocity, c.planes.greenVelocity, c.planes.blueVelocity};
        for (int p = 0; p < 3; ++p) {
            for (int x = 0; x < n_; ++x) {
                const float* in = &values_[index(p, x, 0)];
                float* out = colours[p] + cellAt(x, 0);
                float* still = motion[p] + cellAt(x, 0);
                for (int y = 0; y < n_; ++y) {
                    out[y] = in[y];
                    still[y] = 0.0f;
                }
            }
        }
    }

    // Sets the whole copy to one colour, for a fresh start.
    void fill(const EffectContext& c, kit::Rgb colour) {
        n_ = c.n;
        values_.resize(static_cast<size_t>(3 * n_ * n_));
        const size_t planeSize = static_cast<size_t>(n_) * n_;
        const float channel[3] = {colour.r, colour.g, colour.b};
        for (int p = 0; p < 3; ++p) {
            for (size_t k = 0; k < planeSize; ++k) {
                values_[p * planeSize + k] = channel[p];
            }
        }
    }

    int size() const { return n_; }

  private:
    size_t index(int plane, int x, int y) const { return (static_cast<size_t>(plane) * n_ + x) * n_ + y; }

    int n_ = 0;
    std::vector<float> values_;
};

} // namespace glowfield
