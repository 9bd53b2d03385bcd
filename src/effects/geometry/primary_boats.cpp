// Primary Boats: three boats of one colour each on Lissajous paths.
//
// Leaves the last boat's centre in spotX/spotY for the effects that come after it.

#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "effects/shared/clock.h"
#include "effects/shared/effect_helpers.h"
#include "field/field.h"
#include "field/numeric.h"
#include "field/trig.h"

namespace glowfield {

namespace {

// Lissajous coordinate of the boats: a sine in -1..1 mapped onto 10 .. 190 of a 200-cell grid.
int32_t boatCoordinate(float s) {
    const int half = field.gridSize >> 1;
    return truncToInt((s * static_cast<double>(0.9f) + 1) * half);
}

} // namespace

void primaryBoats() {
    const double f = clockPlus(0);
    const double g = clockPlus(314);
    shared.spotX = boatCoordinate(fastSin(toFloat(f * 0.01)));
    shared.spotY = boatCoordinate(fastSin(toFloat(f * static_cast<double>(0.014084507f))));
    planes.red[cellAt(shared.spotX, shared.spotY)] = 700.0f;
    shared.spotY = boatCoordinate(fastSin(toFloat(f * static_cast<double>(0.0076923077f))));
    shared.spotX = boatCoordinate(fastSin(toFloat(f * static_cast<double>(0.012658228f))));
    planes.blue[cellAt(shared.spotX, shared.spotY)] = 700.0f;
    shared.spotX = boatCoordinate(fastSin(toFloat(g * static_cast<double>(0.011363637f))));
    shared.spotY = boatCoordinate(fastSin(toFloat(g * static_cast<double>(0.012987013f))));
    planes.green[cellAt(shared.spotX, shared.spotY)] = 700.0f;
}

} // namespace glowfield
