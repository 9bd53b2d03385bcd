// Helpers shared by the particle effects: the colour phase and plot of the swarms, the random respawn, the
// range tests that keep particle cells inside the planes, and the projection that leaves its cell in the
// shared scratch pair.
//
// Particle positions are floats that other effects, or a long run, can leave at any value, infinities and NaN
// included. Every cell taken from a particle therefore goes through truncToInt and a range test written so
// that NaN fails it.
#pragma once

#include <cstdint>

#include "field/field.h"

namespace glowfield {

// Colour of a particle as three integer levels.
struct ParticleColour {
    int32_t red = 0;
    int32_t green = 0;
    int32_t blue = 0;
};

// The colour that the swarm effects give particle p: its phase runs with the frame counter and is offset by
// tagWeight times the particle's tag (1 for the volcano, 2 for the ink blot and the swarm).
ParticleColour swarmColour(int p, double tagWeight);

// Sets the three velocities at the particle's cell to twice the colour levels (set, not added), so the wave
// step spreads the colour from there. A particle whose cell is not stored draws nothing.
void plotParticle(int p, const ParticleColour& colour);

// Puts particle p at a random place at least 5 cells from the edge with a small random velocity; four draws,
// in the order X, Y, VX, VY.
void respawnAtRandom(int p);

// nextRandom() modulo n; n below 1 is taken as 1, so that a tiny grid cannot divide by zero.
int randomBelow(int n);

// True when low <= x < high and low <= y < high. NaN is never inside.
inline bool insideSquare(double x, double y, double low, double high) {
    return x >= low && x < high && y >= low && y < high;
}

// The swarm effects' test: the particle has left the cells 2..gridSize-2 (or its position is NaN).
bool isOutOfRange(int p);

// projectPoint with its cell delivered into scratchX and scratchY, where later effects find it.
bool projectToScratch(float x, float y, float depth);

} // namespace glowfield
