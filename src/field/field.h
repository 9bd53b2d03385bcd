// The field: six colour and velocity planes on a square grid, and the damped wave step that spreads and
// decays the colour once per frame.
//
// Cell (X, Y) has X horizontal and Y vertical and lives at X * planeStride + Y, so each X holds a contiguous
// run of Y values. Only the first gridSize cells in each direction are live; the rest of each plane stays 0
// unless an effect writes there deliberately.
#pragma once

#include <cstdint>

namespace glowfield {

inline constexpr int planeStride = 240;                      // floats from one X to the next
inline constexpr int planeCells = planeStride * planeStride; // stored cells per plane

inline constexpr int cellAt(int x, int y) {
    return x * planeStride + y;
}

// True when (x, y) addresses a stored cell; effects that compute a cell from field values check with this.
inline constexpr bool isStoredCell(int64_t x, int64_t y) {
    return x >= 0 && x < planeStride && y >= 0 && y < planeStride;
}

// The six planes. A colour value v shows as level clamp(v + 127): 0 is mid-grey, -127 dark, +128 full.
// Aligned to a cache line, so that the wide loads of the whole-plane passes never straddle two lines wherever
// the linker places the planes.
struct alignas(64) FieldPlanes {
    float red[planeCells];           // colour intensity
    float green[planeCells];         //
    float blue[planeCells];          //
    float redVelocity[planeCells];   // per-step change of the matching colour
    float greenVelocity[planeCells]; //
    float blueVelocity[planeCells];  //
};

// Geometry of the live grid and the scratch values that the wave step leaves behind for effects.
struct FieldState {
    uint16_t gridSize = 154;  // side of the live grid; start-up sets 200 (at most 240, the plane stride)
    uint8_t cellWidth = 4;    // pixels per cell horizontally; start-up sets 4
    uint8_t cellHeight = 4;   // pixels per cell vertically; start-up sets 3
    uint8_t scanX = 0;        // shared 8-bit loop counters: the wave step leaves both at gridSize
    uint8_t scanY = 0;        //
    float laplaceScratch = 0; // last blue velocity increment of the wave step
    float centreScratch = 0;  // four times the blue value of that last cell
};

// Both live in the one world of the effects (effects/world.h), whose reset restores them.
extern FieldPlanes& planes;
extern FieldState& field;

// Start-up fill: clears the live cells and seeds the velocity planes with 9000 rounds of random bumps.
void seedFieldNoise();

// One simulation step: velocity phase over the inner cells, then value phase over all live cells.
void waveStep();

} // namespace glowfield
