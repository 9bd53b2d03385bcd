// Drawing shared by the labels over the presented picture: the rounded box, text coverage blended into it,
// and the label blended onto an 800 x 600 frame.
#include "app/overlay_label.h"

#include <bit>
#include <cstddef>

namespace glowfield {

bool insideRoundedBox(int x, int y, int width, int height, int radius) {
    const int dx = x < radius ? radius - x - 1 : x >= width - radius ? x - (width - radius) : -1;
    const int dy = y < radius ? radius - y - 1 : y >= height - radius ? y - (height - radius) : -1;
    if (dx < 0 || dy < 0) {
        return true;
    }
    return dx * dx + dy * dy < radius * radius;
}

void blendMask(LabelPicture& picture, const std::vector<uint8_t>& mask, int maskWidth, int maskHeight,
               int left, int top, const uint8_t colour[3]) {
    for (int y = 0; y < maskHeight; ++y) {
        for (int x = 0; x < maskWidth; ++x) {
            const int px = left + x;
            const int py = top + y;
            const uint32_t alpha = mask[static_cast<size_t>(y) * maskWidth + x];
            if (alpha == 0 || px < 0 || py < 0 || px >= picture.width || py >= picture.height) {
                continue;
            }
            uint8_t* out = &picture.rgba[(static_cast<size_t>(py) * picture.width + px) * 4];
            for (int c = 0; c < 3; ++c) {
                out[c] = static_cast<uint8_t>((colour[c] * alpha + out[c] * (255 - alpha)) / 255);
            }
            out[3] = static_cast<uint8_t>(out[3] + (255 - out[3]) * alpha / 255);
        }
    }
}

void fillBox(LabelPicture& picture, int width, int height, int radius, uint8_t alpha) {
    picture.width = width;
    picture.height = height;
    picture.rgba.assign(static_cast<size_t>(width) * height * 4, 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (insideRoundedBox(x, y, width, height, radius)) {
                picture.rgba[(static_cast<size_t>(y) * width + x) * 4 + 3] = alpha;
            }
        }
    }
}

void OverlayLabel::drawOnto(uint8_t* rgb, int pitch) {
    PixelFormat format;
    format.bitsPerPixel = 24;
    format.redMask = 0x0000ff;
    format.greenMask = 0x00ff00;
    format.blueMask = 0xff0000;
    drawOnto(rgb, pitch, format);
}

void OverlayLabel::drawOnto(uint8_t* pixels, int pitch, const PixelFormat& format) {
    if (!visible()) {
        return;
    }
    const int bytes = format.bitsPerPixel / 8;
    // The byte of each channel within a pixel; a format whose channels are not whole bytes gets no label.
    int offsets[3];
    const uint32_t masks[3] = {format.redMask, format.greenMask, format.blueMask};
    for (int c = 0; c < 3; ++c) {
        const int shift = masks[c] ? std::countr_zero(masks[c]) : -1;
        if (shift < 0 || shift % 8 != 0 || masks[c] >> shift != 0xff || shift / 8 >= bytes) {
            return;
        }
        offsets[c] = shift / 8;
    }
    const LabelPicture& label = picture(1);
    const LabelPlacement at = placement(1);
    const uint32_t opacity = this->opacity();
    for (int y = 0; y < label.height; ++y) {
        const int py = at.y + y;
        if (py < 0 || py >= 600) {
            continue;
        }
        for (int x = 0; x < label.width; ++x) {
            const int px = at.x + x;
            const uint8_t* in = &label.rgba[(static_cast<size_t>(y) * label.width + x) * 4];
            const uint32_t alpha = in[3] * opacity / 255;
            if (alpha == 0 || px < 0 || px >= 800) {
                continue;
            }
            uint8_t* out = pixels + static_cast<size_t>(py) * pitch + static_cast<size_t>(px) * bytes;
            for (int c = 0; c < 3; ++c) {
                uint8_t& channel = out[offsets[c]];
                channel = static_cast<uint8_t>((in[c] * alpha + channel * (255 - alpha)) / 255);
            }
        }
    }
}

} // namespace glowfield
