#include "app/label_texture.h"

#include <algorithm>

#include "app/overlay_label.h"

namespace glowfield {

LabelTexture::~LabelTexture() {
    release();
}

void LabelTexture::release() {
    for (const Copy& copy : copies_) {
        if (copy.texture) {
            SDL_DestroyTexture(copy.texture);
        }
    }
    copies_.clear();
}

void LabelTexture::forget(SDL_Renderer* renderer) {
    copies_.erase(std::remove_if(copies_.begin(), copies_.end(),
                                 [renderer](const Copy& copy) { return copy.renderer == renderer; }),
                  copies_.end());
}

void LabelTexture::draw(SDL_Renderer* renderer, OverlayLabel& label) {
    if (!label.visible()) {
        return;
    }
    // One label pixel per output pixel, or a little finer: the picture's scale rounded up.
    int outputWidth = 0, outputHeight = 0;
    SDL_GetRendererOutputSize(renderer, &outputWidth, &outputHeight);
    const int scale = outputHeight > 600 ? (outputHeight + 599) / 600 : 1;
    auto copy = std::find_if(copies_.begin(), copies_.end(), [renderer, &label](const Copy& candidate) {
        return candidate.renderer == renderer && candidate.label == &label;
    });
    if (copy == copies_.end()) {
        copy = copies_.insert(copies_.end(), Copy{renderer, &label});
    }
    if (!copy->texture || label.version() != copy->version || scale != copy->scale) {
        if (copy->texture) {
            SDL_DestroyTexture(copy->texture);
            copy->texture = nullptr;
        }
        const LabelPicture& picture = label.picture(scale);
        if (picture.width == 0) {
            return;
        }
        copy->texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGBA32, SDL_TEXTUREACCESS_STATIC,
                                          picture.width, picture.height);
        if (!copy->texture) {
            return;
        }
        SDL_UpdateTexture(copy->texture, nullptr, picture.rgba.data(), picture.width * 4);
        SDL_SetTextureBlendMode(copy->texture, SDL_BLENDMODE_BLEND);
        // Smooth when the output is not a whole multiple of the label's resolution.
        SDL_SetTextureScaleMode(copy->texture, SDL_ScaleModeLinear);
        copy->version = label.version();
        copy->scale = scale;
    }
    const LabelPlacement at = label.placement(scale);
    const SDL_Rect target{at.x, at.y, at.width, at.height};
    SDL_SetTextureAlphaMod(copy->texture, label.opacity());
    SDL_RenderCopy(renderer, copy->texture, nullptr, &target);
}

} // namespace glowfield
