// Soak run: many headless frames with automatic switching through random effects, watching resident memory
// and the time of every frame. Exits 1 when an effect, current again after the first 10,000 frames, needs
// 1 MiB or more of resident memory beyond what it needed when first current then, or when a frame takes
// 20 ms of processor time or more, and does so again when the run is replayed.
//
// Memory is judged effect by effect: an effect's own state lives only while it is current, so the resident
// size rises and falls with the current effect (by over a megabyte for the largest). A leak, wherever it is,
// shows as an effect needing more each time it comes round.
//
// Before the measured run every table entry draws for a while, so that storage which only some effects touch
// (a large picture, a deep stack) is resident already and its first use does not count as growth.
//
// The frames are deterministic, so a frame that is slow because of its own work is slow again when the same
// frames are replayed from the same seed; a stall of the machine (another process, the host of a virtual
// machine) does not repeat. Slow frames are therefore timed again in up to two replays, and a frame fails
// only when every timing of it is slow.
//
//   glowfield_soak [frames] [picture folder]     (default 1000000 frames)
#include <malloc.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/frame_loop.h"
#include "display/renderer.h"
#include "display/surface_writer.h"
#include "effects/catalogue.h"
#include "effects/effect_state.h"
#include "effects/world.h"
#include "field/picture.h"
#include "platform/memory_surface.h"

namespace {

using namespace glowfield;

// Resident memory after the allocator has handed its free pages back, so that what is measured is memory in
// use, not free memory the allocator keeps and how scattered it happens to be.
long residentKiB() {
    malloc_trim(0);
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmRSS:") {
            long kib = 0;
            status >> kib;
            return kib;
        }
        status.ignore(4096, '\n');
    }
    return -1;
}

// Processor time of this thread split into the program's own work (user) and the kernel's on its behalf
// (system: page faults, reclaim), so that a slow frame says which of the two it was.
struct ThreadTimes {
    double user = 0, system = 0;
};

ThreadTimes threadTimes() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return {static_cast<double>(usage.ru_utime.tv_sec) + usage.ru_utime.tv_usec * 1e-6,
            static_cast<double>(usage.ru_stime.tv_sec) + usage.ru_stime.tv_usec * 1e-6};
}

double nowSeconds(clockid_t clock) {
    timespec t{};
    clock_gettime(clock, &t);
    return static_cast<double>(t.tv_sec) + t.tv_nsec * 1e-9;
}

constexpr int32_t runSeed = 12345;
constexpr double frameLimit = 0.020; // seconds of processor time
constexpr int replays = 2;
constexpr size_t slowFramesKept = 1000;

void startRun() {
    resetWorld();
    prepareField(runSeed);
}

// Every entry of the table for a little longer than the picture effect's reload period.
void touchEveryEffect() {
    for (int index = 0; index < effectCount; ++index) {
        startRun();
        Session session;
        startWithEffect(session, index);
        for (int frame = 0; frame < 70; ++frame) {
            frameStep();
        }
    }
}

// The most resident memory seen while each effect was current, its first time after the warm-up and later.
class Footprints {
  public:
    void sample(int effect, long kib) {
        if (effect != current_) {
            close();
            current_ = effect;
        }
        most_ = std::max(most_, kib);
    }

    // Ends the current effect's time: its first, or compared with its first.
    void close() {
        if (current_ >= 0 && current_ < effectCount && most_ > 0) {
            long& first = first_[static_cast<size_t>(current_)];
            if (first < 0) {
                first = most_;
            } else {
                ++compared_;
                if (most_ - first > worstGrowth_) {
                    worstGrowth_ = most_ - first;
                    worstEffect_ = current_;
                }
            }
        }
        current_ = -1;
        most_ = 0;
    }

    long worstGrowth() const { return worstGrowth_; }
    int worstEffect() const { return worstEffect_; }
    int compared() const { return compared_; }

  private:
    std::vector<long> first_ = std::vector<long>(effectCount, -1);
    int current_ = -1;
    long most_ = 0;
    long worstGrowth_ = 0;
    int worstEffect_ = -1;
    int compared_ = 0;
};

struct SlowFrame {
    long frame;
    int effect;
    double cpu;
    ThreadTimes split;
    double wall;
};

// One frame of the run with its processor time and wall time.
struct TimedFrame {
    double cpu, wall;
    ThreadTimes split;
};

TimedFrame timedTick() {
    const ThreadTimes before = threadTimes();
    const double cpu0 = nowSeconds(CLOCK_THREAD_CPUTIME_ID);
    const double wall0 = nowSeconds(CLOCK_MONOTONIC);
    timerTick(Session{});
    const double cpu = nowSeconds(CLOCK_THREAD_CPUTIME_ID) - cpu0;
    const double wall = nowSeconds(CLOCK_MONOTONIC) - wall0;
    TimedFrame timed{cpu, wall, {}};
    if (cpu >= frameLimit) {
        const ThreadTimes after = threadTimes();
        timed.split = {after.user - before.user, after.system - before.system};
    }
    return timed;
}

// Replays the run from its start up to the last of the given frames and keeps those that are slow again.
std::vector<SlowFrame> slowAgain(const std::vector<SlowFrame>& slow) {
    std::vector<SlowFrame> again;
    startRun();
    size_t next = 0;
    for (long frame = 0; next < slow.size(); ++frame) {
        if (frame != slow[next].frame) {
            timerTick(Session{});
            continue;
        }
        const TimedFrame timed = timedTick();
        if (timed.cpu >= frameLimit) {
            again.push_back({frame, shared.currentEffect & 0xff, timed.cpu, timed.split, timed.wall});
        }
        ++next;
    }
    return again;
}

void printSlow(const char* title, const std::vector<SlowFrame>& slow) {
    std::printf("%s: %zu frame(s) of %.0f ms or more\n", title, slow.size(), 1000 * frameLimit);
    for (size_t i = 0; i < slow.size() && i < 10; ++i) {
        std::printf("  frame %ld, effect %d: %.3f ms cpu (%.0f ms user, %.0f ms system), %.3f ms wall\n",
                    slow[i].frame, slow[i].effect, 1000 * slow[i].cpu, 1000 * slow[i].split.user,
                    1000 * slow[i].split.system, 1000 * slow[i].wall);
    }
}

} // namespace

int main(int argc, char** argv) {
    using namespace glowfield;
    const long frames = argc > 1 ? std::atol(argv[1]) : 1000000;
    const long warmUp = std::min<long>(10000, frames / 2);
    if (argc > 2) {
        setPictureDirectory(argv[2]);
    }
    auto surface = std::make_shared<MemorySurface>(800, 600, PixelFormat{});
    SurfaceWriter writer;
    if (writer.initialise(surface, std::make_shared<MemoryDevice>()) != result::ok) {
        std::fprintf(stderr, "soak: cannot set up the memory display\n");
        return 2;
    }
    setRenderTarget(&writer);
    touchEveryEffect();
    startRun();

    long baseline = -1, peak = 0;
    Footprints footprints;
    double slowestCpu = 0, slowestWall = 0, totalCpu = 0;
    long slowestFrame = -1;
    int slowestEffect = -1;
    std::vector<SlowFrame> slow;
    const double start = nowSeconds(CLOCK_MONOTONIC);
    for (long frame = 0; frame < frames; ++frame) {
        const TimedFrame timed = timedTick();
        totalCpu += timed.cpu;
        if (timed.cpu > slowestCpu) {
            slowestCpu = timed.cpu;
            slowestFrame = frame;
            slowestEffect = shared.currentEffect & 0xff;
        }
        slowestWall = std::max(slowestWall, timed.wall);
        if (timed.cpu >= frameLimit && slow.size() < slowFramesKept) {
            slow.push_back({frame, shared.currentEffect & 0xff, timed.cpu, timed.split, timed.wall});
        }
        if (frame + 1 == warmUp) {
            baseline = residentKiB();
        }
        if (frame >= warmUp && frame % 100 == 0) {
            const long kib = residentKiB();
            peak = std::max(peak, kib);
            footprints.sample(shared.currentEffect & 0xff, kib);
        }
    }
    const long final = residentKiB();
    peak = std::max(peak, final);
    footprints.sample(shared.currentEffect & 0xff, final);
    footprints.close();
    const double elapsed = nowSeconds(CLOCK_MONOTONIC) - start;
    std::printf("frames %ld in %.1f s; mean %.3f ms, slowest %.3f ms cpu (frame %ld, effect %d), "
                "%.3f ms wall\n",
                frames, elapsed, 1000 * totalCpu / std::max(frames, 1L), 1000 * slowestCpu, slowestFrame,
                slowestEffect, 1000 * slowestWall);
    std::printf("resident memory: %ld KiB after %ld frames, %ld KiB peak after, %ld KiB at the end\n",
                baseline, warmUp, peak, final);
    std::printf("effects current again: %d; most growth over an effect's first time: %ld KiB (effect %d)\n",
                footprints.compared(), footprints.worstGrowth(), footprints.worstEffect());
    bool ok = true;
    if (footprints.worstGrowth() >= 1024) {
        std::printf("FAIL: effect %d needed %ld KiB more resident memory than its first time\n",
                    footprints.worstEffect(), footprints.worstGrowth());
        ok = false;
    }
    for (int replay = 1; replay <= replays && !slow.empty(); ++replay) {
        printSlow(replay == 1 ? "slow in the run" : "slow again", slow);
        slow = slowAgain(slow);
    }
    if (!slow.empty()) {
        printSlow("FAIL: slow in every replay", slow);
        ok = false;
    }
    setRenderTarget(nullptr);
    return ok ? 0 : 1;
}
