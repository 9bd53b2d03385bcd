// 4: the field mirrored into four quarters with a pulsing zoom.

#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "field/field.h"
#include "field/numeric.h"
#include "field/trig.h"

namespace glowfield {

namespace {

float* const allPlanes[6] = {planes.red,         planes.green,         planes.blue,
                             planes.redVelocity, planes.greenVelocity, planes.blueVelocity};

} // namespace

void four() {
    const uint32_t f = shared.frameCounter;
    // The pulse: grow every sixth frame, shrink three frames later, and a stronger beat every fiftieth.
    float s = 1.0f;
    if (f % 6 == 0) {
        s = 1.1f;
    }
    if (f % 6 == 3) {
        s = 0.90909094f;
    }
    if (f % 50 == 0) {
        s = 1.2f;
    }
    const int n = field.gridSize;
    if (n < 22) {
        return;
    }
    const int h = n / 2;
    for (int x = 10; x < h; ++x) {
        for (int y = 10; y < h; ++y) {
            const int source = cellAt(x, y);
            const int mirrors[3] = {cellAt(x, n - 1 - y), cellAt(n - 1 - x, n - 1 - y), cellAt(n - 1 - x, y)};
            for (float* plane : allPlanes) {
                plane[source] = toFloat(static_cast<double>(s) * plane[source]);
            }
            // The mirrors take the already scaled source, so they pulse with s squared.
            for (int mirror : mirrors) {
                for (float* plane : allPlanes) {
                    plane[mirror] = toFloat(static_cast<double>(s) * plane[source]);
                }
            }
        }
    }
}

} // namespace glowfield
