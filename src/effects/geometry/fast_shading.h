// Per-cell helpers for effects that shade every cell each frame: colour blends the compiler can inline, and
// waves along one axis computed once per row or column, so a wave across the grid costs a multiply-add per
// cell instead of a table look-up (sin(A + B) = sin A cos B + cos A sin B).
#pragma once

#include <cstddef>
#include <vector>

#include "effects/kit/colour.h"
#include "field/trig.h"

namespace glowfield::shading {

inline kit::Rgb mix(kit::Rgb a, kit::Rgb b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// Each channel's level scaled by k about black, as kit::shade.
inline kit::Rgb shade(kit::Rgb colour, float k) {
    return {(colour.r + 127.0f) * k - 127.0f, (colour.g + 127.0f) * k - 127.0f,
            (colour.b + 127.0f) * k - 127.0f};
}

// sin and cos of (scale * i + offset) for i = 0..count-1, or of a phase given per index.
struct AxisWave {
    std::vector<float> sine;
    std::vector<float> cosine;

    void fill(int count, float scale, float offset) {
        sine.resize(static_cast<size_t>(count));
        cosine.resize(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i) {
            const float a = scale * static_cast<float>(i) + offset;
            sine[static_cast<size_t>(i)] = fastSin(a);
            cosine[static_cast<size_t>(i)] = fastCos(a);
        }
    }

    void fillPhases(const std::vector<float>& phases) {
        sine.resize(phases.size());
        cosine.resize(phases.size());
        for (size_t i = 0; i < phases.size(); ++i) {
            sine[i] = fastSin(phases[i]);
            cosine[i] = fastCos(phases[i]);
        }
    }
};

// sin(A + B) and cos(A + B) from the two axes' waves at (i, j).
inline float sinSum(const AxisWave& a, size_t i, const AxisWave& b, size_t j) {
    return a.sine[i] * b.cosine[j] + a.cosine[i] * b.sine[j];
}
inline float cosSum(const AxisWave& a, size_t i, const AxisWave& b, size_t j) {
    return a.cosine[i] * b.cosine[j] - a.sine[i] * b.sine[j];
}

} // namespace glowfield::shading
