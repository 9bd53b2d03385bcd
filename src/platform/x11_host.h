// Glue to the X server behind SDL: error handlers that keep a late wake-up or a host's vanished window from
// ending the player, the host window followed in size, and the root window a screen saver draws into. Xlib
// is looked up at run time, as SDL does, so that the player needs no X library where there is no X display.
#pragma once

#include <cstdint>
#include <functional>

namespace glowfield {

// What the X error handlers act on while a run lasts.
struct X11Watch {
    unsigned long hostWindow = 0;         // a window another program made that the player draws into; 0: none
    volatile bool hostWindowGone = false; // its destruction, or an error drawing into it, was seen
    std::function<void()> displayLost;    // run on a broken connection, before the process ends with code 1

    bool hostGone() const { return hostWindow != 0 && hostWindowGone; }
};

// Installs the handlers once (before SDL starts, so that SDL passes errors on to them and puts them back when
// it quits) and points them at watch until it is called again; nullptr: no run to tell. Errors they do not
// take go to the handler that was there before (Xlib's own reports them and ends the process).
void watchX11(X11Watch* watch);

// Asks for the window's structure and exposure events on the connection display (an Xlib Display*) and
// waits for the server's answer, so that a window gone meanwhile shows now. False without Xlib.
bool followX11Window(void* display, unsigned long window);

// Whether the X server on the connection display (an Xlib Display*) lets clients draw on its graphics card
// (DRI3 or DRI2). Without it (Xvfb, a remote desktop's server) OpenGL can only run on the processor. True
// when it cannot be asked, so that the caller keeps its usual way.
bool x11OffersDirectRendering(void* display);

// True when xEvent (an XEvent) is the destruction of window.
bool isX11Destruction(const void* xEvent, unsigned long window);

// The window --root means on the default screen: the child of the root window that carries __SWM_VROOT (a
// desktop's or a daemon's virtual root), else the root window itself; 0 when no display can be opened.
uint32_t x11RootWindow();

} // namespace glowfield
