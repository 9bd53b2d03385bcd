// The table sine of many angles at once, for the effects that take a sine of every cell: the phase fields,
// Letters and Fingerprint. The angles of a column are gathered first, then looked up together, which lets the
// look-ups vectorise.
#pragma once

namespace glowfield {

// sines[k] = fastSin(angles[k]) for k = 0..count-1, the same bits for every input, NaN and infinities
// included.
void fastSinRun(const float* angles, float* sines, int count);

} // namespace glowfield
