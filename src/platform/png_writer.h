// Writes pictures as PNG files so that frames can be looked at.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace glowfield {

class MemorySurface;

// Encodes 8-bit RGB rows (3 bytes a pixel, no padding) as a PNG file's bytes.
bool encodeRgbPng(int width, int height, const std::vector<uint8_t>& rgb, std::vector<uint8_t>& out,
                  std::string& error);

// Writes 8-bit RGB rows as a PNG file, whole or not at all. Returns false and a reason on failure.
bool writeRgbPng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb,
                 std::string& error);

// The surface's pixels turned into 8-bit RGB through its masks.
std::vector<uint8_t> surfaceToRgb(const MemorySurface& surface);

bool writeSurfacePng(const std::string& path, const MemorySurface& surface, std::string& error);

} // namespace glowfield
