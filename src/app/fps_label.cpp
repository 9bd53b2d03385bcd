// The frame-rate display: the count of frame steps and their durations over each second, as text in a dark
// box in the upper left corner of the presented picture.
#include "app/fps_label.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "platform/text_renderer.h"

namespace glowfield {

namespace {

// Sizes in pixels of the 800 x 600 picture.
constexpr int textHeight = 16;
constexpr int paddingX = 8;
constexpr int paddingY = 4;
constexpr int margin = 14;
constexpr int cornerRadius = 5;
constexpr uint8_t boxAlpha = 175;
constexpr double windowMs = 1000.0;

} // namespace

FpsLabel::FpsLabel() = default;
FpsLabel::~FpsLabel() = default;

std::string FpsLabel::format(double framesPerSecond, double frameMs) {
    char text[64];
    std::snprintf(text, sizeof text, "%.1f fps  %.2f ms", framesPerSecond, frameMs);
    return text;
}

void FpsLabel::frame(double startMs, double tookMs) {
    if (windowStart_ < 0) {
        windowStart_ = startMs;
    }
    const double elapsed = startMs - windowStart_;
    if (elapsed >= windowMs && windowFrames_ > 0) {
        text_ = format(windowFrames_ * 1000.0 / elapsed, windowTook_ / windowFrames_);
        ++version_;
        std::fill(std::begin(drawn_), std::end(drawn_), false);
        windowStart_ = startMs;
        windowFrames_ = 0;
        windowTook_ = 0;
    }
    ++windowFrames_;
    windowTook_ += tookMs;
}

const LabelPicture& FpsLabel::picture(int scale) {
    scale = std::clamp(scale, 1, maxScale);
    LabelPicture& label = pictures_[scale];
    if (drawn_[scale]) {
        return label;
    }
    drawn_[scale] = true;
    label = LabelPicture{};
    if (!fonts_[scale]) {
        fonts_[scale] = std::make_unique<TextRenderer>(textHeight * scale);
    }
    int width = 0, rows = 0;
    const std::vector<uint8_t> glyphs = fonts_[scale]->coverage(text_, width, rows);
    if (glyphs.empty()) {
        return label;
    }
    fillBox(label, width + 2 * paddingX * scale, rows + 2 * paddingY * scale, cornerRadius * scale, boxAlpha);
    const uint8_t white[3] = {255, 255, 255};
    blendMask(label, glyphs, width, rows, paddingX * scale, paddingY * scale, white);
    return label;
}

LabelPlacement FpsLabel::placement(int scale) {
    scale = std::clamp(scale, 1, maxScale);
    const LabelPicture& label = picture(scale);
    return {margin, margin, (label.width + scale - 1) / scale, (label.height + scale - 1) / scale};
}

} // namespace glowfield
