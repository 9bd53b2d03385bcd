// The surface writer's tables, stores and lock rules, and the renderer's levels and blocks.
#include <cmath>
#include <cstring>
#include <limits>

#include "display/block_render.h"
#include "display/renderer.h"
#include "display/surface_writer.h"
#include "field/field.h"
#include "platform/memory_surface.h"
#include "test_support.h"

namespace glowfield::test {
namespace {

std::shared_ptr<MemorySurface> makeSurface(int bits, uint32_t r, uint32_t g, uint32_t b, int32_t pitch = 0) {
    PixelFormat format;
    format.bitsPerPixel = bits;
    format.redMask = r;
    format.greenMask = g;
    format.blueMask = b;
    return std::make_shared<MemorySurface>(800, 600, format, pitch);
}

TEST(SurfaceWriter, TablesMapLevelsToTheDisplaysBits) {
    SurfaceWriter writer;
    ASSERT_EQ(writer.initialise(makeSurface(32, 0xff0000, 0xff00, 0xff), std::make_shared<MemoryDevice>()),
              result::ok);
    for (uint32_t i = 0; i < 256; ++i) {
        ASSERT_EQ(writer.redTable()[i], i << 16);
        ASSERT_EQ(writer.greenTable()[i], i << 8);
        ASSERT_EQ(writer.blueTable()[i], i);
    }
    EXPECT_EQ(writer.pixelValue(0x00332211), 0x00112233u);
    EXPECT_EQ(writer.colourMask(), 0xffffffu);

    // Swapped masks and a 16-bit 5-6-5 layout follow the surface, not a fixed order.
    SurfaceWriter swapped;
    ASSERT_EQ(swapped.initialise(makeSurface(32, 0xff, 0xff00, 0xff0000), std::make_shared<MemoryDevice>()),
              result::ok);
    EXPECT_EQ(swapped.pixelValue(0x00332211), 0x00332211u);
    SurfaceWriter narrow;
    ASSERT_EQ(narrow.initialise(makeSurface(16, 0xf800, 0x07e0, 0x001f), std::make_shared<MemoryDevice>()),
              result::ok);
    EXPECT_EQ(narrow.pixelValue(0x00ffffff), 0xffffu);
    EXPECT_EQ(narrow.pixelValue(0x000000ff), 0xf800u);
    EXPECT_EQ(narrow.pixelValue(0x0000ff00), 0x07e0u);
}

TEST(SurfaceWriter, StoresAdvanceByTheBytesOfOnePixelAndLinesByThePitch) {
    auto surface = makeSurface(24, 0xff0000, 0xff00, 0xff, 2404);
    SurfaceWriter writer;
    ASSERT_EQ(writer.initialise(surface, std::make_shared<MemoryDevice>()), result::ok);
    ASSERT_EQ(writer.lock(nullptr, true), result::ok);
    EXPECT_EQ(writer.pitch(), 2404);
    uint8_t* start = writer.cursor();
    writer.storePixel(0x00030201);
    writer.storePixel(0x00060504);
    EXPECT_EQ(writer.cursor() - start, 6);
    EXPECT_EQ(start[0], 0x03); // blue, green, red in memory for masks 0xff0000 / 0xff00 / 0xff
    EXPECT_EQ(start[1], 0x02);
    EXPECT_EQ(start[2], 0x01);
    EXPECT_EQ(start[3], 0x06);
    writer.nextLine();
    EXPECT_EQ(writer.cursor() - start, 2404);
    EXPECT_EQ(writer.unlock(), result::ok);
    EXPECT_EQ(writer.cursor(), nullptr);
    EXPECT_EQ(surface->pixelAt(1, 0), 0x040506u);
}

TEST(SurfaceWriter, LockRulesAndFailures) {
    auto surface = makeSurface(32, 0xff0000, 0xff00, 0xff);
    SurfaceWriter writer;
    auto device = std::make_shared<MemoryDevice>();
    ASSERT_EQ(writer.initialise(surface, device), result::ok);
    EXPECT_EQ(writer.initialise(surface, device), result::alreadyInitialised);

    ASSERT_EQ(writer.lock(nullptr, true), result::ok);
    uint8_t* first = writer.cursor();
    EXPECT_EQ(writer.lock(nullptr, true), result::alreadyLocked);
    EXPECT_EQ(writer.cursor(), first); // the first lock is intact
    ASSERT_EQ(writer.unlock(), result::ok);

    // A lost surface is restored before the lock.
    surface->setLost(true);
    EXPECT_EQ(writer.lock(nullptr, true), result::ok);
    EXPECT_EQ(surface->restoreCount(), 1);
    ASSERT_EQ(writer.unlock(), result::ok);
    surface->setLost(true);
    surface->failRestore(result::generic);
    EXPECT_EQ(writer.lock(nullptr, true), result::generic);
    EXPECT_FALSE(writer.locked());
    surface->failRestore(result::ok);

    // A failed unlock does not leave the writer locked for ever.
    ASSERT_EQ(writer.lock(nullptr, true), result::ok);
    surface->failNextUnlock(0x88760219);
    EXPECT_EQ(writer.unlock(), 0x88760219u);
    EXPECT_EQ(writer.lock(nullptr, true), result::ok);
    EXPECT_EQ(writer.unlock(), result::ok);

    // A rectangle lock starts at its corner.
    LockRect rect{10, 2, 20, 4};
    ASSERT_EQ(writer.lock(&rect, true), result::ok);
    EXPECT_EQ(writer.cursor() - surface->bytes().data(), 2 * 3200 + 10 * 4);
    EXPECT_EQ(writer.unlock(), result::ok);
}

TEST(SurfaceWriter, UnusableFormatsLeaveTheWriterEmpty) {
    PixelFormat yuv;
    yuv.isRgb = false;
    SurfaceWriter writer;
    EXPECT_EQ(
        writer.initialise(std::make_shared<MemorySurface>(800, 600, yuv), std::make_shared<MemoryDevice>()),
        result::notImplemented);
    EXPECT_FALSE(writer.initialised());
    EXPECT_EQ(writer.initialise(makeSurface(8, 0xe0, 0x1c, 0x03), std::make_shared<MemoryDevice>()),
              result::notImplemented);
    EXPECT_FALSE(writer.initialised());
    EXPECT_NE(writer.lock(nullptr, true), result::ok);
    // Still usable for a good surface afterwards.
    EXPECT_EQ(writer.initialise(makeSurface(32, 0xff0000, 0xff00, 0xff), std::make_shared<MemoryDevice>()),
              result::ok);
}

class RendererTest : public StateTest {
  protected:
    void SetUp() override {
        StateTest::SetUp();
        field.gridSize = 200;
        field.cellWidth = 4;
        field.cellHeight = 3;
    }
};

TEST_F(RendererTest, LevelRuleTruncatesBeforeAddingAndDefinesEveryValue) {
    EXPECT_EQ(levelOf(0.0f), 127);
    EXPECT_EQ(levelOf(-127.0f), 0);
    EXPECT_EQ(levelOf(127.0f), 254);
    EXPECT_EQ(levelOf(127.5f), 255);
    EXPECT_EQ(levelOf(-0.5f), 127);
    EXPECT_EQ(levelOf(0.9f), 127);
    EXPECT_EQ(levelOf(-126.9f), 1);
    EXPECT_EQ(levelOf(-127.1f), 0);
    EXPECT_EQ(levelOf(std::numeric_limits<float>::infinity()), 255);
    EXPECT_EQ(levelOf(-std::numeric_limits<float>::infinity()), 0);
    EXPECT_EQ(levelOf(std::numeric_limits<float>::quiet_NaN()), 127);
}

TEST_F(RendererTest, EveryCellBecomesAFourByThreeBlockCoveringTheFrame) {
    HeadlessDisplay display(32);
    planes.red[cellAt(0, 0)] = 100.0f; // level 227
    planes.green[cellAt(199, 199)] = -200.0f;
    planes.blue[cellAt(57, 13)] = 50.0f;
    renderField();
    MemorySurface& s = display.surface();
    for (int y = 0; y < 600; ++y) {
        for (int x = 0; x < 800; ++x) {
            const int cx = x / 4, cy = y / 3;
            uint32_t expected = 0x7f7f7f;
            if (cx == 0 && cy == 0) {
                expected = 0xe37f7f;
            } else if (cx == 199 && cy == 199) {
                expected = 0x7f007f;
            } else if (cx == 57 && cy == 13) {
                expected = 0x7f7fb1;
            }
            ASSERT_EQ(s.pixelAt(x, y), expected) << x << "," << y;
        }
    }
}

// The renderer converts whole columns at once; every kind of value must come out as the level rule says, at
// every depth and for masks that need the tables.
TEST_F(RendererTest, RenderedPixelsFollowTheLevelRuleForEveryKindOfValue) {
    std::vector<float> values = extremeValues();
    for (float v = -130.0f; v <= 130.0f; v += 0.25f) {
        values.push_back(v);
    }
    for (float v : {-127.0f, 127.0f, std::nextafter(127.0f, 200.0f), std::nextafter(-127.0f, -200.0f),
                    -std::numeric_limits<float>::denorm_min()}) {
        values.push_back(v);
    }
    for (int cell = 0; cell < planeCells; ++cell) {
        planes.red[cell] = values[cell % values.size()];
        planes.green[cell] = values[(cell * 7 + 3) % values.size()];
        planes.blue[cell] = values[(cell * 13 + 5) % values.size()];
    }
    for (int bits : {32, 24, 16}) {
        HeadlessDisplay display(bits);
        renderField();
        const SurfaceWriter& writer = display.writer();
        for (int x = 0; x < 200; ++x) {
            for (int y = 0; y < 200; ++y) {
                const uint32_t expected = writer.pixelValue(packedColourAt(x, y));
                ASSERT_EQ(display.surface().pixelAt(4 * x + 3, 3 * y + 2), expected)
                    << bits << " bits, cell " << x << "," << y;
            }
        }
    }
}

// The block writer has an AVX-512 code and a portable one; both must give the level rule's pixels for every
// kind of value, and store nothing outside the clipped area, whichever this processor runs.
TEST_F(RendererTest, BothBlockCodesGiveTheLevelRuleInsideTheAreaAndNothingOutside) {
    std::vector<float> values = extremeValues();
    for (float v :
         {-127.0f, 127.0f, std::nextafter(127.0f, 200.0f), 127.99f, 128.0f, -127.99f, -128.0f,
          std::nextafter(-127.0f, -200.0f), -std::numeric_limits<float>::denorm_min(), -0.99f, 0.99f,
          std::numeric_limits<float>::signaling_NaN(), -std::numeric_limits<float>::quiet_NaN()}) {
        values.push_back(v);
    }
    for (float v = -131.0f; v <= 131.0f; v += 0.375f) {
        values.push_back(v);
    }
    for (int cell = 0; cell < planeCells; ++cell) {
        planes.red[cell] = values[cell % values.size()];
        planes.green[cell] = values[(cell * 7 + 3) % values.size()];
        planes.blue[cell] = values[(cell * 13 + 5) % values.size()];
    }
    const PixelShifts shifts{0, 8, 16};
    constexpr int pitch = 3300;
    for (const BlockArea area : {BlockArea{200, 200, 600, 3}, BlockArea{8, 17, 50, 3},
                                 BlockArea{12, 200, 599, 1}, BlockArea{200, 31, 600, 4}}) {
        for (BlockCode code : {BlockCode::fastest, BlockCode::portable}) {
            std::vector<uint8_t> picture(static_cast<size_t>(pitch) * 601, 0xaa);
            writeCellBlocks(planes, shifts, area, picture.data(), pitch, code);
            for (int y = 0; y < 601; ++y) {
                for (int x = 0; x < pitch / 4; ++x) {
                    uint32_t pixel;
                    std::memcpy(&pixel, picture.data() + static_cast<size_t>(y) * pitch + 4 * x, 4);
                    const int cx = x / 4, cy = y / area.cellHeight;
                    const bool inside = x < 4 * area.columns && cy < area.rows && y < area.lines;
                    ASSERT_EQ(pixel, inside ? packedColourAt(cx, cy) : 0xaaaaaaaau)
                        << (code == BlockCode::portable ? "portable" : "fastest") << " code, area "
                        << area.columns << "x" << area.rows << ", pixel " << x << "," << y;
                }
            }
        }
    }
}

TEST_F(RendererTest, TwentyFourBitRenderWithAWidePitchLeavesThePaddingAlone) {
    HeadlessDisplay display(24, 2500);
    for (auto& byte : display.surface().bytes()) {
        byte = 0xaa;
    }
    planes.red[cellAt(199, 0)] = 127.0f;
    renderField();
    MemorySurface& s = display.surface();
    EXPECT_EQ(s.pixelAt(799, 0), 0xfe7f7fu);
    EXPECT_EQ(s.pixelAt(796, 2), 0xfe7f7fu);
    EXPECT_EQ(s.pixelAt(795, 2), 0x7f7f7fu);
    for (int y = 0; y < 600; ++y) {
        ASSERT_EQ(s.bytes()[static_cast<size_t>(y) * 2500 + 2400], 0xaa) << y;
        ASSERT_EQ(s.bytes()[static_cast<size_t>(y) * 2500 + 2499], 0xaa) << y;
    }
}

// At 32 bits every line of a cell row is stored at once: every cell height and surface size must still give
// each line its own cell row, blank lines below the last, and no store beyond the blocks or into the padding.
TEST_F(RendererTest, ThirtyTwoBitRenderFillsEachLineOfEveryCellHeightAndSize) {
    for (int cell = 0; cell < planeCells; ++cell) {
        planes.red[cell] = static_cast<float>(cell % 251) - 125.0f;
        planes.green[cell] = static_cast<float>(cell % 37) * 7.0f - 130.0f;
        planes.blue[cell] = static_cast<float>(cell % 199) - 60.5f;
    }
    struct Size {
        int width, height, pitch;
    };
    for (const Size size : {Size{800, 600, 0}, Size{798, 598, 3300}, Size{64, 700, 0}}) {
        for (int cellHeight : {1, 2, 3, 4}) {
            field.cellHeight = static_cast<uint8_t>(cellHeight);
            PixelFormat format;
            format.bitsPerPixel = 32;
            auto surface = std::make_shared<MemorySurface>(size.width, size.height, format, size.pitch);
            std::fill(surface->bytes().begin(), surface->bytes().end(), uint8_t{0xaa});
            SurfaceWriter writer;
            ASSERT_EQ(writer.initialise(surface, std::make_shared<MemoryDevice>()), result::ok);
            setRenderTarget(&writer);
            renderField();
            setRenderTarget(nullptr);
            const int columns = std::min(size.width / 4, 200);
            for (int y = 0; y < size.height; ++y) {
                for (int x = 0; x < size.width; ++x) {
                    uint32_t expected = 0xaaaaaaaa;
                    if (y < 600 && x < 4 * columns) {
                        const int cy = y / cellHeight;
                        expected = cy < 200 ? writer.pixelValue(packedColourAt(x / 4, cy)) : 0;
                    }
                    ASSERT_EQ(surface->pixelAt(x, y), expected)
                        << size.width << "x" << size.height << ", cell height " << cellHeight << ": " << x
                        << "," << y;
                }
            }
            const int pitch = surface->pitch();
            for (int y = 0; y < size.height && pitch > size.width * 4; ++y) {
                ASSERT_EQ(surface->bytes()[static_cast<size_t>(y) * pitch + pitch - 1], 0xaa) << y;
            }
        }
    }
}

TEST_F(RendererTest, FailedLockKeepsTheOldPictureAndTheNextFrameDraws) {
    HeadlessDisplay display(32);
    renderField();
    planes.red[cellAt(10, 10)] = 120.0f;
    display.surface().failNextLock(result::surfaceLost);
    testing::internal::CaptureStderr();
    renderField();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "glowfield: Lock failed. (0x887601c2)\n");
    EXPECT_EQ(display.surface().pixelAt(40, 30), 0x7f7f7fu);
    EXPECT_FALSE(display.writer().locked());

    display.surface().failNextUnlock(0x88760219);
    testing::internal::CaptureStderr();
    renderField();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "glowfield: Unlock failed. (0x88760219)\n");
    renderField();
    EXPECT_EQ(display.surface().pixelAt(40, 30), 0xf77f7fu);
}

} // namespace
} // namespace glowfield::test
