#include "app/field_dump.h"

#include <cstring>

#include "field/field.h"

namespace glowfield {

std::vector<uint8_t> dumpField() {
    const float* const all[6] = {planes.red,         planes.green,         planes.blue,
                                 planes.redVelocity, planes.greenVelocity, planes.blueVelocity};
    const int n = field.gridSize;
    std::vector<uint8_t> bytes;
    bytes.reserve(static_cast<size_t>(6) * n * n * 4);
    for (const float* plane : all) {
        for (int x = 0; x < n; ++x) {
            for (int y = 0; y < n; ++y) {
                uint32_t bits;
                std::memcpy(&bits, &plane[cellAt(x, y)], 4);
                for (int b = 0; b < 4; ++b) {
                    bytes.push_back(static_cast<uint8_t>(bits >> (8 * b)));
                }
            }
        }
    }
    return bytes;
}

uint64_t fnv1a64(const uint8_t* data, size_t size) {
    uint64_t hash = 0xcbf29ce484222325ull;
    for (size_t i = 0; i < size; ++i) {
        hash ^= data[i];
        hash *= 0x100000001b3ull;
    }
    return hash;
}

} // namespace glowfield
