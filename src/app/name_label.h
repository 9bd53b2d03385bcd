// The name on the picture: "index name" in a dark rounded box in the lower left corner for about two seconds
// after each switch, with the lock shown beside it. It is drawn for the viewer onto the presented picture
// (the window's, or a recorded frame), never into the field.
#pragma once

#include <cstdint>
#include <string>

#include "app/overlay_label.h"

#include "platform/display_surface.h"

namespace glowfield {

// "5 Pond", or the index alone for the entry without a name.
std::string entryLabel(int entry);

// The window's title: "glowfield - 5 Pond".
std::string windowTitle(int entry);

class NameLabel : public OverlayLabel {
  public:
    static constexpr int shownTicks = 100; // two seconds at 50 frames a second
    static constexpr int fadeTicks = 25;   // the last half second fades out

    // Called once a frame with what is current. A new entry, a change of the lock, or names being switched
    // on shows the label again for shownTicks.
    void update(int entry, bool locked, bool namesShown);

    bool visible() const override { return ticksLeft_ > 0; }

    // 255 while shown, falling to 0 over the last fadeTicks.
    uint8_t opacity() const override;

    uint32_t version() const override { return version_; }

    const LabelPicture& picture(int scale) override;
    LabelPlacement placement(int scale) override;

  private:
    void draw(int scale);

    int entry_ = -1;
    bool locked_ = false;
    bool namesShown_ = false;
    int ticksLeft_ = 0;
    uint32_t version_ = 0;
    // Pictures by scale; an empty one is drawn at its first request.
    LabelPicture pictures_[maxScale + 1];
    bool drawn_[maxScale + 1] = {};
};

} // namespace glowfield
