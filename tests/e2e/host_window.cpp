// A stand-in for a screen saver's host: makes and maps a window, prints its id, then obeys lines on standard
// input: "resize W H", "destroy", "vroot" (marks the window as a virtual root, as desktops and daemons do
// with __SWM_VROOT), "quit". Used by hosted.sh.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    int width = argc > 2 ? atoi(argv[1]) : 640;
    int height = argc > 2 ? atoi(argv[2]) : 480;
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        fprintf(stderr, "host_window: no display\n");
        return 1;
    }
    Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, (unsigned)width,
                                        (unsigned)height, 0, 0, WhitePixel(display, DefaultScreen(display)));
    XSelectInput(display, window, ButtonPressMask | StructureNotifyMask);
    XMapWindow(display, window);
    XSync(display, False);
    printf("0x%lx\n", (unsigned long)window);
    fflush(stdout);
    char line[128];
    while (fgets(line, sizeof line, stdin)) {
        if (sscanf(line, "resize %d %d", &width, &height) == 2) {
            XResizeWindow(display, window, (unsigned)width, (unsigned)height);
        } else if (strncmp(line, "vroot", 5) == 0) {
            const Atom vroot = XInternAtom(display, "__SWM_VROOT", False);
            XChangeProperty(display, window, vroot, XA_WINDOW, 32, PropModeReplace,
                            reinterpret_cast<unsigned char*>(&window), 1);
        } else if (strncmp(line, "destroy", 7) == 0) {
            XDestroyWindow(display, window);
        } else if (strncmp(line, "quit", 4) == 0) {
            break;
        }
        XSync(display, False);
        printf("done\n");
        fflush(stdout);
    }
    XCloseDisplay(display);
    return 0;
}
