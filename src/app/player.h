// The player: start-up, the timer-driven frame loop and shutdown, on an SDL2 display or headless in memory.
#pragma once

#include <SDL.h>

#include "app/command_line.h"
#include "app/display_setup.h"
#include "app/frame_log.h"
#include "app/session.h"
#include "display/surface_writer.h"

namespace glowfield {

// Runs the program for parsed and checked options and returns its exit code: 0 after a normal end, 1 when the
// display cannot be set up, 2 when an output file cannot be written at the end.
int runPlayer(const Options& options);

// One event of a windowed run: its commands for the session (handleEvent), then what it asks of the display.
// While the window is minimised or hidden the frames go on but nothing is drawn; when it is shown again, and
// when the application becomes active, the field is drawn at once. Lost textures are recreated at the next
// lock; after a device reset a new renderer is made (see prepareTick when that fails).
void dispatchEvent(Session& session, const SDL_Event& event, PlayerDisplay& display, SurfaceWriter& writer,
                   FrameLog& log);

// Before each tick: while a device reset has left no renderer, another try to make it every
// rendererRetryTicks ticks (a second); the first failure is reported, and nothing is drawn until it succeeds.
inline constexpr int rendererRetryTicks = 50;
void prepareTick(PlayerDisplay& display, SurfaceWriter& writer, FrameLog& log);

} // namespace glowfield
