// YUV4MPEG2 video written without any library: a text header, then per frame "FRAME\n" and three full-size
// planes. Chroma is kept at full resolution (4:4:4) and levels use the full 0..255 range with BT.601
// weights, so that decoding a frame gives back every channel of its picture within one level.
#pragma once

#include <string>
#include <vector>

#include "platform/video_sink.h"

namespace glowfield {

class Y4mWriter : public VideoSink {
  public:
    // Writes to an open descriptor, which stays the caller's.
    Y4mWriter(int descriptor, int width, int height);

    // The stream header; the file is a valid video of no frames once it is written.
    bool begin(std::string& error);
    bool writeFrame(const uint8_t* rgb, std::string& error) override;
    bool finish(std::string& error) override;

    static std::string header(int width, int height);

    // "FRAME\n", then the Y, Cb and Cr planes of the pixels, in out (resized to fit).
    static void encodeFrame(const uint8_t* rgb, size_t pixels, std::vector<uint8_t>& out);

  private:
    int descriptor_;
    int width_;
    int height_;
    std::vector<uint8_t> frame_;
};

} // namespace glowfield
