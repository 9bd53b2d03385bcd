// Text for pictures made for the viewer (gallery labels, the name on the picture): a TrueType font from the
// system drawn by SDL_ttf into 8-bit RGB pictures, never into the field.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace glowfield {

class TextRenderer {
  public:
    // A sans-serif font of this pixel height (DejaVu, from Debian's fonts-dejavu-core); ready() tells whether
    // one was found.
    explicit TextRenderer(int pixelHeight);
    ~TextRenderer();
    TextRenderer(const TextRenderer&) = delete;
    TextRenderer& operator=(const TextRenderer&) = delete;

    bool ready() const { return font_ != nullptr; }

    // Width in pixels of text as it would be drawn.
    int width(const std::string& text) const;

    // Draws text (UTF-8) into an RGB picture of the given size with its top-left corner at (x, y), blended
    // by the glyphs' coverage, clipped to the picture. Text wider than maxWidth (when > 0) is cut with "...".
    void draw(std::vector<uint8_t>& rgb, int pictureWidth, int pictureHeight, int x, int y,
              const std::string& text, uint32_t colour, int maxWidth = 0) const;

    // The glyphs' coverage of text (UTF-8), one byte per pixel, row by row; empty when nothing can be drawn.
    std::vector<uint8_t> coverage(const std::string& text, int& width, int& height) const;

  private:
    void* font_ = nullptr; // TTF_Font
    bool started_ = false;
};

} // namespace glowfield
