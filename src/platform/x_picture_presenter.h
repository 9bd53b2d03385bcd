// Shows the picture in an X11 window by handing the server only the picture itself (through shared memory)
// and letting the server scale it with nearest sampling (RENDER), so that the player's work for a frame does
// not grow with the window; for windows shown through SDL's software renderer.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <memory>

namespace glowfield {

class XPicturePresenter {
  public:
    // A presenter for an X11 window that SDL made, holding a picture of width x height 4-byte pixels in the
    // given SDL format; null where the window is not on X11, is a foreign window, or the server lacks shared
    // memory or RENDER, or its pixels are not of that format. The player then scales into the window itself.
    static std::unique_ptr<XPicturePresenter> create(SDL_Window* window, Uint32 format, int width,
                                                     int height);
    ~XPicturePresenter();
    XPicturePresenter(const XPicturePresenter&) = delete;
    XPicturePresenter& operator=(const XPicturePresenter&) = delete;

    // The picture's pixels, width * 4 bytes a line, shared with the server. Before writing into them, call
    // waitUntilRead: the server may still be reading the last frame.
    uint8_t* pixels() { return pixels_; }
    void waitUntilRead();

    // Sends the picture and has it scaled into the window between black bars (painted too when whole).
    // False after an X error; the presenter is then of no further use.
    bool present(bool whole);

    bool failed() const { return failed_; }

  private:
    struct Connection;
    XPicturePresenter() = default;
    bool setUp(SDL_Window* window, Uint32 format, int width, int height);

    std::unique_ptr<Connection> x_;
    SDL_Window* window_ = nullptr;
    uint8_t* pixels_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    int scaledWidth_ = 0; // the area the scaling transform was set for
    int scaledHeight_ = 0;
    bool pending_ = false; // a frame was sent and not yet known to be read
    bool failed_ = false;
};

} // namespace glowfield
