#include "field/trig.h"

#include <cmath>

namespace glowfield {

namespace {
constexpr float turn = 6.2831855f;
constexpr float tableStep = 0.000025f;
} // namespace

void buildSineTable() {
    for (int i = 0; i < sineTableSize; ++i) {
        sineTable[i] = static_cast<float>(std::sin(static_cast<double>(i) * turn * tableStep));
    }
}

int farSineIndex(double position) {
    // Far beyond any angle the effects use; continue the table's period instead of overflowing.
    if (std::isfinite(position)) {
        return static_cast<int>(std::fmod(std::trunc(position), static_cast<double>(sineTableSize)));
    }
    return 0; // NaN and infinities read entry 0
}

} // namespace glowfield
