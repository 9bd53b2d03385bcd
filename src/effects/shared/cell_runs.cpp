#include "effects/shared/cell_runs.h"

#include <cmath>
#include <cstdint>

#include "field/trig.h"

namespace glowfield {

namespace {

// fastSin's scale from radians to table steps: 20000 steps per half turn, times 1 / pi in single precision.
constexpr double stepsPerRadian = 20000.0;
constexpr float halfTurnsPerRadian = 0.31830987f;
// Positions from here on (and NaN) take fastSin's own path.
constexpr double farPosition = 2147483648.0;

constexpr int chunk = 256;

} // namespace

// truncToInt as selects: NaN to 0, then saturation at the ends of the 32-bit range. Widening to double and
// the selects are separate loops, as together they do not vectorise.
__attribute__((target_clones("avx512f", "avx2", "default"))) void
truncToIntRun(const float* __restrict values, int32_t* __restrict whole, int count) {
    double wide[chunk];
    for (int start = 0; start < count; start += chunk) {
        const int length = count - start < chunk ? count - start : chunk;
        for (int k = 0; k < length; ++k) {
            wide[k] = values[start + k];
        }
        for (int k = 0; k < length; ++k) {
            double v = wide[k] == wide[k] ? wide[k] : 0.0;
            v = v < 2147483647.0 ? v : 2147483647.0;
            v = v > -2147483648.0 ? v : -2147483648.0;
            whole[start + k] = static_cast<int32_t>(v);
        }
    }
}

// The four steps of fastSin as four loops, each of which vectorises: the table position of |angle|, its
// index, the signed look-up, and fastSin itself for the rare angle far beyond any turn the effects use. The
// clones do the same IEEE operations on more angles at once.
__attribute__((target_clones("avx512f", "avx2", "default"))) void
fastSinRun(const float* __restrict angles, float* __restrict sines, int count) {
    double position[chunk];
    uint32_t index[chunk];
    for (int start = 0; start < count; start += chunk) {
        const int length = count - start < chunk ? count - start : chunk;
        const float* const in = angles + start;
        float* const out = sines + start;
        for (int k = 0; k < length; ++k) {
            position[k] = static_cast<double>(std::fabs(in[k])) * stepsPerRadian *
                          static_cast<double>(halfTurnsPerRadian);
        }
        for (int k = 0; k < length; ++k) {
            const double whole = position[k] < farPosition ? position[k] : 0.0;
            index[k] = static_cast<uint32_t>(static_cast<int32_t>(whole)) % sineTableSize;
        }
        for (int k = 0; k < length; ++k) {
            const float sine = sineTable[index[k]];
            out[k] = in[k] < 0 ? -sine : sine;
        }
        for (int k = 0; k < length; ++k) {
            if (!(position[k] < farPosition)) {
                out[k] = fastSin(in[k]);
            }
        }
    }
}

} // namespace glowfield
