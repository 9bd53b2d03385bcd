// Waves across the grid split by axis: sin(A + B) = sin A cos B + cos A sin B, with the sines and cosines of
// A kept per column and of B per row, so that a per-cell pass costs a multiply-add instead of a table
// look-up.
#pragma once

#include <cstddef>
#include <vector>

#include "field/trig.h"

namespace glowfield::kit {

// The sine and cosine of one angle per index along an axis.
struct AxisWave {
    std::vector<float> sine;
    std::vector<float> cosine;

    // Angles angle(i) for i = 0..count-1.
    template <typename Angle> void fillWith(int count, Angle angle) {
        sine.resize(static_cast<size_t>(count));
        cosine.resize(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i) {
            const float a = angle(i);
            sine[static_cast<size_t>(i)] = fastSin(a);
            cosine[static_cast<size_t>(i)] = fastCos(a);
        }
    }

    // Angles scale * i + offset.
    void fill(int count, float scale, float offset) {
        fillWith(count, [scale, offset](int i) { return scale * static_cast<float>(i) + offset; });
    }

    // Angles given per index.
    void fillPhases(const std::vector<float>& phases) {
        fillWith(static_cast<int>(phases.size()),
                 [&phases](int i) { return phases[static_cast<size_t>(i)]; });
    }
};

// sin(A + B) and cos(A + B) from the two axes' waves at (i, j).
inline float sinSum(const AxisWave& a, size_t i, const AxisWave& b, size_t j) {
    return a.sine[i] * b.cosine[j] + a.cosine[i] * b.sine[j];
}
inline float cosSum(const AxisWave& a, size_t i, const AxisWave& b, size_t j) {
    return a.cosine[i] * b.cosine[j] - a.sine[i] * b.sine[j];
}

// sin(a(x) + b(y)) over the grid, a taken by column and b by row.
struct SplitSine {
    AxisWave columns;
    AxisWave rows;

    // a and b take the column or row as a float.
    template <typename ColumnPart, typename RowPart> void make(int n, ColumnPart a, RowPart b) {
        columns.fillWith(n, [&a](int i) { return a(static_cast<float>(i)); });
        rows.fillWith(n, [&b](int i) { return b(static_cast<float>(i)); });
    }

    float at(int x, int y) const {
        return sinSum(columns, static_cast<size_t>(x), rows, static_cast<size_t>(y));
    }
    float cosAt(int x, int y) const {
        return cosSum(columns, static_cast<size_t>(x), rows, static_cast<size_t>(y));
    }
};

} // namespace glowfield::kit
