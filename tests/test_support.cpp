#include "test_support.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <memory>

#include "app/field_dump.h"
#include "app/frame_loop.h"
#include "app/listening.h"
#include "display/renderer.h"
#include "effects/catalogue.h"
#include "effects/effect_state.h"
#include "effects/world.h"
#include "field/field.h"
#include "field/picture.h"
#include "field/picture_loader.h"

namespace glowfield::test {

void StateTest::SetUp() {
    resetWorld();
    stopListening(); // what a test before heard, and its switch on the beat, must not reach this one
    setRenderTarget(nullptr);
    setPictureDirectory("");
}

void StateTest::TearDown() {
    stopListening();
    setRenderTarget(nullptr);
    setPictureDirectory("");
}

HeadlessDisplay::HeadlessDisplay(int bitsPerPixel, int32_t pitch) {
    PixelFormat format;
    format.bitsPerPixel = bitsPerPixel;
    if (bitsPerPixel == 16) {
        format.redMask = 0xf800;
        format.greenMask = 0x07e0;
        format.blueMask = 0x001f;
    }
    surface_ = std::make_shared<MemorySurface>(800, 600, format, pitch);
    const ResultCode code = writer_.initialise(surface_, std::make_shared<MemoryDevice>());
    EXPECT_EQ(code, result::ok);
    setRenderTarget(&writer_);
}

HeadlessDisplay::~HeadlessDisplay() {
    setRenderTarget(nullptr);
}

void resetPicture() {
    discardPictureLoads();
    std::destroy_at(&picture);
    std::construct_at(&picture); // zeroed in place: the planes are megabytes
}

void startEffect(int effect, int32_t seed) {
    prepareField(seed);
    Session session;
    startWithEffect(session, effect);
}

void runFrames(int frames) {
    const Session session; // every entry playable, nothing locked
    for (int i = 0; i < frames; ++i) {
        timerTick(session);
    }
}

uint64_t fieldHash() {
    return fnv1a64(dumpField());
}

void fillField(const std::vector<float>& values) {
    float* const all[6] = {planes.red,         planes.green,         planes.blue,
                           planes.redVelocity, planes.greenVelocity, planes.blueVelocity};
    size_t k = 0;
    for (float* plane : all) {
        for (int cell = 0; cell < planeCells; ++cell) {
            plane[cell] = values[k++ % values.size()];
        }
    }
}

void fillParticles(const std::vector<float>& values, const std::vector<int32_t>& tags) {
    float* const arrays[6] = {particles.particleX,  particles.particleY,  particles.particleZ,
                              particles.particleVX, particles.particleVY, particles.particleVZ};
    size_t k = 0;
    for (float* array : arrays) {
        for (int i = 0; i < particleCapacity; ++i) {
            array[i] = values[k++ % values.size()];
        }
    }
    for (int i = 0; i < particleCapacity; ++i) {
        particles.particleTag[i] = tags[static_cast<size_t>(i) % tags.size()];
    }
}

const std::vector<float>& extremeValues() {
    static const std::vector<float> values = {1e30f,
                                              -1e30f,
                                              std::numeric_limits<float>::infinity(),
                                              -std::numeric_limits<float>::infinity(),
                                              std::numeric_limits<float>::quiet_NaN(),
                                              0.0f,
                                              -0.0f,
                                              3e9f,
                                              -3e9f,
                                              255.5f};
    return values;
}

namespace {

void put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xffff);
    put16(out, v >> 16);
}

} // namespace

void writeBmp(const std::string& path, const BmpLayout& layout) {
    const int64_t width = layout.width < 0 ? 0 : layout.width;
    const int64_t claimedRows = layout.height < 0 ? -static_cast<int64_t>(layout.height) : layout.height;
    const int64_t rows = layout.storedRows >= 0 ? layout.storedRows : claimedRows;
    const int64_t bytesPerPixel = layout.bitCount / 8 > 0 ? layout.bitCount / 8 : 1;
    const int64_t rowBytes = ((width * bytesPerPixel) + 3) / 4 * 4;
    const uint32_t offset = 14 + layout.infoHeaderSize;
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    put32(out, static_cast<uint32_t>(offset + rowBytes * claimedRows));
    put32(out, 0);
    put32(out, offset);
    put32(out, layout.infoHeaderSize);
    put32(out, static_cast<uint32_t>(layout.width));
    put32(out, static_cast<uint32_t>(layout.height));
    put16(out, 1);
    put16(out, layout.bitCount);
    put32(out, 0); // no compression
    put32(out, static_cast<uint32_t>(rowBytes * claimedRows));
    put32(out, 2835);
    put32(out, 2835);
    put32(out, 0);
    put32(out, 0);
    while (out.size() < offset) {
        out.push_back(0);
    }
    for (int64_t k = 0; k < rows; ++k) {
        const size_t rowStart = out.size();
        for (int64_t l = 0; l < width; ++l) {
            const uint32_t c = layout.colour(static_cast<int>(l), static_cast<int>(k));
            if (bytesPerPixel >= 3) {
                out.push_back(static_cast<uint8_t>(c));       // blue
                out.push_back(static_cast<uint8_t>(c >> 8));  // green
                out.push_back(static_cast<uint8_t>(c >> 16)); // red
                for (int64_t extra = 3; extra < bytesPerPixel; ++extra) {
                    out.push_back(0);
                }
            } else {
                for (int64_t b = 0; b < bytesPerPixel; ++b) {
                    out.push_back(static_cast<uint8_t>(c >> (8 * b)));
                }
            }
        }
        while (out.size() - rowStart < static_cast<size_t>(rowBytes)) {
            out.push_back(0);
        }
    }
    out.resize(out.size() > layout.truncate ? out.size() - layout.truncate : 0);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr) << path;
    std::fwrite(out.data(), 1, out.size(), f);
    std::fclose(f);
}

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "glowfield-test-XXXXXX").string();
    char* made = mkdtemp(pattern.data());
    if (made) {
        path_ = made;
    }
}

TempDir::~TempDir() {
    std::error_code error;
    if (!path_.empty()) {
        std::filesystem::remove_all(path_, error);
    }
}

std::string entryTestName(const ::testing::TestParamInfo<int>& info) {
    std::string label = "Entry" + std::to_string(info.param);
    if (const char* name = effectName(info.param)) {
        label += "_";
        for (const char* c = name; *c; ++c) {
            label += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
        }
    }
    return label;
}

} // namespace glowfield::test
