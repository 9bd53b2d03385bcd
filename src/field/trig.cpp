#include "field/trig.h"

#include <cmath>

namespace glowfield {

float sineTable[sineTableSize];

namespace {
constexpr float turn = 6.2831855f;
constexpr float tableStep = 0.000025f;
constexpr float halfTurnsPerRadian = 0.31830987f; // 1 / pi
constexpr float quarterTurn = 1.5707964f;
} // namespace

void buildSineTable() {
    for (int i = 0; i < sineTableSize; ++i) {
        sineTable[i] = static_cast<float>(std::sin(static_cast<double>(i) * turn * tableStep));
    }
}

float fastSin(float x) {
    float sign = 1.0f;
    float a = x;
    if (x < 0) {
        sign = -1.0f;
        a = -x;
    }
    double position = static_cast<double>(a) * 20000.0 * halfTurnsPerRadian;
    int index = 0;
    if (position < 2147483648.0) {
        // The whole documented range: truncation toward zero, then the table index.
        index = static_cast<int>(position) % sineTableSize;
    } else if (std::isfinite(position)) {
        // Far beyond any angle the effects use; continue the table's period instead of overflowing.
        index = static_cast<int>(std::fmod(std::trunc(position), static_cast<double>(sineTableSize)));
    }
    // NaN fails both tests above and reads entry 0.
    return sign * sineTable[index];
}

float fastCos(float x) {
    return fastSin(static_cast<float>(static_cast<double>(x) + quarterTurn));
}

} // namespace glowfield
