// When the player's timer ticks: the first tick a while after start-up, then one every tick interval. A tick
// that comes late is run once; ticks missed by a whole interval or more are dropped rather than run back to
// back.
#pragma once

namespace glowfield {

struct TickSchedule {
    double due = 0;       // milliseconds on the player's clock when the next tick falls due
    double interval = 20; //

    // True when a tick is due at now; the next one then falls due an interval after this one was due, or an
    // interval after now when the loop has fallen a whole interval behind.
    bool take(double now) {
        if (now < due) {
            return false;
        }
        due += interval;
        if (due <= now) {
            due = now + interval;
        }
        return true;
    }

    // Whole milliseconds to sleep before the next tick is due, rounded up so that a wait never ends early.
    int waitMilliseconds(double now) const {
        const double wait = due - now;
        if (wait <= 0) {
            return 0;
        }
        const int whole = static_cast<int>(wait);
        return whole < wait ? whole + 1 : whole;
    }
};

} // namespace glowfield
