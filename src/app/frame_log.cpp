#include "app/frame_log.h"

#include <cstdlib>

#include "effects/effect_state.h"
#include "field/field.h"

namespace glowfield {

FrameLog::~FrameLog() {
    if (file_) {
        std::fclose(file_);
    }
}

bool FrameLog::openFromEnvironment() {
    const char* path = std::getenv("GLOWFIELD_FRAME_LOG");
    if (!path || !*path) {
        return true;
    }
    file_ = std::fopen(path, "w");
    if (!file_) {
        return false;
    }
    // Whole lines as they happen, so that a test can follow the run.
    std::setvbuf(file_, nullptr, _IOLBF, 0);
    return true;
}

double FrameLog::redSum() {
    double sum = 0;
    for (int x = 0; x < field.gridSize; ++x) {
        for (int y = 0; y < field.gridSize; ++y) {
            sum += planes.red[cellAt(x, y)];
        }
    }
    return sum;
}

// A log that can no longer be written (its reader went away, the disk is full) is closed, and the run goes
// on without it.
void FrameLog::checkWritten(int result) {
    if (result < 0 || std::ferror(file_)) {
        std::fclose(file_);
        file_ = nullptr;
    }
}

void FrameLog::write(double startMilliseconds, double tookMilliseconds, bool drawn) {
    if (!file_) {
        return;
    }
    const int result =
        std::fprintf(file_, "%.3f %.3f %u %d %u %d %d %d %d %.9g %d\n", startMilliseconds, tookMilliseconds,
                     shared.frameCounter, shared.currentEffect & 0xff, shared.switchPeriod, shared.mouseX,
                     shared.mouseY, shared.scratchX, shared.scratchY, redSum(), drawn ? 1 : 0);
    checkWritten(result);
}

void FrameLog::writeEvent(const char* what, const char* detail) {
    if (!file_) {
        return;
    }
    checkWritten(std::fprintf(file_, "event %s%s%s\n", what, *detail ? " " : "", detail));
}

void FrameLog::writeKey(const char* kind, int code, double redSumBefore) {
    if (!file_) {
        return;
    }
    checkWritten(std::fprintf(file_, "key %s %d %.9g %.9g %d %d %d\n", kind, code, redSumBefore, redSum(),
                              shared.currentEffect & 0xff, shared.scratchX, shared.scratchY));
}

} // namespace glowfield
