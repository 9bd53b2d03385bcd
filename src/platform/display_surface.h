// The display interface that the surface writer drives: a lockable surface with a pixel format, and a display
// object that makes scratch surfaces. The SDL back-end implements it over a streaming texture; the memory
// back-end implements it for headless runs and tests.
#pragma once

#include <cstdint>
#include <memory>

namespace glowfield {

// The size of the picture the player shows, in pixels.
inline constexpr int displayWidth = 800;
inline constexpr int displayHeight = 600;

// 32-bit result codes of display operations; 0 is success.
using ResultCode = uint32_t;

namespace result {
inline constexpr ResultCode ok = 0;
inline constexpr ResultCode alreadyInitialised = 0x88760005;
inline constexpr ResultCode alreadyLocked = 0x887601ae;
inline constexpr ResultCode surfaceLost = 0x887601c2;
inline constexpr ResultCode notImplemented = 0x80004001;
inline constexpr ResultCode invalidParameters = 0x80070057;
inline constexpr ResultCode generic = 0x80004005;
} // namespace result

struct PixelFormat {
    bool isRgb = true;         // false for formats the writer cannot drive
    int32_t bitsPerPixel = 32; //
    uint32_t redMask = 0x00ff0000;
    uint32_t greenMask = 0x0000ff00;
    uint32_t blueMask = 0x000000ff;
};

struct LockRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

class DisplaySurface {
  public:
    virtual ~DisplaySurface() = default;

    virtual ResultCode describe(int32_t& width, int32_t& height, PixelFormat& format) = 0;

    // Locks the rectangle (nullptr: the whole surface) and hands out its first byte and the bytes per line.
    virtual ResultCode lock(const LockRect* rect, bool wait, uint8_t*& memory, int32_t& pitch) = 0;
    virtual ResultCode unlock(const LockRect* rect) = 0;

    // surfaceLost when the contents are gone and restore() must run before the next lock; ok otherwise.
    virtual ResultCode isLost() = 0;
    virtual ResultCode restore() = 0;

    // The drawing-layer pixel write used to learn the pixel format: a colour reference 0x00BBGGRR converted
    // to the surface's own bits. Only valid while unlocked.
    virtual ResultCode setPixel(int32_t x, int32_t y, uint32_t colourRef) = 0;
};

class DisplayDevice {
  public:
    virtual ~DisplayDevice() = default;

    // An off-screen surface in system memory with the given size and format.
    virtual ResultCode createScratchSurface(int32_t width, int32_t height, const PixelFormat& format,
                                            std::shared_ptr<DisplaySurface>& surface) = 0;
};

// The bits of a colour reference in a direct-colour format: each 8-bit channel scaled to its mask's width.
uint32_t colourRefToPixel(uint32_t colourRef, const PixelFormat& format);

} // namespace glowfield
