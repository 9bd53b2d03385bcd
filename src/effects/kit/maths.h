// Deterministic maths for effects: table sine and cosine (the same bits on every build) and an arctangent
// made only of exact operations, in place of the C library's functions.
#pragma once

#include "field/numeric.h"
#include "field/trig.h"

namespace glowfield::kit {

inline constexpr float pi = 3.14159265f;
inline constexpr float twoPi = 6.28318531f;

// Angle of (x, y) in radians, -pi..pi, within about 0.0002 of atan2(y, x); 0 for (0, 0) and for NaN.
float angleOf(float x, float y);

inline float lerp(float a, float b, float t) {
    return a + (b - a) * t;
}

inline float smoothstep(float edge0, float edge1, float x) {
    float t = (x - edge0) / (edge1 - edge0);
    t = t < 0.0f ? 0.0f : t > 1.0f ? 1.0f : t;
    return t * t * (3.0f - 2.0f * t);
}

// The smaller and the larger of two values, inline for per-cell loops (the library's fminf and fmaxf are
// calls).
inline float lesser(float a, float b) {
    return a < b ? a : b;
}

inline float greater(float a, float b) {
    return a > b ? a : b;
}

// Largest whole number at or below v, for the bounded coordinates of per-cell passes (saturating like
// truncToInt far outside them).
inline float floorOf(float v) {
    const float t = static_cast<float>(truncToInt(v));
    return t > v ? t - 1.0f : t;
}

// x wrapped into 0..m for m > 0 (also for negative x).
inline int wrap(int x, int m) {
    const int r = x % m;
    return r < 0 ? r + m : r;
}

} // namespace glowfield::kit
