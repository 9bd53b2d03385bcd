// Netball: a turning sphere textured with the blue plane.

#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "effects/shared/live_cells.h"
#include "field/drawing.h"
#include "field/field.h"
#include "field/numeric.h"
#include "field/trig.h"

namespace glowfield {

namespace {

// The two passes of Netball share how a pair of angles becomes a point on the turning, blue-textured sphere.
struct SpherePoint {
    double radius = 0;
    int32_t x = 0;
    int32_t y = 0;
};

SpherePoint netballPoint(float u, float v) {
    const int n = field.gridSize;
    const double f = shared.frameCounter;
    SpherePoint point;
    const uint8_t sx = static_cast<uint8_t>(truncToInt((f * 0.05 + u) * 0.31830987732601135 * n) % n);
    const uint8_t sy = truncToByte(static_cast<double>(n) * v * double{0.31830987f});
    const double blue = isStoredCell(sx, sy) ? planes.blue[cellAt(sx, sy)] : 0.0;
    point.radius = blue * 0.125 + 50;
    point.x = truncToInt(static_cast<double>(fastCos(u)) * point.radius + n / 2);
    point.y = truncToInt(static_cast<double>(fastCos(v)) * fastSin(u) * point.radius + n / 2);
    return point;
}

} // namespace

void netball() {
    const double f = shared.frameCounter;
    forEachLiveCell([](int cell) {
        planes.green[cell] = -80;
        planes.greenVelocity[cell] = 0;
        planes.red[cell] = -71;
        planes.redVelocity[cell] = 0;
    });
    // The angles step in single precision, as the sum is kept: 38 values each.
    constexpr float first = 0.08f, step = 0.07853982f, end = 3.0615928f;
    // Lines of latitude, then lines of longitude tinted red by the turn.
    for (float v = first; v < end; v = v + step) {
        SpherePoint previous;
        for (float u = first; u < end; u = u + step) {
            const SpherePoint point = netballPoint(u, v);
            if (previous.x != 0 && point.radius > 0) {
                drawFieldLine(previous.x, previous.y, point.x, point.y, 0, truncToInt(point.radius * 5 - 160),
                              0);
            }
            previous = point;
        }
    }
    for (float u = first; u < end; u = u + step) {
        const int32_t red = truncToInt(fastSin(toFloat(f * 0.05 + u)) * 130.0);
        SpherePoint previous;
        for (float v = first; v < end; v = v + step) {
            const SpherePoint point = netballPoint(u, v);
            if (previous.x != 0 && point.radius > 0) {
                drawFieldLine(previous.x, previous.y, point.x, point.y, red,
                              truncToInt(point.radius * 5 - 160), 0);
            }
            previous = point;
        }
    }
}

} // namespace glowfield
