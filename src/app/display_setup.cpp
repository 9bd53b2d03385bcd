#include "app/display_setup.h"

#include <SDL_syswm.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>

#include "app/sdl_events.h"
#include "platform/x11_host.h"

namespace glowfield {

namespace {

// SDL's reason as part of one line: line breaks and other control characters become spaces.
std::string sdlReason() {
    std::string reason = SDL_GetError();
    for (char& c : reason) {
        c = static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
    }
    return reason.empty() ? "no reason given" : reason;
}

// Each failing step says in one line what could not be done, and SDL's reason.
int failWith(const char* what, PlayerDisplay& display) {
    std::fprintf(stderr, "glowfield: %s: %s\n", what, sdlReason().c_str());
    closeDisplay(display);
    return 1;
}

} // namespace

// SDL falls back to drivers that draw nowhere when no display can be reached; only a deliberate choice of
// them through SDL_VIDEODRIVER counts as a display.
bool reachesNoDisplay() {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver || (std::strcmp(driver, "offscreen") != 0 && std::strcmp(driver, "dummy") != 0)) {
        return false;
    }
    const char* requested = std::getenv("SDL_VIDEODRIVER");
    return !requested || std::strstr(requested, driver) == nullptr;
}

// Why no display could be reached, in the terms of the environment a Linux user sets.
std::string missingDisplayReason() {
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if ((!x11 || !*x11) && (!wayland || !*wayland)) {
        return "neither DISPLAY nor WAYLAND_DISPLAY is set";
    }
    std::string named =
        x11 && *x11 ? std::string("DISPLAY=") + x11 : std::string("WAYLAND_DISPLAY=") + wayland;
    for (char& c : named) {
        c = static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
    }
    return "the display " + named + " could not be opened";
}

namespace {

int failWithoutDisplay(const std::string& reason, PlayerDisplay& display) {
    std::fprintf(stderr, "glowfield: no display to play on (%s); use --headless to render without one\n",
                 reason.c_str());
    closeDisplay(display);
    return 1;
}

// The GL_RENDERER string of the current OpenGL context, or nullptr.
const char* currentGlRenderer() {
    if (!SDL_GL_GetCurrentContext()) {
        return nullptr;
    }
    using GetString = const unsigned char* (*)(unsigned int);
    constexpr unsigned int glRendererName = 0x1F01; // GL_RENDERER
    const auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    return getString ? reinterpret_cast<const char*>(getString(glRendererName)) : nullptr;
}

bool drawsThroughSoftwareGl(SDL_Renderer* renderer) {
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(renderer, &info) != 0 || !info.name ||
        std::strncmp(info.name, "opengl", 6) != 0) {
        return false;
    }
    const char* name = currentGlRenderer();
    return name && isSoftwareRasteriser(name);
}

} // namespace

bool limitWindowSize(PlayerDisplay& display) {
    if (!display.window || display.hosted) {
        return false;
    }
    SDL_Rect bounds{};
    const int index = SDL_GetWindowDisplayIndex(display.window);
    if (SDL_GetDisplayBounds(index < 0 ? 0 : index, &bounds) != 0 || bounds.w <= 0 || bounds.h <= 0) {
        return false;
    }
    int width = 0, height = 0;
    SDL_GetWindowSize(display.window, &width, &height);
    if (width <= bounds.w && height <= bounds.h) {
        return false;
    }
    SDL_SetWindowSize(display.window, std::min(width, bounds.w), std::min(height, bounds.h));
    return true;
}

bool hostWindowClosed(const SDL_Event& event, X11Watch& watch) {
    if (watch.hostWindow == 0) {
        return false;
    }
    if (event.type == SDL_SYSWMEVENT && event.syswm.msg && event.syswm.msg->subsystem == SDL_SYSWM_X11 &&
        isX11Destruction(&event.syswm.msg->msg.x11.event, watch.hostWindow)) {
        watch.hostWindowGone = true;
    }
    return watch.hostWindowGone;
}

const char* rendererName(SDL_Renderer* renderer) {
    SDL_RendererInfo info;
    return renderer && SDL_GetRendererInfo(renderer, &info) == 0 && info.name ? info.name : "none";
}

bool isSoftwareRasteriser(const char* glRenderer) {
    for (const char* cpuRasteriser : {"llvmpipe", "softpipe", "swrast", "Software Rasterizer"}) {
        if (std::strstr(glRenderer, cpuRasteriser)) {
            return true;
        }
    }
    return false;
}

// On a CPU rasteriser, OpenGL spends several threads per frame on a plain copy of the picture. The software
// renderer copies it once and hands it to the window system; SDL's framebuffer must then not be an OpenGL
// texture itself.
SDL_Renderer* createSoftwareRenderer(SDL_Window* window) {
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
    return renderer ? renderer : SDL_CreateRenderer(window, -1, 0);
}

// An X server without direct rendering can only give OpenGL on the processor, and finding that out by making
// an OpenGL renderer costs a quarter of a second of start-up, so such a server gets the software renderer at
// once.
bool onX11WithoutDirectRendering(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    return SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11 &&
           !x11OffersDirectRendering(info.info.x11.display);
}

SDL_Renderer* createRenderer(SDL_Window* window) {
    // A choice made in the environment always wins.
    const char* chosen = SDL_GetHint(SDL_HINT_RENDER_DRIVER);
    const bool choiceMade = chosen && *chosen;
    if (!choiceMade && onX11WithoutDirectRendering(window)) {
        return createSoftwareRenderer(window);
    }
    SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, 0);
    if (renderer && !choiceMade && drawsThroughSoftwareGl(renderer)) {
        SDL_DestroyRenderer(renderer);
        return createSoftwareRenderer(window);
    }
    return renderer;
}

// Starts SDL's video. The libraries it probes (X11, Wayland and their helpers) may print lines of their own
// while they look for a display; those go nowhere unless GLOWFIELD_DEBUG is set, so that a failure reads as
// the player's one line.
bool initialiseVideoQuietly() {
    const char* debug = std::getenv("GLOWFIELD_DEBUG");
    if (debug && *debug) {
        return SDL_Init(SDL_INIT_VIDEO) == 0;
    }
    std::fflush(stderr);
    const int saved = dup(STDERR_FILENO);
    const int quiet = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (saved >= 0 && quiet >= 0) {
        dup2(quiet, STDERR_FILENO);
    }
    const bool started = SDL_Init(SDL_INIT_VIDEO) == 0;
    if (saved >= 0 && quiet >= 0) {
        std::fflush(stderr);
        dup2(saved, STDERR_FILENO);
    }
    if (quiet >= 0) {
        close(quiet);
    }
    if (saved >= 0) {
        close(saved);
    }
    return started;
}

namespace {

int finishDisplay(DisplayMode mode, PlayerDisplay& display, bool hasMode, SDL_DisplayMode closest);

// SDL does not follow the size of a window it did not make: the player asks for the host window's structure
// and exposure events on SDL's own connection, so that SDL sees its size changes. Never for button presses,
// which another client may hold (asking for them too is an error).
bool followHostWindow(SDL_Window* window, const X11Watch& watch) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11 ||
        !followX11Window(info.info.x11.display, info.info.x11.window) || watch.hostGone()) {
        return false;
    }
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
    return true;
}

} // namespace

int openDisplay(DisplayMode mode, PlayerDisplay& display, uint32_t hostWindow, bool hostRoot, int monitor) {
    // SIGINT and SIGTERM are the player's own: they end it like Esc.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_APP_NAME, "glowfield");
    const bool hosted = mode == DisplayMode::hosted;
    if (hosted) {
        // The host is the screen saver: the player must not hold it off. Its window is an X11 one.
        SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
        if (!std::getenv("SDL_VIDEODRIVER")) {
            SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
        }
    }
    if (!initialiseVideoQuietly()) {
        return failWithoutDisplay(missingDisplayReason() + ": " + sdlReason(), display);
    }
    display.videoStarted = true;
    if (reachesNoDisplay()) {
        return failWithoutDisplay(missingDisplayReason(), display);
    }

    if (hosted) {
        return openHostedDisplay(display, hostRoot ? x11RootWindow() : hostWindow);
    }

    // The screen is taken when the window is made. Its windowed size is already the size it will have on the
    // screen (the desktop, or the 800 x 600 mode when exclusive), so that it covers the screen also where no
    // window manager acts on the full-screen request. Hidden until the mode is settled.
    if (const int monitors = SDL_GetNumVideoDisplays(); monitor < 0 || monitor >= monitors) {
        std::fprintf(stderr, "glowfield: there is no monitor %d; this screen has %d (see --list-monitors)\n",
                     monitor, monitors);
        closeDisplay(display);
        return 2;
    }
    const SDL_DisplayMode wanted{0, displayWidth, displayHeight, 0, nullptr};
    SDL_DisplayMode closest{0, displayWidth, displayHeight, 0, nullptr};
    const bool hasMode = SDL_GetClosestDisplayMode(monitor, &wanted, &closest) != nullptr;
    SDL_Rect area{static_cast<int>(SDL_WINDOWPOS_CENTERED_DISPLAY(monitor)),
                  static_cast<int>(SDL_WINDOWPOS_CENTERED_DISPLAY(monitor)), displayWidth, displayHeight};
    Uint32 flags = SDL_WINDOW_HIDDEN;
    if (mode != DisplayMode::window && SDL_GetDisplayBounds(monitor, &area) == 0) {
        flags |= SDL_WINDOW_BORDERLESS;
        if (mode == DisplayMode::desktop) {
            flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
        } else {
            flags |= SDL_WINDOW_FULLSCREEN;
            area.w = closest.w;
            area.h = closest.h;
        }
    }
    display.window = SDL_CreateWindow("glowfield", area.x, area.y, area.w, area.h, flags);
    if (!display.window) {
        return failWith("the window could not be made", display);
    }

    return finishDisplay(mode, display, hasMode, closest);
}

namespace {

// The steps after the window: the renderer, the display mode, the picture's scaling and its texture.
int finishDisplay(DisplayMode mode, PlayerDisplay& display, bool hasMode, SDL_DisplayMode closest) {
    const bool hosted = mode == DisplayMode::hosted;
    // Textures made from here on are scaled with hard edges.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    display.renderer = createRenderer(display.window);
    if (!display.renderer) {
        return failWith("the renderer could not be made", display);
    }

    // The display mode: 800 x 600 (or the nearest larger mode) when exclusive; in every mode a pixel format
    // that the renderer takes without converting, and the picture scaled with its aspect.
    if (mode == DisplayMode::exclusive &&
        (!hasMode || SDL_SetWindowDisplayMode(display.window, &closest) != 0)) {
        return failWith("the display mode could not be set", display);
    }
    SDL_RendererInfo info;
    const Uint32 format = SDL_GetRendererInfo(display.renderer, &info) == 0 ? chooseTextureFormat(info) : 0;
    if (format == 0) {
        SDL_SetError("the renderer offers no 24- or 32-bit RGB texture format");
        return failWith("the display mode could not be set", display);
    }
    if (SDL_RenderSetLogicalSize(display.renderer, displayWidth, displayHeight) != 0) {
        return failWith("the display mode could not be set", display);
    }
    if (!hosted) {
        SDL_ShowWindow(display.window);
        SDL_RaiseWindow(display.window);
    }

    // A renderer that draws in software scales with SDL's general copy, at several times the output's size
    // in processor time: the picture then goes straight into the window's surface, scaled by repeating
    // rows, and its cost stays near the cost of writing the output once.
    const Uint32 windowFormat =
        (info.flags & SDL_RENDERER_SOFTWARE) != 0 ? windowPictureFormat(display.window) : 0;
    display.surface = std::make_shared<SdlSurface>(display.renderer, windowFormat ? windowFormat : format,
                                                   displayWidth, displayHeight);
    if (windowFormat) {
        display.surface->presentToWindow(display.window);
    }
    if (!display.surface->create()) {
        return failWith("the picture's texture could not be made", display);
    }
    return 0;
}

} // namespace

int openHostedDisplay(PlayerDisplay& display, uint32_t hostWindow) {
    if (hostWindow == 0 || !display.x11) {
        SDL_SetError(display.x11 ? "no root window" : "no watch of the X server");
        return failWith("the window to draw in could not be found", display);
    }
    // A window id that names no window (or a preview the user clicked away) makes SDL's first requests fail
    // with BadWindow: the error handler takes it as the host's window being gone, and the run ends with one
    // line instead of Xlib's report.
    X11Watch& watch = *display.x11;
    watch.hostWindow = hostWindow;
    watch.hostWindowGone = false;
    display.window = SDL_CreateWindowFrom(reinterpret_cast<const void*>(static_cast<uintptr_t>(hostWindow)));
    const auto noSuchWindow = [&display, &watch, hostWindow] {
        std::fprintf(stderr, "glowfield: there is no window 0x%lx to draw in\n",
                     static_cast<unsigned long>(hostWindow));
        // SDL's goodbye to the window fails the same way.
        closeDisplay(display);
        watch.hostWindow = 0;
        return 1;
    };
    if (watch.hostWindowGone) {
        return noSuchWindow();
    }
    char named[64];
    std::snprintf(named, sizeof named, "the window 0x%lx", static_cast<unsigned long>(hostWindow));
    if (!display.window) {
        const int code = failWith((std::string(named) + " could not be drawn in").c_str(), display);
        watch.hostWindow = 0;
        return code;
    }
    display.hosted = true;
    if (!followHostWindow(display.window, watch)) {
        return watch.hostWindowGone ? noSuchWindow()
                                    : failWith((std::string(named) + " is no X11 window").c_str(), display);
    }
    return finishDisplay(DisplayMode::hosted, display, false, SDL_DisplayMode{});
}

bool recreateRenderer(PlayerDisplay& display) {
    // The texture belongs to the old renderer and goes first.
    if (display.surface) {
        display.surface->detachRenderer();
    }
    if (display.renderer) {
        SDL_DestroyRenderer(display.renderer);
        display.renderer = nullptr;
    }
    display.renderer = display.window ? createRenderer(display.window) : nullptr;
    if (display.renderer && SDL_RenderSetLogicalSize(display.renderer, displayWidth, displayHeight) != 0) {
        SDL_DestroyRenderer(display.renderer);
        display.renderer = nullptr;
    }
    display.rendererLost = display.renderer == nullptr;
    if (display.renderer && display.surface) {
        display.surface->attachRenderer(display.renderer);
    }
    return !display.rendererLost;
}

void closeDisplay(PlayerDisplay& display) {
    // The textures belong to the renderers: they go first, even if a writer still holds the surface.
    if (display.surface) {
        display.surface->releaseMirrors();
        display.surface->release();
        display.surface.reset();
    }
    for (const MirrorOutput& mirror : display.mirrors) {
        SDL_DestroyRenderer(mirror.renderer);
        SDL_DestroyWindow(mirror.window);
    }
    display.mirrors.clear();
    if (display.renderer) {
        SDL_DestroyRenderer(display.renderer);
        display.renderer = nullptr;
    }
    // Destroying the window leaves full screen and restores the display mode.
    if (display.window) {
        SDL_DestroyWindow(display.window);
        display.window = nullptr;
    }
    if (display.videoStarted) {
        SDL_Quit();
        display.videoStarted = false;
    }
}

} // namespace glowfield
