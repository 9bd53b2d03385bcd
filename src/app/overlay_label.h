// A label drawn for the viewer over the presented picture (the window's, or a recorded frame), never into the
// field: its picture at a resolution that keeps its letters sharp, where it stands on the 800 x 600 picture,
// and how opaque it is now. The name label and the frame-rate display are such labels.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/display_surface.h"

namespace glowfield {

// A picture of a label, straight (not premultiplied) RGBA, 4 bytes per pixel, row by row.
struct LabelPicture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;
};

// Where a label stands on the 800 x 600 picture, in its pixels.
struct LabelPlacement {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

class OverlayLabel {
  public:
    virtual ~OverlayLabel() = default;

    static constexpr int maxScale = 6;

    virtual bool visible() const = 0;

    // 255 while fully shown.
    virtual uint8_t opacity() const = 0;

    // Changes whenever what the label says changes, so that a copy of its picture (a texture) knows to
    // follow.
    virtual uint32_t version() const = 0;

    // The label drawn at scale times the picture's resolution (1 for an 800 x 600 frame, 2 or more for a
    // sharp label on a large screen; at most maxScale), and where it stands on the 800 x 600 picture.
    virtual const LabelPicture& picture(int scale) = 0;
    virtual LabelPlacement placement(int scale) = 0;

    // Blends the label onto an 800 x 600 picture of 8-bit RGB (red first), 3 bytes per pixel.
    void drawOnto(uint8_t* rgb, int pitch);
    // The same onto a picture of the given format (channels of whole bytes, 3 or 4 bytes a pixel).
    void drawOnto(uint8_t* pixels, int pitch, const PixelFormat& format);
};

// Whether pixel (x, y) of a width x height box lies inside its rounded corners.
bool insideRoundedBox(int x, int y, int width, int height, int radius);

// Writes coverage of one colour into the label, over what is there.
void blendMask(LabelPicture& picture, const std::vector<uint8_t>& mask, int maskWidth, int maskHeight,
               int left, int top, const uint8_t colour[3]);

// Fills a picture of the given size with a dark, translucent box with rounded corners.
void fillBox(LabelPicture& picture, int width, int height, int radius, uint8_t alpha);

} // namespace glowfield
