// Display faults of the windowed player on a real SDL window (SDL's dummy video driver, drawn by its software
// renderer): lost textures, a reset device, a failing lock, a minimised window and the activation redraw,
// driven by events pushed into SDL's queue and handled as the player's loop handles them.
#include <cstdlib>
#include <cstring>

#include "app/commands.h"
#include "app/display_setup.h"
#include "app/frame_loop.h"
#include "app/player.h"
#include "display/renderer.h"
#include "effects/effect_state.h"
#include "field/field.h"
#include "test_support.h"

namespace glowfield::test {
namespace {

class DummyWindow : public StateTest {
  protected:
    void SetUp() override {
        StateTest::SetUp();
        // Chosen on purpose, so the player takes the driver that draws nowhere as its display.
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        ASSERT_EQ(openDisplay(DisplayMode::window, display), 0) << SDL_GetError();
        ASSERT_EQ(writer.initialise(display.surface, std::make_shared<MemoryDevice>()), result::ok);
        setRenderTarget(&writer);
        prepareField(5);
        handlePendingEvents();
    }

    void TearDown() override {
        setRenderTarget(nullptr);
        closeDisplay(display);
        unsetenv("SDL_VIDEODRIVER");
        StateTest::TearDown();
    }

    void handlePendingEvents() {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            dispatchEvent(session, event, display, writer, log);
        }
    }

    void push(SDL_Event event) {
        ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
        handlePendingEvents();
    }

    void pushWindowEvent(Uint8 what) {
        SDL_Event event{};
        event.type = SDL_WINDOWEVENT;
        event.window.windowID = SDL_GetWindowID(display.window);
        event.window.event = what;
        push(event);
    }

    // Cell (2, 1) shown as levels 127 + red, 100 and 127 elsewhere.
    void paintCell(float red) {
        planes.red[cellAt(2, 1)] = red;
        planes.green[cellAt(2, 1)] = -27.0f;
        planes.blue[cellAt(2, 1)] = 3.0f;
    }

    // The colour a cell should show, as 0xRRGGBB.
    static uint32_t fieldColourAt(int x, int y) {
        const uint32_t packed = packedColourAt(x, y);
        return (packed & 0xff) << 16 | (packed & 0xff00) | (packed >> 16 & 0xff);
    }

    // The colour on the window at a pixel, as 0xRRGGBB.
    uint32_t shown(int x, int y) const {
        const SDL_Surface* screen = SDL_GetWindowSurface(display.window);
        EXPECT_EQ(screen->format->format, static_cast<Uint32>(SDL_PIXELFORMAT_RGB888));
        uint32_t pixel;
        std::memcpy(&pixel, static_cast<const uint8_t*>(screen->pixels) + y * screen->pitch + 4 * x, 4);
        return pixel & 0xffffff;
    }

    PlayerDisplay display;
    SurfaceWriter writer;
    FrameLog log;
};

TEST_F(DummyWindow, LostTexturesAndAResetDeviceAreRecoveredForTheNextFrame) {
    EXPECT_STREQ(rendererName(display.renderer), "software");
    paintCell(100.0f);
    renderField();
    EXPECT_EQ(shown(8, 3), 0xe36482u);

    SDL_Event reset{};
    reset.type = SDL_RENDER_TARGETS_RESET;
    push(reset);
    EXPECT_EQ(display.surface->isLost(), result::surfaceLost);
    paintCell(-200.0f);
    renderField();
    EXPECT_EQ(display.surface->isLost(), result::ok);
    EXPECT_EQ(shown(8, 3), 0x006482u);

    reset.type = SDL_RENDER_DEVICE_RESET;
    push(reset);
    ASSERT_NE(display.renderer, nullptr);
    EXPECT_FALSE(display.rendererLost);
    int width = 0, height = 0;
    SDL_RenderGetLogicalSize(display.renderer, &width, &height);
    EXPECT_EQ(width, 800);
    EXPECT_EQ(height, 600);
    EXPECT_EQ(renderer.writer, &writer);
    paintCell(20.0f);
    renderField();
    EXPECT_EQ(shown(8, 3), 0x936482u);
    EXPECT_EQ(shown(799, 599), 0x7f7f7fu);
}

TEST_F(DummyWindow, ARendererThatCouldNotBeMadeIsTriedAgainEverySecond) {
    // What a failed remake leaves: no texture, no target, the renderer marked lost.
    display.surface->detachRenderer();
    display.rendererLost = true;
    setRenderTarget(nullptr);
    paintCell(100.0f);
    for (int tick = 1; tick < rendererRetryTicks; ++tick) {
        prepareTick(display, writer, log);
        ASSERT_TRUE(display.rendererLost) << tick;
    }
    prepareTick(display, writer, log);
    EXPECT_FALSE(display.rendererLost);
    EXPECT_EQ(renderer.writer, &writer);
    renderField();
    EXPECT_EQ(shown(8, 3), 0xe36482u);
}

TEST_F(DummyWindow, AFailedLockIsReportedAndOnlyThatFrameIsLost) {
    startEffect(13, 5);
    runFrames(5);
    const uint32_t before = shown(400, 300);
    EXPECT_EQ(before, fieldColourAt(100, 100));
    // The texture cannot be made again while the surface has no renderer, so the writer's lock fails.
    display.surface->detachRenderer();
    ::testing::internal::CaptureStderr();
    runFrames(1);
    const std::string reported = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(reported.find("Lock failed. (0x80004005)"), std::string::npos) << reported;
    EXPECT_FALSE(writer.locked());
    EXPECT_EQ(shown(400, 300), before);
    ASSERT_NE(fieldColourAt(100, 100), before) << "the frame step should have changed the centre";

    display.surface->attachRenderer(display.renderer);
    runFrames(1);
    for (const auto& [x, y] : {std::pair{400, 300}, {0, 0}, {799, 599}, {123, 456}}) {
        EXPECT_EQ(shown(x, y), fieldColourAt(x / 4, y / 3)) << x << "," << y;
    }
}

TEST_F(DummyWindow, MinimisedWindowKeepsStepsButDrawsNothingUntilRestoredOrActivated) {
    paintCell(100.0f);
    renderField();
    pushWindowEvent(SDL_WINDOWEVENT_MINIMIZED);
    EXPECT_TRUE(display.hidden);
    EXPECT_EQ(renderer.writer, nullptr);
    const uint32_t framesBefore = shared.frameCounter;
    runFrames(3);
    EXPECT_GE(shared.frameCounter, framesBefore + 3);
    EXPECT_EQ(shown(8, 3), 0xe36482u);

    // Activation alone does not draw on a minimised window; showing it again draws the field at once.
    paintCell(-200.0f);
    pushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    EXPECT_EQ(shown(8, 3), 0xe36482u);
    pushWindowEvent(SDL_WINDOWEVENT_RESTORED);
    EXPECT_FALSE(display.hidden);
    EXPECT_EQ(renderer.writer, &writer);
    EXPECT_EQ(shown(8, 3), 0x006482u);

    paintCell(20.0f);
    pushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    EXPECT_EQ(shown(8, 3), 0x006482u);
    pushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    EXPECT_EQ(shown(8, 3), 0x936482u);
}

// With a software renderer the picture goes straight into the window's surface, between black bars where
// the window is wider, with what the overlay drew onto the 800 x 600 picture. (The dummy display is 1024 x
// 768, so the window cannot grow to a whole multiple; the scaling itself is tested on its own.)
TEST_F(DummyWindow, ASoftwareRendererDrawsThePictureIntoTheWindowBetweenBars) {
    ASSERT_TRUE(display.surface->presentsToWindow());
    SDL_SetWindowSize(display.window, 1000, 600);
    handlePendingEvents();
    paintCell(100.0f);
    display.surface->setPictureOverlay([](uint8_t* pixels, int pitch, const PixelFormat& format) {
        EXPECT_EQ(format.bitsPerPixel, 32);
        std::memset(pixels + 599 * pitch + 799 * 4, 0xff, 4);
    });
    renderField();
    // Cell (2, 1) covers pixels 8..11 and 3..5 of the picture, 108..111 of the window right of a 100-pixel
    // bar; the overlay's pixel is the picture's last.
    EXPECT_EQ(shown(108, 3), 0xe36482u);
    EXPECT_EQ(shown(111, 5), 0xe36482u);
    EXPECT_EQ(shown(112, 5), 0x7f7f7fu);
    EXPECT_EQ(shown(100, 0), 0x7f7f7fu);
    for (const auto& [x, y] : {std::pair{0, 0}, {99, 599}, {900, 0}, {999, 599}}) {
        EXPECT_EQ(shown(x, y), 0u) << x << "," << y;
    }
    EXPECT_EQ(shown(899, 599), 0xffffffu);
    EXPECT_EQ(shown(898, 599), 0x7f7f7fu);
    display.surface->setPictureOverlay(nullptr);
}

TEST(SoftwareRasteriser, RecognisedByItsOpenGlRendererString) {
    for (const char* name :
         {"llvmpipe (LLVM 15.0.6, 256 bits)", "softpipe", "Mesa X11 swrast", "Software Rasterizer"}) {
        EXPECT_TRUE(isSoftwareRasteriser(name)) << name;
    }
    for (const char* name :
         {"Mesa Intel(R) UHD Graphics 620 (KBL GT2)", "AMD Radeon RX 6600 (navi23, LLVM 15.0.6)",
          "NVIDIA GeForce GTX 1060/PCIe/SSE2", ""}) {
        EXPECT_FALSE(isSoftwareRasteriser(name)) << name;
    }
}

} // namespace
} // namespace glowfield::test
