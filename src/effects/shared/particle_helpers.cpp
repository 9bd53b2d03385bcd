#include "effects/shared/particle_helpers.h"

#include <algorithm>

#include "effects/effect_state.h"
#include "field/drawing.h"
#include "field/numeric.h"
#include "field/random.h"
#include "field/trig.h"

namespace glowfield {

ParticleColour swarmColour(int p, double tagWeight) {
    // The clock is kept in single precision before it is scaled.
    const float clock = static_cast<float>(shared.frameCounter + 1280u);
    const double a = static_cast<double>(clock) * 0.025 + tagWeight * particles.particleTag[p];
    ParticleColour c;
    c.red = truncToInt(static_cast<double>(fastCos(toFloat(a * 0.23190556f))) * 60);
    c.green = truncToInt(static_cast<double>(fastSin(toFloat(a * 0.39488235f))) * 60);
    c.blue = truncToInt(static_cast<double>(fastCos(toFloat(a * 0.28846708f))) * 60);
    return c;
}

void plotParticle(int p, const ParticleColour& colour) {
    const int32_t x = truncToInt(particles.particleX[p]);
    const int32_t y = truncToInt(particles.particleY[p]);
    if (!isStoredCell(x, y)) {
        return;
    }
    const int cell = cellAt(x, y);
    // Doubling in double: a saturated level must not overflow.
    planes.redVelocity[cell] = toFloat(2.0 * colour.red);
    planes.greenVelocity[cell] = toFloat(2.0 * colour.green);
    planes.blueVelocity[cell] = toFloat(2.0 * colour.blue);
}

int randomBelow(int n) {
    return nextRandom() % std::max(n, 1);
}

void respawnAtRandom(int p) {
    const int n = field.gridSize;
    particles.particleX[p] = static_cast<float>(randomBelow(n - 10) + 5);
    particles.particleY[p] = static_cast<float>(randomBelow(n - 10) + 5);
    particles.particleVX[p] = toFloat((nextRandom() % 5000 - 2500) * 0.000125);
    particles.particleVY[p] = toFloat((nextRandom() % 5000 - 2500) * 0.000125);
}

bool isOutOfRange(int p) {
    return !insideSquare(particles.particleX[p], particles.particleY[p], 2, field.gridSize - 1);
}

bool projectToScratch(float x, float y, float depth) {
    return projectPoint(x, y, depth, shared.scratchX, shared.scratchY);
}

} // namespace glowfield
