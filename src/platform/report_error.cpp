#include "platform/report_error.h"

#include <cstdio>

namespace glowfield {

std::string formatError(const char* message, uint32_t code) {
    char text[512];
    std::snprintf(text, sizeof text, "%s (0x%08x)", message, static_cast<unsigned>(code));
    return text;
}

void reportError(const char* message, uint32_t code) {
    // Like every message of the player: one line that says whose it is.
    std::fprintf(stderr, "glowfield: %s\n", formatError(message, code).c_str());
}

} // namespace glowfield
