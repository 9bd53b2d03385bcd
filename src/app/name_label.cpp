#include "app/name_label.h"

#include <algorithm>
#include <bit>

#include "effects/catalogue.h"
#include "platform/text_renderer.h"

namespace glowfield {

namespace {

// Sizes in pixels of the 800 x 600 picture.
constexpr int nameHeight = 20;
constexpr int markHeight = 12;
constexpr int paddingX = 10;
constexpr int paddingY = 5;
constexpr int gap = 10;
constexpr int margin = 14;
constexpr int cornerRadius = 6;

constexpr uint8_t boxAlpha = 175;
constexpr uint8_t markColour[3] = {255, 196, 64};

// Whether pixel (x, y) of a width x height box lies inside its rounded corners.
bool insideRoundedBox(int x, int y, int width, int height, int radius) {
    const int dx = x < radius ? radius - x - 1 : x >= width - radius ? x - (width - radius) : -1;
    const int dy = y < radius ? radius - y - 1 : y >= height - radius ? y - (height - radius) : -1;
    if (dx < 0 || dy < 0) {
        return true;
    }
    return dx * dx + dy * dy < radius * radius;
}

// Writes coverage of one colour into the label, over what is there.
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

} // namespace

std::string entryLabel(int entry) {
    const char* name = effectName(entry);
    return name ? std::to_string(entry) + " " + name : std::to_string(entry);
}

std::string windowTitle(int entry) {
    return "glowfield - " + entryLabel(entry);
}

void NameLabel::update(int entry, bool locked, bool namesShown) {
    const bool changed = entry != entry_ || locked != locked_;
    if (changed || (namesShown && !namesShown_)) {
        ticksLeft_ = namesShown ? shownTicks : 0;
    } else if (!namesShown) {
        ticksLeft_ = 0;
    } else if (ticksLeft_ > 0) {
        --ticksLeft_;
    }
    if (changed) {
        entry_ = entry;
        locked_ = locked;
        ++version_;
        std::fill(std::begin(drawn_), std::end(drawn_), false);
    }
    namesShown_ = namesShown;
}

uint8_t NameLabel::opacity() const {
    if (ticksLeft_ <= 0) {
        return 0;
    }
    return ticksLeft_ >= fadeTicks ? 255 : static_cast<uint8_t>(255 * ticksLeft_ / fadeTicks);
}

const LabelPicture& NameLabel::picture(int scale) {
    scale = std::clamp(scale, 1, maxScale);
    if (!drawn_[scale]) {
        draw(scale);
    }
    return pictures_[scale];
}

LabelPlacement NameLabel::placement(int scale) {
    scale = std::clamp(scale, 1, maxScale);
    const LabelPicture& label = picture(scale);
    const int width = (label.width + scale - 1) / scale;
    const int height = (label.height + scale - 1) / scale;
    return {margin, 600 - margin - height, width, height};
}

void NameLabel::draw(int scale) {
    drawn_[scale] = true;
    LabelPicture& label = pictures_[scale];
    label = LabelPicture{};
    // Fonts are opened for the drawing only: a label is drawn a few times a minute at most.
    const TextRenderer text(nameHeight * scale);
    int nameWidth = 0, nameRows = 0;
    const std::vector<uint8_t> name = text.coverage(entryLabel(entry_), nameWidth, nameRows);
    if (name.empty()) {
        return;
    }
    int markWidth = 0, markRows = 0;
    std::vector<uint8_t> mark;
    if (locked_) {
        const TextRenderer smallText(markHeight * scale);
        mark = smallText.coverage("LOCKED", markWidth, markRows);
    }
    const int width = nameWidth + 2 * paddingX * scale + (mark.empty() ? 0 : gap * scale + markWidth);
    const int height = nameRows + 2 * paddingY * scale;
    label.width = width;
    label.height = height;
    label.rgba.assign(static_cast<size_t>(width) * height * 4, 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (insideRoundedBox(x, y, width, height, cornerRadius * scale)) {
                label.rgba[(static_cast<size_t>(y) * width + x) * 4 + 3] = boxAlpha;
            }
        }
    }
    const uint8_t white[3] = {255, 255, 255};
    blendMask(label, name, nameWidth, nameRows, paddingX * scale, paddingY * scale, white);
    if (!mark.empty()) {
        blendMask(label, mark, markWidth, markRows, paddingX * scale + nameWidth + gap * scale,
                  (height - markRows) / 2, markColour);
    }
}

void NameLabel::drawOnto(uint8_t* rgb, int pitch) {
    PixelFormat format;
    format.bitsPerPixel = 24;
    format.redMask = 0x0000ff;
    format.greenMask = 0x00ff00;
    format.blueMask = 0xff0000;
    drawOnto(rgb, pitch, format);
}

void NameLabel::drawOnto(uint8_t* pixels, int pitch, const PixelFormat& format) {
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
