// Table trigonometry: one full turn in 40000 single-precision steps, and the absolute value that the drawing
// code uses on floats.
#pragma once

namespace glowfield {

inline constexpr int sineTableSize = 40000;

extern float sineTable[sineTableSize];

// Fills sineTable; called once at start-up.
void buildSineTable();

// Sine by table look-up. The angle is rounded down to the table step; the function is odd. Any input, NaN and
// infinities included, gives a value from the table (NaN and infinities give 0).
float fastSin(float x);

// fastSin of x + pi/2, the sum rounded to single precision first.
float fastCos(float x);

inline float absf(float x) {
    return x < 0 ? -x : x;
}

} // namespace glowfield
