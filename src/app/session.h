// The player's state for one run: the progress of typed commands, the lock, the names shown, the entries
// switching may choose, the options in force, the recording and the watch of the X server. The frame loop
// owns it and hands it to the key commands, the automatic switch and the name label; the current entry is
// the world's (effects/world.h). Nothing of it outlives the run.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "app/options.h"
#include "app/recorder.h"
#include "platform/x11_host.h"

namespace glowfield {

class PulseSource;

struct Session {
    uint8_t digitCount = 0;     // digits typed towards the next three-digit number
    int32_t typedNumber = 0;    // the number formed so far
    int32_t sequenceCursor = 0; // entry of the tour last chosen; 0 before the first press
    bool quitRequested = false; // Esc, a left click or the window closing
    bool locked = false;        // key k: no automatic switches until pressed again
    bool namesShown = false;    // key n: the name of each new effect shows on the picture for a while
    std::vector<int> playable;  // entries switching, space and the tour may choose, ascending; empty: all
    Options options;            // the options in force
    std::unique_ptr<Recorder> recorder;      // with --record
    X11Watch x11;                            // the host's window and what a lost display does
    const PulseSource* liveSource = nullptr; // the sound server listened to, while listening live
};

} // namespace glowfield
