// A progress line on standard error for work that takes a while: done of total, the rate and the time left,
// drawn again in place a few times a second and ended with a newline. Nothing at all when standard error is
// no terminal, so that logs and pipes get no carriage returns.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

namespace glowfield {

class ProgressLine {
  public:
    // Shows nothing.
    ProgressLine() = default;

    // A line on out, as "label: done of total unit, ..."; total 0 when the end is not known. The line appears
    // once the whole work is expected to take minimumSeconds (0: at once).
    ProgressLine(std::FILE* out, std::string label, std::string unit, uint64_t total,
                 double minimumSeconds = 0);

    // The same on standard error when it is a terminal; otherwise a line that shows nothing.
    static ProgressLine onTerminal(std::string label, std::string unit, uint64_t total,
                                   double minimumSeconds = 0);

    ~ProgressLine() { finish(); }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    bool active() const { return out_ != nullptr; }

    // The count done so far; the line is drawn again at most every quarter of a second.
    void update(uint64_t done);

    // Draws the last count and ends the line, if it showed; nothing shows after it.
    void finish();

    // The text of the line after seconds of work at rate per second (0: not known yet).
    static std::string text(const std::string& label, const std::string& unit, uint64_t done, uint64_t total,
                            double rate);

  private:
    double elapsed() const;
    double rate() const;
    void draw();

    std::FILE* out_ = nullptr;
    std::string label_;
    std::string unit_;
    uint64_t total_ = 0;
    double minimumSeconds_ = 0;
    // The rate is measured from the first count, so that start-up work before it does not distort it.
    std::chrono::steady_clock::time_point start_;
    bool started_ = false;
    uint64_t startDone_ = 0;
    double lastDrawn_ = 0;
    uint64_t done_ = 0;
    uint64_t drawnDone_ = 0;
    bool shown_ = false;
    size_t drawnLength_ = 0;
};

} // namespace glowfield
