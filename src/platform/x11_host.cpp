// The Xlib side of the player: error handlers, the host window followed, the screen saver's root window.
#include "platform/x11_host.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xproto.h>
#include <dlfcn.h>

#include <cstdio>
#include <type_traits>
#include <unistd.h>

namespace glowfield {

namespace {

// The Xlib calls the player makes, looked up once.
struct Xlib {
    XErrorHandler (*setErrorHandler)(XErrorHandler) = nullptr;
    XIOErrorHandler (*setIOErrorHandler)(XIOErrorHandler) = nullptr;
    int (*selectInput)(Display*, Window, long) = nullptr;
    int (*sync)(Display*, Bool) = nullptr;
    Display* (*openDisplay)(const char*) = nullptr;
    int (*closeDisplay)(Display*) = nullptr;
    Window (*defaultRoot)(Display*) = nullptr;
    Atom (*internAtom)(Display*, const char*, Bool) = nullptr;
    Status (*queryTree)(Display*, Window, Window*, Window*, Window**, unsigned int*) = nullptr;
    int (*getProperty)(Display*, Window, Atom, long, long, Bool, Atom, Atom*, int*, unsigned long*,
                       unsigned long*, unsigned char**) = nullptr;
    int (*free)(void*) = nullptr;
    Bool (*queryExtension)(Display*, const char*, int*, int*, int*) = nullptr;
    bool loaded = false; // every call above was found

    Xlib() {
        void* library = dlopen("libX11.so.6", RTLD_NOW | RTLD_GLOBAL);
        const auto find = [library](auto& function, const char* name) {
            function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(dlsym(library, name));
            return function != nullptr;
        };
        loaded = library && find(setErrorHandler, "XSetErrorHandler") &&
                 find(setIOErrorHandler, "XSetIOErrorHandler") && find(selectInput, "XSelectInput") &&
                 find(sync, "XSync") && find(openDisplay, "XOpenDisplay") &&
                 find(closeDisplay, "XCloseDisplay") && find(defaultRoot, "XDefaultRootWindow") &&
                 find(internAtom, "XInternAtom") && find(queryTree, "XQueryTree") &&
                 find(getProperty, "XGetWindowProperty") && find(free, "XFree") &&
                 find(queryExtension, "XQueryExtension");
    }
};

const Xlib& xlib() {
    static const Xlib loaded;
    return loaded;
}

// The handler in place before ours: Xlib's own, which reports the error and ends the process.
XErrorHandler previousHandler = nullptr;
// The run the handlers tell, while there is one.
X11Watch* watched = nullptr;

// While waiting for events SDL wakes itself by sending an event to its own window over a second connection.
// When the server handles that request only after the window was destroyed at shutdown, it answers with
// BadWindow, which Xlib's own handler would turn into exit code 1 while SDL closes down. Nothing is lost by
// such a late wake-up.
int onXError(Display* display, XErrorEvent* error) {
    if (error->error_code == BadWindow && error->request_code == X_SendEvent) {
        return 0;
    }
    // Drawing into a host's window that its owner has just destroyed fails until the player notices the
    // DestroyNotify; the run then ends as the host asked, not with Xlib's report.
    if (watched && watched->hostWindow != 0 && error->resourceid == watched->hostWindow &&
        (error->error_code == BadWindow || error->error_code == BadDrawable ||
         error->error_code == BadMatch)) {
        watched->hostWindowGone = true;
        return 0;
    }
    return previousHandler ? previousHandler(display, error) : 0;
}

// The connection to the X server broke (the server ended or was killed). Xlib ends the process when this
// handler returns, so the player says what happened in one line, lets the run write its outputs from the last
// frame, and ends with exit code 1 without going back into Xlib.
int onDisplayLost(Display*) {
    std::fprintf(stderr,
                 "glowfield: the connection to the display was lost (the X server ended or broke it)\n");
    if (watched && watched->displayLost) {
        watched->displayLost();
    }
    std::fflush(nullptr);
    _exit(1);
}

// The window that a child's __SWM_VROOT property names, or 0.
Window virtualRootOf(const Xlib& x, Display* display, Window child, Atom vroot) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    Window found = 0;
    if (x.getProperty(display, child, vroot, 0, 1, False, XA_WINDOW, &type, &format, &count, &remaining,
                      &data) == Success &&
        type == XA_WINDOW && format == 32 && count == 1 && data) {
        found = *reinterpret_cast<Window*>(data);
    }
    if (data) {
        x.free(data);
    }
    return found;
}

} // namespace

void watchX11(X11Watch* watch) {
    watched = watch;
    const Xlib& x = xlib();
    if (!watch || !x.loaded) {
        return;
    }
    const XErrorHandler previous = x.setErrorHandler(onXError);
    if (previous != onXError) {
        previousHandler = previous;
    }
    x.setIOErrorHandler(onDisplayLost);
}

bool followX11Window(void* display, unsigned long window) {
    const Xlib& x = xlib();
    if (!x.loaded) {
        return false;
    }
    x.selectInput(static_cast<Display*>(display), window, StructureNotifyMask | ExposureMask);
    x.sync(static_cast<Display*>(display), False);
    return true;
}

bool x11OffersDirectRendering(void* display) {
    const Xlib& x = xlib();
    if (!x.loaded || !display) {
        return true;
    }
    int opcode = 0, event = 0, error = 0;
    for (const char* extension : {"DRI3", "DRI2"}) {
        if (x.queryExtension(static_cast<Display*>(display), extension, &opcode, &event, &error)) {
            return true;
        }
    }
    return false;
}

bool isX11Destruction(const void* xEvent, unsigned long window) {
    const auto* event = static_cast<const XEvent*>(xEvent);
    return event->type == DestroyNotify && event->xdestroywindow.window == window;
}

uint32_t x11RootWindow() {
    const Xlib& x = xlib();
    Display* display = x.loaded ? x.openDisplay(nullptr) : nullptr;
    if (!display) {
        return 0;
    }
    Window root = x.defaultRoot(display);
    const Atom vroot = x.internAtom(display, "__SWM_VROOT", False);
    Window parent = 0, unused = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (vroot != None && x.queryTree(display, root, &unused, &parent, &children, &count)) {
        for (unsigned int i = 0; i < count; ++i) {
            if (const Window found = virtualRootOf(x, display, children[i], vroot); found != 0) {
                root = found;
                break;
            }
        }
    }
    if (children) {
        x.free(children);
    }
    x.closeDisplay(display);
    return static_cast<uint32_t>(root);
}

} // namespace glowfield
