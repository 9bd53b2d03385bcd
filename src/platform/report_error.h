// Failure reports of display operations: "message (0x%08x)" on standard error.
#pragma once

#include <cstdint>
#include <string>

namespace glowfield {

std::string formatError(const char* message, uint32_t code);

void reportError(const char* message, uint32_t code);

} // namespace glowfield
