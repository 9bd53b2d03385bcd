#include "platform/sdl_display.h"

#include <bit>

namespace glowfield {

namespace {

// Direct-colour formats with 8-bit red, green and blue channels; the writer drives only these.
bool hasByteChannels(Uint32 format, Uint32& alphaMask) {
    if (SDL_ISPIXELFORMAT_FOURCC(format) || SDL_ISPIXELFORMAT_INDEXED(format)) {
        return false;
    }
    int bits = 0;
    Uint32 red = 0, green = 0, blue = 0;
    if (!SDL_PixelFormatEnumToMasks(format, &bits, &red, &green, &blue, &alphaMask)) {
        return false;
    }
    return std::popcount(red) == 8 && std::popcount(green) == 8 && std::popcount(blue) == 8;
}

// Whether the picture, scaled to the renderer's logical size, fills every pixel of the output.
bool coversOutput(SDL_Renderer* renderer) {
    int outputWidth = 0;
    int outputHeight = 0;
    SDL_Rect viewport{};
    float scaleX = 1;
    float scaleY = 1;
    if (SDL_GetRendererOutputSize(renderer, &outputWidth, &outputHeight) != 0) {
        return false;
    }
    SDL_RenderGetViewport(renderer, &viewport);
    SDL_RenderGetScale(renderer, &scaleX, &scaleY);
    // The viewport is given in logical units; in output pixels it starts at its offset times the scale.
    const double left = viewport.x * static_cast<double>(scaleX);
    const double top = viewport.y * static_cast<double>(scaleY);
    const double right = left + viewport.w * static_cast<double>(scaleX);
    const double bottom = top + viewport.h * static_cast<double>(scaleY);
    return left <= 0.5 && top <= 0.5 && right >= outputWidth - 0.5 && bottom >= outputHeight - 0.5;
}

} // namespace

Uint32 chooseTextureFormat(const SDL_RendererInfo& info) {
    Uint32 withAlpha = 0;
    Uint32 withoutAlpha = 0;
    for (Uint32 i = 0; i < info.num_texture_formats; ++i) {
        const Uint32 format = info.texture_formats[i];
        Uint32 alpha = 0;
        if (!hasByteChannels(format, alpha)) {
            continue;
        }
        if (SDL_BYTESPERPIXEL(format) == 3) {
            return format;
        }
        if (SDL_BYTESPERPIXEL(format) == 4) {
            Uint32& slot = alpha ? withAlpha : withoutAlpha;
            if (!slot) {
                slot = format;
            }
        }
    }
    return withoutAlpha ? withoutAlpha : withAlpha;
}

Uint32 windowPictureFormat(SDL_Window* window) {
    SDL_Surface* output = window ? SDL_GetWindowSurface(window) : nullptr;
    if (!output) {
        return 0;
    }
    Uint32 alpha = 0;
    const Uint32 format = output->format->format;
    return SDL_BYTESPERPIXEL(format) == 4 && hasByteChannels(format, alpha) ? format : 0;
}

PixelFormat pixelFormatOf(Uint32 format) {
    PixelFormat pixel;
    int bits = 0;
    Uint32 alpha = 0;
    if (!SDL_PixelFormatEnumToMasks(format, &bits, &pixel.redMask, &pixel.greenMask, &pixel.blueMask,
                                    &alpha)) {
        pixel.isRgb = false;
    }
    pixel.bitsPerPixel = SDL_BYTESPERPIXEL(format) * 8;
    return pixel;
}

SdlSurface::SdlSurface(SDL_Renderer* renderer, Uint32 format, int width, int height)
    : renderer_(renderer), format_(format), width_(width), height_(height) {}

SdlSurface::~SdlSurface() {
    release();
}

bool SdlSurface::create() {
    if (released_ || !renderer_) {
        if (!renderer_) {
            SDL_SetError("the display has no renderer");
        }
        return false;
    }
    if (window_) {
        if (SDL_BYTESPERPIXEL(format_) != 4) {
            SDL_SetError("the window's surface does not have 4 bytes a pixel");
            return false;
        }
        xPresenter_ = XPicturePresenter::create(window_, format_, width_, height_);
        if (!xPresenter_) {
            picture_.assign(static_cast<size_t>(width_) * height_ * 4, 0);
        }
        outputValid_ = false;
        return true;
    }
    texture_ = SDL_CreateTexture(renderer_, format_, SDL_TEXTUREACCESS_STREAMING, width_, height_);
    if (!texture_) {
        return false;
    }
    // The alpha bits of a 4-byte format are never written; they must not make the picture transparent.
    SDL_SetTextureBlendMode(texture_, SDL_BLENDMODE_NONE);
    return true;
}

void SdlSurface::destroyTexture() {
    xPresenter_.reset();
    if (texture_) {
        if (locked_) {
            SDL_UnlockTexture(texture_);
        }
        SDL_DestroyTexture(texture_);
        texture_ = nullptr;
    }
    locked_ = false;
}

void SdlSurface::release() {
    destroyTexture();
    released_ = true;
}

void SdlSurface::detachRenderer() {
    destroyTexture();
    renderer_ = nullptr;
    lost_ = true;
}

void SdlSurface::attachRenderer(SDL_Renderer* renderer) {
    detachRenderer();
    renderer_ = renderer;
}

ResultCode SdlSurface::describe(int32_t& width, int32_t& height, PixelFormat& format) {
    width = width_;
    height = height_;
    format = pixelFormatOf(format_);
    return result::ok;
}

ResultCode SdlSurface::lock(const LockRect* rect, bool, uint8_t*& memory, int32_t& pitch) {
    if (isLost() != result::ok) {
        return result::surfaceLost;
    }
    if (locked_) {
        return result::alreadyLocked;
    }
    SDL_Rect area;
    if (rect) {
        if (rect->left < 0 || rect->top < 0 || rect->right > width_ || rect->bottom > height_ ||
            rect->left >= rect->right || rect->top >= rect->bottom) {
            return result::invalidParameters;
        }
        area = {rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top};
    }
    void* pixels = nullptr;
    int bytesPerLine = 0;
    if (window_) {
        if (xPresenter_) {
            xPresenter_->waitUntilRead();
        }
        bytesPerLine = width_ * 4;
        pixels = picturePixels() + (rect ? static_cast<size_t>(area.y) * bytesPerLine + area.x * 4 : 0);
    } else if (SDL_LockTexture(texture_, rect ? &area : nullptr, &pixels, &bytesPerLine) != 0) {
        return result::generic;
    }
    locked_ = true;
    memory = static_cast<uint8_t*>(pixels);
    pitch = bytesPerLine;
    lockedPixels_ = rect ? nullptr : memory;
    lockedPitch_ = bytesPerLine;
    return result::ok;
}

ResultCode SdlSurface::unlock(const LockRect*) {
    if (!locked_ || (!texture_ && !window_)) {
        return result::generic;
    }
    if (window_) {
        locked_ = false;
        lockedPixels_ = nullptr;
        if (!presentOnUnlock_) {
            return result::ok;
        }
        // Overlays land on the picture, and are scaled with it; the mirrors show it as it is then.
        if (pictureOverlay_) {
            pictureOverlay_(picturePixels(), width_ * 4, pixelFormatOf(format_));
        }
        const ResultCode code = presentPicture();
        for (const Mirror& mirror : mirrors_) {
            SDL_UpdateTexture(mirror.texture, nullptr, picturePixels(), width_ * 4);
            if (!coversOutput(mirror.renderer)) {
                SDL_SetRenderDrawColor(mirror.renderer, 0, 0, 0, 255);
                SDL_RenderClear(mirror.renderer);
            }
            SDL_RenderCopy(mirror.renderer, mirror.texture, nullptr, nullptr);
            SDL_RenderPresent(mirror.renderer);
        }
        return code;
    }
    // The locked pixels are valid only until the unlock: the mirrors get a copy.
    const bool mirrored = !mirrors_.empty() && lockedPixels_ && presentOnUnlock_;
    if (mirrored) {
        frame_.assign(lockedPixels_, lockedPixels_ + static_cast<size_t>(lockedPitch_) * height_);
    }
    SDL_UnlockTexture(texture_);
    locked_ = false;
    lockedPixels_ = nullptr;
    if (!presentOnUnlock_) {
        return result::ok;
    }
    // The back buffer is undefined after a present, so the bars around a scaled picture are cleared to black
    // on every frame. Where the picture covers the whole output the copy writes every pixel and a clear
    // would only cost a pass over the buffer.
    if (!coversOutput(renderer_)) {
        SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
        if (SDL_RenderClear(renderer_) != 0) {
            return result::generic;
        }
    }
    if (SDL_RenderCopy(renderer_, texture_, nullptr, nullptr) != 0) {
        return result::generic;
    }
    if (overlay_) {
        overlay_(renderer_);
    }
    SDL_RenderPresent(renderer_);
    if (mirrored) {
        for (const Mirror& mirror : mirrors_) {
            SDL_UpdateTexture(mirror.texture, nullptr, frame_.data(), lockedPitch_);
            if (!coversOutput(mirror.renderer)) {
                SDL_SetRenderDrawColor(mirror.renderer, 0, 0, 0, 255);
                SDL_RenderClear(mirror.renderer);
            }
            SDL_RenderCopy(mirror.renderer, mirror.texture, nullptr, nullptr);
            if (overlay_) {
                overlay_(mirror.renderer);
            }
            SDL_RenderPresent(mirror.renderer);
        }
    }
    return result::ok;
}

// The picture scaled into the window's surface, which is then sent to the window system: only the picture's
// area, unless the surface is new or was uncovered, when its bars are cleared and all of it is sent.
ResultCode SdlSurface::presentPicture() {
    if (xPresenter_) {
        if (xPresenter_->present(!outputValid_)) {
            outputValid_ = true;
            return result::ok;
        }
        // The server refused: the picture moves to memory of the player's own and is scaled here from now.
        const uint8_t* shown = xPresenter_->pixels();
        picture_.assign(shown, shown + static_cast<size_t>(width_) * height_ * 4);
        xPresenter_.reset();
        outputValid_ = false;
    }
    SDL_Surface* output = SDL_GetWindowSurface(window_);
    if (!output) {
        return result::generic;
    }
    if (output != lastOutput_ || output->w != lastOutputWidth_ || output->h != lastOutputHeight_) {
        outputValid_ = false;
        lastOutput_ = output;
        lastOutputWidth_ = output->w;
        lastOutputHeight_ = output->h;
    }
    const bool whole = !outputValid_;
    if (whole && SDL_FillRect(output, nullptr, SDL_MapRGB(output->format, 0, 0, 0)) != 0) {
        return result::generic;
    }
    const ScaledArea area = letterboxArea(width_, height_, output->w, output->h);
    if (output->format->format == format_) {
        if (SDL_MUSTLOCK(output) && SDL_LockSurface(output) != 0) {
            return result::generic;
        }
        uint8_t* target = static_cast<uint8_t*>(output->pixels) +
                          static_cast<ptrdiff_t>(area.y) * output->pitch + static_cast<ptrdiff_t>(area.x) * 4;
        scaler_.scale(picture_.data(), width_ * 4, width_, height_, target, output->pitch, area.width,
                      area.height);
        if (SDL_MUSTLOCK(output)) {
            SDL_UnlockSurface(output);
        }
    } else {
        // The window's format changed under the picture: SDL converts while it scales.
        SDL_Surface* picture =
            SDL_CreateRGBSurfaceWithFormatFrom(picture_.data(), width_, height_, 32, width_ * 4, format_);
        SDL_Rect target{area.x, area.y, area.width, area.height};
        const int failed = picture ? SDL_BlitScaled(picture, nullptr, output, &target) : -1;
        SDL_FreeSurface(picture);
        if (failed != 0) {
            return result::generic;
        }
    }
    const SDL_Rect shown{area.x, area.y, area.width, area.height};
    if ((whole ? SDL_UpdateWindowSurface(window_) : SDL_UpdateWindowSurfaceRects(window_, &shown, 1)) != 0) {
        return result::generic;
    }
    outputValid_ = true;
    return result::ok;
}

bool SdlSurface::addMirror(SDL_Renderer* renderer) {
    SDL_Texture* texture = SDL_CreateTexture(renderer, format_, SDL_TEXTUREACCESS_STREAMING, width_, height_);
    if (!texture) {
        return false;
    }
    mirrors_.push_back({renderer, texture});
    return true;
}

void SdlSurface::releaseMirrors() {
    for (const Mirror& mirror : mirrors_) {
        SDL_DestroyTexture(mirror.texture);
    }
    mirrors_.clear();
}

ResultCode SdlSurface::isLost() {
    const bool made = window_ ? xPresenter_ || !picture_.empty() : texture_ != nullptr;
    return lost_ || !made ? result::surfaceLost : result::ok;
}

ResultCode SdlSurface::restore() {
    if (released_) {
        return result::generic;
    }
    destroyTexture();
    if (!create()) {
        return result::generic;
    }
    lost_ = false;
    return result::ok;
}

ResultCode SdlSurface::setPixel(int32_t x, int32_t y, uint32_t colourRef) {
    const LockRect one{x, y, x + 1, y + 1};
    uint8_t* memory = nullptr;
    int32_t pitch = 0;
    ResultCode code = lock(&one, true, memory, pitch);
    if (code != result::ok) {
        return code;
    }
    const uint32_t pixel = colourRefToPixel(colourRef, pixelFormatOf(format_));
    for (int i = 0; i < static_cast<int>(SDL_BYTESPERPIXEL(format_)) && i < 4; ++i) {
        memory[i] = static_cast<uint8_t>(pixel >> (8 * i));
    }
    presentOnUnlock_ = false;
    code = unlock(nullptr);
    presentOnUnlock_ = true;
    return code;
}

} // namespace glowfield
