// Recording a run: every frame step's 800 x 600 picture, as presented, scaled with hard pixel edges to the
// video's size and written as a frame of a .y4m file (by glowfield itself) or of an .mp4, .webm or .gif file
// (encoded by the ffmpeg program). The file is made beside its target and renamed over it when the run ends.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/atomic_file.h"

namespace glowfield {

class MemorySurface;
class SurfaceWriter;
class VideoSink;

enum class VideoFormat { y4m, mp4, webm, gif };

// The format a file name asks for by its extension (in any case); none for any other name.
std::optional<VideoFormat> videoFormatOf(const std::string& path);

// The program that a recording to path needs and that PATH does not have ("ffmpeg"); empty when nothing is
// missing.
std::string missingRecordingProgram(const std::string& path);

// A video size written WIDTHxHEIGHT: even numbers from 16 x 16 to 7680 x 4320, so that every encoder takes
// it.
bool parseVideoSize(const std::string& text, int& width, int& height);

// True for the formats that can carry a sound track (.mp4 and .webm).
bool videoCarriesSound(VideoFormat format);

// Scales a picture of 8-bit RGB pixels to another size: every output pixel takes the source pixel under its
// centre (of two that meet there, the first), so whole-number enlargements repeat pixels exactly and halving
// keeps every other one.
void scaleNearest(const uint8_t* rgb, int width, int height, uint8_t* out, int outWidth, int outHeight);

class Recorder {
  public:
    // Starts a recording to path at width x height. With a sound file, a format that carries sound gets it as
    // its sound track from the first frame on, cut or padded with silence to the video's length. nullptr and
    // one line's reason when it cannot start.
    static std::unique_ptr<Recorder> start(const std::string& path, int width, int height, std::string& error,
                                           const std::string& soundPath = {});
    ~Recorder();
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    // Adds the picture as the next frame. A failure ends the recording: failed() tells, finish() says why.
    void addFrame(const MemorySurface& picture);

    // Drawn over each 800 x 600 frame before it is scaled and written, as over the presented picture: what
    // the viewer sees besides the field (the effect's name). Given 8-bit RGB pixels and the bytes per line.
    void setOverlay(std::function<void(uint8_t* rgb, int pitch)> overlay) { overlay_ = std::move(overlay); }

    // The current field drawn afresh into the recorder's own 800 x 600 picture, for runs that draw into a
    // window, where the presented picture cannot be read back.
    MemorySurface& drawPicture();

    // Gives up the recording: the encoder is ended and the target left as it was.
    void abandon();

    // What the encoder is told while it makes the player wait (see VideoSink::setPatience).
    void setPatience(std::function<bool()> giveUp);

    bool failed() const { return failed_; }
    uint64_t frames() const { return frames_; }

    // Completes the video and puts it in place of the target. False with one line's reason when the
    // recording failed; the target is then left as it was.
    bool finish(std::string& error);

  private:
    Recorder(std::string path, int width, int height);

    std::string path_;
    int width_;
    int height_;
    TemporaryFile file_;
    std::unique_ptr<VideoSink> sink_;
    bool failed_ = false;
    bool finished_ = false;
    std::string failure_;
    uint64_t frames_ = 0;
    std::vector<uint8_t> rgb_;
    std::vector<uint8_t> scaled_;
    std::shared_ptr<MemorySurface> ownPicture_;
    std::unique_ptr<SurfaceWriter> ownWriter_;
    std::function<void(uint8_t*, int)> overlay_;
};

} // namespace glowfield
