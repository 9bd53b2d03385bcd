// Labels (the name, the frame rate) as textures of each renderer that shows the picture, drawn over the
// presented picture at a resolution that keeps their letters sharp on large screens.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <vector>

namespace glowfield {

class OverlayLabel;

class LabelTexture {
  public:
    LabelTexture() = default;
    ~LabelTexture();
    LabelTexture(const LabelTexture&) = delete;
    LabelTexture& operator=(const LabelTexture&) = delete;

    // Draws the label if it shows; the renderer's texture of that label is made again when the label or the
    // output's size changed. One LabelTexture serves several labels.
    void draw(SDL_Renderer* renderer, OverlayLabel& label);

    // Destroys every texture; called before their renderers are destroyed.
    void release();

    // Forgets a renderer's texture without destroying it: the renderer is already gone, and took it along.
    void forget(SDL_Renderer* renderer);

  private:
    struct Copy {
        SDL_Renderer* renderer = nullptr;
        const OverlayLabel* label = nullptr;
        SDL_Texture* texture = nullptr;
        uint32_t version = 0;
        int scale = 0;
    };
    std::vector<Copy> copies_;
};

} // namespace glowfield
