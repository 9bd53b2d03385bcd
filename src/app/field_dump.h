// The live cells of the six planes as bytes, for --dump-field and the golden tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace glowfield {

// Little-endian float32 of the live gridSize x gridSize cells, planes in the order red, green, blue,
// redVelocity, greenVelocity, blueVelocity, each with X in the outer loop (960000 bytes for 200 cells).
std::vector<uint8_t> dumpField();

// 64-bit FNV-1a, the hash of the golden tests.
uint64_t fnv1a64(const uint8_t* data, size_t size);

inline uint64_t fnv1a64(const std::vector<uint8_t>& data) {
    return fnv1a64(data.data(), data.size());
}

} // namespace glowfield
