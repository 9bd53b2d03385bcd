// Numeric conversions shared by every subsystem.
//
// The field holds arbitrary floats: effects feed plane values back into coordinates, and keys can double a
// value until it is infinite. A plain cast of such a value to an integer is undefined behaviour, so every
// float-to-integer conversion of a value that can come from the field goes through truncToInt, which
// truncates toward zero like the cast but saturates at the ends of the 32-bit range and turns NaN into 0.
#pragma once

#include <cstdint>
#include <limits>

namespace glowfield {

// Truncation toward zero with saturation; NaN gives 0.
inline int32_t truncToInt(double value) {
    if (!(value == value)) {
        return 0;
    }
    if (value >= 2147483647.0) {
        return std::numeric_limits<int32_t>::max();
    }
    if (value <= -2147483648.0) {
        return std::numeric_limits<int32_t>::min();
    }
    return static_cast<int32_t>(value);
}

// The same rule for the few places that need a wider range (differences of saturated coordinates).
inline int64_t truncToInt64(double value) {
    if (!(value == value)) {
        return 0;
    }
    if (value >= 9.2233720368547748e18) {
        return std::numeric_limits<int64_t>::max();
    }
    if (value <= -9.2233720368547758e18) {
        return std::numeric_limits<int64_t>::min();
    }
    return static_cast<int64_t>(value);
}

// A value kept in single precision: intermediates are computed in double and rounded here where a float is
// stored, kept or passed.
inline float toFloat(double value) {
    return static_cast<float>(value);
}

// The low byte of a truncated value, for indices that the drawing code keeps as 8-bit counters.
inline uint8_t truncToByte(double value) {
    return static_cast<uint8_t>(truncToInt(value) & 0xff);
}

} // namespace glowfield
