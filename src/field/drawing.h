// Drawing helpers shared by the effects: a 2-D line of single cells, a perspective projection onto the grid,
// a 3-D line of depth-scaled blocks, the dark border and a copy of the field into the picture planes.
#pragma once

#include <cstdint>

#include "field/numeric.h"

namespace glowfield {

// Scratch that the helpers keep between calls.
struct DrawingState {
    float projectionCentre = 0.0f; // gridSize * 0.5
    float cachedDepth = 0.0f;      // depth of the cached scale
    float cachedScale = 0.0f;      // gridSize / (gridSize + cachedDepth), single precision
    uint16_t cachedGrid = 0;       // gridSize the cache was computed for; 0 means no cache
    int32_t lineStartX = 0;        // projected ends of the last drawLine3D; an end whose projection
    int32_t lineStartY = 0;        // fails outright keeps the value of the call before
    int32_t lineEndX = 0;          //
    int32_t lineEndY = 0;          //
    int32_t blockSize = 0;         // block side of the last step drawLine3D drew in front of the viewer
};

extern DrawingState& drawingState; // part of the one world (effects/world.h)

// Sets red, green and blue (each only when its value is nonzero) on the cells of a line walked from
// (x1, y1) to (x0, y0). Points on the outermost rows and columns are not drawn.
void drawFieldLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t redValue, int32_t greenValue,
                   int32_t blueValue);

// Projects (x, y) at a depth onto the grid. Returns true when the cell is inside the border. Both outputs are
// written whenever gridSize + depth >= 1, also when the result is false.
bool projectPoint(float x, float y, float depth, int32_t& outX, int32_t& outY);

// The steps of projectPoint, for callers that project many points and keep the scales of their depths
// themselves; put together as projectPoint does, they give its cells bit for bit.
// A point is projected only when gridSize + depth >= 1 (a depth that is not a number passes).
inline bool isProjectable(int gridSize, float depth) {
    return !(static_cast<double>(static_cast<float>(gridSize)) + depth < 1);
}
// The centre of the projection, gridSize / 2 in single precision.
inline float projectionCentre(int gridSize) {
    return static_cast<float>(gridSize) * 0.5f;
}
// gridSize / (gridSize + depth), kept in single precision.
inline float projectionScale(int gridSize, float depth) {
    const float g = static_cast<float>(gridSize);
    return toFloat(g / (static_cast<double>(g) + depth));
}
// One coordinate scaled about the centre and rounded to the nearest cell.
inline int32_t projectCoordinate(float v, float centre, float scale) {
    const double c = centre;
    return truncToInt((v - c) * scale + c + 0.5);
}

// A line of square blocks whose size and brightness fall with depth, blended into the colour planes by
// maximum. The last block size stays in drawingState.blockSize; a line with no step in front of the viewer
// leaves it as it was.
void drawLine3D(float x0, float y0, float depth0, float x1, float y1, float depth1, int32_t redValue,
                int32_t greenValue, int32_t blueValue, int32_t size);

// The live border cells get -120 in the colours and 0 in the velocities.
void resetBorder();

// Copies the levels of the live cells into the picture planes.
void captureFieldToPicture();

} // namespace glowfield
