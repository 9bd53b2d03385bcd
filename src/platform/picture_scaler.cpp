#include "platform/picture_scaler.h"

#include <immintrin.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace glowfield {

ScaledArea letterboxArea(int pictureWidth, int pictureHeight, int outputWidth, int outputHeight) {
    if (pictureWidth <= 0 || pictureHeight <= 0 || outputWidth <= 0 || outputHeight <= 0) {
        return {};
    }
    const double wanted = static_cast<double>(pictureWidth) / pictureHeight;
    const double real = static_cast<double>(outputWidth) / outputHeight;
    if (std::fabs(wanted - real) < 0.0001) {
        return {0, 0, outputWidth, outputHeight};
    }
    if (wanted > real) {
        const double scale = static_cast<double>(outputWidth) / pictureWidth;
        const int height = std::max(1, static_cast<int>(std::floor(pictureHeight * scale)));
        return {0, (outputHeight - height) / 2, outputWidth, height};
    }
    const double scale = static_cast<double>(outputHeight) / pictureHeight;
    const int width = std::max(1, static_cast<int>(std::floor(pictureWidth * scale)));
    return {(outputWidth - width) / 2, 0, width, outputHeight};
}

namespace {

// The source index of each of count outputs for a source of size sourceSize.
void nearestMap(int sourceSize, int count, int32_t* map) {
    const uint64_t step = (static_cast<uint64_t>(sourceSize) << 16) / static_cast<uint64_t>(count);
    uint64_t position = step / 2;
    for (int i = 0; i < count; ++i) {
        map[i] =
            static_cast<int32_t>(std::min<uint64_t>(position >> 16, static_cast<uint64_t>(sourceSize - 1)));
        position += step;
    }
}

// Eight output pixels at a time: eight neighbouring source pixels loaded and permuted into place.
__attribute__((target("avx2"))) void scaleRowGrouped(const uint32_t* source, uint32_t* target, int groups,
                                                     const int32_t* loadAt, const uint32_t* lanes) {
    for (int g = 0; g < groups; ++g) {
        const __m256i pixels = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(source + loadAt[g]));
        const __m256i which = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(lanes + 8 * g));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(target + 8 * g),
                            _mm256_permutevar8x32_epi32(pixels, which));
    }
}

const bool hasAvx2 = __builtin_cpu_supports("avx2");

} // namespace

void PictureScaler::prepareColumns(int sourceWidth, int targetWidth) {
    sourceWidth_ = sourceWidth;
    targetWidth_ = targetWidth;
    columns_.assign(static_cast<size_t>(targetWidth), 0);
    nearestMap(sourceWidth, targetWidth, columns_.data());
    row_.assign(static_cast<size_t>(targetWidth) + 8, 0);
    // Eight outputs come from eight neighbouring sources only where no source pixel is skipped.
    grouped_ = hasAvx2 && targetWidth >= sourceWidth && sourceWidth >= 8;
    loadAt_.clear();
    lanes_.clear();
    if (!grouped_) {
        return;
    }
    const int groups = targetWidth / 8;
    for (int g = 0; g < groups; ++g) {
        const int32_t at = std::min(columns_[8 * g], sourceWidth - 8);
        loadAt_.push_back(at);
        for (int j = 0; j < 8; ++j) {
            lanes_.push_back(static_cast<uint32_t>(columns_[8 * g + j] - at));
        }
    }
}

void PictureScaler::scaleRow(const uint32_t* source, uint32_t* target) const {
    int done = 0;
    if (grouped_) {
        const int groups = targetWidth_ / 8;
        scaleRowGrouped(source, target, groups, loadAt_.data(), lanes_.data());
        done = groups * 8;
    }
    for (int d = done; d < targetWidth_; ++d) {
        target[d] = source[columns_[d]];
    }
}

void PictureScaler::scale(const uint8_t* source, int sourcePitch, int sourceWidth, int sourceHeight,
                          uint8_t* target, int targetPitch, int targetWidth, int targetHeight) {
    if (sourceWidth <= 0 || sourceHeight <= 0 || targetWidth <= 0 || targetHeight <= 0) {
        return;
    }
    if (sourceWidth != sourceWidth_ || targetWidth != targetWidth_) {
        prepareColumns(sourceWidth, targetWidth);
    }
    const uint64_t step = (static_cast<uint64_t>(sourceHeight) << 16) / static_cast<uint64_t>(targetHeight);
    uint64_t position = step / 2;
    int scaledRow = -1;
    for (int d = 0; d < targetHeight; ++d) {
        const int row =
            static_cast<int>(std::min<uint64_t>(position >> 16, static_cast<uint64_t>(sourceHeight - 1)));
        position += step;
        if (row != scaledRow) {
            // The picture repeats most of its rows (each row of cells is several lines high): a row equal to
            // the one scaled last is not scaled again.
            const uint8_t* line = source + static_cast<ptrdiff_t>(row) * sourcePitch;
            if (scaledRow < 0 || std::memcmp(line, source + static_cast<ptrdiff_t>(scaledRow) * sourcePitch,
                                             static_cast<size_t>(sourceWidth) * 4) != 0) {
                scaleRow(reinterpret_cast<const uint32_t*>(line), row_.data());
            }
            scaledRow = row;
        }
        // Measured faster than stores that bypass the cache, at every output size tried.
        std::memcpy(target + static_cast<ptrdiff_t>(d) * targetPitch, row_.data(),
                    static_cast<size_t>(targetWidth) * 4);
    }
}

} // namespace glowfield
