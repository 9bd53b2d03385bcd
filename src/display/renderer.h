// Draws the live grid into the display surface: every cell becomes a block of cellWidth x cellHeight pixels
// of one colour, line by line down the surface.
#pragma once

#include <cstdint>

namespace glowfield {

class SurfaceWriter;

struct RendererState {
    SurfaceWriter* writer = nullptr; // the display's writer; nothing is drawn while it is empty
};

extern RendererState renderer;

void setRenderTarget(SurfaceWriter* writer);

// Level of a plane value: 0 below -127, 255 above 127, otherwise trunc(v) + 127. NaN shows as 127.
inline int levelOf(float v) {
    if (v < -127.0f) {
        return 0;
    }
    if (v > 127.0f) {
        return 255;
    }
    if (!(v == v)) {
        return 127;
    }
    return static_cast<int>(v) + 127;
}

// The packed colour of a cell: red level in bits 0..7, green in 8..15, blue in 16..23.
uint32_t packedColourAt(int x, int y);

void renderField();

} // namespace glowfield
