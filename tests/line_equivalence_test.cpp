// drawLine3D works its steps out in vectorised batches and leaves out the blocks that a neighbouring block
// already covers. These tests hold it to a straightforward walk that draws every block of every step, on
// random and extreme lines over fields that hold NaN, signed zeros and arbitrary values: the planes must
// match bit for bit, and so must the block size and the projected ends kept in drawingState.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <random>
#include <vector>

#include "effects/effect_state.h"
#include "field/drawing.h"
#include "field/field.h"
#include "field/numeric.h"
#include "field/trig.h"
#include "test_support.h"

namespace glowfield::test {
namespace {

// Every step's block, drawn cell by cell.
void referenceLine3D(float x0, float y0, float depth0, float x1, float y1, float depth1, int32_t redValue,
                     int32_t greenValue, int32_t blueValue, int32_t size) {
    DrawingState& st = drawingState;
    const bool startInside = projectPoint(x0, y0, depth0, st.lineStartX, st.lineStartY);
    const bool endInside = projectPoint(x1, y1, depth1, st.lineEndX, st.lineEndY);
    if (!startInside && !endInside) {
        return;
    }
    const int n = field.gridSize;
    const double px0 = st.lineStartX, py0 = st.lineStartY;
    const double px1 = st.lineEndX, py1 = st.lineEndY;
    const int64_t dX = std::llabs(static_cast<int64_t>(st.lineStartX) - st.lineEndX);
    const int64_t dY = std::llabs(static_cast<int64_t>(st.lineStartY) - st.lineEndY);
    double step = (dX == 0 && dY == 0) ? 1.0 : 1.0 / (2.0 * static_cast<double>(std::max(dX, dY)));
    step = std::max(step, 1.0 / (1.5 * n));
    const auto raise = [](float& cell, int32_t value) {
        if (static_cast<float>(value) > cell) {
            cell = static_cast<float>(value);
        }
    };
    for (double t = 0; t < 1; t += step) {
        const int32_t xp = truncToInt(px0 * t + px1 * (1 - t));
        const int32_t yp = truncToInt(py0 * t + py1 * (1 - t));
        const int32_t d = truncToInt(static_cast<double>(depth1) * (1 - t) + static_cast<double>(depth0) * t);
        if (d < 0) {
            continue;
        }
        const double q = static_cast<double>(d) + 80;
        const int32_t side = std::max(truncToInt(80.0 * size / q), 1);
        drawingState.blockSize = side;
        const int32_t r = truncToInt(80.0 * redValue / q - 60);
        const int32_t g = truncToInt(80.0 * greenValue / q - 60);
        const int32_t b = truncToInt(80.0 * blueValue / q - 60);
        for (int64_t x = std::max<int64_t>(xp, 1); x < std::min<int64_t>(int64_t{xp} + side, n - 1); ++x) {
            for (int64_t y = std::max<int64_t>(yp, 1); y < std::min<int64_t>(int64_t{yp} + side, n - 1);
                 ++y) {
                const int cell = cellAt(static_cast<int>(x), static_cast<int>(y));
                raise(planes.red[cell], r);
                raise(planes.green[cell], g);
                raise(planes.blue[cell], b);
            }
        }
    }
}

// Every step of a field line in turn.
void referenceFieldLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t redValue, int32_t greenValue,
                        int32_t blueValue) {
    const int n = field.gridSize;
    const float dx = absf(toFloat(static_cast<double>(x0) - x1));
    const float dy = absf(toFloat(static_cast<double>(y0) - y1));
    const int32_t length = truncToInt(static_cast<double>(dx) + dy);
    const double f = 2.2 * length;
    const int steps = (3 * n <= f) ? 3 * n : truncToInt(f + 5);
    for (int k = 0; k <= steps; ++k) {
        const float u =
            toFloat(static_cast<double>(steps - k) * x1 / steps + static_cast<double>(k) * x0 / steps);
        const float w =
            toFloat(static_cast<double>(steps - k) * y1 / steps + static_cast<double>(k) * y0 / steps);
        if (!(u > 0 && u < n - 1 && w > 0 && w < n - 1)) {
            continue;
        }
        const int cell = cellAt(static_cast<int>(u), static_cast<int>(w));
        if (redValue != 0) {
            planes.red[cell] = static_cast<float>(redValue);
        }
        if (greenValue != 0) {
            planes.green[cell] = static_cast<float>(greenValue);
        }
        if (blueValue != 0) {
            planes.blue[cell] = static_cast<float>(blueValue);
        }
    }
}

struct Line {
    float x0, y0, depth0, x1, y1, depth1;
    int32_t red, green, blue, size;
};

// The colour planes and the drawing scratch (projection and block size): what drawLine3D may change.
struct Snapshot {
    std::vector<float> colours;
    DrawingState drawing;

    static Snapshot take() {
        Snapshot s;
        s.colours.resize(3 * planeCells);
        std::memcpy(s.colours.data(), planes.red, sizeof planes.red);
        std::memcpy(s.colours.data() + planeCells, planes.green, sizeof planes.green);
        std::memcpy(s.colours.data() + 2 * planeCells, planes.blue, sizeof planes.blue);
        s.drawing = drawingState;
        return s;
    }

    void restore() const {
        std::memcpy(planes.red, colours.data(), sizeof planes.red);
        std::memcpy(planes.green, colours.data() + planeCells, sizeof planes.green);
        std::memcpy(planes.blue, colours.data() + 2 * planeCells, sizeof planes.blue);
        drawingState = drawing;
    }

    // Bit for bit, so that NaN cells and signed zeros count.
    bool operator==(const Snapshot& other) const {
        return std::memcmp(colours.data(), other.colours.data(), colours.size() * sizeof(float)) == 0 &&
               std::memcmp(&drawing, &other.drawing, sizeof drawing) == 0;
    }
};

class LineEquivalence : public StateTest {
  protected:
    std::mt19937 random{20240517u};

    int pick(int count) { return static_cast<int>(random() % static_cast<uint32_t>(count)); }

    float between(float low, float high) {
        return low + (high - low) * static_cast<float>(random() % 100001u) / 100000.0f;
    }

    // Colour planes of mostly level-like values, with NaN, infinities and both zeros among them.
    void fillColours() {
        const float specials[] = {std::numeric_limits<float>::quiet_NaN(), -0.0f, 0.0f,
                                  std::numeric_limits<float>::infinity(),
                                  -std::numeric_limits<float>::infinity()};
        for (float* plane : {planes.red, planes.green, planes.blue}) {
            for (int cell = 0; cell < planeCells; ++cell) {
                plane[cell] = pick(20) == 0 ? specials[pick(5)] : static_cast<float>(pick(400) - 200);
            }
        }
    }

    // Draws the lines with the reference and with drawLine3D from the same state; true when both end alike.
    bool sameAsReference(const std::vector<Line>& lines) {
        const Snapshot start = Snapshot::take();
        for (const Line& l : lines) {
            referenceLine3D(l.x0, l.y0, l.depth0, l.x1, l.y1, l.depth1, l.red, l.green, l.blue, l.size);
        }
        const Snapshot expected = Snapshot::take();
        start.restore();
        for (const Line& l : lines) {
            drawLine3D(l.x0, l.y0, l.depth0, l.x1, l.y1, l.depth1, l.red, l.green, l.blue, l.size);
        }
        return Snapshot::take() == expected;
    }
};

TEST_F(LineEquivalence, RandomLinesMatchTheBlockByBlockWalk) {
    const int32_t values[] = {300,
                              -300,
                              0,
                              450,
                              -750,
                              60,
                              std::numeric_limits<int32_t>::max(),
                              std::numeric_limits<int32_t>::min()};
    const int32_t sizes[] = {1, 12, 15, 16, 22, 42, 200, 0, -5, std::numeric_limits<int32_t>::max()};
    const int grids[] = {200, 240, 37, 3, 1};
    for (int round = 0; round < 80; ++round) {
        field.gridSize = static_cast<uint16_t>(grids[round % 5 == 4 ? pick(5) : pick(2)]);
        fillColours();
        // Lines in and around the grid, near and far, some crossing behind the viewer; colours rising and
        // falling along a line in different planes.
        std::vector<Line> lines;
        for (int i = 0; i < 25; ++i) {
            const float reach = pick(3) == 0 ? 900.0f : 260.0f;
            Line l{between(-reach / 3, reach),
                   between(-reach / 3, reach),
                   between(-150, 900),
                   between(-reach / 3, reach),
                   between(-reach / 3, reach),
                   between(-150, 900),
                   values[pick(8)],
                   values[pick(8)],
                   values[pick(8)],
                   sizes[pick(10)]};
            if (pick(4) == 0) { // a point, or a line along one axis
                l.x1 = l.x0;
                l.y1 = pick(2) == 0 ? l.y0 : l.y1;
            }
            lines.push_back(l);
        }
        ASSERT_TRUE(sameAsReference(lines)) << "round " << round << ", grid " << field.gridSize;
    }
}

TEST_F(LineEquivalence, ExtremeEndsMatchTheBlockByBlockWalk) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const float ends[] = {nan,  inf,   -inf, 1e30f,  -1e30f, 3e9f, -3e9f,
                          0.0f, -0.0f, 1.0f, 100.0f, 198.5f, -0.5f};
    const float depths[] = {nan, inf, -inf, 1e30f, -1e30f, -200.0f, -80.0f, -0.5f, 0.0f, 40.0f, 2e9f};
    field.gridSize = 200;
    for (int round = 0; round < 60; ++round) {
        fillColours();
        std::vector<Line> lines;
        for (int i = 0; i < 40; ++i) {
            // One end usually inside, so that the walk runs; the other anywhere.
            const bool anchored = pick(4) != 0;
            lines.push_back(
                {anchored ? between(20, 180) : ends[pick(13)], anchored ? between(20, 180) : ends[pick(13)],
                 pick(2) == 0 ? between(-50, 300) : depths[pick(11)], ends[pick(13)], ends[pick(13)],
                 depths[pick(11)], pick(600) - 300, pick(600) - 300, pick(600) - 300, 12});
        }
        ASSERT_TRUE(sameAsReference(lines)) << "round " << round;
    }
}

TEST_F(LineEquivalence, LongLinesAcrossSeveralBatchesMatchTheBlockByBlockWalk) {
    // Lines longer than a batch of steps, lines whose step is held at the 1.5 x gridSize limit, and depths
    // that pass behind the viewer half way, in both directions.
    const Line lines[] = {{1, 1, 0, 239, 239, 0, 300, 200, 100, 12},
                          {239, 1, 500, 1, 238, -300, 300, -300, 0, 42},
                          {5, 120, -300, 230, 121, 400, -200, 250, 40, 22},
                          {-5000, 100, 10, 120, 100, 10, 300, 300, 300, 12},
                          {120, 7, 0, 120, 9000, 600, 100, -100, 300, 16},
                          {2, 200, 900, 237, 3, 0, 750, 750, 750, 42},
                          {100, 100, 1e9f, 100, 100, -1e9f, 300, 300, 300, 12}};
    for (const int grid : {240, 200}) {
        field.gridSize = static_cast<uint16_t>(grid);
        for (const Line& l : lines) {
            fillColours();
            EXPECT_TRUE(sameAsReference({l})) << "grid " << grid << ", line from " << l.x0 << "," << l.y0;
        }
    }
}

TEST_F(LineEquivalence, FieldLinesMatchTheStepByStepWalk) {
    const int32_t big = std::numeric_limits<int32_t>::max(), small = std::numeric_limits<int32_t>::min();
    const int32_t ends[] = {big, small, 0, -1, 1, 100, 198, 199, 239, 240, -50000, 70000};
    for (int round = 0; round < 40; ++round) {
        field.gridSize = static_cast<uint16_t>(round % 8 == 7 ? pick(241) : 200);
        fillColours();
        const Snapshot start = Snapshot::take();
        // Mostly lines in and around the grid, some with an end anywhere in the 32-bit range; values of zero
        // leave their plane alone.
        int32_t lines[30][7];
        for (auto& l : lines) {
            for (int k = 0; k < 4; ++k) {
                l[k] = pick(5) == 0 ? ends[pick(12)] : pick(300) - 50;
            }
            for (int k = 4; k < 7; ++k) {
                l[k] = pick(3) == 0 ? 0 : pick(400) - 200;
            }
            referenceFieldLine(l[0], l[1], l[2], l[3], l[4], l[5], l[6]);
        }
        const Snapshot expected = Snapshot::take();
        start.restore();
        for (const auto& l : lines) {
            drawFieldLine(l[0], l[1], l[2], l[3], l[4], l[5], l[6]);
        }
        ASSERT_TRUE(Snapshot::take() == expected) << "round " << round << ", grid " << field.gridSize;
    }
}

} // namespace
} // namespace glowfield::test
