// The name label as a texture of each renderer that shows the picture, drawn over the presented picture at a
// resolution that keeps its letters sharp on large screens.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <vector>

namespace glowfield {

class NameLabel;

class LabelTexture {
  public:
    LabelTexture() = default;
    ~LabelTexture();
    LabelTexture(const LabelTexture&) = delete;
    LabelTexture& operator=(const LabelTexture&) = delete;

    // Draws the label if it shows; the renderer's texture is made again when the label or the output's size
    // changed.
    void draw(SDL_Renderer* renderer, NameLabel& label);

    // Destroys every texture; called before their renderers are destroyed.
    void release();

    // Forgets a renderer's texture without destroying it: the renderer is already gone, and took it along.
    void forget(SDL_Renderer* renderer);

  private:
    struct Copy {
        SDL_Renderer* renderer = nullptr;
        SDL_Texture* texture = nullptr;
        uint32_t version = 0;
        int scale = 0;
    };
    std::vector<Copy> copies_;
};

} // namespace glowfield
