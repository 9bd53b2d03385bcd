// Photos made to fit the screen: the middle of the picture at the screen's 4:3 shape, averaged down to at
// most the 800 x 600 pixels that the screen shows.
#pragma once

#include <cstdint>
#include <vector>

namespace glowfield {

// The most that a compressed picture keeps: the presented picture's own size. The field shows far less, and
// every picture effect stretches the picture's extent over the whole screen.
inline constexpr int fittedWidth = 800;
inline constexpr int fittedHeight = 600;

// An upright picture in top-down rows of red, green, blue bytes.
struct FittedPicture {
    std::vector<uint8_t> rgb;
    int width = 0;
    int height = 0;
};

struct PictureCrop {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The largest 4:3 part of a width x height picture, centred: the screen is covered and nothing is
// stretched, a wider photo losing its sides and a taller one its top and bottom.
PictureCrop coverCrop(int width, int height);

// What a crop of that size becomes: itself when it fits in 800 x 600, else 800 x 600.
PictureCrop fittedSize(const PictureCrop& crop);

// Averages rows of inWidth pixels, given top to bottom, down to outWidth x outHeight (each no larger than the
// input): every output pixel is the mean of the input area it covers, partly covered pixels weighed by the
// share they cover, in integers, so that every machine gets the same bytes. Equal sizes copy exactly.
class BoxScaler {
  public:
    BoxScaler(int inWidth, int inHeight, int outWidth, int outHeight);

    void addRow(const uint8_t* rgb); // inWidth pixels; rows past inHeight are ignored
    FittedPicture finish();          // rows never given count as black

  private:
    int inWidth_, inHeight_, outWidth_, outHeight_;
    int rowsGiven_ = 0;
    std::vector<uint32_t> firstColumn_; // per input column: the output column it starts in
    std::vector<uint32_t> firstWeight_; // and its share of it; the rest goes to the next column
    std::vector<uint32_t> rowSum_;      // one input row averaged across
    std::vector<uint64_t> sums_;        // output pixels, weighed by both shares
};

} // namespace glowfield
