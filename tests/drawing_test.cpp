// The shared drawing helpers: the cell line, the projection, the 3-D block line, the border and the capture
// of the field into the picture planes.
#include <cmath>
#include <limits>

#include "effects/effect_state.h"
#include "field/drawing.h"
#include "field/field.h"
#include "field/picture.h"
#include "field/trig.h"
#include "test_support.h"

namespace glowfield::test {
namespace {

class DrawingTest : public StateTest {
  protected:
    void SetUp() override {
        StateTest::SetUp();
        field.gridSize = 200;
    }

    // Cells of a plane that differ from value.
    static int countNot(const float* plane, float value) {
        int count = 0;
        for (int cell = 0; cell < planeCells; ++cell) {
            count += plane[cell] != value;
        }
        return count;
    }
};

TEST_F(DrawingTest, FieldLineWithEqualEndsSetsOneCellAndSkipsZeroValues) {
    drawFieldLine(50, 60, 50, 60, 30, 0, -7);
    EXPECT_EQ(planes.red[cellAt(50, 60)], 30.0f);
    EXPECT_EQ(planes.blue[cellAt(50, 60)], -7.0f);
    EXPECT_EQ(countNot(planes.red, 0.0f), 1);
    EXPECT_EQ(countNot(planes.green, 0.0f), 0);
    EXPECT_EQ(countNot(planes.blue, 0.0f), 1);
    EXPECT_EQ(countNot(planes.redVelocity, 0.0f), 0);
}

TEST_F(DrawingTest, FieldLineCoversEveryCellBetweenItsEndsButNotTheBorder) {
    drawFieldLine(10, 20, 40, 20, 5, 5, 5);
    for (int x = 10; x <= 40; ++x) {
        EXPECT_EQ(planes.green[cellAt(x, 20)], 5.0f) << x;
    }
    EXPECT_EQ(countNot(planes.green, 0.0f), 31);

    // A line along row 0 and one through the corner draw nothing on the outermost rows and columns.
    drawFieldLine(0, 0, 199, 0, 9, 9, 9);
    drawFieldLine(0, 199, 199, 199, 9, 9, 9);
    drawFieldLine(199, 0, 199, 199, 9, 9, 9);
    for (int k = 0; k < 200; ++k) {
        EXPECT_NE(planes.red[cellAt(k, 0)], 9.0f) << k;
        EXPECT_NE(planes.red[cellAt(k, 199)], 9.0f) << k;
        EXPECT_NE(planes.red[cellAt(199, k)], 9.0f) << k;
    }
}

TEST_F(DrawingTest, FieldLineWithExtremeEndsStaysInsideTheGrid) {
    const int32_t big = std::numeric_limits<int32_t>::max();
    const int32_t small = std::numeric_limits<int32_t>::min();
    drawFieldLine(small, small, big, big, 1, 2, 3);
    drawFieldLine(big, small, small, big, 1, 2, 3);
    drawFieldLine(small, 100, big, 100, 4, 4, 4);
    // The 3 x gridSize step limit keeps the walk short and the cells it lands on are inside.
    for (int x = 0; x < 240; ++x) {
        for (int y = 0; y < 240; ++y) {
            if (planes.red[cellAt(x, y)] != 0.0f) {
                ASSERT_TRUE(x >= 1 && x <= 198 && y >= 1 && y <= 198) << x << "," << y;
            }
        }
    }
}

TEST_F(DrawingTest, ProjectionAtDepthZeroIsTheIdentityRoundedToTheNearestCell) {
    int32_t x = -1, y = -1;
    EXPECT_TRUE(projectPoint(50.4f, 120.6f, 0.0f, x, y));
    EXPECT_EQ(x, 50);
    EXPECT_EQ(y, 121);
    // Points on the border are projected but reported outside.
    EXPECT_FALSE(projectPoint(0.0f, 100.0f, 0.0f, x, y));
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 100);
    EXPECT_FALSE(projectPoint(100.0f, 198.6f, 0.0f, x, y));
    EXPECT_EQ(y, 199);
}

TEST_F(DrawingTest, ProjectionBehindTheViewerLeavesTheOutputsAlone) {
    int32_t x = 7, y = 8;
    EXPECT_FALSE(projectPoint(10.0f, 10.0f, -200.0f + 0.5f, x, y));
    EXPECT_EQ(x, 7);
    EXPECT_EQ(y, 8);
    // Depth 200 halves the distance from the centre.
    EXPECT_TRUE(projectPoint(0.0f, 200.0f, 200.0f, x, y));
    EXPECT_EQ(x, 50);
    EXPECT_EQ(y, 150);
}

TEST_F(DrawingTest, ProjectionGivesTheSameCellsWithAndWithoutItsCache) {
    int32_t x1, y1, x2, y2;
    projectPoint(31.7f, 77.2f, 13.0f, x1, y1); // fills the cache for depth 13
    projectPoint(150.1f, 20.9f, 13.0f, x1, y1);
    projectPoint(5.0f, 5.0f, 99.0f, x2, y2); // another depth in between
    projectPoint(150.1f, 20.9f, 13.0f, x2, y2);
    EXPECT_EQ(x1, x2);
    EXPECT_EQ(y1, y2);
}

TEST_F(DrawingTest, ProjectionOfNonFiniteInputsIsDefined) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    int32_t x = 0, y = 0;
    EXPECT_FALSE(projectPoint(nan, 5.0f, 0.0f, x, y));
    EXPECT_FALSE(projectPoint(5.0f, 5.0f, nan, x, y));
    EXPECT_FALSE(projectPoint(inf, -inf, 0.0f, x, y));
    EXPECT_EQ(x, std::numeric_limits<int32_t>::max());
    EXPECT_EQ(y, std::numeric_limits<int32_t>::min());
    EXPECT_FALSE(projectPoint(5.0f, 5.0f, -inf, x, y));
}

TEST_F(DrawingTest, Line3DAtDepthZeroDrawsBlocksOfTheGivenSizeBrightenedByMaximum) {
    for (int cell = 0; cell < planeCells; ++cell) {
        planes.red[cell] = planes.green[cell] = planes.blue[cell] = -120.0f;
    }
    planes.green[cellAt(51, 41)] = 100.0f; // brighter than the block: kept
    drawLine3D(50, 40, 0, 50, 40, 0, 160, 100, 30, 3);
    EXPECT_EQ(drawingState.blockSize, 3);
    for (int x = 49; x <= 53; ++x) {
        for (int y = 39; y <= 43; ++y) {
            const bool inBlock = x >= 50 && x <= 52 && y >= 40 && y <= 42;
            EXPECT_EQ(planes.red[cellAt(x, y)], inBlock ? 100.0f : -120.0f) << x << "," << y;
            if (inBlock && !(x == 51 && y == 41)) {
                EXPECT_EQ(planes.green[cellAt(x, y)], 40.0f);
            }
            EXPECT_EQ(planes.blue[cellAt(x, y)], inBlock ? -30.0f : -120.0f);
        }
    }
    EXPECT_EQ(planes.green[cellAt(51, 41)], 100.0f);
}

TEST_F(DrawingTest, Line3DShrinksAndDimsWithDepthAndClipsAtTheBorder) {
    // Depth 80: q = 160, side trunc(80 * 10 / 160) = 5, value trunc(80 * 200 / 160 - 60) = 40.
    drawLine3D(100, 100, 80, 100, 100, 80, 200, 200, 200, 10);
    EXPECT_EQ(drawingState.blockSize, 5);
    // A block partly over the right edge stops at column gridSize - 2.
    drawLine3D(197, 20, 0, 197, 20, 0, 100, 100, 100, 6);
    EXPECT_EQ(planes.red[cellAt(198, 20)], 40.0f);
    EXPECT_EQ(planes.red[cellAt(199, 20)], 0.0f);
    // Behind the viewer at both ends: nothing.
    const int32_t before = drawingState.blockSize;
    drawLine3D(50, 50, -500, 60, 60, -500, 200, 200, 200, 10);
    EXPECT_EQ(drawingState.blockSize, before);
}

TEST_F(DrawingTest, Line3DWalksFromTheSecondEndTowardsTheFirst) {
    drawLine3D(20, 100, 0, 120, 100, 0, 100, 100, 100, 1);
    EXPECT_EQ(planes.red[cellAt(120, 100)], 40.0f); // t = 0 is the second end
    EXPECT_EQ(planes.red[cellAt(21, 100)], 40.0f);
    for (int x = 21; x <= 120; ++x) {
        ASSERT_EQ(planes.red[cellAt(x, 100)], 40.0f) << x;
    }
}

TEST_F(DrawingTest, Line3DWithExtremeInputsStaysInsideTheGrid) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    for (float a : {nan, inf, -inf, 1e30f, -1e30f, 3e9f}) {
        drawLine3D(a, 100, 0, 100, 100, 0, 300, 300, 300, 12);
        drawLine3D(100, a, a, 100, 100, 0, 300, 300, 300, 12);
        drawLine3D(100, 100, 0, a, a, a, 300, 300, 300, 12);
    }
    for (int x = 0; x < 240; ++x) {
        for (int y = 0; y < 240; ++y) {
            if (planes.red[cellAt(x, y)] != 0.0f) {
                ASSERT_TRUE(x >= 1 && x <= 198 && y >= 1 && y <= 198) << x << "," << y;
            }
        }
    }
}

TEST_F(DrawingTest, ResetBorderDarkensTheFrameAndStopsItsMotion) {
    fillField({5.0f});
    resetBorder();
    for (int k = 0; k < 200; ++k) {
        for (int cell : {cellAt(0, k), cellAt(199, k), cellAt(k, 0), cellAt(k, 199)}) {
            ASSERT_EQ(planes.green[cell], -120.0f);
            ASSERT_EQ(planes.blueVelocity[cell], 0.0f);
        }
    }
    EXPECT_EQ(planes.red[cellAt(1, 1)], 5.0f);
    EXPECT_EQ(planes.red[cellAt(200, 0)], 5.0f);
    EXPECT_EQ(field.scanY, 200);
}

TEST_F(DrawingTest, CaptureTurnsLevelsIntoPictureSamples) {
    planes.red[cellAt(0, 0)] = 127.0f;
    planes.red[cellAt(1, 0)] = -127.5f;
    planes.red[cellAt(2, 0)] = 300.0f;
    planes.red[cellAt(3, 0)] = -0.5f;
    planes.red[cellAt(4, 0)] = std::numeric_limits<float>::quiet_NaN();
    planes.blue[cellAt(199, 199)] = 1.0f;
    picture.pictureRed[pictureAt(200, 0)] = 77;
    captureFieldToPicture();
    EXPECT_EQ(picture.pictureRed[pictureAt(0, 0)], 254);
    EXPECT_EQ(picture.pictureRed[pictureAt(1, 0)], 0);
    EXPECT_EQ(picture.pictureRed[pictureAt(2, 0)], 255);
    EXPECT_EQ(picture.pictureRed[pictureAt(3, 0)], 126); // trunc(126.5)
    EXPECT_EQ(picture.pictureRed[pictureAt(4, 0)], 0);
    EXPECT_EQ(picture.pictureBlue[pictureAt(199, 199)], 128);
    EXPECT_EQ(picture.pictureGreen[pictureAt(10, 10)], 127);
    EXPECT_EQ(picture.pictureRed[pictureAt(200, 0)], 77);
    EXPECT_EQ(field.scanX, 200);
}

} // namespace
} // namespace glowfield::test
