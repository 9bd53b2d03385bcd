// Until the windowed player exists: renders a few seeded frames headless and writes the last one as a PNG.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/frame_loop.h"
#include "display/renderer.h"
#include "display/surface_writer.h"
#include "platform/memory_surface.h"
#include "platform/png_writer.h"

int main(int argc, char** argv) {
    using namespace glowfield;
    const std::string out = argc > 1 ? argv[1] : "glowfield-frame.png";
    auto surface = std::make_shared<MemorySurface>(800, 600, PixelFormat{});
    SurfaceWriter writer;
    if (writer.initialise(surface, std::make_shared<MemoryDevice>()) != result::ok) {
        return 1;
    }
    setRenderTarget(&writer);
    prepareField(1);
    for (int i = 0; i < 100; ++i) {
        timerTick();
    }
    std::string error;
    if (!writeSurfacePng(out, *surface, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    std::printf("The windowed player is not built yet: rendered 100 frames headless into %s\n", out.c_str());
    return 0;
}
