// A picture kept by the effect itself between frames, for drawings that must persist cell for cell: the wave
// step would blur or ripple anything left in the field, so each frame the kept picture is put back
// (velocities cleared), drawn on with the kit, and taken back.
#pragma once

#include <vector>

#include "effects/kit/cells.h"

namespace glowfield::kit {

class HeldPicture {
  public:
    // Sizes the picture for the grid and fills it with one colour.
    void reset(const EffectContext& c, Rgb colour) {
        n_ = c.n;
        cells_.assign(static_cast<size_t>(n_) * n_, colour);
    }

    // Takes the live field as the picture, each channel clamped to the visible range (NaN as mid-grey).
    void captureField(const EffectContext& c) {
        n_ = c.n;
        cells_.resize(static_cast<size_t>(n_) * n_);
        for (int x = 0; x < n_; ++x) {
            for (int y = 0; y < n_; ++y) {
                const Rgb v = colourAt(c, x, y);
                cells_[index(x, y)] = {tame(v.r), tame(v.g), tame(v.b)};
            }
        }
    }

    // Writes the picture into the field and clears the velocities.
    void restore(const EffectContext& c) const {
        if (n_ != c.n) {
            return;
        }
        for (int x = 0; x < n_; ++x) {
            for (int y = 0; y < n_; ++y) {
                setSolidCell(c, x, y, cells_[index(x, y)]);
            }
        }
    }

    // Takes the field's colours back as the picture.
    void keep(const EffectContext& c) {
        if (n_ != c.n) {
            return;
        }
        for (int x = 0; x < n_; ++x) {
            for (int y = 0; y < n_; ++y) {
                const int cell = cellAt(x, y);
                cells_[index(x, y)] = {c.planes.red[cell], c.planes.green[cell], c.planes.blue[cell]};
            }
        }
    }

    // The kept colour of a cell, clamped into the picture.
    Rgb at(int x, int y) const {
        const int cx = x < 0 ? 0 : x >= n_ ? n_ - 1 : x;
        const int cy = y < 0 ? 0 : y >= n_ ? n_ - 1 : y;
        return cells_[index(cx, cy)];
    }

    // Bilinear look-up at a fractional cell, clamped to the picture; coordinates that are not finite read
    // the nearest edge.
    Rgb sample(float x, float y) const {
        const float lim = static_cast<float>(n_ - 1);
        x = x > 0.0f ? (x < lim ? x : lim) : 0.0f; // NaN falls to 0
        y = y > 0.0f ? (y < lim ? y : lim) : 0.0f;
        const int x0 = toCell(x);
        const int y0 = toCell(y);
        const float fx = x - static_cast<float>(x0);
        const float fy = y - static_cast<float>(y0);
        const Rgb a = at(x0, y0), b = at(x0 + 1, y0), d = at(x0, y0 + 1), e = at(x0 + 1, y0 + 1);
        const Rgb top = mix(a, b, fx), bottom = mix(d, e, fx);
        return mix(top, bottom, fy);
    }

    void set(int x, int y, Rgb colour) {
        if (x >= 0 && y >= 0 && x < n_ && y < n_) {
            cells_[index(x, y)] = colour;
        }
    }

    int size() const { return n_; }

    // Whether the picture has too little to work on: nearly uniform (a brightness spread under 14 levels),
    // or more than half of it near black. Effects that transform what is on the screen feed their own
    // shapes then, so that they are never blank.
    struct Survey {
        bool plain = false;
        bool mostlyDark = false;
    };
    Survey survey() const {
        double sum = 0.0, squares = 0.0;
        int dark = 0;
        for (const Rgb& v : cells_) {
            const double l = (v.r + v.g + v.b) / 3.0;
            sum += l;
            squares += l * l;
            if (v.r < -90.0f && v.g < -90.0f && v.b < -90.0f) {
                ++dark;
            }
        }
        const double count = cells_.empty() ? 1.0 : static_cast<double>(cells_.size());
        const double mean = sum / count;
        return {squares / count - mean * mean<14.0 * 14.0, dark> n_ * n_ / 2};
    }

  private:
    static float tame(float v) { return v > 128.0f ? 128.0f : v < -127.0f ? -127.0f : v == v ? v : 0.0f; }
    size_t index(int x, int y) const { return static_cast<size_t>(x) * n_ + y; }

    int n_ = 0;
    std::vector<Rgb> cells_;
};

} // namespace glowfield::kit
