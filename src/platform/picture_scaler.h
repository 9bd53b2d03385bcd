// Scales the picture of 4-byte pixels into a larger output with hard edges at the cost of writing the output:
// each source row is scaled across once, then copied to every output row that repeats it.
#pragma once

#include <cstdint>
#include <vector>

namespace glowfield {

struct ScaledArea {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Where a picture stands on an output when scaled as large as fits with its aspect kept, centred: the area a
// renderer's logical size gives it, with bars on two sides where the aspects differ.
ScaledArea letterboxArea(int pictureWidth, int pictureHeight, int outputWidth, int outputHeight);

class PictureScaler {
  public:
    // Nearest sampling: output pixel d of a row shows source pixel (d * step + step / 2) >> 16, with step the
    // 16.16 ratio of the sizes (rows alike), so a whole factor repeats each pixel exactly that often.
    // source and target hold 4-byte pixels; target points at the area's first pixel. Any sizes from 1 up.
    void scale(const uint8_t* source, int sourcePitch, int sourceWidth, int sourceHeight, uint8_t* target,
               int targetPitch, int targetWidth, int targetHeight);

  private:
    void prepareColumns(int sourceWidth, int targetWidth);
    void scaleRow(const uint32_t* source, uint32_t* target) const;

    int sourceWidth_ = 0;
    int targetWidth_ = 0;
    std::vector<int32_t> columns_; // the source column of each output column
    std::vector<int32_t> loadAt_;  // per group of eight output columns: the first of eight source pixels
    std::vector<uint32_t> lanes_;  // per group: which of those eight each output pixel takes
    bool grouped_ = false;         // groups are used (the output is at least as wide as the source)
    std::vector<uint32_t> row_;    // one scaled row
};

} // namespace glowfield
