#include "platform/memory_surface.h"

#include <bit>
#include <cstring>

namespace glowfield {

uint32_t colourRefToPixel(uint32_t colourRef, const PixelFormat& format) {
    const uint32_t masks[3] = {format.redMask, format.greenMask, format.blueMask};
    uint32_t pixel = 0;
    for (int channel = 0; channel < 3; ++channel) {
        const uint32_t mask = masks[channel];
        if (mask == 0) {
            continue;
        }
        const uint32_t level = (colourRef >> (8 * channel)) & 0xff;
        const int shift = std::countr_zero(mask);
        const int bits = std::popcount(mask);
        // Narrow masks keep the top bits of the level; wide ones get it in their top bits.
        const uint64_t scaled = bits < 8 ? level >> (8 - bits) : static_cast<uint64_t>(level) << (bits - 8);
        pixel |= static_cast<uint32_t>(scaled << shift) & mask;
    }
    return pixel;
}

MemorySurface::MemorySurface(int32_t width, int32_t height, const PixelFormat& format, int32_t pitch)
    : width_(width), height_(height), format_(format), bytesPerPixel_(format.bitsPerPixel / 8) {
    const int32_t tight = width * bytesPerPixel_;
    pitch_ = pitch > tight ? pitch : tight;
    bytes_.assign(static_cast<size_t>(pitch_) * static_cast<size_t>(height), 0);
}

ResultCode MemorySurface::describe(int32_t& width, int32_t& height, PixelFormat& format) {
    width = width_;
    height = height_;
    format = format_;
    return result::ok;
}

ResultCode MemorySurface::lock(const LockRect* rect, bool, uint8_t*& memory, int32_t& pitch) {
    if (lockFailure_ != result::ok) {
        const ResultCode code = lockFailure_;
        lockFailure_ = result::ok;
        return code;
    }
    if (lost_) {
        return result::surfaceLost;
    }
    if (locked_) {
        return result::alreadyLocked;
    }
    size_t offset = 0;
    if (rect) {
        if (rect->left < 0 || rect->top < 0 || rect->right > width_ || rect->bottom > height_ ||
            rect->left >= rect->right || rect->top >= rect->bottom) {
            return result::invalidParameters;
        }
        offset = static_cast<size_t>(rect->top) * pitch_ + static_cast<size_t>(rect->left) * bytesPerPixel_;
    }
    locked_ = true;
    memory = bytes_.data() + offset;
    pitch = pitch_;
    return result::ok;
}

ResultCode MemorySurface::unlock(const LockRect*) {
    if (unlockFailure_ != result::ok) {
        const ResultCode code = unlockFailure_;
        unlockFailure_ = result::ok;
        locked_ = false;
        return code;
    }
    if (!locked_) {
        return result::generic;
    }
    locked_ = false;
    return result::ok;
}

ResultCode MemorySurface::isLost() {
    return lost_ ? result::surfaceLost : result::ok;
}

ResultCode MemorySurface::restore() {
    ++restores_;
    if (restoreFailure_ != result::ok) {
        return restoreFailure_;
    }
    lost_ = false;
    return result::ok;
}

ResultCode MemorySurface::setPixel(int32_t x, int32_t y, uint32_t colourRef) {
    if (locked_ || x < 0 || y < 0 || x >= width_ || y >= height_) {
        return result::invalidParameters;
    }
    const uint32_t pixel = colourRefToPixel(colourRef, format_);
    uint8_t* at = bytes_.data() + static_cast<size_t>(y) * pitch_ + static_cast<size_t>(x) * bytesPerPixel_;
    for (int32_t i = 0; i < bytesPerPixel_ && i < 4; ++i) {
        at[i] = static_cast<uint8_t>(pixel >> (8 * i));
    }
    return result::ok;
}

uint32_t MemorySurface::pixelAt(int32_t x, int32_t y) const {
    const uint8_t* at =
        bytes_.data() + static_cast<size_t>(y) * pitch_ + static_cast<size_t>(x) * bytesPerPixel_;
    uint32_t pixel = 0;
    for (int32_t i = 0; i < bytesPerPixel_ && i < 4; ++i) {
        pixel |= static_cast<uint32_t>(at[i]) << (8 * i);
    }
    return pixel;
}

ResultCode MemoryDevice::createScratchSurface(int32_t width, int32_t height, const PixelFormat& format,
                                              std::shared_ptr<DisplaySurface>& surface) {
    if (width <= 0 || height <= 0 || format.bitsPerPixel < 8 || format.bitsPerPixel > 32) {
        return result::invalidParameters;
    }
    surface = std::make_shared<MemorySurface>(width, height, format);
    return result::ok;
}

} // namespace glowfield
