// Speckle: random specks that brighten their locally dominant colour and clear the other two.
//
// Leaves its last channel choice in lastChannel.

#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "effects/shared/effect_helpers.h"
#include "field/drawing.h"
#include "field/field.h"
#include "field/numeric.h"
#include "field/picture.h"
#include "field/random.h"
#include "field/trig.h"

namespace glowfield {

namespace {

// The channel whose colour is strictly greatest at the cell and above 20; 0 when none is.
int32_t speckChannel(int cell) {
    const float r = planes.red[cell];
    const float g = planes.green[cell];
    const float b = planes.blue[cell];
    int32_t channel = 0;
    if (r > g && r > b && r > 20) {
        channel = 1;
    }
    if (g > r && g > b && g > 20) {
        channel = 2;
    }
    if (b > g && b > r && b > 20) {
        channel = 3;
    }
    return channel;
}

// Raises a colour below 100 halfway toward the target; a colour already at 100 or more is kept.
void pullUp(float& colour, double target) {
    if (!(colour >= 100)) {
        colour = toFloat((colour + target) * 0.5);
    }
}

// Brightens the speck at (x, y) and its four neighbours in one colour and clears the other two at its centre.
// Green pulls its centre toward 150 rather than 100.
void brightenSpeck(int x, int y, float* colour, float* other1, float* other2, double centreTarget) {
    pullUp(colour[cellAt(x, y)], centreTarget);
    pullUp(colour[cellAt(x, y - 1)], 100);
    pullUp(colour[cellAt(x, y + 1)], 100);
    pullUp(colour[cellAt(x + 1, y)], 100);
    pullUp(colour[cellAt(x - 1, y)], 100);
    other1[cellAt(x, y)] = 0.0f;
    other2[cellAt(x, y)] = 0.0f;
}

} // namespace

void speckle() {
    const int n = field.gridSize;
    for (int attempt = 0; attempt < 500; ++attempt) {
        const int x = nextRandom() % (n - 12) + 5;
        const int y = nextRandom() % (n - 12) + 5;
        shared.lastChannel = speckChannel(cellAt(x, y));
        switch (shared.lastChannel) {
        case 1:
            brightenSpeck(x, y, planes.red, planes.blue, planes.green, 100);
            break;
        case 2:
            brightenSpeck(x, y, planes.green, planes.blue, planes.red, 150);
            break;
        case 3:
            brightenSpeck(x, y, planes.blue, planes.red, planes.green, 100);
            break;
        default:
            break;
        }
    }
}

} // namespace glowfield
