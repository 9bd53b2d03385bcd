// Asparagus projects the corners of a row of tiles with projectPoint's arithmetic in vectorised loops and
// then projects only the last few corners again to leave scratchX, scratchY and the projection state as
// projecting every corner would. These tests hold it to the corner-by-corner original on fields where every
// depth differs, where all depths are equal (the last change of depth is then the first corner), where tiles
// pass behind the viewer or hold NaN, and with a projection state left by an earlier depth, +0 or -0
// included.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "effects/shared/particle_helpers.h"
#include "field/drawing.h"
#include "field/field.h"
#include "field/numeric.h"
#include "test_support.h"

namespace glowfield::test {
namespace {

constexpr float asparagusMark = 126.0f;

// The tiles drawn one corner projection after another.
void referenceAsparagus() {
    const int n = field.gridSize;
    if (particleOwner != asparagusMark) {
        for (int x = 0; x < n; ++x) {
            for (int y = 0; y < n; ++y) {
                const int cell = cellAt(x, y);
                planes.blue[cell] = toFloat(planes.blue[cell] * -0.01);
                planes.blueVelocity[cell] = toFloat(planes.blueVelocity[cell] * -0.01);
            }
        }
        particleOwner = asparagusMark;
    }
    for (int cell = 0; cell < planeCells; ++cell) {
        planes.green[cell] = 0;
        planes.greenVelocity[cell] = 0;
    }
    for (int y = 1; y <= n - 3; ++y) {
        for (int x = 1; x <= n - 3; ++x) {
            const double blue = planes.blue[cellAt(x, y)];
            const float depth = toFloat(blue * -50);
            const bool firstInside = projectToScratch(toFloat(x - 0.5), toFloat(y - 0.5), depth);
            const int x1 = shared.scratchX, y1 = shared.scratchY;
            const bool secondInside = projectToScratch(toFloat(x + 0.5), toFloat(y + 0.5), depth);
            const int x2 = shared.scratchX, y2 = shared.scratchY;
            if (!firstInside || !secondInside || x2 < x1) {
                continue;
            }
            const float value = toFloat(blue * 100);
            for (int px = x1; px <= x2; ++px) {
                for (int py = y1; py <= y2; ++py) {
                    planes.green[cellAt(px, py)] = value;
                }
            }
        }
    }
}

// Everything Asparagus may change, compared bit for bit.
struct State {
    std::vector<float> planeBits;
    int32_t scratchX = 0, scratchY = 0;
    float owner = 0;
    DrawingState drawing;

    static State take() {
        State s;
        s.planeBits.resize(sizeof planes / sizeof(float));
        std::memcpy(s.planeBits.data(), &planes, sizeof planes);
        s.scratchX = shared.scratchX;
        s.scratchY = shared.scratchY;
        s.owner = particleOwner;
        s.drawing = drawingState;
        return s;
    }

    void restore() const {
        std::memcpy(&planes, planeBits.data(), sizeof planes);
        shared.scratchX = scratchX;
        shared.scratchY = scratchY;
        particleOwner = owner;
        drawingState = drawing;
    }

    bool operator==(const State& o) const {
        return std::memcmp(planeBits.data(), o.planeBits.data(), planeBits.size() * sizeof(float)) == 0 &&
               scratchX == o.scratchX && scratchY == o.scratchY &&
               std::memcmp(&owner, &o.owner, sizeof owner) == 0 &&
               std::memcmp(&drawing, &o.drawing, sizeof drawing) == 0;
    }
};

class AsparagusEquivalence : public StateTest {
  protected:
    std::mt19937 random{31u};

    // Runs the original and the effect from the same state; true when both leave the same one.
    static bool sameAsReference() {
        const State start = State::take();
        referenceAsparagus();
        const State expected = State::take();
        start.restore();
        asparagus();
        return State::take() == expected;
    }

    // A projection state as an earlier projection at this depth leaves it.
    static void projectedBefore(float depth) {
        int32_t x = 0, y = 0;
        projectPoint(50.0f, 60.0f, depth, x, y);
    }

    void fillBlue(float low, float high) {
        std::uniform_real_distribution<float> level(low, high);
        for (float& v : planes.blue) {
            v = level(random);
        }
    }
};

TEST_F(AsparagusEquivalence, ReliefsOfEveryKindMatchTheCornerByCornerOriginal) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    for (int grid : {200, 240, 37, 4, 3}) {
        field.gridSize = static_cast<uint16_t>(grid);
        // A relief whose depths all differ, first laid out from a foreign owner mark, then as the effect's
        // own.
        fillBlue(-3, 3);
        particleOwner = 1.0f;
        EXPECT_TRUE(sameAsReference()) << "grid " << grid << ", first frame";
        EXPECT_TRUE(sameAsReference()) << "grid " << grid << ", next frame";
        // Tiles behind the viewer (depth below 1 - grid), NaN and infinite ones, some of them last.
        fillBlue(-3, 3);
        for (int k = 0; k < 4000; ++k) {
            planes.blue[random() % planeCells] = std::array<float, 4>{nan, inf, -inf, 9.0f}[random() % 4];
        }
        for (int x = 0; x < 240; ++x) {
            planes.blue[cellAt(x, grid - 3)] = x % 3 == 0 ? nan : 9.0f;
        }
        EXPECT_TRUE(sameAsReference()) << "grid " << grid << ", behind and NaN";
    }
}

TEST_F(AsparagusEquivalence, EqualDepthsLeaveTheProjectionStateAsTheOriginal) {
    field.gridSize = 200;
    particleOwner = asparagusMark;
    // A flat relief: every corner has depth 0 (or -0), so the last change of depth is the very first corner
    // and the state before the effect decides whether it changes at all.
    for (const float before : {0.0f, -0.0f, 25.0f, std::numeric_limits<float>::quiet_NaN()}) {
        for (const float flat : {0.0f, -0.0f}) {
            std::fill(std::begin(planes.blue), std::end(planes.blue), flat);
            projectedBefore(before);
            EXPECT_TRUE(sameAsReference()) << "before " << before << ", flat " << flat;
        }
    }
    // A relief whose last rows repeat one depth, +0 and -0 alternating, after a row of another depth.
    fillBlue(-3, 3);
    for (int y = 150; y <= 197; ++y) {
        for (int x = 0; x < 240; ++x) {
            planes.blue[cellAt(x, y)] = y == 150 ? 0.5f : ((x + y) % 2 == 0 ? 0.0f : -0.0f);
        }
    }
    for (const float before : {0.0f, -0.0f, -25.0f}) {
        projectedBefore(before);
        EXPECT_TRUE(sameAsReference()) << "repeated last depth, before " << before;
    }
}

} // namespace
} // namespace glowfield::test
