// The progress line: its text, when it appears, and how often it is drawn.
#include "app/progress.h"

#include <algorithm>
#include <unistd.h>

namespace glowfield {

namespace {

constexpr double redrawSeconds = 0.25;
// A line for work expected to take a while appears only after this long, when the estimate means something.
constexpr double estimateAfterSeconds = 0.5;

} // namespace

ProgressLine::ProgressLine(std::FILE* out, std::string label, std::string unit, uint64_t total,
                           double minimumSeconds)
    : out_(out), label_(std::move(label)), unit_(std::move(unit)), total_(total),
      minimumSeconds_(minimumSeconds) {}

ProgressLine ProgressLine::onTerminal(std::string label, std::string unit, uint64_t total,
                                      double minimumSeconds) {
    return ProgressLine(isatty(STDERR_FILENO) ? stderr : nullptr, std::move(label), std::move(unit), total,
                        minimumSeconds);
}

std::string ProgressLine::text(const std::string& label, const std::string& unit, uint64_t done,
                               uint64_t total, double rate) {
    std::string line = label + ": " + std::to_string(done);
    if (total != 0) {
        line += " of " + std::to_string(total);
    }
    line += " " + unit;
    if (rate > 0) {
        char figures[80];
        std::snprintf(figures, sizeof figures, ", %.1f per second", rate);
        line += figures;
        if (total != 0) {
            std::snprintf(figures, sizeof figures, ", %.0f s left",
                          done < total ? static_cast<double>(total - done) / rate : 0.0);
            line += figures;
        }
    }
    return line;
}

double ProgressLine::elapsed() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
}

double ProgressLine::rate() const {
    const double seconds = elapsed();
    return seconds > 0 && done_ > startDone_ ? static_cast<double>(done_ - startDone_) / seconds : 0;
}

void ProgressLine::update(uint64_t done) {
    if (!out_) {
        return;
    }
    done_ = done;
    if (!started_) {
        started_ = true;
        start_ = std::chrono::steady_clock::now();
        startDone_ = done;
    }
    const double now = elapsed();
    if (!shown_ && minimumSeconds_ > 0) {
        // Quick work shows no line: it would only flicker.
        const double perSecond = rate();
        if (now < estimateAfterSeconds || total_ == 0 || perSecond <= 0 ||
            now + static_cast<double>(total_ - std::min(done, total_)) / perSecond < minimumSeconds_) {
            return;
        }
    }
    if (shown_ && now - lastDrawn_ < redrawSeconds) {
        return;
    }
    lastDrawn_ = now;
    draw();
}

void ProgressLine::draw() {
    std::string line = text(label_, unit_, done_, total_, rate());
    const size_t length = line.size();
    // Spaces cover the end of a longer line drawn before.
    line.append(drawnLength_ > length ? drawnLength_ - length : 0, ' ');
    std::fprintf(out_, "\r%s", line.c_str());
    std::fflush(out_);
    drawnLength_ = length;
    drawnDone_ = done_;
    shown_ = true;
}

void ProgressLine::finish() {
    if (!out_) {
        return;
    }
    if (shown_) {
        if (drawnDone_ != done_) {
            draw();
        }
        std::fputc('\n', out_);
        std::fflush(out_);
    }
    out_ = nullptr;
}

} // namespace glowfield
