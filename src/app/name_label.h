// The name on the picture: "index name" in a dark rounded box in the lower left corner for about two seconds
// after each switch, with the lock shown beside it. It is drawn for the viewer onto the presented picture
// (the window's, or a recorded frame), never into the field.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/display_surface.h"

namespace glowfield {

// "5 Pond", or the index alone for the entry without a name.
std::string entryLabel(int entry);

// The window's title: "glowfield - 5 Pond".
std::string windowTitle(int entry);

// A picture of the label, straight (not premultiplied) RGBA, 4 bytes per pixel, row by row.
struct LabelPicture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;
};

// Where the label stands on the 800 x 600 picture, in its pixels.
struct LabelPlacement {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

class NameLabel {
  public:
    static constexpr int shownTicks = 100; // two seconds at 50 frames a second
    static constexpr int fadeTicks = 25;   // the last half second fades out

    // Called once a frame with what is current. A new entry, a change of the lock, or names being switched
    // on shows the label again for shownTicks.
    void update(int entry, bool locked, bool namesShown);

    bool visible() const { return ticksLeft_ > 0; }

    // 255 while shown, falling to 0 over the last fadeTicks.
    uint8_t opacity() const;

    // Changes whenever what the label says changes, so that a copy of its picture (a texture) knows to
    // follow.
    uint32_t version() const { return version_; }

    // The label drawn at scale times the picture's resolution (1 for an 800 x 600 frame, 2 or more for a
    // sharp label on a large screen; at most maxScale), and where it stands on the 800 x 600 picture.
    static constexpr int maxScale = 6;
    const LabelPicture& picture(int scale);
    LabelPlacement placement(int scale);

    // Blends the label onto an 800 x 600 picture of 8-bit RGB (red first), 3 bytes per pixel.
    void drawOnto(uint8_t* rgb, int pitch);
    // The same onto a picture of the given format (channels of whole bytes, 3 or 4 bytes a pixel).
    void drawOnto(uint8_t* pixels, int pitch, const PixelFormat& format);

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
