// The surface writer wraps the display surface for the renderer. It learns the pixel format once, builds
// three tables that turn a colour level into the exact bits the display expects, and offers a minimal raster
// interface: lock, store a pixel and move on, next line, unlock.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>

#include "platform/display_surface.h"

namespace glowfield {

class SurfaceWriter {
  public:
    SurfaceWriter() = default;
    ~SurfaceWriter();
    SurfaceWriter(const SurfaceWriter&) = delete;
    SurfaceWriter& operator=(const SurfaceWriter&) = delete;

    // Learns the surface's format and builds the level tables through a scratch surface of the display.
    // Returns 0 or a failure code; a failed initialise leaves the writer empty.
    ResultCode initialise(std::shared_ptr<DisplaySurface> surface, std::shared_ptr<DisplayDevice> display);

    // rect nullptr locks the whole surface.
    ResultCode lock(const LockRect* rect, bool wait);
    ResultCode unlock();

    // Writes one pixel of a packed colour 0x00BBGGRR at the cursor and advances the cursor.
    void storePixel(uint32_t colour) { storeValue(pixelValue(colour)); }

    // count stores of the same colour: the pixels of one block.
    void storePixels(uint32_t colour, int count) {
        const uint32_t value = pixelValue(colour);
        if (storeBytes_ == 4) {
            for (int i = 0; i < count; ++i) {
                std::memcpy(cursor_ + 4 * i, &value, 4);
            }
            cursor_ += 4 * count;
            return;
        }
        for (int i = 0; i < count; ++i) {
            storeValue(value);
        }
    }

    // The bytes that storing each value repeat times would write, laid out in out (count * repeat pixels).
    // Returns the number of bytes.
    int expandBlocks(const uint32_t* values, int count, int repeat, uint8_t* out) const {
        if (storeBytes_ == 4) {
            for (int i = 0; i < count; ++i) {
                for (int r = 0; r < repeat; ++r) {
                    std::memcpy(out + 4 * (i * repeat + r), &values[i], 4);
                }
            }
        } else if (storeBytes_ == 3 && repeat == 4) {
            // Four 3-byte pixels are three 32-bit words: b0 b1 b2 b0 | b1 b2 b0 b1 | b2 b0 b1 b2.
            for (int i = 0; i < count; ++i) {
                const uint32_t v = values[i] & 0xffffff;
                const uint32_t words[3] = {v | v << 24, v >> 8 | v << 16, v >> 16 | v << 8};
                std::memcpy(out + 12 * i, words, 12);
            }
        } else {
            uint8_t* at = out;
            for (int i = 0; i < count; ++i) {
                for (int r = 0; r < repeat; ++r) {
                    for (int b = 0; b < storeBytes_; ++b) {
                        *at++ = static_cast<uint8_t>(values[i] >> (8 * b));
                    }
                }
            }
        }
        return count * repeat * storeBytes_;
    }

    // Stores bytes prepared by expandBlocks at the cursor and advances it.
    void storeBytes(const uint8_t* bytes, int count) {
        std::memcpy(cursor_, bytes, static_cast<size_t>(count));
        cursor_ += count;
    }

    // The next count bytes at the cursor, handed out to be written in place; the cursor moves past them.
    uint8_t* claimBytes(int count) {
        uint8_t* const at = cursor_;
        cursor_ += count;
        return at;
    }

    // Fills the current line with the first bytes of the line above it, as if the same stores were repeated.
    void repeatLineAbove(int bytes) {
        std::memcpy(lineStart_, lineStart_ - pitch_, static_cast<size_t>(bytes));
        cursor_ = lineStart_ + bytes;
    }

    void nextLine() {
        lineStart_ += pitch_;
        cursor_ = lineStart_;
    }

    // Moves line start and cursor back to the first locked byte.
    void rewind() {
        lineStart_ = lockBase_;
        cursor_ = lockBase_;
    }

    uint32_t pixelValue(uint32_t colour) const {
        return redTable_[colour & 0xff] | greenTable_[(colour >> 8) & 0xff] |
               blueTable_[(colour >> 16) & 0xff];
    }

    bool initialised() const { return surface_ != nullptr; }
    bool locked() const { return lockBase_ != nullptr; }
    int32_t width() const { return width_; }
    int32_t height() const { return height_; }
    int32_t bitsPerPixel() const { return bitsPerPixel_; }
    int32_t bytesPerPixel() const { return bytesPerPixel_; }
    int32_t storeBytes() const { return storeBytes_; }
    int32_t pitch() const { return pitch_; }
    uint8_t* lineStart() const { return lineStart_; }
    uint8_t* cursor() const { return cursor_; }
    const uint32_t* redTable() const { return redTable_; }
    const uint32_t* greenTable() const { return greenTable_; }
    const uint32_t* blueTable() const { return blueTable_; }
    uint32_t colourMask() const { return colourMask_; }
    uint32_t colourMaskComplement() const { return ~colourMask_; }
    DisplaySurface* surface() const { return surface_.get(); }

  private:
    // 4 bytes at 32 bits per pixel, 3 at 24 (the low 16 bits, then bits 16..23), 2 at 16, otherwise 1.
    void storeValue(uint32_t value) {
        switch (storeBytes_) {
        case 4:
            std::memcpy(cursor_, &value, 4);
            break;
        case 3:
            cursor_[0] = static_cast<uint8_t>(value);
            cursor_[1] = static_cast<uint8_t>(value >> 8);
            cursor_[2] = static_cast<uint8_t>(value >> 16);
            break;
        case 2:
            cursor_[0] = static_cast<uint8_t>(value);
            cursor_[1] = static_cast<uint8_t>(value >> 8);
            break;
        default:
            cursor_[0] = static_cast<uint8_t>(value);
            break;
        }
        cursor_ += storeBytes_;
    }

    ResultCode buildTables(DisplaySurface& scratch);
    void clear();

    std::shared_ptr<DisplaySurface> surface_; // held from initialise until destruction
    std::shared_ptr<DisplayDevice> display_;  //
    int32_t height_ = 0;
    int32_t width_ = 0;
    int32_t bitsPerPixel_ = 0;
    int32_t bytesPerPixel_ = 0;
    int32_t storeBytes_ = 1;  // bytes one store writes and advances: 4, 3, 2 or 1
    uint32_t colourMask_ = 0; // the three masks ORed
    uint32_t redMask_ = 0;
    uint32_t greenMask_ = 0;
    uint32_t blueMask_ = 0;
    uint32_t redTable_[256] = {};   // entry i: the pixel bits of level i in that channel alone
    uint32_t greenTable_[256] = {}; //
    uint32_t blueTable_[256] = {};  //
    LockRect lockRect_{};
    bool lockedRect_ = false;      // whether lockRect_ holds a rectangle or the whole surface is locked
    int32_t pitch_ = 0;            // bytes from one line to the next, as the lock reported it
    uint8_t* lockBase_ = nullptr;  // all three empty when unlocked
    uint8_t* lineStart_ = nullptr; //
    uint8_t* cursor_ = nullptr;    //
};

} // namespace glowfield
