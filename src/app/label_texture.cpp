#include "app/label_texture.h"

#include "app/name_label.h"

namespace glowfield {

LabelTexture::~LabelTexture() {
    release();
}

void LabelTexture::release() {
    if (texture_) {
        SDL_DestroyTexture(texture_);
        texture_ = nullptr;
    }
    renderer_ = nullptr;
}

void LabelTexture::draw(SDL_Renderer* renderer, NameLabel& label) {
    if (!label.visible()) {
        return;
    }
    // One label pixel per output pixel, or a little finer: the picture's scale rounded up.
    int outputWidth = 0, outputHeight = 0;
    SDL_GetRendererOutputSize(renderer, &outputWidth, &outputHeight);
    const int scale = outputHeight > 600 ? (outputHeight + 599) / 600 : 1;
    if (renderer != renderer_) {
        release();
        renderer_ = renderer;
    }
    if (!texture_ || label.version() != version_ || scale != scale_) {
        if (texture_) {
            SDL_DestroyTexture(texture_);
            texture_ = nullptr;
        }
        const LabelPicture& picture = label.picture(scale);
        if (picture.width == 0) {
            return;
        }
        texture_ = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGBA32, SDL_TEXTUREACCESS_STATIC, picture.width,
                                     picture.height);
        if (!texture_) {
            return;
        }
        SDL_UpdateTexture(texture_, nullptr, picture.rgba.data(), picture.width * 4);
        SDL_SetTextureBlendMode(texture_, SDL_BLENDMODE_BLEND);
        // Smooth when the output is not a whole multiple of the label's resolution.
        SDL_SetTextureScaleMode(texture_, SDL_ScaleModeLinear);
        version_ = label.version();
        scale_ = scale;
    }
    const LabelPlacement at = label.placement(scale);
    const SDL_Rect target{at.x, at.y, at.width, at.height};
    SDL_SetTextureAlphaMod(texture_, label.opacity());
    SDL_RenderCopy(renderer, texture_, nullptr, &target);
}

} // namespace glowfield
