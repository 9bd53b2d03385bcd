// Points and lines in 3-D for the model effects: rotations, a perspective projection about the grid's
// centre, and lines of depth-scaled blocks drawn by the field's 3-D line, which leaves no trace in the state
// that the older effects share.
#pragma once

#include "effects/kit/canvas.h"

namespace glowfield::kit {

struct Vec3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

inline Vec3 operator+(Vec3 a, Vec3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Vec3 operator-(Vec3 a, Vec3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Vec3 operator*(Vec3 a, float k) {
    return {a.x * k, a.y * k, a.z * k};
}

// Rotations by an angle in radians (table sine), about the axis through the origin.
Vec3 rotateX(Vec3 v, float angle);
Vec3 rotateY(Vec3 v, float angle);
Vec3 rotateZ(Vec3 v, float angle);

// Model space: origin at the grid's centre, x right, y down, z away from the viewer, in cells. A point at
// z = 0 shows at its own size; at z = n it shows half as large.
struct Projected {
    float x = 0.0f;       // cell
    float y = 0.0f;       //
    float scale = 0.0f;   // n / (n + z)
    bool visible = false; // in front of the viewer (n + z >= 1) and finite
};
Projected project(const EffectContext& c, Vec3 p);

// A model line of blocks, smaller and darker with depth (towards -60 far away), blended into the colours by
// maximum: the colour as given at depth 0, blocks of 'size' cells at depth 0. Uses the field's 3-D line
// drawing.
void modelLine(const EffectContext& c, Vec3 a, Vec3 b, Rgb colour, int size = 2);

} // namespace glowfield::kit
