#include "app/name_label.h"

#include <algorithm>

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
    fillBox(label, width, height, cornerRadius * scale, boxAlpha);
    const uint8_t white[3] = {255, 255, 255};
    blendMask(label, name, nameWidth, nameRows, paddingX * scale, paddingY * scale, white);
    if (!mark.empty()) {
        blendMask(label, mark, markWidth, markRows, paddingX * scale + nameWidth + gap * scale,
                  (height - markRows) / 2, markColour);
    }
}

} // namespace glowfield
