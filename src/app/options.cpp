// How input is echoed in the player's messages: quoted, control characters escaped, cut at a limit.
#include "app/options.h"

namespace glowfield {

namespace {

// Escapes text up to limit characters; says whether it had more.
bool escapeInto(const std::string& text, size_t limit, std::string& out) {
    size_t shown = 0;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        // Cut between characters, never inside one.
        if ((byte & 0xc0) != 0x80 && shown++ == limit) {
            return true;
        }
        if (byte < 0x20 || byte == 0x7f) {
            static const char hex[] = "0123456789abcdef";
            out += "\\x";
            out += hex[byte >> 4];
            out += hex[byte & 15];
        } else {
            out += c;
        }
    }
    return false;
}

} // namespace

std::string escaped(const std::string& text, size_t limit) {
    std::string out;
    return escapeInto(text, limit, out) ? out + "..." : out;
}

std::string quoted(const std::string& text, size_t limit) {
    std::string out = "'";
    const bool cut = escapeInto(text, limit, out);
    return out + (cut ? "'..." : "'");
}

} // namespace glowfield
