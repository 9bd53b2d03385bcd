// A private colour image for warps that must not feed on their own drawing: three planes of the grid's size,
// captured from the field or painted directly, with clamped bilinear look-ups that are safe for any input.
#pragma once

#include <vector>

#include "effects/kit/kit.h"

namespace glowfield::warps {

class ColourImage {
  public:
    void resize(int n) {
        n_ = n;
        for (auto& p : planes_) {
            p.assign(static_cast<size_t>(n) * n, 0.0f);
        }
    }

    // Takes the live colours, clamped to a sane range so extreme leftovers cannot dominate.
    void capture(const EffectContext& c) {
        resize(c.n);
        for (int x = 0; x < n_; ++x) {
            for (int y = 0; y < n_; ++y) {
                set(x, y, kit::colourAt(c, x, y));
            }
        }
    }

    int size() const { return n_; }

    void set(int x, int y, kit::Rgb v) {
        if (x < 0 || y < 0 || x >= n_ || y >= n_) {
            return;
        }
        const size_t k = static_cast<size_t>(x) * n_ + y;
        planes_[0][k] = tame(v.r);
        planes_[1][k] = tame(v.g);
        planes_[2][k] = tame(v.b);
    }

    kit::Rgb at(int x, int y) const {
        x = x < 0 ? 0 : x >= n_ ? n_ - 1 : x;
        y = y < 0 ? 0 : y >= n_ ? n_ - 1 : y;
        const size_t k = static_cast<size_t>(x) * n_ + y;
        return {planes_[0][k], planes_[1][k], planes_[2][k]};
    }

    // Bilinear sample at a fractional cell; positions are clamped to the image, NaN reads the corner.
    kit::Rgb sample(float x, float y) const {
        const float limit = static_cast<float>(n_ - 1);
        x = x == x ? kit::clampf(x, 0.0f, limit) : 0.0f;
        y = y == y ? kit::clampf(y, 0.0f, limit) : 0.0f;
        const int x0 = kit::toCell(x), y0 = kit::toCell(y);
        const int x1 = x0 + 1 < n_ ? x0 + 1 : x0, y1 = y0 + 1 < n_ ? y0 + 1 : y0;
        const float fx = x - static_cast<float>(x0), fy = y - static_cast<float>(y0);
        const size_t a = static_cast<size_t>(x0) * n_ + y0, b = static_cast<size_t>(x1) * n_ + y0;
        const size_t d = static_cast<size_t>(x0) * n_ + y1, e = static_cast<size_t>(x1) * n_ + y1;
        kit::Rgb out;
        float* o[3] = {&out.r, &out.g, &out.b};
        for (int p = 0; p < 3; ++p) {
            const std::vector<float>& v = planes_[p];
            const float top = v[a] + (v[b] - v[a]) * fx;
            const float bottom = v[d] + (v[e] - v[d]) * fx;
            *o[p] = top + (bottom - top) * fy;
        }
        return out;
    }

  private:
    static float tame(float v) { return v == v ? kit::clampf(v, -200.0f, 200.0f) : 0.0f; }

    int n_ = 0;
    std::vector<float> planes_[3];
};

} // namespace glowfield::warps
