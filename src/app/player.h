// The player: start-up, the timer-driven frame loop and shutdown, on an SDL2 display or headless in memory.
#pragma once

#include "app/command_line.h"

namespace glowfield {

// Runs the program for parsed and checked options and returns its exit code: 0 after a normal end, 1 when the
// display cannot be set up, 2 when an output file cannot be written at the end.
int runPlayer(const Options& options);

// From now on SIGINT and SIGTERM end the run the way Esc does.
void installStopSignals();

} // namespace glowfield
