// The display steps of start-up on SDL2, each standing in for a step of the classic full-screen set-up and
// failing with that step's text: starting SDL's video (registering the window class), the window (which also
// takes the screen), the renderer (the display object), the display mode and pixel format, and the display
// surface. Every failure ends start-up with exit code 1; shutdown gives the screen back.
#pragma once

#include <SDL.h>

#include <memory>

#include "app/command_line.h"
#include "platform/sdl_display.h"

namespace glowfield {

struct PlayerDisplay {
    bool videoStarted = false;
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    std::shared_ptr<SdlSurface> surface; // the 800 x 600 display surface
};

// Runs the steps in order. Returns 0, or 1 after reporting the failed step with everything opened closed
// again.
int openDisplay(DisplayMode mode, PlayerDisplay& display);

// Releases the surface, restores the display mode and closes the window and SDL's video; safe to repeat.
void closeDisplay(PlayerDisplay& display);

} // namespace glowfield
