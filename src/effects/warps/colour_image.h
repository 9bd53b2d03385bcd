// A private colour image for warps that must not feed on their own drawing: the grid's colours kept as one
// array of cells, captured from the field or painted directly, with clamped bilinear look-ups that are safe
// for any input.
#pragma once

#include <vector>

#include "effects/kit/kit.h"

namespace glowfield::warps {

class ColourImage {
  public:
    void resize(int n) {
        n_ = n;
        cells_.assign(static_cast<size_t>(n) * n, kit::grey);
    }

    // Takes the live colours, clamped to a sane range so extreme leftovers cannot dominate.
    void capture(const EffectContext& c) {
        if (n_ != c.n) {
            resize(c.n);
        }
        for (int x = 0; x < n_; ++x) {
            const float* r = c.planes.red + cellAt(x, 0);
            const float* g = c.planes.green + cellAt(x, 0);
            const float* b = c.planes.blue + cellAt(x, 0);
            kit::Rgb* out = cells_.data() + static_cast<size_t>(x) * n_;
            for (int y = 0; y < n_; ++y) {
                out[y] = {tame(r[y]), tame(g[y]), tame(b[y])};
            }
        }
    }

    int size() const { return n_; }

    // The n cells of column x (0 <= x < n), for passes that walk a column without per-cell clamping.
    const kit::Rgb* column(int x) const { return cells_.data() + static_cast<size_t>(x) * n_; }

    void set(int x, int y, kit::Rgb v) {
        if (x < 0 || y < 0 || x >= n_ || y >= n_) {
            return;
        }
        cells_[static_cast<size_t>(x) * n_ + y] = {tame(v.r), tame(v.g), tame(v.b)};
    }

    kit::Rgb at(int x, int y) const {
        x = x < 0 ? 0 : x >= n_ ? n_ - 1 : x;
        y = y < 0 ? 0 : y >= n_ ? n_ - 1 : y;
        return cells_[static_cast<size_t>(x) * n_ + y];
    }

    // Bilinear sample at a fractional cell; positions are clamped to the image, NaN reads the corner.
    kit::Rgb sample(float x, float y) const {
        const float limit = static_cast<float>(n_ - 1);
        x = x == x ? kit::clampf(x, 0.0f, limit) : 0.0f;
        y = y == y ? kit::clampf(y, 0.0f, limit) : 0.0f;
        const int x0 = static_cast<int>(x), y0 = static_cast<int>(y); // both in 0..n-1 after the clamp
        const int x1 = x0 + 1 < n_ ? x0 + 1 : x0, y1 = y0 + 1 < n_ ? y0 + 1 : y0;
        const float fx = x - static_cast<float>(x0), fy = y - static_cast<float>(y0);
        const kit::Rgb& a = cells_[static_cast<size_t>(x0) * n_ + y0];
        const kit::Rgb& b = cells_[static_cast<size_t>(x1) * n_ + y0];
        const kit::Rgb& d = cells_[static_cast<size_t>(x0) * n_ + y1];
        const kit::Rgb& e = cells_[static_cast<size_t>(x1) * n_ + y1];
        const kit::Rgb top = kit::mix(a, b, fx), bottom = kit::mix(d, e, fx);
        return kit::mix(top, bottom, fy);
    }

  private:
    static float tame(float v) { return v == v ? kit::clampf(v, -200.0f, 200.0f) : 0.0f; }

    int n_ = 0;
    std::vector<kit::Rgb> cells_;
};

} // namespace glowfield::warps
