// Shared helpers of the tests: a clean program state, a headless display, field hashes, extreme fields and
// .bmp files written on the spot.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/session.h"
#include "display/surface_writer.h"
#include "platform/memory_surface.h"

namespace glowfield::test {

// Every test that touches program state derives from this: all globals back to their start values.
class StateTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    Session session; // the player's state, fresh for each test
};

// A memory surface with a writer, installed as the render target for its lifetime.
class HeadlessDisplay {
  public:
    explicit HeadlessDisplay(int bitsPerPixel = 32, int32_t pitch = 0);
    ~HeadlessDisplay();
    MemorySurface& surface() { return *surface_; }
    SurfaceWriter& writer() { return writer_; }

  private:
    std::shared_ptr<MemorySurface> surface_;
    SurfaceWriter writer_;
};

// The picture planes and sizes back to zero and picture reads in flight dropped; the rest of the world stays.
void resetPicture();

// The program after start-up with this seed, then the state that key z leaves with the effect current.
void startEffect(int effect, int32_t seed = 1);

// Runs timer ticks (switch test and frame step).
void runFrames(int frames);

// Hash of the live cells of all six planes (the --dump-field bytes).
uint64_t fieldHash();

// Sets every stored cell of all six planes from a pattern of values, cycling through it.
void fillField(const std::vector<float>& values);

// Fills every particle array with a cycling pattern of values; tags get a cycling pattern of integers.
void fillParticles(const std::vector<float>& values, const std::vector<int32_t>& tags);

// The values that every robustness test throws at the code.
const std::vector<float>& extremeValues();

struct BmpLayout {
    int32_t width = 0;
    int32_t height = 0;
    uint16_t bitCount = 24;
    uint32_t infoHeaderSize = 40;
    // Sample colour of file column l and stored row k, as 0x00RRGGBB.
    std::function<uint32_t(int l, int k)> colour = [](int, int) { return 0u; };
    // Bytes to cut from the end of the file (a truncated file).
    size_t truncate = 0;
    // Rows actually written when not negative, whatever the header claims.
    int64_t storedRows = -1;
};

// Writes a .bmp file the way common tools do: headers, then rows padded to 4 bytes.
void writeBmp(const std::string& path, const BmpLayout& layout);

// A fresh empty directory under the system's temporary folder, removed by the destructor.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

// A parameterised test's name for a catalogue entry: "Entry13_Wheel", or "Entry241" for the one without a
// name.
std::string entryTestName(const ::testing::TestParamInfo<int>& info);

} // namespace glowfield::test
