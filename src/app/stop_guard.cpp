// The stop flag, the clock of the first stop request, and the display watchdog's thread.
#include "app/stop_guard.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

#include "app/stop_signals.h"

namespace glowfield {

namespace {

// Set by the signal handler, read by the loops: the one piece of state a signal may touch.
volatile std::sig_atomic_t ownStopFlag = 0;

// The flag the loops read: the player's own, or the one of the launcher whose handlers took the signals
// before the player was loaded.
volatile std::sig_atomic_t* stopFlag = &ownStopFlag;

void onStopSignal(int) {
    ownStopFlag = 1;
}

// Nanoseconds on the steady clock when the first stop request was noted; -1 before.
std::atomic<int64_t> firstStop{-1};

// Processor time the frame thread (the process's first) has used, in clock ticks, and whether it is waiting
// for a processor (state R); ticks -1 when unknown. A thread stuck in a display call uses none and sleeps;
// one closing a slow display still works, and one that a busy machine has not scheduled is runnable.
struct FrameThreadState {
    long ticks = -1;
    bool runnable = false;
};

FrameThreadState frameThreadState() {
    char path[64];
    std::snprintf(path, sizeof path, "/proc/self/task/%d/stat", static_cast<int>(getpid()));
    std::FILE* file = std::fopen(path, "r");
    if (!file) {
        return {};
    }
    char text[1024];
    const size_t length = std::fread(text, 1, sizeof text - 1, file);
    std::fclose(file);
    text[length] = '\0';
    // The fields after the command name, which ends with the last ')': the state is the 3rd, utime and stime
    // the 14th and 15th.
    const char* at = std::strrchr(text, ')');
    char state = '?';
    long user = -1, system = -1;
    if (!at || std::sscanf(at + 1, " %c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %ld %ld", &state, &user,
                           &system) != 3) {
        return {};
    }
    return {user + system, state == 'R'};
}

// Polls of 50 ms in a row without progress before the frame thread counts as stuck.
constexpr int idlePollsForStuck = 4;

int64_t nowNanoseconds() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

void installStopSignals() {
    installStopHandlers(onStopSignal);
}

void adoptStopFlag(volatile std::sig_atomic_t* flag) {
    stopFlag = flag ? flag : &ownStopFlag;
}

bool stopSignalled() {
    return *stopFlag != 0;
}

void noteStopRequest() {
    int64_t none = -1;
    firstStop.compare_exchange_strong(none, nowNanoseconds());
}

double secondsSinceStop() {
    const int64_t noted = firstStop.load();
    return noted < 0 ? -1.0 : static_cast<double>(nowNanoseconds() - noted) / 1e9;
}

bool patienceRunsOut(bool requested) {
    if (!requested) {
        return false;
    }
    noteStopRequest();
    return secondsSinceStop() >= encoderPatience;
}

void DisplayWatchdog::start(std::function<int()> rescue) {
    rescue_ = std::move(rescue);
    errors_ = fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0);
    running_ = true;
    sigset_t stops, previous;
    sigemptyset(&stops);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        sigaddset(&stops, signal);
    }
    pthread_sigmask(SIG_BLOCK, &stops, &previous);
    thread_ = std::thread([this] { watch(); });
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
}

void DisplayWatchdog::stop() {
    running_ = false;
    if (thread_.joinable()) {
        thread_.join();
    }
    if (errors_ >= 0) {
        close(errors_);
        errors_ = -1;
    }
}

bool DisplayWatchdog::beginOwnWork() {
    int expected = display;
    return phase_.compare_exchange_strong(expected, ownWork) || expected == ownWork;
}

void DisplayWatchdog::endOwnWork() {
    int expected = ownWork;
    phase_.compare_exchange_strong(expected, display);
}

void DisplayWatchdog::waitToBeEnded() {
    for (;;) {
        pause();
    }
}

void DisplayWatchdog::watch() {
    long ticksBefore = -2;
    int idlePolls = 0;
    while (running_) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (!stopSignalled()) {
            continue;
        }
        noteStopRequest();
        // Stuck means asleep with no processor time used over several polls in a row: on a busy machine a
        // working thread can go a poll or two without being scheduled.
        const FrameThreadState frame = frameThreadState();
        const bool idle = frame.ticks < 0 || (frame.ticks == ticksBefore && !frame.runnable);
        idlePolls = idle ? idlePolls + 1 : 0;
        ticksBefore = frame.ticks;
        int expected = display;
        if (secondsSinceStop() >= displayPatience && idlePolls >= idlePollsForStuck &&
            phase_.compare_exchange_strong(expected, takenOver)) {
            // Start-up may be stuck with standard error silenced while SDL looks for a display.
            std::fflush(stderr);
            if (errors_ >= 0) {
                dup2(errors_, STDERR_FILENO);
            }
            const int code = rescue_ ? rescue_() : 1;
            std::fflush(nullptr);
            _exit(code);
        }
    }
}

} // namespace glowfield
