// Presentation benchmarks: the 800 x 600 picture scaled into an output of the screen's size the way the
// player does where the renderer draws in software (letterboxed, rows repeated), and a whole frame with it.
// Compare with Limit/FrameCopy of frame_bench.cpp, run in the same binary.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "app/frame_loop.h"
#include "display/renderer.h"
#include "display/surface_writer.h"
#include "effects/world.h"
#include "field/field.h"
#include "platform/memory_surface.h"
#include "platform/picture_scaler.h"

namespace glowfield {
namespace {

// The window's surface of one output size, and the picture scaled into it.
struct Output {
    Output(int width, int height)
        : width(width), height(height), pixels(static_cast<size_t>(width) * height * 4),
          area(letterboxArea(800, 600, width, height)) {}
    void present(const uint8_t* picture, int pitch) {
        uint8_t* target = pixels.data() + static_cast<ptrdiff_t>(area.y) * width * 4 + area.x * 4;
        scaler.scale(picture, pitch, 800, 600, target, width * 4, area.width, area.height);
    }
    int width;
    int height;
    std::vector<uint8_t> pixels;
    ScaledArea area;
    PictureScaler scaler;
};

// A picture as the player shows it: the field of seed 1 after 50 wave steps, in 4 x 3 blocks.
std::vector<uint8_t> fieldPicture() {
    setRenderTarget(nullptr);
    resetWorld();
    prepareField(1);
    for (int i = 0; i < 50; ++i) {
        waveStep();
    }
    auto surface = std::make_shared<MemorySurface>(800, 600, PixelFormat{});
    SurfaceWriter writer;
    writer.initialise(surface, std::make_shared<MemoryDevice>());
    setRenderTarget(&writer);
    renderField();
    setRenderTarget(nullptr);
    return surface->bytes();
}

void presentPicture(benchmark::State& state, int width, int height) {
    const std::vector<uint8_t> picture = fieldPicture();
    Output output(width, height);
    for (auto _ : state) {
        output.present(picture.data(), 800 * 4);
        benchmark::ClobberMemory();
    }
}

// Wave step, effect 0, render into the picture, and the picture presented.
void wholeFrame(benchmark::State& state, int width, int height) {
    setRenderTarget(nullptr);
    resetWorld();
    prepareField(1);
    auto surface = std::make_shared<MemorySurface>(800, 600, PixelFormat{});
    SurfaceWriter writer;
    writer.initialise(surface, std::make_shared<MemoryDevice>());
    setRenderTarget(&writer);
    Session session;
    startWithEffect(session, 0);
    Output output(width, height);
    for (int i = 0; i < 100; ++i) {
        timerTick(session);
    }
    for (auto _ : state) {
        timerTick(session);
        output.present(surface->bytes().data(), surface->pitch());
        benchmark::ClobberMemory();
    }
    setRenderTarget(nullptr);
}

} // namespace
} // namespace glowfield

// Registered before frame_bench.cpp's main runs: Present/WIDTHxHEIGHT and WholeFrame/WIDTHxHEIGHT.
const bool presentRegistered = [] {
    const int sizes[3][2] = {{1280, 800}, {1920, 1080}, {3840, 2160}};
    for (const auto& size : sizes) {
        const std::string label = std::to_string(size[0]) + "x" + std::to_string(size[1]);
        benchmark::RegisterBenchmark(("Present/" + label).c_str(), glowfield::presentPicture, size[0],
                                     size[1]);
        benchmark::RegisterBenchmark(("WholeFrame/" + label).c_str(), glowfield::wholeFrame, size[0],
                                     size[1]);
    }
    return true;
}();
