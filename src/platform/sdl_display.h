// The SDL2 back-end of the display interface: the display surface is an 800 x 600 picture whose unlock shows
// the frame, either a streaming texture that the renderer scales (a GPU does it for free) or, where the
// renderer draws in software, a picture in memory scaled straight into the window's own surface. Its scratch
// surfaces are memory surfaces of the same format (MemoryDevice), since the tables built through them only
// need the format's bits.
#pragma once

#include <SDL.h>

#include <functional>
#include <memory>
#include <vector>

#include "platform/display_surface.h"
#include "platform/picture_scaler.h"
#include "platform/x_picture_presenter.h"

namespace glowfield {

// The texture format for the display surface among those the renderer offers natively: a 3-byte RGB format
// if there is one, else a 4-byte one (without alpha preferred). 0 when none fits: a format SDL would convert
// on every frame counts as refused.
Uint32 chooseTextureFormat(const SDL_RendererInfo& info);

// The format of the window's surface when the picture can be scaled straight into it (4 bytes a pixel, 8-bit
// channels), else 0.
Uint32 windowPictureFormat(SDL_Window* window);

// The writer's view of an SDL pixel format: bits per pixel as stored (4-byte formats count 32 even when 8
// bits are unused) and the channel masks.
PixelFormat pixelFormatOf(Uint32 format);

class SdlSurface : public DisplaySurface {
  public:
    SdlSurface(SDL_Renderer* renderer, Uint32 format, int width, int height);
    ~SdlSurface() override;
    SdlSurface(const SdlSurface&) = delete;
    SdlSurface& operator=(const SdlSurface&) = delete;

    // Shows the picture by scaling it into the window's surface instead of through a texture: the way for a
    // renderer that draws in software, where SDL's general scaling copy costs several times the output's
    // size. Called before create(); the surface's format must then be the window surface's, 4 bytes a pixel.
    void presentToWindow(SDL_Window* window) { window_ = window; }
    bool presentsToWindow() const { return window_ != nullptr; }

    // The window's surface must be cleared and shown whole at the next frame (its size changed, or part of it
    // was uncovered): otherwise only the picture's area is sent.
    void invalidateOutput() { outputValid_ = false; }

    // Creates the texture (or the picture in memory); false (with SDL's reason in SDL_GetError) when the
    // renderer refuses it.
    bool create();

    // Destroys the texture for good; called before the renderer goes, whoever still holds the surface.
    void release();

    // The renderer lost its textures: the next lock recreates the texture first.
    void markLost() { lost_ = true; }

    // The renderer is about to be destroyed (its device was reset): the texture goes with it, and locks fail
    // until attachRenderer gives the surface a new renderer to recreate the texture on.
    void detachRenderer();
    void attachRenderer(SDL_Renderer* renderer);

    // Drawn over the picture after it is copied to the output and before the frame is shown, in the picture's
    // 800 x 600 coordinates: what the viewer sees besides the field, such as the effect's name.
    void setOverlay(std::function<void(SDL_Renderer*)> overlay) { overlay_ = std::move(overlay); }

    // When the picture is scaled into the window: drawn onto the 800 x 600 picture itself before it is scaled
    // (pixels of the surface's format, bytes per line), in place of the renderer's overlay.
    using PictureOverlay = std::function<void(uint8_t* pixels, int pitch, const PixelFormat& format)>;
    void setPictureOverlay(PictureOverlay overlay) { pictureOverlay_ = std::move(overlay); }

    // Another output that shows the same picture (a window on a further monitor), with a texture of its own
    // filled from each frame's pixels. False when its renderer refuses the texture.
    bool addMirror(SDL_Renderer* renderer);
    // Destroys the mirrors' textures; called before their renderers go.
    void releaseMirrors();

    ResultCode describe(int32_t& width, int32_t& height, PixelFormat& format) override;
    ResultCode lock(const LockRect* rect, bool wait, uint8_t*& memory, int32_t& pitch) override;
    // Unlocks and shows the frame: the texture is copied to the renderer, scaled, and presented. The output
    // is cleared first only where the picture leaves bars around it.
    ResultCode unlock(const LockRect* rect) override;
    ResultCode isLost() override;
    ResultCode restore() override;
    ResultCode setPixel(int32_t x, int32_t y, uint32_t colourRef) override;

  private:
    void destroyTexture(); // unlocks first when a frame is being written
    ResultCode presentPicture();
    uint8_t* picturePixels() { return xPresenter_ ? xPresenter_->pixels() : picture_.data(); }

    SDL_Renderer* renderer_;
    SDL_Texture* texture_ = nullptr;
    Uint32 format_;
    int width_;
    int height_;
    bool lost_ = false;
    bool released_ = false;
    bool locked_ = false;
    bool presentOnUnlock_ = true; // false while setPixel writes one pixel
    std::function<void(SDL_Renderer*)> overlay_;
    PictureOverlay pictureOverlay_;

    SDL_Window* window_ = nullptr; // set when the picture is scaled into this window's surface
    std::vector<uint8_t> picture_; // the picture then, 4 bytes a pixel
    // Where the window is on X11: the picture lives in memory shared with the server, which scales it.
    std::unique_ptr<XPicturePresenter> xPresenter_;
    PictureScaler scaler_;
    bool outputValid_ = false;                // the window surface's bars are black and it was shown whole
    const SDL_Surface* lastOutput_ = nullptr; // the window surface last drawn into, and its size
    int lastOutputWidth_ = 0;
    int lastOutputHeight_ = 0;

    struct Mirror {
        SDL_Renderer* renderer;
        SDL_Texture* texture;
    };
    std::vector<Mirror> mirrors_;
    uint8_t* lockedPixels_ = nullptr; // the frame being written, while locked
    int lockedPitch_ = 0;
    std::vector<uint8_t> frame_; // a copy of the last frame for the mirrors
};

} // namespace glowfield
