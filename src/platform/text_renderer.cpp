#include "platform/text_renderer.h"

#include <SDL_ttf.h>

namespace glowfield {

namespace {

const char* const fontFiles[] = {
    "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf",
};

} // namespace

TextRenderer::TextRenderer(int pixelHeight) {
    if (TTF_Init() != 0) {
        return;
    }
    started_ = true;
    for (const char* file : fontFiles) {
        if (TTF_Font* font = TTF_OpenFont(file, pixelHeight)) {
            font_ = font;
            break;
        }
    }
}

TextRenderer::~TextRenderer() {
    if (font_) {
        TTF_CloseFont(static_cast<TTF_Font*>(font_));
    }
    if (started_) {
        TTF_Quit();
    }
}

int TextRenderer::width(const std::string& text) const {
    int w = 0, h = 0;
    if (!font_ || text.empty() || TTF_SizeUTF8(static_cast<TTF_Font*>(font_), text.c_str(), &w, &h) != 0) {
        return 0;
    }
    return w;
}

void TextRenderer::draw(std::vector<uint8_t>& rgb, int pictureWidth, int pictureHeight, int x, int y,
                        const std::string& text, uint32_t colour, int maxWidth) const {
    if (!font_ || text.empty()) {
        return;
    }
    std::string shown = text;
    while (maxWidth > 0 && shown.size() > 1 && width(shown) > maxWidth) {
        shown.erase(shown.size() -
                    (shown.size() > 3 && shown.compare(shown.size() - 3, 3, "...") == 0 ? 4 : 1));
        shown += "...";
    }
    int maskWidth = 0, maskHeight = 0;
    const std::vector<uint8_t> mask = coverage(shown, maskWidth, maskHeight);
    const uint8_t ink[3] = {static_cast<uint8_t>(colour >> 16), static_cast<uint8_t>(colour >> 8),
                            static_cast<uint8_t>(colour)};
    for (int row = 0; row < maskHeight; ++row) {
        const int py = y + row;
        if (py < 0 || py >= pictureHeight) {
            continue;
        }
        for (int column = 0; column < maskWidth; ++column) {
            const int px = x + column;
            const uint32_t alpha = mask[static_cast<size_t>(row) * maskWidth + column];
            if (px < 0 || px >= pictureWidth || alpha == 0) {
                continue;
            }
            uint8_t* out = &rgb[(static_cast<size_t>(py) * pictureWidth + px) * 3];
            for (int c = 0; c < 3; ++c) {
                out[c] = static_cast<uint8_t>((ink[c] * alpha + out[c] * (255 - alpha)) / 255);
            }
        }
    }
}

std::vector<uint8_t> TextRenderer::coverage(const std::string& text, int& width, int& height) const {
    width = height = 0;
    if (!font_ || text.empty()) {
        return {};
    }
    const SDL_Color white{255, 255, 255, 255};
    SDL_Surface* glyphs = TTF_RenderUTF8_Blended(static_cast<TTF_Font*>(font_), text.c_str(), white);
    if (!glyphs) {
        return {};
    }
    SDL_Surface* argb = SDL_ConvertSurfaceFormat(glyphs, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(glyphs);
    if (!argb) {
        return {};
    }
    width = argb->w;
    height = argb->h;
    std::vector<uint8_t> mask(static_cast<size_t>(width) * height);
    for (int row = 0; row < height; ++row) {
        const auto* pixels = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(argb->pixels) +
                                                               static_cast<size_t>(row) * argb->pitch);
        for (int column = 0; column < width; ++column) {
            mask[static_cast<size_t>(row) * width + column] = static_cast<uint8_t>(pixels[column] >> 24);
        }
    }
    SDL_FreeSurface(argb);
    return mask;
}

} // namespace glowfield
