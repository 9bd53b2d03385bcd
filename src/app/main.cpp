// Until the windowed player exists: renders seeded frames headless and writes the last one as a PNG.
// Options: --seed S, --effect N, --frames K, --screenshot FILE, --pictures DIR.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "app/frame_loop.h"
#include "display/renderer.h"
#include "display/surface_writer.h"
#include "field/picture.h"
#include "platform/memory_surface.h"
#include "platform/png_writer.h"

int main(int argc, char** argv) {
    using namespace glowfield;
    std::string out = "glowfield-frame.png";
    int seed = 1, effect = -1, frames = 100;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--seed")) {
            seed = std::atoi(argv[i + 1]);
        } else if (!std::strcmp(argv[i], "--effect")) {
            effect = std::atoi(argv[i + 1]);
        } else if (!std::strcmp(argv[i], "--frames")) {
            frames = std::atoi(argv[i + 1]);
        } else if (!std::strcmp(argv[i], "--screenshot")) {
            out = argv[i + 1];
        } else if (!std::strcmp(argv[i], "--pictures")) {
            setPictureDirectory(argv[i + 1]);
        }
    }
    auto surface = std::make_shared<MemorySurface>(800, 600, PixelFormat{});
    SurfaceWriter writer;
    if (writer.initialise(surface, std::make_shared<MemoryDevice>()) != result::ok) {
        return 1;
    }
    setRenderTarget(&writer);
    prepareField(seed);
    if (effect >= 0 && effect < 242) {
        startWithEffect(effect);
    }
    for (int i = 0; i < frames; ++i) {
        timerTick();
    }
    std::string error;
    if (!writeSurfacePng(out, *surface, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    std::printf("The windowed player is not built yet: rendered %d frames headless into %s\n", frames,
                out.c_str());
    return 0;
}
