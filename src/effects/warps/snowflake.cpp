// Snowflake: a six-fold snowflake copied from one radius of the grid.
//
// Uses sharedAngle as its angle, and leaves it there.

#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "effects/shared/effect_helpers.h"
#include "field/drawing.h"
#include "field/field.h"
#include "field/numeric.h"
#include "field/picture.h"
#include "field/trig.h"

namespace glowfield {

void snowflake() {
    const int half = field.gridSize >> 1;
    for (int r = 5; r < half; ++r) {
        shared.sharedAngle = 0.0f;
        const int source = cellAt(half + r, half);
        const float red = static_cast<float>(truncToInt(planes.red[source]));
        const float green = static_cast<float>(truncToInt(planes.green[source]));
        const float blue = static_cast<float>(truncToInt(planes.blue[source]));
        // Five copies at steps of slightly less than a sixth of a turn; the source itself is the sixth arm.
        for (int copy = 0; copy < 5; ++copy) {
            shared.sharedAngle = toFloat(shared.sharedAngle + static_cast<double>(1.0466667f));
            const int x = truncToInt(fastCos(shared.sharedAngle) * static_cast<double>(r) + half);
            const int y = truncToInt(fastSin(shared.sharedAngle) * static_cast<double>(r) + half);
            const int cell = cellAt(x, y);
            planes.red[cell] = red;
            planes.green[cell] = green;
            planes.blue[cell] = blue;
            planes.redVelocity[cell] = 0.0f;
            planes.greenVelocity[cell] = 0.0f;
            planes.blueVelocity[cell] = 0.0f;
        }
    }
}

} // namespace glowfield
