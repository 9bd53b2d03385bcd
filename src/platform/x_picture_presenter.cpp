// The picture handed to the X server in shared memory and scaled there by RENDER with nearest sampling.
#include "platform/x_picture_presenter.h"

#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <X11/extensions/Xrender.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <atomic>

#include "platform/picture_scaler.h"

namespace glowfield {

namespace {

// Errors of the presenter's own connection are noted instead of ending the process; errors of any other
// connection go to the handler that was there before (SDL's). Installed once and left in place, since
// errors arrive whenever Xlib reads the connection.
std::atomic<Display*> trappedDisplay{nullptr};
std::atomic<bool> trappedError{false};
XErrorHandler previousHandler = nullptr;

int noteError(Display* display, XErrorEvent* event) {
    if (display == trappedDisplay.load()) {
        trappedError = true;
        return 0;
    }
    return previousHandler ? previousHandler(display, event) : 0;
}

void trapErrorsOf(Display* display) {
    static const bool installed = [] {
        previousHandler = XSetErrorHandler(noteError);
        return true;
    }();
    (void)installed;
    trappedError = false;
    trappedDisplay = display;
}

} // namespace

struct XPicturePresenter::Connection {
    Display* display = nullptr;
    ::Window window = 0;
    ::Pixmap pixmap = 0;
    GC gc = nullptr;
    ::Picture source = 0; // the pixmap, sampled through the scaling transform
    ::Picture target = 0; // the window
    XImage* image = nullptr;
    XShmSegmentInfo segment{};
    bool attached = false;
};

std::unique_ptr<XPicturePresenter> XPicturePresenter::create(SDL_Window* window, Uint32 format, int width,
                                                             int height) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || width <= 0 || height <= 0 || (SDL_GetWindowFlags(window) & SDL_WINDOW_FOREIGN) != 0 ||
        !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) {
        return nullptr;
    }
    std::unique_ptr<XPicturePresenter> presenter(new XPicturePresenter);
    presenter->x_ = std::make_unique<Connection>();
    presenter->x_->window = info.info.x11.window;
    // A connection of its own, so that the frame thread never shares SDL's.
    presenter->x_->display = XOpenDisplay(DisplayString(info.info.x11.display));
    if (!presenter->x_->display || !presenter->setUp(window, format, width, height)) {
        return nullptr;
    }
    return presenter;
}

bool XPicturePresenter::setUp(SDL_Window* window, Uint32 format, int width, int height) {
    Connection& x = *x_;
    Display* const display = x.display;
    trapErrorsOf(display);
    int eventBase = 0;
    int errorBase = 0;
    XWindowAttributes attributes;
    if (!XShmQueryExtension(display) || !XRenderQueryExtension(display, &eventBase, &errorBase) ||
        !XGetWindowAttributes(display, x.window, &attributes) || attributes.depth != 24 ||
        (attributes.visual->c_class != TrueColor && attributes.visual->c_class != DirectColor)) {
        return false;
    }
    int bits = 0;
    Uint32 red = 0, green = 0, blue = 0, alpha = 0;
    if (!SDL_PixelFormatEnumToMasks(format, &bits, &red, &green, &blue, &alpha) ||
        attributes.visual->red_mask != red || attributes.visual->green_mask != green ||
        attributes.visual->blue_mask != blue) {
        return false;
    }
    XRenderPictFormat* pictureFormat = XRenderFindVisualFormat(display, attributes.visual);
    if (!pictureFormat) {
        return false;
    }
    x.image = XShmCreateImage(display, attributes.visual, 24, ZPixmap, nullptr, &x.segment, width, height);
    if (!x.image || x.image->bits_per_pixel != 32 || x.image->bytes_per_line != width * 4 ||
        x.image->byte_order != LSBFirst) {
        return false;
    }
    x.segment.shmid = shmget(IPC_PRIVATE, static_cast<size_t>(width) * height * 4, IPC_CREAT | 0600);
    if (x.segment.shmid < 0) {
        return false;
    }
    void* memory = shmat(x.segment.shmid, nullptr, 0);
    // Marked for removal now: it goes when both sides have let go of it, however the process ends.
    shmctl(x.segment.shmid, IPC_RMID, nullptr);
    if (memory == reinterpret_cast<void*>(-1)) {
        return false;
    }
    x.segment.shmaddr = x.image->data = static_cast<char*>(memory);
    x.segment.readOnly = True;
    x.attached = XShmAttach(display, &x.segment) != 0;
    x.pixmap =
        XCreatePixmap(display, x.window, static_cast<unsigned>(width), static_cast<unsigned>(height), 24);
    x.gc = XCreateGC(display, x.pixmap, 0, nullptr);
    x.source = XRenderCreatePicture(display, x.pixmap, pictureFormat, 0, nullptr);
    x.target = XRenderCreatePicture(display, x.window, pictureFormat, 0, nullptr);
    XRenderSetPictureFilter(display, x.source, FilterNearest, nullptr, 0);
    // Shared memory works only where the server runs on this machine: the sync shows whether it took.
    XSync(display, False);
    if (!x.attached || trappedError) {
        return false;
    }
    window_ = window;
    pixels_ = reinterpret_cast<uint8_t*>(memory);
    width_ = width;
    height_ = height;
    return true;
}

XPicturePresenter::~XPicturePresenter() {
    if (!x_ || !x_->display) {
        return;
    }
    Connection& x = *x_;
    trapErrorsOf(x.display);
    if (x.target) {
        XRenderFreePicture(x.display, x.target);
    }
    if (x.source) {
        XRenderFreePicture(x.display, x.source);
    }
    if (x.gc) {
        XFreeGC(x.display, x.gc);
    }
    if (x.pixmap) {
        XFreePixmap(x.display, x.pixmap);
    }
    if (x.attached) {
        XShmDetach(x.display, &x.segment);
    }
    XSync(x.display, False);
    if (x.image) {
        x.image->data = nullptr; // the shared memory is not Xlib's to free
        XDestroyImage(x.image);
    }
    if (x.segment.shmaddr) {
        shmdt(x.segment.shmaddr);
    }
    XCloseDisplay(x.display);
    trappedDisplay = nullptr;
}

namespace {

Bool isCompletion(Display* display, XEvent* event, XPointer) {
    return event->type == XShmGetEventBase(display) + ShmCompletion;
}

} // namespace

// The server says when it has read the picture; a frame later that has normally long happened, and no round
// trip is needed. Otherwise a sync waits for it (and for the scaling after it).
void XPicturePresenter::waitUntilRead() {
    if (pending_ && !failed_) {
        XEvent event;
        if (!XCheckIfEvent(x_->display, &event, isCompletion, nullptr)) {
            XSync(x_->display, False);
        }
        while (XCheckIfEvent(x_->display, &event, isCompletion, nullptr)) {
        }
        pending_ = false;
        failed_ = trappedError;
    }
}

bool XPicturePresenter::present(bool whole) {
    if (failed_) {
        return false;
    }
    Connection& x = *x_;
    int outputWidth = 0;
    int outputHeight = 0;
    SDL_GetWindowSize(window_, &outputWidth, &outputHeight);
    const ScaledArea area = letterboxArea(width_, height_, outputWidth, outputHeight);
    if (area.width <= 0 || area.height <= 0) {
        return true;
    }
    if (area.width != scaledWidth_ || area.height != scaledHeight_) {
        // Destination pixel d samples the source at (d + 1/2) * step, step the 16.16 ratio of the sizes, as
        // the player's own scaler does.
        const XFixed stepX = static_cast<XFixed>((static_cast<int64_t>(width_) << 16) / area.width);
        const XFixed stepY = static_cast<XFixed>((static_cast<int64_t>(height_) << 16) / area.height);
        XTransform transform = {{{stepX, 0, 0}, {0, stepY, 0}, {0, 0, XDoubleToFixed(1)}}};
        XRenderSetPictureTransform(x.display, x.source, &transform);
        scaledWidth_ = area.width;
        scaledHeight_ = area.height;
    }
    XShmPutImage(x.display, x.pixmap, x.gc, x.image, 0, 0, 0, 0, static_cast<unsigned>(width_),
                 static_cast<unsigned>(height_), True);
    if (whole) {
        const XRenderColor black{0, 0, 0, 0xffff};
        XRenderFillRectangle(x.display, PictOpSrc, x.target, &black, 0, 0, static_cast<unsigned>(outputWidth),
                             static_cast<unsigned>(outputHeight));
    }
    XRenderComposite(x.display, PictOpSrc, x.source, 0, x.target, 0, 0, 0, 0, area.x, area.y,
                     static_cast<unsigned>(area.width), static_cast<unsigned>(area.height));
    XFlush(x.display);
    pending_ = true;
    failed_ = trappedError;
    return !failed_;
}

} // namespace glowfield
