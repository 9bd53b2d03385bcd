#include "effects/kit/maths.h"

namespace glowfield::kit {

float angleOf(float x, float y) {
    const float ax = x < 0 ? -x : x;
    const float ay = y < 0 ? -y : y;
    const float big = ax > ay ? ax : ay;
    if (!(big > 0.0f) || big != big) {
        return 0.0f;
    }
    if (big > 3.0e38f) { // infinities: the direction of the infinite parts
        return angleOf(ax > 3.0e38f ? (x < 0 ? -1.0f : 1.0f) : 0.0f,
                       ay > 3.0e38f ? (y < 0 ? -1.0f : 1.0f) : 0.0f);
    }
    // atan on 0..1 by a minimax polynomial of t = small / big, then the octant.
    const float t = (ax < ay ? ax : ay) / big;
    const float s = t * t;
    float a = ((-0.0464964749f * s + 0.15931422f) * s - 0.327622764f) * s * t + t;
    if (ay > ax) {
        a = 1.57079637f - a;
    }
    if (x < 0) {
        a = pi - a;
    }
    return y < 0 ? -a : a;
}

} // namespace glowfield::kit
