// Dr Who: the field mirrored and zoomed onto itself.
//
// The copy runs in place, so its loop order shapes the picture.

#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "field/field.h"
#include "field/numeric.h"
#include "field/random.h"
#include "field/trig.h"

namespace glowfield {

namespace {

float* const allPlanes[6] = {planes.red,         planes.green,         planes.blue,
                             planes.redVelocity, planes.greenVelocity, planes.blueVelocity};

} // namespace

void drWho() {
    const int n = field.gridSize;
    // The lower half, zoomed and mirrored, becomes the upper half, fading a little on each pass.
    const double d = n * 0.025;
    for (int x = 1; x <= n - 2; ++x) {
        for (int y = 1; y <= n / 2 - 1; ++y) {
            const uint8_t sx = truncToByte(d + x * 0.95 + 0.5);
            const uint8_t sy = static_cast<uint8_t>(n - truncToInt(d + y * 0.95 + 0.5) - 1);
            if (!isStoredCell(sx, sy)) {
                continue;
            }
            const int source = cellAt(sx, sy);
            const int destination = cellAt(x, y);
            for (float* plane : allPlanes) {
                plane[destination] = toFloat(0.99 * plane[source]);
            }
        }
    }
    // The new upper half is mirrored down over the lower half it came from.
    for (int x = 1; x <= n - 2; ++x) {
        for (int k = 0; k <= n / 2 - 2; ++k) {
            for (float* plane : allPlanes) {
                plane[cellAt(x, n - 2 - k)] = plane[cellAt(x, 1 + k)];
            }
        }
    }
    // Now and then a square of random velocity in the centre starts new ripples.
    if (shared.frameCounter % 75 == 0) {
        for (int x = n / 2 - 8; x <= n / 2 + 7; ++x) {
            for (int y = n / 2 - 8; y <= n / 2 + 7; ++y) {
                const int cell = cellAt(x, y);
                planes.redVelocity[cell] = static_cast<float>(nextRandom() % 90 - 45);
                planes.greenVelocity[cell] = static_cast<float>(nextRandom() % 90 - 45);
                planes.blueVelocity[cell] = static_cast<float>(nextRandom() % 90 - 45);
            }
        }
    }
}

} // namespace glowfield
