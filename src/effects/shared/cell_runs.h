// Per-cell arithmetic on a run of cells at once, written so that it vectorises: the table sine for the
// effects that take a sine of every cell (the phase fields, Letters, Fingerprint), and truncToInt for the
// copies that truncate every cell (Tunnel, Accelerate). The values of a column are gathered first and worked
// out together.
#pragma once

#include <cstdint>

namespace glowfield {

// whole[k] = truncToInt(values[k]) for k = 0..count-1, the same for every input, NaN and infinities included.
void truncToIntRun(const float* values, int32_t* whole, int count);

// sines[k] = fastSin(angles[k]) for k = 0..count-1, the same bits for every input, NaN and infinities
// included.
void fastSinRun(const float* angles, float* sines, int count);

} // namespace glowfield
