// The effect kit at the edges of small grids: which cells a write, a shape or a push changes when it lands on
// the first cell, the last live cell or the first cell past the grid (n = 16 and the odd 17), that the
// checked and unchecked writes agree bit for bit, and that whole-plane passes touch the live grid only.
#include <cmath>
#include <cstring>
#include <set>
#include <utility>

#include "effects/kit/kit.h"
#include "field/field.h"
#include "field/picture.h"
#include "test_support.h"

namespace glowfield::test {
namespace {

using Cells = std::set<std::pair<int, int>>;

float* const allPlanes[6] = {planes.red,         planes.green,         planes.blue,
                             planes.redVelocity, planes.greenVelocity, planes.blueVelocity};

// Every stored cell of the six planes filled with a value no write below leaves as it is.
void fillPlanes(float colour, float velocity) {
    for (int p = 0; p < 6; ++p) {
        for (int cell = 0; cell < planeCells; ++cell) {
            allPlanes[p][cell] = p < 3 ? colour : velocity;
        }
    }
}

// The cells (x, y) of the first rows and columns, live or not, where any plane differs from the fill.
Cells changedCells(float colour, float velocity, int limit = 24) {
    Cells changed;
    for (int x = 0; x < limit; ++x) {
        for (int y = 0; y < limit; ++y) {
            for (int p = 0; p < 6; ++p) {
                if (allPlanes[p][cellAt(x, y)] != (p < 3 ? colour : velocity)) {
                    changed.insert({x, y});
                }
            }
        }
    }
    return changed;
}

class Kit : public StateTest, public ::testing::WithParamInterface<int> {
  protected:
    static constexpr float colour = 7.0f;
    static constexpr float velocity = 3.0f;

    void SetUp() override {
        StateTest::SetUp();
        field.gridSize = GetParam();
        fillPlanes(colour, velocity);
    }

    EffectContext context() { return EffectContext{planes, GetParam(), 0, 0, 0, picture}; }

    // Runs a drawing on fresh planes and returns the cells it changed.
    template <typename Draw> Cells changes(Draw draw) {
        fillPlanes(colour, velocity);
        EffectContext c = context();
        draw(c);
        return changedCells(colour, velocity);
    }

    Cells liveGrid() const {
        Cells all;
        for (int x = 0; x < GetParam(); ++x) {
            for (int y = 0; y < GetParam(); ++y) {
                all.insert({x, y});
            }
        }
        return all;
    }
};

const kit::Rgb ink{100.0f, -50.0f, 20.0f};

TEST_P(Kit, CheckedWritesChangeTheirCellOnTheGridAndNothingPastIt) {
    const int n = GetParam();
    const std::pair<int, int> onGrid[] = {{0, 0}, {n - 1, 0}, {0, n - 1}, {n - 1, n - 1}};
    const std::pair<int, int> offGrid[] = {{n, 0}, {0, n}, {n, n}, {-1, 0}, {0, -1}};
    for (kit::Blend blend : {kit::Blend::set, kit::Blend::add, kit::Blend::max, kit::Blend::min}) {
        for (auto [x, y] : onGrid) {
            EXPECT_EQ(changes([&](auto& c) { kit::paint(c, x, y, ink, blend); }), (Cells{{x, y}}))
                << x << "," << y;
        }
        for (auto [x, y] : offGrid) {
            EXPECT_TRUE(changes([&](auto& c) { kit::paint(c, x, y, ink, blend); }).empty()) << x << "," << y;
        }
    }
    for (auto [x, y] : onGrid) {
        EXPECT_EQ(changes([&](auto& c) { kit::blendCell(c, x, y, ink, 0.5f); }), (Cells{{x, y}}));
        EXPECT_EQ(changes([&](auto& c) { kit::paintSolid(c, x, y, ink); }), (Cells{{x, y}}));
        EXPECT_EQ(planes.redVelocity[cellAt(x, y)], 0.0f);
        // A point anywhere within the cell is that cell.
        EXPECT_EQ(changes([&](auto& c) { kit::plot(c, x + 0.99f, y + 0.01f, ink); }), (Cells{{x, y}}));
    }
    for (auto [x, y] : offGrid) {
        EXPECT_TRUE(changes([&](auto& c) { kit::blendCell(c, x, y, ink, 0.5f); }).empty());
        EXPECT_TRUE(changes([&](auto& c) { kit::paintSolid(c, x, y, ink); }).empty());
    }
    // Points just past the grid, and points that are not numbers, draw nothing.
    for (float p : {-0.01f, static_cast<float>(n), NAN, INFINITY}) {
        EXPECT_TRUE(changes([&](auto& c) { kit::plot(c, p, 1.0f, ink); }).empty()) << p;
        EXPECT_TRUE(changes([&](auto& c) { kit::plot(c, 1.0f, p, ink); }).empty()) << p;
    }
}

TEST_P(Kit, CheckedAndUncheckedWritesLeaveTheSameBits) {
    const int n = GetParam();
    const auto snapshot = [](int x, int y) {
        float values[6];
        for (int p = 0; p < 6; ++p) {
            values[p] = allPlanes[p][cellAt(x, y)];
        }
        return std::vector<float>(values, values + 6);
    };
    for (auto [x, y] : {std::pair{0, 0}, std::pair{n - 1, n - 1}, std::pair{n / 2, 0}}) {
        // A fractional colour and weight, so that a change in the order of operations would show.
        const kit::Rgb odd{0.1f, -33.3f, 77.7f};
        const float alpha = 0.37f;
        EXPECT_EQ(changes([&](auto& c) { kit::setCell(c, x, y, odd); }), (Cells{{x, y}}));
        const auto set = snapshot(x, y);
        changes([&](auto& c) { kit::paint(c, x, y, odd); });
        EXPECT_EQ(snapshot(x, y), set);
        changes([&](auto& c) { kit::column(c, x).set(y, odd); });
        EXPECT_EQ(snapshot(x, y), set);

        EXPECT_EQ(changes([&](auto& c) { kit::mixCell(c, x, y, odd, alpha); }), (Cells{{x, y}}));
        const auto mixed = snapshot(x, y);
        changes([&](auto& c) { kit::blendCell(c, x, y, odd, alpha); });
        EXPECT_EQ(snapshot(x, y), mixed);
        changes([&](auto& c) { kit::column(c, x).blend(y, odd, alpha); });
        EXPECT_EQ(snapshot(x, y), mixed);

        EXPECT_EQ(changes([&](auto& c) { kit::setSolidCell(c, x, y, odd); }), (Cells{{x, y}}));
        const auto solid = snapshot(x, y);
        EXPECT_EQ(solid[3], 0.0f);
        changes([&](auto& c) { kit::paintSolid(c, x, y, odd); });
        EXPECT_EQ(snapshot(x, y), solid);
    }
}

TEST_P(Kit, ShapesAtTheEdgesCoverExactlyTheirLiveCells) {
    const int n = GetParam();
    const float fn = static_cast<float>(n);
    Cells row0, rowLast, column0;
    for (int i = 0; i < n; ++i) {
        row0.insert({i, 0});
        rowLast.insert({i, n - 1});
        column0.insert({0, i});
    }
    // Lines running past both ends of the first and last row and the first column.
    EXPECT_EQ(changes([&](auto& c) { kit::drawLine(c, -3.0f, 0.0f, fn + 3.0f, 0.0f, ink); }), row0);
    EXPECT_EQ(changes([&](auto& c) { kit::drawLine(c, -3.0f, fn - 1.0f, fn + 3.0f, fn - 1.0f, ink); }),
              rowLast);
    EXPECT_EQ(changes([&](auto& c) { kit::drawLine(c, 0.0f, -5.0f, 0.0f, fn + 5.0f, ink); }), column0);
    // A line along x = n, just past the grid, draws nothing.
    EXPECT_TRUE(changes([&](auto& c) { kit::drawLine(c, fn, -2.0f, fn, fn + 2.0f, ink); }).empty());

    // Rectangles: the whole grid and more covers every live cell and nothing else; one that ends at x = 1
    // covers column 0 only.
    EXPECT_EQ(changes([&](auto& c) { kit::fillRect(c, -4.0f, -4.0f, fn + 4.0f, fn + 4.0f, ink); }),
              liveGrid());
    EXPECT_EQ(changes([&](auto& c) { kit::fillRect(c, -4.0f, -4.0f, 1.0f, fn + 4.0f, ink); }), column0);
    EXPECT_TRUE(changes([&](auto& c) { kit::fillRect(c, fn, 0.0f, fn + 4.0f, fn, ink); }).empty());
    const float xs[4] = {-2.0f, fn + 2.0f, fn + 2.0f, -2.0f}, ys[4] = {-2.0f, -2.0f, fn + 2.0f, fn + 2.0f};
    EXPECT_EQ(changes([&](auto& c) { kit::fillPolygon(c, xs, ys, 4, ink); }), liveGrid());

    // Discs centred on the grid's corners keep to the live quarter: the cells whose centres are within reach.
    EXPECT_EQ(changes([&](auto& c) { kit::fillDisc(c, 0.0f, 0.0f, 1.0f, ink); }), (Cells{{0, 0}}));
    EXPECT_EQ(changes([&](auto& c) { kit::fillDisc(c, 0.0f, 0.0f, 1.6f, ink); }),
              (Cells{{0, 0}, {1, 0}, {0, 1}}));
    EXPECT_EQ(changes([&](auto& c) { kit::fillDisc(c, fn, fn, 1.0f, ink); }), (Cells{{n - 1, n - 1}}));
    EXPECT_EQ(changes([&](auto& c) { kit::softDisc(c, fn, fn, 1.0f, ink); }), (Cells{{n - 1, n - 1}}));
    // The small stamp measures from cell corners: radius 1 at the last cell reaches its two neighbours, and
    // at (n, n) it reaches no live cell.
    EXPECT_EQ(changes([&](auto& c) { kit::dot(c, fn - 1.0f, fn - 1.0f, 1.0f, ink); }),
              (Cells{{n - 1, n - 1}, {n - 2, n - 1}, {n - 1, n - 2}}));
    EXPECT_EQ(changes([&](auto& c) { kit::dot(c, 0.0f, 0.0f, 1.0f, ink); }), (Cells{{0, 0}, {1, 0}, {0, 1}}));
    EXPECT_TRUE(changes([&](auto& c) { kit::dot(c, fn, fn, 1.0f, ink); }).empty());

    // An outline round the whole grid's centre, larger than the grid, stays inside it.
    const Cells ring =
        changes([&](auto& c) { kit::circleOutline(c, fn * 0.5f, fn * 0.5f, fn * 0.6f, ink, 3.0f); });
    EXPECT_FALSE(ring.empty());
    for (auto [x, y] : ring) {
        EXPECT_TRUE(x < n && y < n) << x << "," << y;
    }
}

TEST_P(Kit, PushesReachTheFirstAndLastRowsAndColumnsButNoFurther) {
    const int n = GetParam();
    const float fn = static_cast<float>(n);
    // Centred on cell (0, 0): the cells whose centres lie within the radius, row 0 and column 0 included.
    const Cells corner = changes([&](auto& c) { kit::pushVelocity(c, 0.5f, 0.5f, 2.2f, 5.0f); });
    EXPECT_EQ(corner, (Cells{{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {0, 2}}));
    EXPECT_EQ(planes.red[cellAt(0, 0)], colour); // velocities only
    EXPECT_GT(planes.blueVelocity[cellAt(0, 0)], planes.blueVelocity[cellAt(1, 0)]);

    // Centred on the last cell: the mirror image, nothing at x = n or y = n.
    const Cells far = changes([&](auto& c) { kit::pushVelocity(c, fn - 0.5f, fn - 0.5f, 2.2f, 5.0f); });
    EXPECT_EQ(
        far,
        (Cells{
            {n - 1, n - 1}, {n - 2, n - 1}, {n - 3, n - 1}, {n - 1, n - 2}, {n - 2, n - 2}, {n - 1, n - 3}}));

    // A push centred past the grid reaches in only as far as its radius.
    EXPECT_EQ(changes([&](auto& c) { kit::pushVelocity(c, fn + 0.5f, 0.5f, 1.2f, 5.0f); }),
              (Cells{{n - 1, 0}}));
    EXPECT_TRUE(changes([&](auto& c) { kit::pushVelocity(c, fn + 2.5f, 0.5f, 1.2f, 5.0f); }).empty());

    // Channels: a red push moves the red velocity only.
    changes([&](auto& c) { kit::pushVelocity(c, 0.5f, 0.5f, 2.2f, 5.0f, kit::red); });
    EXPECT_NE(planes.redVelocity[cellAt(0, 0)], velocity);
    EXPECT_EQ(planes.greenVelocity[cellAt(0, 0)], velocity);
    EXPECT_EQ(planes.blueVelocity[cellAt(0, 0)], velocity);

    // The balanced push at the corner: a positive middle and a negative skirt, both clipped to the grid.
    const Cells balanced = changes([&](auto& c) { kit::balancedPush(c, 0.5f, 0.5f, 2.2f, 5.0f); });
    EXPECT_TRUE(balanced.count({0, 0}) && balanced.count({3, 0}) && balanced.count({0, 3}));
    EXPECT_GT(planes.redVelocity[cellAt(0, 0)], velocity);
    EXPECT_LT(planes.redVelocity[cellAt(3, 0)], velocity);
    for (auto [x, y] : balanced) {
        EXPECT_TRUE(x < n && y < n);
    }
}

TEST_P(Kit, WholePlanePassesTouchTheLiveGridOnly) {
    const kit::Rgb rest{-20.0f, 10.0f, 30.0f};
    EXPECT_EQ(changes([](auto& c) { kit::clearVelocities(c); }), liveGrid());
    EXPECT_EQ(changes([](auto& c) { kit::fadeColours(c, 0.5f); }), liveGrid());
    EXPECT_EQ(changes([&](auto& c) { kit::pullColours(c, rest, 0.5f); }), liveGrid());
    EXPECT_EQ(changes([&](auto& c) { kit::fillColours(c, rest, true); }), liveGrid());
    EXPECT_EQ(changes([](auto& c) { kit::scaleVelocities(c, 0.5f); }), liveGrid());
    EXPECT_EQ(changes([](auto& c) { kit::tameField(c, 5.0f, 1.0f); }), liveGrid());
    EXPECT_EQ(changes([&](auto& c) { kit::settleField(c, rest, 0.5f); }), liveGrid());
}

INSTANTIATE_TEST_SUITE_P(SmallGrids, Kit, ::testing::Values(16, 17));

TEST(KitWaves, SplitSinesAgreeWithTheSineOfTheSum) {
    buildSineTable(); // what start-up does
    kit::SplitSine wave;
    wave.make(
        17, [](float x) { return x * 0.3f + 0.2f; }, [](float y) { return y * -0.45f + 1.0f; });
    kit::AxisWave columns;
    columns.fill(17, 0.3f, 0.2f);
    for (int x : {0, 8, 16}) {
        EXPECT_EQ(columns.sine[static_cast<size_t>(x)], wave.columns.sine[static_cast<size_t>(x)]);
        for (int y : {0, 9, 16}) {
            const double a = x * 0.3 + 0.2, b = y * -0.45 + 1.0;
            EXPECT_NEAR(wave.at(x, y), std::sin(a + b), 2e-3);
            EXPECT_NEAR(wave.cosAt(x, y), std::cos(a + b), 2e-3);
        }
    }
}

TEST(KitColour, HuesWrapAndReadNonNumbersAsRed) {
    const kit::Rgb red = kit::hsv(0.0f, 1.0f, 1.0f);
    EXPECT_EQ(red.r, 128.0f);
    EXPECT_EQ(red.g, -127.0f);
    EXPECT_EQ(red.b, -127.0f);
    for (float hue : {NAN, INFINITY, -INFINITY, 3.0e7f, 5.0f, -2.0f}) {
        const kit::Rgb c = kit::hsv(hue, 1.0f, 1.0f);
        EXPECT_EQ(std::memcmp(&c, &red, sizeof c), 0) << hue;
    }
    const kit::Rgb below = kit::hsv(-0.25f, 0.8f, 0.9f), above = kit::hsv(0.75f, 0.8f, 0.9f);
    EXPECT_NEAR(below.r, above.r, 1e-3f);
    EXPECT_NEAR(below.b, above.b, 1e-3f);
    const kit::Rgb green = kit::hsv(1.0f / 3.0f, 1.0f, 1.0f);
    EXPECT_NEAR(green.g, 128.0f, 1e-3f);
    EXPECT_NEAR(green.r, -127.0f, 1e-2f);
}

} // namespace
} // namespace glowfield::test
