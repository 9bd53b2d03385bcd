// Where the frames of a recording go: an encoder that takes 8-bit RGB frames of one size, one after another.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace glowfield {

// Every frame step is one video frame: a recording plays at the player's own pace.
inline constexpr int videoFramesPerSecond = 50;

class VideoSink {
  public:
    virtual ~VideoSink() = default;

    // Adds the next frame: width x height pixels of 3 bytes (red, green, blue), rows without padding. False
    // with the reason when the video cannot take it; later frames then fail too.
    virtual bool writeFrame(const uint8_t* rgb, std::string& error) = 0;

    // Completes the video after the last frame. False with the reason when it is not whole.
    virtual bool finish(std::string& error) = 0;

    // For sinks that may wait on another program: giveUp tells, while they wait, that the run is ending and
    // waiting longer is pointless. They then fail at once.
    virtual void setPatience(std::function<bool()> giveUp) { (void)giveUp; }
};

} // namespace glowfield
