// A developer's record of the run, one line per timer tick, written only when GLOWFIELD_FRAME_LOG names a
// file: the time the tick began in milliseconds since start-up and the milliseconds it took, then
// frameCounter, the current effect, switchPeriod, mouseX, mouseY, scratchX, scratchY and the sum of the live
// red cells. It measures the frame rate and lets the end-to-end tests watch what keys and the mouse did.
#pragma once

#include <cstdio>

namespace glowfield {

class FrameLog {
  public:
    FrameLog() = default;
    ~FrameLog();
    FrameLog(const FrameLog&) = delete;
    FrameLog& operator=(const FrameLog&) = delete;

    // Opens the file named by GLOWFIELD_FRAME_LOG, if any; false only when it is named and cannot be opened.
    bool openFromEnvironment();

    // Appends the line of the tick that has just run.
    void write(double startMilliseconds, double tookMilliseconds);

  private:
    std::FILE* file_ = nullptr;
};

} // namespace glowfield
