// The frame step and the work of each timer tick, shared by the windowed player, headless runs, tests and
// benchmarks.
#pragma once

#include <cstdint>

#include "app/session.h"

namespace glowfield {

inline constexpr int tickInterval = 20; // milliseconds between frame steps
inline constexpr int firstTickDelay = 100;

// The field geometry and helpers of start-up: cell size 4 x 3 on a 200-cell grid, the random seed, the
// start-up noise and the sine table, in that order.
void prepareField(int32_t seed);

// Wave step, current effect (with the sound of the tick), frame counter + 1, render.
void frameStep();

// What one timer tick does: the next frame of sound (when listening), the automatic-switch test, then one
// frame step. A run without a player (tests, tools) passes a fresh session: every entry playable, nothing
// locked.
void timerTick(const Session& session);

// The state that key z leaves, with effect index current: frameCounter 1, switchPeriod 3000000, sequence
// cursor 0. index must be 0..241.
void startWithEffect(Session& session, int index);

// Effect index current from the first frame, with the switching period and the lock left as they are: the
// automatic changes go on from it a full period later. index must be 0..241.
void startSwitchingFrom(int index);

} // namespace glowfield
