// Frame-step benchmarks. What matters is the ratio to the limits measured in the same run, not absolute
// times: renderField against copying one frame, and every effect's FrameStep against the 20 ms tick.
//
//   build/glowfield_bench                                    every benchmark
//   build/glowfield_bench --benchmark_filter='FrameStep/1[0-9][0-9]'   a subset
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/frame_loop.h"
#include "display/renderer.h"
#include "display/surface_writer.h"
#include "effects/catalogue.h"
#include "effects/world.h"
#include "field/field.h"
#include "field/picture.h"
#include "platform/memory_surface.h"

namespace glowfield {
namespace {

// A memory display of the given depth installed as the render target.
struct BenchDisplay {
    explicit BenchDisplay(int bits) {
        PixelFormat format;
        format.bitsPerPixel = bits;
        surface = std::make_shared<MemorySurface>(800, 600, format);
        writer.initialise(surface, std::make_shared<MemoryDevice>());
        setRenderTarget(&writer);
    }
    ~BenchDisplay() { setRenderTarget(nullptr); }
    std::shared_ptr<MemorySurface> surface;
    SurfaceWriter writer;
};

void freshStart() {
    setRenderTarget(nullptr);
    resetWorld();
    prepareField(1);
}

void waveStepAlone(benchmark::State& state) {
    freshStart();
    for (auto _ : state) {
        waveStep();
        benchmark::ClobberMemory();
    }
}

void renderAtDepth(benchmark::State& state) {
    freshStart();
    for (int i = 0; i < 50; ++i) {
        waveStep();
    }
    BenchDisplay display(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        renderField();
        benchmark::ClobberMemory();
    }
}

void waveStepAndRender(benchmark::State& state) {
    freshStart();
    BenchDisplay display(32);
    for (auto _ : state) {
        waveStep();
        renderField();
        benchmark::ClobberMemory();
    }
}

// The limit for the renderer: one 800 x 600 x 4-byte frame copied.
void frameCopy(benchmark::State& state) {
    std::vector<uint8_t> from(800 * 600 * 4, 1), to(800 * 600 * 4);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), to.size());
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
}

// The limit for the field passes: the six live planes read and written once.
void planesReadWrite(benchmark::State& state) {
    freshStart();
    float* const all[6] = {planes.red,         planes.green,         planes.blue,
                           planes.redVelocity, planes.greenVelocity, planes.blueVelocity};
    for (auto _ : state) {
        for (float* plane : all) {
            for (int x = 0; x < 200; ++x) {
                float* column = plane + cellAt(x, 0);
                benchmark::DoNotOptimize(column);
                for (int y = 0; y < 200; ++y) {
                    column[y] = column[y] + 1.0f;
                }
            }
        }
        benchmark::ClobberMemory();
    }
}

// One full frame step of an effect, on a state warmed by 100 frames of it and kept evolving.
void frameStepOf(benchmark::State& state, int effect, const std::string& pictures) {
    freshStart();
    setPictureDirectory(pictures);
    BenchDisplay display(32);
    Session session;
    startWithEffect(session, effect);
    for (int i = 0; i < 100; ++i) {
        timerTick(session);
    }
    for (auto _ : state) {
        timerTick(session);
        benchmark::ClobberMemory();
    }
    setPictureDirectory("");
}

} // namespace
} // namespace glowfield

int main(int argc, char** argv) {
    using namespace glowfield;
    benchmark::RegisterBenchmark("WaveStep", waveStepAlone);
    benchmark::RegisterBenchmark("RenderField", renderAtDepth)->Arg(24)->Arg(32);
    benchmark::RegisterBenchmark("WaveStepAndRender32", waveStepAndRender);
    benchmark::RegisterBenchmark("Limit/FrameCopy", frameCopy);
    benchmark::RegisterBenchmark("Limit/PlanesReadWrite", planesReadWrite);
    // The picture effect reads the pictures of GLOWFIELD_PICTURES when it is set.
    const char* pictures = std::getenv("GLOWFIELD_PICTURES");
    const std::string pictureFolder = pictures ? pictures : "";
    for (int effect = 0; effect < effectCount; ++effect) {
        const char* name = effectName(effect);
        char label[96];
        std::snprintf(label, sizeof label, "FrameStep/%03d:%s", effect, name ? name : "-");
        benchmark::RegisterBenchmark(label, [effect, pictureFolder](benchmark::State& state) {
            frameStepOf(state, effect, pictureFolder);
        });
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
