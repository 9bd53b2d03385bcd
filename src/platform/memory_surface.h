// The in-memory display back-end: surfaces of 16, 24 or 32 bits per pixel with any masks and any pitch, for
// headless runs and tests. Tests can make a surface report itself lost or make lock and unlock fail.
#pragma once

#include <vector>

#include "platform/display_surface.h"

namespace glowfield {

class MemorySurface : public DisplaySurface {
  public:
    // pitch 0 means the tightest pitch, width times bytes per pixel.
    MemorySurface(int32_t width, int32_t height, const PixelFormat& format, int32_t pitch = 0);

    ResultCode describe(int32_t& width, int32_t& height, PixelFormat& format) override;
    ResultCode lock(const LockRect* rect, bool wait, uint8_t*& memory, int32_t& pitch) override;
    ResultCode unlock(const LockRect* rect) override;
    ResultCode isLost() override;
    ResultCode restore() override;
    ResultCode setPixel(int32_t x, int32_t y, uint32_t colourRef) override;

    int32_t width() const { return width_; }
    int32_t height() const { return height_; }
    int32_t pitch() const { return pitch_; }
    const PixelFormat& format() const { return format_; }
    const std::vector<uint8_t>& bytes() const { return bytes_; }
    std::vector<uint8_t>& bytes() { return bytes_; }
    bool locked() const { return locked_; }

    // The pixel bits at (x, y), read in the surface's own layout.
    uint32_t pixelAt(int32_t x, int32_t y) const;

    // Fault injection for tests.
    void setLost(bool lost) { lost_ = lost; }
    void failNextLock(ResultCode code) { lockFailure_ = code; }
    void failNextUnlock(ResultCode code) { unlockFailure_ = code; }
    void failRestore(ResultCode code) { restoreFailure_ = code; }
    int restoreCount() const { return restores_; }

  private:
    int32_t width_;
    int32_t height_;
    PixelFormat format_;
    int32_t bytesPerPixel_;
    int32_t pitch_;
    std::vector<uint8_t> bytes_;
    bool locked_ = false;
    bool lost_ = false;
    ResultCode lockFailure_ = result::ok;
    ResultCode unlockFailure_ = result::ok;
    ResultCode restoreFailure_ = result::ok;
    int restores_ = 0;
};

class MemoryDevice : public DisplayDevice {
  public:
    ResultCode createScratchSurface(int32_t width, int32_t height, const PixelFormat& format,
                                    std::shared_ptr<DisplaySurface>& surface) override;
};

} // namespace glowfield
