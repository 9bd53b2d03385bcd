// The name label as a texture of the window's renderer, drawn over the presented picture at a resolution that
// keeps its letters sharp on large screens.
#pragma once

#include <SDL.h>

#include <cstdint>

namespace glowfield {

class NameLabel;

class LabelTexture {
  public:
    LabelTexture() = default;
    ~LabelTexture();
    LabelTexture(const LabelTexture&) = delete;
    LabelTexture& operator=(const LabelTexture&) = delete;

    // Draws the label if it shows; the texture is made again when the label, the renderer or the output's
    // size changed.
    void draw(SDL_Renderer* renderer, NameLabel& label);

    // Destroys the texture; called before its renderer is destroyed.
    void release();

    // Forgets the texture without destroying it: its renderer is already gone, and took it along.
    void forget() { texture_ = nullptr; renderer_ = nullptr; }

  private:
    SDL_Texture* texture_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    uint32_t version_ = 0;
    int scale_ = 0;
};

} // namespace glowfield
