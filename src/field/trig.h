// Table trigonometry: one full turn in 40000 single-precision steps, and the absolute value that the drawing
// code uses on floats.
#pragma once

namespace glowfield {

inline constexpr int sineTableSize = 40000;

extern float (&sineTable)[sineTableSize]; // part of the one world (effects/world.h)

// Fills sineTable; called once at start-up.
void buildSineTable();

// The table index of a position of 2^31 steps or more (or NaN): the period continued, 0 for NaN and
// infinities. Out of line, as effects never reach it.
int farSineIndex(double position);

// Sine by table look-up. The angle is rounded down to the table step; the function is odd. Any input, NaN and
// infinities included, gives a value from the table (NaN and infinities give 0). Inline, as effects take it
// for every cell.
inline float fastSin(float x) {
    constexpr float halfTurnsPerRadian = 0.31830987f; // 1 / pi
    float sign = 1.0f;
    float a = x;
    if (x < 0) {
        sign = -1.0f;
        a = -x;
    }
    const double position = static_cast<double>(a) * 20000.0 * halfTurnsPerRadian;
    // The whole documented range: truncation toward zero, then the table index.
    const int index =
        position < 2147483648.0 ? static_cast<int>(position) % sineTableSize : farSineIndex(position);
    return sign * sineTable[index];
}

// fastSin of x + pi/2, the sum rounded to single precision first.
inline float fastCos(float x) {
    constexpr float quarterTurn = 1.5707964f;
    return fastSin(static_cast<float>(static_cast<double>(x) + quarterTurn));
}

inline float absf(float x) {
    return x < 0 ? -x : x;
}

} // namespace glowfield
