// The display steps of start-up on SDL2: starting SDL's video, the window (which also takes the screen) or
// the host's window, the renderer, the display mode and pixel format, and the picture's texture. Each failure
// says in one line what could not be done and ends start-up with exit code 1; shutdown gives the screen back.
// While the player runs, a reset of the renderer's device is recovered by making a new renderer for the same
// window.
#pragma once

#include <SDL.h>

#include <memory>
#include <string>
#include <vector>

#include "app/options.h"
#include "app/sdl_events.h"
#include "platform/sdl_display.h"
#include "platform/x11_host.h"

namespace glowfield {

class LabelTexture;

// A further window showing the same picture, on another monitor.
struct MirrorOutput {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
};

struct PlayerDisplay {
    bool videoStarted = false;
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    std::shared_ptr<SdlSurface> surface; // the 800 x 600 display surface
    bool hidden = false;                 // minimised or hidden: frames run but nothing is drawn
    bool rendererLost = false;    // a device reset left no renderer: nothing is drawn until one is made
    int ticksWithoutRenderer = 0; // ticks since the last try to make one
    bool hosted = false;          // drawing into a window another program made: its size is not ours
    LabelTexture* labelTexture = nullptr; // the name label's texture on the renderer, while the player runs
    std::vector<MirrorOutput> mirrors;    // with --all-monitors: one window on each further monitor
    X11Watch* x11 = nullptr; // the run's watch of the X server, which a hosted display needs for its window
};

// A renderer for the window: SDL's own choice,
// except that an OpenGL renderer drawing through a software rasteriser gives way to SDL's software renderer
// presenting straight to the window: the same pixels for a fraction of the work. A driver named in
// SDL_RENDER_DRIVER is always kept. nullptr (with SDL's reason) when none can be made.
SDL_Renderer* createRenderer(SDL_Window* window);

// SDL's name of the renderer's driver ("software", "opengl", ...), or "none".
const char* rendererName(SDL_Renderer* renderer);

// Whether an OpenGL renderer string names a rasteriser that runs on the CPU.
bool isSoftwareRasteriser(const char* glRenderer);

// After SDL's video started: true when it fell back to a driver that draws nowhere (no display could be
// reached), and why, in the terms of the environment a Linux user sets.
bool reachesNoDisplay();
std::string missingDisplayReason();

// Starts SDL's video with the messages its drivers print while they look for a display silenced (unless
// GLOWFIELD_DEBUG is set). False when it cannot start.
bool initialiseVideoQuietly();

// Runs the steps in order. Returns 0, or 1 after reporting the failed step with everything opened closed
// again; 2 when there is no such monitor. Hosted, the player draws into hostWindow (with hostRoot the root
// window, or the virtual root over it), which it never maps, moves, resizes or raises; otherwise it plays on
// monitor (SDL's index).
int openDisplay(DisplayMode mode, PlayerDisplay& display, uint32_t hostWindow = 0, bool hostRoot = false,
                int monitor = 0);

// The hosted steps after SDL started: the host's window taken over, followed in size, then the renderer.
int openHostedDisplay(PlayerDisplay& display, uint32_t hostWindow);

// True once the host's window is gone (its DestroyNotify, passed by SDL as a window-manager event, or an
// error drawing into it): the hosted run ends with exit code 0.
bool hostWindowClosed(const SDL_Event& event, X11Watch& watch);

// The renderer's device was reset: the texture and the renderer are destroyed and a new renderer is made; the
// texture is recreated on it at the next lock. False (and rendererLost set) when no renderer could be made;
// calling again retries.
bool recreateRenderer(PlayerDisplay& display);

// The window may not grow beyond its display: whatever SDL keeps per window pixel (the software renderer's
// frame buffer, a GL back buffer) would grow with it. Shrinks a larger window to the display's size; true
// when it did.
bool limitWindowSize(PlayerDisplay& display);

// Releases the surface, restores the display mode and closes the window and SDL's video; safe to repeat.
void closeDisplay(PlayerDisplay& display);

} // namespace glowfield
