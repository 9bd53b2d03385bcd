// Photos made to fit the screen: the 4:3 middle of a picture, averaged down by areas in integers.
#include "field/picture_scale.h"

#include <algorithm>

namespace glowfield {

PictureCrop coverCrop(int width, int height) {
    PictureCrop crop{0, 0, width, height};
    if (static_cast<int64_t>(width) * 3 > static_cast<int64_t>(height) * 4) {
        crop.width = std::max(1, static_cast<int>(static_cast<int64_t>(height) * 4 / 3));
        crop.x = (width - crop.width) / 2;
    } else {
        crop.height = std::max(1, static_cast<int>(static_cast<int64_t>(width) * 3 / 4));
        crop.y = (height - crop.height) / 2;
    }
    return crop;
}

PictureCrop fittedSize(const PictureCrop& crop) {
    if (crop.width <= fittedWidth && crop.height <= fittedHeight) {
        return {0, 0, crop.width, crop.height};
    }
    return {0, 0, fittedWidth, fittedHeight};
}

// Input pixel s covers [s * out, (s + 1) * out) and output pixel o covers [o * in, (o + 1) * in) of the same
// scale; as out <= in, an input pixel meets at most two output pixels.
BoxScaler::BoxScaler(int inWidth, int inHeight, int outWidth, int outHeight)
    : inWidth_(inWidth), inHeight_(inHeight), outWidth_(outWidth), outHeight_(outHeight),
      firstColumn_(static_cast<size_t>(inWidth)), firstWeight_(static_cast<size_t>(inWidth)),
      rowSum_(3 * static_cast<size_t>(outWidth) + 3),
      sums_(3 * (static_cast<size_t>(outWidth) * outHeight + outWidth)) {
    for (int s = 0; s < inWidth; ++s) {
        const int64_t start = static_cast<int64_t>(s) * outWidth;
        const int64_t o = start / inWidth;
        firstColumn_[s] = static_cast<uint32_t>(o);
        firstWeight_[s] =
            static_cast<uint32_t>(std::min<int64_t>((o + 1) * inWidth, start + outWidth) - start);
    }
}

void BoxScaler::addRow(const uint8_t* rgb) {
    if (rowsGiven_ >= inHeight_) {
        return;
    }
    std::fill(rowSum_.begin(), rowSum_.end(), 0u);
    const uint32_t unit = static_cast<uint32_t>(outWidth_);
    for (int s = 0; s < inWidth_; ++s) {
        const uint32_t first = firstWeight_[s], second = unit - first;
        uint32_t* to = &rowSum_[3 * static_cast<size_t>(firstColumn_[s])];
        const uint8_t* pixel = rgb + 3 * static_cast<size_t>(s);
        for (int c = 0; c < 3; ++c) {
            to[c] += first * pixel[c];
            to[3 + c] += second * pixel[c]; // the spare column past the end takes a zero share
        }
    }
    const int64_t start = static_cast<int64_t>(rowsGiven_) * outHeight_;
    const int64_t p = start / inHeight_;
    const uint64_t first =
        static_cast<uint64_t>(std::min<int64_t>((p + 1) * inHeight_, start + outHeight_) - start);
    const uint64_t second = static_cast<uint64_t>(outHeight_) - first;
    uint64_t* row = &sums_[3 * static_cast<size_t>(p) * outWidth_];
    const size_t samples = 3 * static_cast<size_t>(outWidth_);
    for (size_t i = 0; i < samples; ++i) {
        row[i] += first * rowSum_[i];
        row[samples + i] += second * rowSum_[i]; // the spare row past the end takes a zero share
    }
    ++rowsGiven_;
}

FittedPicture BoxScaler::finish() {
    FittedPicture fitted;
    fitted.width = outWidth_;
    fitted.height = outHeight_;
    fitted.rgb.resize(3 * static_cast<size_t>(outWidth_) * outHeight_);
    const uint64_t area = static_cast<uint64_t>(inWidth_) * static_cast<uint64_t>(inHeight_);
    for (size_t i = 0; i < fitted.rgb.size(); ++i) {
        fitted.rgb[i] = static_cast<uint8_t>((sums_[i] + area / 2) / area);
    }
    return fitted;
}

} // namespace glowfield
