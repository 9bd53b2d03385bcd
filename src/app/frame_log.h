// A developer's record of the run, written only when GLOWFIELD_FRAME_LOG names a file. It measures the frame
// rate and lets the end-to-end tests watch what keys, the mouse and the window did. Three kinds of line:
//   tick: the time the tick began in milliseconds since start-up and the milliseconds it took, then
//         frameCounter, the current effect, switchPeriod, mouseX, mouseY, scratchX, scratchY, the sum of
//         the live red cells, and 1 when the frame was drawn on the display or 0 when it was not (a
//         minimised window, no renderer);
//   "key": for each key event, "down" and the key code or "text" and the first character's code, the sum of
//         the live red cells before and after the event, the current effect, scratchX and scratchY;
//   "event": what happened to the window or the display ("renderer" and its name at start-up, "activated",
//         "deactivated", "hidden", "shown", "textures-lost", "device-lost", "renderer-made",
//         "renderer-failed"), then a detail: for "activated" and "shown", 1 when the field was drawn again at
//         once.
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

    bool active() const { return file_ != nullptr; }

    // Appends the line of the tick that has just run.
    void write(double startMilliseconds, double tookMilliseconds, bool drawn);

    // Appends the line of a key event that has just been handled.
    void writeKey(const char* kind, int code, double redSumBefore);

    // Appends an event line with its detail (may be empty).
    void writeEvent(const char* what, const char* detail);

    // The sum of the live red cells.
    static double redSum();

  private:
    void checkWritten(int result);
    std::FILE* file_ = nullptr;
};

} // namespace glowfield
