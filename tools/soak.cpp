// Soak run: many headless frames with automatic switching through random effects, watching resident memory
// and the time of every frame. Exits 1 when memory grows by 1 MiB or more after the warm-up or when a frame
// takes 20 ms of processor time or more.
//
//   glowfield_soak [frames] [picture folder]     (default 1000000 frames)
#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <memory>
#include <string>

#include "app/frame_loop.h"
#include "display/renderer.h"
#include "display/surface_writer.h"
#include "field/picture.h"
#include "platform/memory_surface.h"

namespace {

long residentKiB() {
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

double nowSeconds(clockid_t clock) {
    timespec t{};
    clock_gettime(clock, &t);
    return static_cast<double>(t.tv_sec) + t.tv_nsec * 1e-9;
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
    prepareField(12345);

    long baseline = -1, peak = 0;
    double slowestCpu = 0, slowestWall = 0, totalCpu = 0;
    long slowestFrame = -1;
    const double start = nowSeconds(CLOCK_MONOTONIC);
    for (long frame = 0; frame < frames; ++frame) {
        const double cpu0 = nowSeconds(CLOCK_THREAD_CPUTIME_ID);
        const double wall0 = nowSeconds(CLOCK_MONOTONIC);
        timerTick();
        const double cpu = nowSeconds(CLOCK_THREAD_CPUTIME_ID) - cpu0;
        const double wall = nowSeconds(CLOCK_MONOTONIC) - wall0;
        totalCpu += cpu;
        if (cpu > slowestCpu) {
            slowestCpu = cpu;
            slowestFrame = frame;
        }
        slowestWall = std::max(slowestWall, wall);
        if (frame + 1 == warmUp) {
            baseline = residentKiB();
        }
        if (frame >= warmUp && frame % 1000 == 0) {
            peak = std::max(peak, residentKiB());
        }
    }
    const long final = residentKiB();
    peak = std::max(peak, final);
    const double elapsed = nowSeconds(CLOCK_MONOTONIC) - start;
    std::printf("frames %ld in %.1f s; mean %.3f ms, slowest %.3f ms cpu (frame %ld), %.3f ms wall\n", frames,
                elapsed, 1000 * totalCpu / std::max(frames, 1L), 1000 * slowestCpu, slowestFrame,
                1000 * slowestWall);
    std::printf("resident memory: %ld KiB after %ld frames, %ld KiB peak after, %ld KiB at the end\n",
                baseline, warmUp, peak, final);
    bool ok = true;
    if (baseline > 0 && peak - baseline >= 1024) {
        std::printf("FAIL: resident memory grew by %ld KiB\n", peak - baseline);
        ok = false;
    }
    if (slowestCpu >= 0.020) {
        std::printf("FAIL: a frame took %.3f ms\n", 1000 * slowestCpu);
        ok = false;
    }
    setRenderTarget(nullptr);
    return ok ? 0 : 1;
}
