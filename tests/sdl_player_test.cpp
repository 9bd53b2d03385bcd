// The player's SDL side without a screen: events turned into commands, the tick schedule, the choice of
// texture format, and the display surface driven by the writer through SDL's software renderer.
#include <cstring>

#include "app/commands.h"
#include "app/frame_loop.h"
#include "app/sdl_events.h"
#include "app/tick_schedule.h"
#include "display/renderer.h"
#include "effects/effect_state.h"
#include "field/field.h"
#include "platform/memory_surface.h"
#include "platform/sdl_display.h"
#include "test_support.h"

namespace glowfield::test {
namespace {

SDL_Event keyDown(SDL_Keycode key) {
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.keysym.sym = key;
    return event;
}

SDL_Event text(const char* typed) {
    SDL_Event event{};
    event.type = SDL_TEXTINPUT;
    std::strncpy(event.text.text, typed, sizeof event.text.text - 1);
    return event;
}

SDL_Event motion(int x, int y) {
    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.x = x;
    event.motion.y = y;
    return event;
}

SDL_Event ofType(Uint32 type) {
    SDL_Event event{};
    event.type = type;
    return event;
}

SDL_Event windowEvent(Uint8 what) {
    SDL_Event event = ofType(SDL_WINDOWEVENT);
    event.window.event = what;
    return event;
}

class PlayerEvents : public StateTest {
  protected:
    void SetUp() override {
        StateTest::SetUp();
        prepareField(5);
        fillField({8.0f});
    }
};

TEST_F(PlayerEvents, EnterActsOnceFromItsKeyAndNeverAsText) {
    handleEvent(session, keyDown(SDLK_RETURN));
    handleEvent(session, text("\r"));
    EXPECT_EQ(planes.red[cellAt(10, 10)], 4.0f);
    handleEvent(session, keyDown(SDLK_KP_ENTER));
    EXPECT_EQ(planes.red[cellAt(10, 10)], 2.0f);
    EXPECT_EQ(planes.redVelocity[cellAt(10, 10)], 0.0f);
    handleEvent(session, text("\x1b"));
    EXPECT_FALSE(session.quitRequested);
    handleEvent(session, keyDown(SDLK_ESCAPE));
    EXPECT_TRUE(session.quitRequested);
}

TEST_F(PlayerEvents, PrintableCommandsComeOnlyAsText) {
    handleEvent(session, keyDown(SDLK_i));
    handleEvent(session, keyDown(SDLK_2));
    EXPECT_EQ(planes.red[cellAt(10, 10)], 8.0f);
    EXPECT_EQ(session.digitCount, 0);
    handleEvent(session, text("i"));
    EXPECT_EQ(planes.red[cellAt(10, 10)], -8.0f);
    // Several characters in one event, as an input method may send them; others are ignored.
    handleEvent(session, text("2I\xc3\xa9"
                              "43"));
    EXPECT_EQ(shared.currentEffect & 0xff, 1);
    handleEvent(session, text("m"));
    EXPECT_EQ(planes.red[cellAt(10, 10)], -16.0f);
}

TEST_F(PlayerEvents, MouseIsClampedToThePictureThenMappedToCells) {
    const int cases[][4] = {
        {799, 599, 199, 199}, {0, 0, 0, 0}, {-40, 700, 0, 199}, {900, -3, 199, 0}, {400, 300, 100, 100}};
    for (const auto& c : cases) {
        handleEvent(session, motion(c[0], c[1]));
        EXPECT_EQ(shared.mouseX, c[2]) << c[0] << "," << c[1];
        EXPECT_EQ(shared.mouseY, c[3]) << c[0] << "," << c[1];
    }
}

TEST_F(PlayerEvents, QuitRequestsAndWhatWindowAndDisplayEventsAsk) {
    SDL_Event click = ofType(SDL_MOUSEBUTTONDOWN);
    click.button.button = SDL_BUTTON_RIGHT;
    handleEvent(session, click);
    EXPECT_FALSE(session.quitRequested);
    click.button.button = SDL_BUTTON_LEFT;
    handleEvent(session, click);
    EXPECT_TRUE(session.quitRequested);

    for (const SDL_Event& event : {ofType(SDL_QUIT), windowEvent(SDL_WINDOWEVENT_CLOSE)}) {
        session.quitRequested = false;
        EXPECT_EQ(handleEvent(session, event), EventOutcome::none);
        EXPECT_TRUE(session.quitRequested);
    }
    session.quitRequested = false;
    const std::pair<SDL_Event, EventOutcome> cases[] = {
        {windowEvent(SDL_WINDOWEVENT_FOCUS_GAINED), EventOutcome::redraw},
        {windowEvent(SDL_WINDOWEVENT_FOCUS_LOST), EventOutcome::none},
        {windowEvent(SDL_WINDOWEVENT_MINIMIZED), EventOutcome::hidden},
        {windowEvent(SDL_WINDOWEVENT_HIDDEN), EventOutcome::hidden},
        {windowEvent(SDL_WINDOWEVENT_RESTORED), EventOutcome::shown},
        {windowEvent(SDL_WINDOWEVENT_SHOWN), EventOutcome::shown},
        {windowEvent(SDL_WINDOWEVENT_EXPOSED), EventOutcome::none},
        {ofType(SDL_RENDER_TARGETS_RESET), EventOutcome::texturesLost},
        {ofType(SDL_RENDER_DEVICE_RESET), EventOutcome::deviceLost},
    };
    for (const auto& [event, outcome] : cases) {
        EXPECT_EQ(handleEvent(session, event), outcome) << event.type << "/" << int{event.window.event};
    }
    EXPECT_FALSE(session.quitRequested);
}

TEST(TickSchedule, KeepsItsCadenceAndDropsMissedTicks) {
    TickSchedule schedule{100, 20};
    EXPECT_FALSE(schedule.take(99.9));
    EXPECT_EQ(schedule.waitMilliseconds(99.5), 1);
    EXPECT_TRUE(schedule.take(100.2));
    EXPECT_FALSE(schedule.take(100.3));
    EXPECT_EQ(schedule.waitMilliseconds(100.3), 20);
    // A little late: the next tick stays on the 20 ms grid.
    EXPECT_TRUE(schedule.take(125));
    EXPECT_EQ(schedule.due, 140);
    // A frame that ran 70 ms: one tick now, then 20 ms from now, not three at once.
    EXPECT_TRUE(schedule.take(210));
    EXPECT_FALSE(schedule.take(210.5));
    EXPECT_EQ(schedule.due, 230);
    EXPECT_EQ(schedule.waitMilliseconds(240), 0);
}

SDL_RendererInfo offering(std::initializer_list<Uint32> formats) {
    SDL_RendererInfo info{};
    for (const Uint32 format : formats) {
        info.texture_formats[info.num_texture_formats++] = format;
    }
    return info;
}

TEST(TextureFormat, TwentyFourBitsWhenOfferedElseThirtyTwoElseNone) {
    EXPECT_EQ(chooseTextureFormat(offering({SDL_PIXELFORMAT_ARGB8888, SDL_PIXELFORMAT_RGB24})),
              static_cast<Uint32>(SDL_PIXELFORMAT_RGB24));
    EXPECT_EQ(chooseTextureFormat(offering({SDL_PIXELFORMAT_ARGB8888, SDL_PIXELFORMAT_RGB888})),
              static_cast<Uint32>(SDL_PIXELFORMAT_RGB888));
    EXPECT_EQ(chooseTextureFormat(offering({SDL_PIXELFORMAT_YV12, SDL_PIXELFORMAT_ABGR8888})),
              static_cast<Uint32>(SDL_PIXELFORMAT_ABGR8888));
    EXPECT_EQ(chooseTextureFormat(offering({SDL_PIXELFORMAT_YV12, SDL_PIXELFORMAT_RGB565,
                                            SDL_PIXELFORMAT_ARGB2101010, SDL_PIXELFORMAT_INDEX8})),
              0u);

    const PixelFormat packed = pixelFormatOf(SDL_PIXELFORMAT_RGB888);
    EXPECT_EQ(packed.bitsPerPixel, 32);
    EXPECT_EQ(packed.redMask, 0xff0000u);
    const PixelFormat bytes = pixelFormatOf(SDL_PIXELFORMAT_RGB24);
    EXPECT_EQ(bytes.bitsPerPixel, 24);
    EXPECT_EQ(bytes.redMask, 0x0000ffu);
    EXPECT_EQ(bytes.blueMask, 0xff0000u);
}

// The writer drives the SDL surface through SDL's software renderer into a plain SDL surface, so the pixels
// that reach the screen can be read back.
class SdlSurfaceTest : public StateTest, public ::testing::WithParamInterface<Uint32> {
  protected:
    void SetUp() override {
        StateTest::SetUp();
        target = SDL_CreateRGBSurfaceWithFormat(0, 800, 600, 32, SDL_PIXELFORMAT_RGB888);
        ASSERT_NE(target, nullptr) << SDL_GetError();
        sdlRenderer = SDL_CreateSoftwareRenderer(target);
        ASSERT_NE(sdlRenderer, nullptr) << SDL_GetError();
        surface = std::make_shared<SdlSurface>(sdlRenderer, GetParam(), 800, 600);
        ASSERT_TRUE(surface->create()) << SDL_GetError();
        prepareField(5);
    }

    void TearDown() override {
        setRenderTarget(nullptr);
        if (surface) {
            surface->release();
        }
        SDL_DestroyRenderer(sdlRenderer);
        SDL_FreeSurface(target);
        StateTest::TearDown();
    }

    // The colour shown at a pixel, as 0xRRGGBB.
    uint32_t shown(int x, int y) const {
        const auto* row =
            static_cast<const uint8_t*>(target->pixels) + static_cast<size_t>(y) * target->pitch;
        uint32_t pixel;
        std::memcpy(&pixel, row + 4 * x, 4);
        return pixel & 0xffffff;
    }

    SDL_Surface* target = nullptr;
    SDL_Renderer* sdlRenderer = nullptr;
    std::shared_ptr<SdlSurface> surface;
};

TEST_P(SdlSurfaceTest, RenderedFieldReachesTheScreenAndSurvivesALostTexture) {
    SurfaceWriter writer;
    ASSERT_EQ(writer.initialise(surface, std::make_shared<MemoryDevice>()), result::ok);
    EXPECT_EQ(writer.bitsPerPixel(), static_cast<int>(SDL_BYTESPERPIXEL(GetParam()) * 8));
    setRenderTarget(&writer);
    // Levels 127 + 100, 127 - 27 and 127 + 3 at cell (2, 1), mid-grey elsewhere.
    planes.red[cellAt(2, 1)] = 100.0f;
    planes.green[cellAt(2, 1)] = -27.0f;
    planes.blue[cellAt(2, 1)] = 3.0f;
    renderField();
    EXPECT_EQ(shown(8, 3), 0xe36482u);
    EXPECT_EQ(shown(11, 5), 0xe36482u);
    EXPECT_EQ(shown(12, 5), 0x7f7f7fu);
    EXPECT_EQ(shown(799, 599), 0x7f7f7fu);

    surface->markLost();
    EXPECT_EQ(surface->isLost(), result::surfaceLost);
    planes.red[cellAt(2, 1)] = -200.0f;
    renderField();
    EXPECT_EQ(surface->isLost(), result::ok);
    EXPECT_EQ(shown(8, 3), 0x006482u);

    // Once released, the surface refuses every lock and the picture stays.
    surface->release();
    uint8_t* memory = nullptr;
    int32_t pitch = 0;
    EXPECT_NE(surface->lock(nullptr, true, memory, pitch), result::ok);
    EXPECT_NE(writer.lock(nullptr, true), result::ok);
    EXPECT_EQ(shown(8, 3), 0x006482u);
}

// Under scaling to a larger output the bars around the picture are black on every frame, whatever the output
// held before; a picture that covers the output leaves nothing to clear.
TEST(SdlSurfaceBars, OutputsLargerThanThePictureShowBlackBars) {
    const struct {
        int width, height;
        SDL_Rect picture; // where the 800 x 600 picture lands
    } outputs[] = {{1000, 600, {100, 0, 800, 600}},
                   {801, 600, {0, 0, 800, 600}},
                   {1600, 1300, {0, 50, 1600, 1200}},
                   {1600, 1200, {0, 0, 1600, 1200}}};
    for (const auto& output : outputs) {
        SCOPED_TRACE(std::to_string(output.width) + "x" + std::to_string(output.height));
        SDL_Surface* target =
            SDL_CreateRGBSurfaceWithFormat(0, output.width, output.height, 32, SDL_PIXELFORMAT_RGB888);
        ASSERT_NE(target, nullptr) << SDL_GetError();
        SDL_Renderer* sdlRenderer = SDL_CreateSoftwareRenderer(target);
        ASSERT_NE(sdlRenderer, nullptr) << SDL_GetError();
        ASSERT_EQ(SDL_RenderSetLogicalSize(sdlRenderer, 800, 600), 0);
        SdlSurface surface(sdlRenderer, SDL_PIXELFORMAT_RGB888, 800, 600);
        ASSERT_TRUE(surface.create()) << SDL_GetError();
        uint8_t* memory = nullptr;
        int32_t pitch = 0;
        for (int frame = 0; frame < 2; ++frame) {
            SDL_FillRect(target, nullptr, 0xffffff);
            ASSERT_EQ(surface.lock(nullptr, true, memory, pitch), result::ok);
            for (int y = 0; y < 600; ++y) {
                std::memset(memory + y * pitch, 0x40, 800 * 4);
            }
            ASSERT_EQ(surface.unlock(nullptr), result::ok);
            int black = 0, grey = 0;
            for (int y = 0; y < output.height; ++y) {
                const auto* row = static_cast<const uint32_t*>(target->pixels) + y * target->pitch / 4;
                for (int x = 0; x < output.width; ++x) {
                    const SDL_Point point{x, y};
                    const uint32_t expected = SDL_PointInRect(&point, &output.picture) ? 0x404040 : 0;
                    (expected ? grey : black) += (row[x] & 0xffffff) == expected;
                }
            }
            EXPECT_EQ(grey, output.picture.w * output.picture.h);
            EXPECT_EQ(black, output.width * output.height - output.picture.w * output.picture.h);
        }
        surface.release();
        SDL_DestroyRenderer(sdlRenderer);
        SDL_FreeSurface(target);
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, SdlSurfaceTest,
                         ::testing::Values(SDL_PIXELFORMAT_RGB888, SDL_PIXELFORMAT_ABGR8888,
                                           SDL_PIXELFORMAT_RGB24, SDL_PIXELFORMAT_BGR24),
                         [](const ::testing::TestParamInfo<Uint32>& info) {
                             // "SDL_PIXELFORMAT_RGB888" becomes "RGB888".
                             return std::string(SDL_GetPixelFormatName(info.param) + 16);
                         });

} // namespace
} // namespace glowfield::test
