// The frame-rate display: frames per second and the mean time a frame step took, measured over each second
// of the run and shown in the upper left corner of the presented picture (never in the field).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "app/overlay_label.h"

namespace glowfield {

class TextRenderer;

class FpsLabel : public OverlayLabel {
  public:
    FpsLabel();
    ~FpsLabel() override;

    // Called once per frame step with its start and its duration in milliseconds on a steady clock. The
    // text follows once a second.
    void frame(double startMs, double tookMs);

    // "50.0 fps  0.84 ms", or empty before the first second is measured.
    const std::string& text() const { return text_; }

    // The text for a measured rate and mean frame time.
    static std::string format(double framesPerSecond, double frameMs);

    bool visible() const override { return !text_.empty(); }
    uint8_t opacity() const override { return 255; }
    uint32_t version() const override { return version_; }
    const LabelPicture& picture(int scale) override;
    LabelPlacement placement(int scale) override;

  private:
    double windowStart_ = -1;
    int windowFrames_ = 0;
    double windowTook_ = 0;
    std::string text_;
    uint32_t version_ = 0;
    // Pictures by scale, drawn at their first request after each change; fonts kept, since the text changes
    // every second.
    LabelPicture pictures_[maxScale + 1];
    bool drawn_[maxScale + 1] = {};
    std::unique_ptr<TextRenderer> fonts_[maxScale + 1];
};

} // namespace glowfield
