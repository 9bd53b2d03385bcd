// Video encoded by the ffmpeg program: raw RGB frames through a pipe into its standard input. It runs in a
// process group of its own, so that a Ctrl-C in the terminal reaches only the player, which then closes the
// pipe and waits for the file to be finished. Its messages go to a temporary log, whose last line explains a
// failure. No wait on it is unbounded once the run is ending: a program that stops reading or never exits is
// ended (with its process group) when the patience given runs out.
#pragma once

#include <memory>
#include <string>
#include <sys/types.h>
#include <vector>

#include "platform/video_sink.h"

namespace glowfield {

class FfmpegPipe : public VideoSink {
  public:
    // Starts program (a path) reading width x height rgb24 frames at videoFramesPerSecond, followed by
    // outputArguments (codec, format and file). nullptr and the reason when it cannot be started.
    static std::unique_ptr<FfmpegPipe> start(const std::string& program, int width, int height,
                                             const std::vector<std::string>& outputArguments,
                                             std::string& error);
    // An encoder not finished is ended, not waited for.
    ~FfmpegPipe() override;
    FfmpegPipe(const FfmpegPipe&) = delete;
    FfmpegPipe& operator=(const FfmpegPipe&) = delete;

    bool writeFrame(const uint8_t* rgb, std::string& error) override;
    // Closes the pipe and waits for the program to finish the file; the reason is its last message line.
    bool finish(std::string& error) override;
    void setPatience(std::function<bool()> giveUp) override { giveUp_ = std::move(giveUp); }

  private:
    FfmpegPipe(int width, int height) : width_(width), height_(height) {}

    bool givingUp() const { return giveUp_ && giveUp_(); }
    // Ends the program and its process group at once and collects it.
    void endProgram();

    int width_;
    int height_;
    pid_t child_ = -1;
    int pipe_ = -1; // the write end; the program reads the other
    int log_ = -1;  // the program's standard error, in an unlinked temporary file
    std::function<bool()> giveUp_;
    std::string abandoned_; // why the program was ended before it finished, if it was
};

// The path of an executable file called name in one of searchPath's folders (PATH's form); empty if none.
std::string findProgram(const std::string& name, const char* searchPath);

} // namespace glowfield
