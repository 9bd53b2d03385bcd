#include "app/display_setup.h"

#include <X11/Xlib.h>
#include <X11/Xproto.h>
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/sdl_events.h"
#include "platform/report_error.h"

namespace glowfield {

namespace {

// The steps that classically show a message box say only their text; SDL's reason follows on its own line.
int failWithText(const char* text, PlayerDisplay& display) {
    std::fprintf(stderr, "%s\n  SDL: %s\n", text, SDL_GetError());
    closeDisplay(display);
    return 1;
}

int failWithReport(const char* text, PlayerDisplay& display) {
    reportError(text, result::generic);
    std::fprintf(stderr, "  SDL: %s\n", SDL_GetError());
    closeDisplay(display);
    return 1;
}

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

int failWithoutDisplay(const char* reason, PlayerDisplay& display) {
    std::fprintf(stderr,
                 "RegisterClassEx failed.\nglowfield: no display available (%s); use --headless to render "
                 "without one\n",
                 reason);
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

// The X error handler in place before ours: Xlib's own, which reports the error and ends the process.
XErrorHandler previousXErrorHandler = nullptr;

// While waiting for events SDL wakes itself by sending an event to its own window over a second connection.
// When the server handles that request only after the window was destroyed at shutdown, it answers with
// BadWindow, which Xlib's own handler would turn into exit code 1 while SDL closes down. Nothing is lost by
// such a late wake-up; every other error goes to the handler that was there before.
int onXError(Display* display, XErrorEvent* error) {
    if (error->error_code == BadWindow && error->request_code == X_SendEvent) {
        return 0;
    }
    return previousXErrorHandler ? previousXErrorHandler(display, error) : 0;
}

// Installed before SDL starts, so that SDL's own handler passes errors on to it and SDL puts it back when
// it quits. Xlib is looked up at run time, as SDL does: without it there is no X display to guard.
void tolerateLateWakeUps() {
    void* xlib = dlopen("libX11.so.6", RTLD_NOW | RTLD_GLOBAL);
    if (!xlib) {
        return;
    }
    using SetErrorHandler = XErrorHandler (*)(XErrorHandler);
    const auto setErrorHandler = reinterpret_cast<SetErrorHandler>(dlsym(xlib, "XSetErrorHandler"));
    if (!setErrorHandler) {
        return;
    }
    const XErrorHandler previous = setErrorHandler(onXError);
    if (previous != onXError) {
        previousXErrorHandler = previous;
    }
}

} // namespace

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

SDL_Renderer* createRenderer(SDL_Window* window) {
    SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, 0);
    const char* chosen = SDL_GetHint(SDL_HINT_RENDER_DRIVER);
    if (renderer && !(chosen && *chosen) && drawsThroughSoftwareGl(renderer)) {
        // On a CPU rasteriser, OpenGL spends several threads per frame on a plain copy of the picture. The
        // software renderer copies it once and hands it to the window system; SDL's framebuffer must then
        // not be an OpenGL texture itself. A choice made in the environment still wins.
        SDL_DestroyRenderer(renderer);
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
        if (!renderer) {
            renderer = SDL_CreateRenderer(window, -1, 0);
        }
    }
    return renderer;
}

int openDisplay(DisplayMode mode, PlayerDisplay& display) {
    // SIGINT and SIGTERM are the player's own: they end it like Esc.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    tolerateLateWakeUps();
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        return failWithoutDisplay(SDL_GetError(), display);
    }
    display.videoStarted = true;
    if (reachesNoDisplay()) {
        return failWithoutDisplay("SDL found no screen to open a window on", display);
    }

    // The screen is taken when the window is made. Its windowed size is already the size it will have on the
    // screen (the desktop, or the 800 x 600 mode when exclusive), so that it covers the screen also where no
    // window manager acts on the full-screen request. Hidden until the mode is settled.
    const SDL_DisplayMode wanted{0, displayWidth, displayHeight, 0, nullptr};
    SDL_DisplayMode closest{0, displayWidth, displayHeight, 0, nullptr};
    const bool hasMode = SDL_GetClosestDisplayMode(0, &wanted, &closest) != nullptr;
    SDL_Rect area{SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, displayWidth, displayHeight};
    Uint32 flags = SDL_WINDOW_HIDDEN;
    if (mode != DisplayMode::window && SDL_GetDisplayBounds(0, &area) == 0) {
        flags |= SDL_WINDOW_BORDERLESS;
        if (mode == DisplayMode::desktop) {
            flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
        } else {
            flags |= SDL_WINDOW_FULLSCREEN;
            area.w = closest.w;
            area.h = closest.h;
        }
    }
    display.window = SDL_CreateWindow("Tutorial", area.x, area.y, area.w, area.h, flags);
    if (!display.window) {
        return failWithText("CreateWindowEx failed.", display);
    }

    // Textures made from here on are scaled with hard edges.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    display.renderer = createRenderer(display.window);
    if (!display.renderer) {
        return failWithReport("DirectDrawCreate failed.", display);
    }

    // The display mode: 800 x 600 (or the nearest larger mode) when exclusive; in every mode a pixel format
    // that the renderer takes without converting, and the picture scaled with its aspect.
    if (mode == DisplayMode::exclusive &&
        (!hasMode || SDL_SetWindowDisplayMode(display.window, &closest) != 0)) {
        return failWithReport("SetDisplayMode failed.", display);
    }
    SDL_RendererInfo info;
    const Uint32 format = SDL_GetRendererInfo(display.renderer, &info) == 0 ? chooseTextureFormat(info) : 0;
    if (format == 0) {
        SDL_SetError("the renderer offers no 24- or 32-bit RGB texture format");
        return failWithReport("SetDisplayMode failed.", display);
    }
    if (SDL_RenderSetLogicalSize(display.renderer, displayWidth, displayHeight) != 0) {
        return failWithReport("SetDisplayMode failed.", display);
    }
    SDL_ShowWindow(display.window);
    SDL_RaiseWindow(display.window);

    display.surface = std::make_shared<SdlSurface>(display.renderer, format, displayWidth, displayHeight);
    if (!display.surface->create()) {
        return failWithReport("CreateSurface failed.", display);
    }
    return 0;
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
    // The texture belongs to the renderer: it goes first, even if a writer still holds the surface.
    if (display.surface) {
        display.surface->release();
        display.surface.reset();
    }
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
