// The lit grounds that dark entries settle towards: the gradient runs from the top row to the bottom row,
// the glow adds its colour at its centre and nothing beyond its radius, a partial rate moves colours only
// part of the way, and cells outside the live grid are never touched.
#include "effects/kit/backdrop.h"
#include "field/field.h"
#include "field/picture.h"
#include "test_support.h"

namespace glowfield::test {
namespace {

class Backdrop : public StateTest {};

TEST_F(Backdrop, GradientGlowRateAndLiveGridOnly) {
    const int n = 100;
    field.gridSize = n;
    for (int cell = 0; cell < planeStride * planeStride; ++cell) {
        planes.red[cell] = planes.green[cell] = planes.blue[cell] = -127.0f;
    }
    EffectContext c{planes, n, 0, 0, 0, picture};
    const kit::Rgb top{-100.0f, 0.0f, 50.0f}, bottom{20.0f, 40.0f, -50.0f};
    const kit::Glow glow{30.0f, 60.0f, 10.0f, {30.0f, 0.0f, -30.0f}};
    kit::pullTowards(c, top, bottom, 1.0f, glow);
    EXPECT_FLOAT_EQ(planes.red[cellAt(90, 0)], -100.0f);
    EXPECT_FLOAT_EQ(planes.blue[cellAt(90, 0)], 50.0f);
    EXPECT_FLOAT_EQ(planes.red[cellAt(90, n - 1)], 20.0f);
    EXPECT_FLOAT_EQ(planes.green[cellAt(90, n - 1)], 40.0f);
    // The glow's centre gets its whole colour on top of the gradient; a cell past its radius none.
    const kit::Rgb atCentre = kit::mix(top, bottom, 60.0f / static_cast<float>(n - 1));
    EXPECT_NEAR(planes.red[cellAt(30, 60)], atCentre.r + 30.0f, 1e-3f);
    EXPECT_NEAR(planes.blue[cellAt(30, 60)], atCentre.b - 30.0f, 1e-3f);
    EXPECT_NEAR(planes.red[cellAt(30 + 11, 60)], atCentre.r, 1e-3f);
    // Outside the live grid nothing moved.
    EXPECT_EQ(planes.red[cellAt(n, 0)], -127.0f);
    EXPECT_EQ(planes.blue[cellAt(0, n)], -127.0f);

    // Half the rate goes half the way.
    planes.green[cellAt(90, 0)] = 100.0f;
    kit::pullTowards(c, top, bottom, 0.5f);
    EXPECT_FLOAT_EQ(planes.green[cellAt(90, 0)], 50.0f);
}

} // namespace
} // namespace glowfield::test
