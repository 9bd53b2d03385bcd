// fastSinRun and truncToIntRun repeat fastSin's and truncToInt's arithmetic in loops that vectorise; they
// must give the same result for every input, including the ones treated apart: negative zero, NaN,
// infinities, angles whose table position passes the 32-bit range and values at the ends of that range.
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "effects/shared/cell_runs.h"
#include "field/numeric.h"
#include "field/trig.h"
#include "test_support.h"

namespace glowfield::test {
namespace {

class CellRuns : public StateTest {
  protected:
    void SetUp() override {
        StateTest::SetUp();
        buildSineTable();
    }

    // The first angle whose run result differs from fastSin, or -1.
    static int firstMismatch(const std::vector<float>& angles) {
        std::vector<float> sines(angles.size());
        fastSinRun(angles.data(), sines.data(), static_cast<int>(angles.size()));
        for (size_t k = 0; k < angles.size(); ++k) {
            const float expected = fastSin(angles[k]);
            if (std::memcmp(&expected, &sines[k], sizeof expected) != 0) {
                return static_cast<int>(k);
            }
        }
        return -1;
    }
};

TEST_F(CellRuns, SpecialAnglesGiveFastSinBits) {
    const float inf = std::numeric_limits<float>::infinity();
    // 337,000 radians is about where the table position reaches 2^31.
    std::vector<float> angles = {0.0f,
                                 -0.0f,
                                 std::numeric_limits<float>::quiet_NaN(),
                                 inf,
                                 -inf,
                                 std::numeric_limits<float>::denorm_min(),
                                 1e-30f,
                                 -1e-30f,
                                 3.1415927f,
                                 -3.1415927f,
                                 1.5707964f,
                                 6.2831855f,
                                 1e30f,
                                 -1e30f,
                                 3e9f,
                                 -3e9f,
                                 std::numeric_limits<float>::max(),
                                 -std::numeric_limits<float>::max()};
    for (float a = 337300.0f; a < 337400.0f; a += 0.03125f) {
        angles.push_back(a);
        angles.push_back(-a);
    }
    const int mismatch = firstMismatch(angles);
    EXPECT_EQ(mismatch, -1) << "angle " << (mismatch >= 0 ? angles[mismatch] : 0.0f);
}

TEST_F(CellRuns, RandomAnglesOfEveryScaleGiveFastSinBits) {
    std::mt19937 random(7u);
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
    // Runs of every length up to a few chunks, so that the tails of the loops are covered too.
    for (int length : {1, 3, 7, 8, 15, 16, 17, 255, 256, 257, 600}) {
        std::vector<float> angles(static_cast<size_t>(length));
        for (float& a : angles) {
            a = unit(random) * std::pow(10.0f, static_cast<float>(random() % 14) - 4.0f);
        }
        const int mismatch = firstMismatch(angles);
        EXPECT_EQ(mismatch, -1) << "length " << length << ", angle "
                                << (mismatch >= 0 ? angles[mismatch] : 0.0f);
    }
}

TEST_F(CellRuns, EveryTableStepNearItsBoundaryGivesFastSinBits) {
    // Angles just either side of the angle of each table step, where the truncation decides the entry.
    std::vector<float> angles;
    for (int step = 0; step < 40000; step += 7) {
        const float a = static_cast<float>(step / 20000.0 * 3.141592653589793);
        angles.push_back(std::nextafter(a, 0.0f));
        angles.push_back(a);
        angles.push_back(std::nextafter(a, 10.0f));
        angles.push_back(-a);
    }
    EXPECT_EQ(firstMismatch(angles), -1);
}

TEST_F(CellRuns, TruncationRunsMatchTruncToInt) {
    const float inf = std::numeric_limits<float>::infinity();
    std::vector<float> values = {0.0f,
                                 -0.0f,
                                 std::numeric_limits<float>::quiet_NaN(),
                                 inf,
                                 -inf,
                                 2147483648.0f,
                                 -2147483648.0f,
                                 2147483520.0f,
                                 -2147483520.0f,
                                 3e9f,
                                 -3e9f,
                                 0.999999f,
                                 -0.999999f,
                                 255.5f,
                                 -120.5f,
                                 1e30f,
                                 -1e30f,
                                 std::numeric_limits<float>::denorm_min()};
    std::mt19937 random(11u);
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
    for (int k = 0; k < 700; ++k) {
        values.push_back(unit(random) * std::pow(10.0f, static_cast<float>(random() % 12)));
    }
    std::vector<int32_t> whole(values.size());
    truncToIntRun(values.data(), whole.data(), static_cast<int>(values.size()));
    for (size_t k = 0; k < values.size(); ++k) {
        ASSERT_EQ(whole[k], truncToInt(values[k])) << "value " << values[k];
    }
}

} // namespace
} // namespace glowfield::test
