#include "display/surface_writer.h"

namespace glowfield {

namespace {

constexpr int32_t scratchWidth = 260;
constexpr int32_t scratchHeight = 4;

int32_t storeBytesFor(int32_t bitsPerPixel) {
    switch (bitsPerPixel) {
    case 32:
        return 4;
    case 24:
        return 3;
    case 16:
        return 2;
    default:
        return 1;
    }
}

} // namespace

SurfaceWriter::~SurfaceWriter() {
    clear();
}

void SurfaceWriter::clear() {
    surface_.reset();
    display_.reset();
    height_ = width_ = bitsPerPixel_ = bytesPerPixel_ = 0;
    storeBytes_ = 1;
    colourMask_ = redMask_ = greenMask_ = blueMask_ = 0;
    for (int i = 0; i < 256; ++i) {
        redTable_[i] = greenTable_[i] = blueTable_[i] = 0;
    }
    lockRect_ = LockRect{};
    lockedRect_ = false;
    pitch_ = 0;
    lockBase_ = lineStart_ = cursor_ = nullptr;
}

ResultCode SurfaceWriter::initialise(std::shared_ptr<DisplaySurface> surface,
                                     std::shared_ptr<DisplayDevice> display) {
    if (surface_) {
        return result::alreadyInitialised;
    }
    if (!surface || !display) {
        return result::invalidParameters;
    }
    PixelFormat format;
    ResultCode code = surface->describe(width_, height_, format);
    if (code != result::ok) {
        clear();
        return code;
    }
    if (!format.isRgb) {
        clear();
        return result::notImplemented;
    }
    bitsPerPixel_ = format.bitsPerPixel;
    bytesPerPixel_ = format.bitsPerPixel / 8;
    storeBytes_ = storeBytesFor(bitsPerPixel_);
    redMask_ = format.redMask;
    greenMask_ = format.greenMask;
    blueMask_ = format.blueMask;
    colourMask_ = redMask_ | greenMask_ | blueMask_;

    std::shared_ptr<DisplaySurface> scratch;
    code = display->createScratchSurface(scratchWidth, scratchHeight, format, scratch);
    if (code != result::ok || !scratch) {
        clear();
        return code != result::ok ? code : result::generic;
    }
    // Palette displays are never set up by this program, so only direct colour is supported.
    if (bitsPerPixel_ <= 8) {
        clear();
        return result::notImplemented;
    }
    scratch->setPixel(0, 0, 0xffffff);
    code = buildTables(*scratch);
    if (code != result::ok) {
        clear();
        return code;
    }
    surface_ = std::move(surface);
    display_ = std::move(display);
    return result::ok;
}

// Draws every level of each channel through the display's own pixel conversion and reads the bits back, so
// the tables hold exactly what the display expects.
ResultCode SurfaceWriter::buildTables(DisplaySurface& scratch) {
    uint8_t* memory = nullptr;
    int32_t pitch = 0;
    ResultCode code = scratch.lock(nullptr, true, memory, pitch);
    if (code != result::ok) {
        return code;
    }
    code = scratch.unlock(nullptr);
    if (code != result::ok) {
        return code;
    }
    for (int32_t y = 0; y < 3; ++y) {
        for (int32_t i = 0; i < 256; ++i) {
            scratch.setPixel(i, y, static_cast<uint32_t>(i) << (8 * y));
        }
        scratch.setPixel(256, y, 0);
    }
    code = scratch.lock(nullptr, true, memory, pitch);
    if (code != result::ok) {
        return code;
    }
    uint32_t* const tables[3] = {redTable_, greenTable_, blueTable_};
    const uint32_t masks[3] = {redMask_, greenMask_, blueMask_};
    const int32_t readBytes = bytesPerPixel_ < 4 ? bytesPerPixel_ : 4;
    for (int32_t y = 0; y < 3; ++y) {
        const uint8_t* at = memory + static_cast<ptrdiff_t>(y) * pitch;
        for (int32_t i = 0; i < 256; ++i) {
            uint32_t pixel = 0;
            for (int32_t b = 0; b < readBytes; ++b) {
                pixel |= static_cast<uint32_t>(at[b]) << (8 * b);
            }
            at += bytesPerPixel_;
            tables[y][i] = pixel & masks[y];
        }
    }
    return scratch.unlock(nullptr);
}

ResultCode SurfaceWriter::lock(const LockRect* rect, bool wait) {
    if (lockBase_) {
        return result::alreadyLocked;
    }
    if (!surface_) {
        return result::generic;
    }
    if (surface_->isLost() == result::surfaceLost) {
        const ResultCode restored = surface_->restore();
        if (restored != result::ok) {
            return restored;
        }
    }
    uint8_t* memory = nullptr;
    int32_t pitch = 0;
    const ResultCode code = surface_->lock(rect, wait, memory, pitch);
    if (code != result::ok) {
        return code;
    }
    pitch_ = pitch;
    lockBase_ = lineStart_ = cursor_ = memory;
    lockedRect_ = rect != nullptr;
    lockRect_ = rect ? *rect : LockRect{};
    return result::ok;
}

ResultCode SurfaceWriter::unlock() {
    if (!surface_) {
        return result::generic;
    }
    const ResultCode code = surface_->unlock(lockedRect_ ? &lockRect_ : nullptr);
    // The writer forgets the lock even when the unlock fails: keeping it would refuse every later lock and
    // leave the display frozen for the rest of the run.
    lockBase_ = lineStart_ = cursor_ = nullptr;
    lockedRect_ = false;
    return code;
}

} // namespace glowfield
