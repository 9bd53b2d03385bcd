// How long a stop request may take: the stop signals' flag, the time the first request was seen, the patience
// left for programs the player waits on, and a watchdog that ends a run whose display stopped answering.
#pragma once

#include <atomic>
#include <csignal>
#include <functional>
#include <thread>

namespace glowfield {

// From now on SIGINT, SIGTERM and SIGHUP end the run the way Esc does.
void installStopSignals();

// Reads the stop requests from a flag set by handlers installed elsewhere (the launcher's) instead.
void adoptStopFlag(volatile std::sig_atomic_t* flag);

// Whether a stop signal arrived.
bool stopSignalled();

// Any thread that sees a stop request (a signal, Esc, a closed window) notes it; the first note starts the
// clock of secondsSinceStop, which is negative before.
void noteStopRequest();
double secondsSinceStop();

// A stop ends the run within a second whatever the display or the encoder does: the encoder gets this long
// after the request to finish its video, the display this long to be closed before the watchdog takes over.
inline constexpr double encoderPatience = 0.8;
inline constexpr double displayPatience = 0.3;

// True once a stop was requested (requested, noted here) and encoderPatience has passed since.
bool patienceRunsOut(bool requested);

// Watches a windowed run's frame thread while it talks to the display. A display server that stopped (frozen,
// not gone) blocks the thread inside Xlib, where signals only interrupt waits that are retried. Once a stop
// signal is older than displayPatience and the frame thread is still in a display call, using no processor
// time (so waiting, not working), the watchdog takes the run over: it calls rescue, which writes the outputs
// of the last whole frame, and ends the process with the code rescue returns, without touching the display
// again.
class DisplayWatchdog {
  public:
    DisplayWatchdog() = default;
    ~DisplayWatchdog() { stop(); }
    DisplayWatchdog(const DisplayWatchdog&) = delete;
    DisplayWatchdog& operator=(const DisplayWatchdog&) = delete;

    // Starts the watching thread, with the stop signals blocked in it so that they interrupt the frame
    // thread's waits.
    void start(std::function<int()> rescue);
    void stop();

    // The frame thread leaves the display for work of its own (the recording, the outputs, the last frame's
    // copy) and comes back. beginOwnWork is false when the watchdog has taken over: the frame thread must
    // then not touch the run's state any more, and waits in waitToBeEnded.
    bool beginOwnWork();
    void endOwnWork();
    [[noreturn]] static void waitToBeEnded();

  private:
    enum Phase : int { display, ownWork, takenOver };
    void watch();

    std::atomic<int> phase_{display};
    std::atomic<bool> running_{false};
    std::function<int()> rescue_;
    std::thread thread_;
    int errors_ = -1; // standard error as it was when the watch began
};

} // namespace glowfield
