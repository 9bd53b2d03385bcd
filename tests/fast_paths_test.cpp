// The fast paths of the relief (Grill) and of the ring crossings (Predator) against straightforward
// readings of the same rules: every float, every draw and every cell must agree bit for bit, also for
// pictures, grids and points that the golden runs never meet.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "effects/shared/effect_helpers.h"
#include "field/drawing.h"
#include "field/field.h"
#include "field/numeric.h"
#include "field/picture.h"
#include "field/random.h"
#include "test_support.h"

namespace glowfield::test {
namespace {

float* const allPlanes[6] = {planes.red,         planes.green,         planes.blue,
                             planes.redVelocity, planes.greenVelocity, planes.blueVelocity};

// Everything that the two effects may change, captured for a bitwise comparison.
struct Outcome {
    std::vector<float> cells;
    int32_t seed = 0;
    float sharedAngle = 0.0f;
    int32_t lastChannel = 0;

    static Outcome capture() {
        Outcome o;
        for (const float* plane : allPlanes) {
            o.cells.insert(o.cells.end(), plane, plane + planeCells);
        }
        o.seed = randomState.seed;
        o.sharedAngle = shared.sharedAngle;
        o.lastChannel = shared.lastChannel;
        return o;
    }

    void restorePlanes() const {
        for (int p = 0; p < 6; ++p) {
            std::memcpy(allPlanes[p], cells.data() + static_cast<size_t>(p) * planeCells,
                        sizeof(float) * planeCells);
        }
    }

    bool operator==(const Outcome& other) const {
        return seed == other.seed &&
               std::bit_cast<uint32_t>(sharedAngle) == std::bit_cast<uint32_t>(other.sharedAngle) &&
               lastChannel == other.lastChannel &&
               std::memcmp(cells.data(), other.cells.data(), cells.size() * sizeof(float)) == 0;
    }
};

// The relief as one point after the other: draw, step, sample, project, write.
void referenceRelief() {
    const int n = field.gridSize;
    shared.sharedAngle = 1.0f;
    do {
        shared.sharedAngle = toFloat(shared.sharedAngle + (nextRandom() % 500) * 0.002);
        const double u = shared.sharedAngle;
        float v = 1.0f;
        do {
            v = toFloat(v + (nextRandom() % 500) * 0.002);
            const int px = std::clamp(truncToInt(picture.pictureWidth * u / n), 0, pictureColumns - 1);
            const int py = std::clamp(truncToInt(picture.pictureHeight * static_cast<double>(v) / n), 0,
                                      pictureRows - 1);
            const int r = picture.pictureRed[pictureAt(px, py)];
            const int g = picture.pictureGreen[pictureAt(px, py)];
            const int b = picture.pictureBlue[pictureAt(px, py)];
            const int lift = (b - 127) + (g - 127) + (r - 127);
            const float depth = toFloat(40 - lift * static_cast<double>(0.33333334f));
            int32_t outX = 0;
            int32_t outY = 0;
            if (projectPoint(toFloat((n - 1) - u), toFloat((n - 1) - static_cast<double>(v)), depth, outX,
                             outY)) {
                const int cell = cellAt(outX, outY);
                planes.red[cell] = static_cast<float>(r - 127);
                planes.green[cell] = static_cast<float>(g - 127);
                planes.blue[cell] = static_cast<float>(b - 127);
                planes.redVelocity[cell] = planes.greenVelocity[cell] = planes.blueVelocity[cell] = 0.0f;
            }
        } while (n - 1 > v);
    } while (n - 1 > shared.sharedAngle);
}

// The predator's frame with every point tested at every inner cell.
void referencePredatorFrame(int32_t radius) {
    const int n = field.gridSize;
    for (int x = 0; x < n; ++x) {
        for (int y = 0; y < n; ++y) {
            const int cell = cellAt(x, y);
            for (int p = 0; p < 3; ++p) {
                allPlanes[p][cell] = toFloat(allPlanes[p][cell] * static_cast<double>(0.97f) - 5);
                allPlanes[p + 3][cell] = toFloat(allPlanes[p + 3][cell] * static_cast<double>(0.33333334f));
            }
        }
    }
    shared.lastChannel = radius;
    const int64_t r2 = static_cast<int64_t>(radius) * radius;
    for (int x = 1; x <= n - 2; ++x) {
        for (int y = 1; y <= n - 2; ++y) {
            int hits = 0;
            for (int k = 0; k < 20; ++k) {
                const double dx = static_cast<double>(particles.particleX[k]) - x;
                const double dy = static_cast<double>(particles.particleY[k]) - y;
                const int64_t d = truncToInt(dx * dx + dy * dy);
                if (d / 155 == r2 / 155 && ++hits == 2) {
                    planes.blue[cellAt(x, y)] = static_cast<float>(d - r2);
                    planes.red[cellAt(x, y)] = 200.0f;
                    planes.green[cellAt(x, y)] = static_cast<float>(r2 - d);
                    break;
                }
            }
        }
    }
}

class FastPaths : public StateTest {};

TEST_F(FastPaths, LatticeStepsGiveTheFloatsOfTheFormula) {
    std::mt19937 rng(7);
    auto check = [](float start, int r) {
        LatticeCoordinate c(start);
        c.step(r);
        const float expected = toFloat(start + r * 0.002);
        ASSERT_EQ(std::bit_cast<uint32_t>(c.value()), std::bit_cast<uint32_t>(expected))
            << "start " << start << " draw " << r;
    };
    for (int e = 0; e < 9; ++e) {
        const uint32_t exponent = static_cast<uint32_t>(127 + e) << 23;
        for (int r = 0; r < 500; ++r) {
            // Both parities, random mantissas, and the top of the binade where the fast step stops.
            std::vector<uint32_t> mantissas = {0, 1, 2, 3, 0x400000, 0x400001};
            for (int k = 0; k < 12; ++k) {
                mantissas.push_back(rng() & 0x7fffff);
            }
            const uint32_t units = static_cast<uint32_t>(std::ldexp(r * 0.002, 23 - e));
            for (uint32_t below = 0; below < 4; ++below) {
                mantissas.push_back(0x7fffff - below);
                if (units + below <= 0x7fffff) {
                    mantissas.push_back(0x7fffff - units - below);
                    mantissas.push_back(0x7fffff - units + below + 1);
                }
            }
            for (uint32_t m : mantissas) {
                check(std::bit_cast<float>(exponent | (m & 0x7fffff)), r);
            }
        }
    }
    // Outside the table the formula itself is used.
    const float odd[] = {0.0f,
                         0.75f,
                         -3.0f,
                         255.9f,
                         256.0f,
                         1e30f,
                         std::numeric_limits<float>::infinity(),
                         std::numeric_limits<float>::quiet_NaN(),
                         std::numeric_limits<float>::denorm_min()};
    for (float start : odd) {
        for (int r : {0, 1, 250, 499}) {
            LatticeCoordinate c(start);
            c.step(r);
            const float expected = toFloat(start + r * 0.002);
            EXPECT_TRUE(std::bit_cast<uint32_t>(c.value()) == std::bit_cast<uint32_t>(expected) ||
                        (std::isnan(c.value()) && std::isnan(expected)))
                << start << " " << r;
        }
    }
}

TEST_F(FastPaths, LatticeWalksMatchTheFormulaAcrossEveryBinade) {
    std::mt19937 rng(11);
    for (int walk = 0; walk < 200; ++walk) {
        LatticeCoordinate c(1.0f);
        float v = 1.0f;
        while (v < 300.0f) {
            const int r = static_cast<int>(rng() % 500);
            c.step(r);
            v = toFloat(v + r * 0.002);
            ASSERT_EQ(std::bit_cast<uint32_t>(c.value()), std::bit_cast<uint32_t>(v)) << "walk " << walk;
        }
    }
}

struct ReliefCase {
    int gridSize;
    int width;
    int height;
    int pattern; // 0 noise, 1 all bright, 2 all dark, 3 bands of extremes
};

TEST_F(FastPaths, ReliefDrawsTheCellsOfThePointByPointReading) {
    const ReliefCase cases[] = {{200, 800, 600, 0}, {240, 1600, 1200, 0}, {200, 256, 200, 3}, {90, 37, 5, 0},
                                {60, 640, 480, 1},  {60, 640, 480, 3},    {150, 0, 0, 2},     {3, 10, 10, 0},
                                {2, 10, 10, 1},     {0, 10, 10, 0}};
    std::mt19937 rng(5);
    for (const ReliefCase& c : cases) {
        field.gridSize = static_cast<uint16_t>(c.gridSize);
        picture.pictureWidth = c.width;
        picture.pictureHeight = c.height;
        for (int x = 0; x < pictureColumns; x += (x < 700 ? 1 : 97)) {
            for (int y = 0; y < pictureRows; ++y) {
                const uint32_t noise = rng();
                const int at = pictureAt(x, y);
                const bool band = ((x / 3 + y / 2) % 2) != 0;
                const uint8_t level = c.pattern == 1 ? 255 : c.pattern == 2 ? 0 : band ? 255 : 0;
                picture.pictureRed[at] = c.pattern == 0 ? static_cast<uint8_t>(noise) : level;
                picture.pictureGreen[at] = c.pattern == 0 ? static_cast<uint8_t>(noise >> 8) : level;
                picture.pictureBlue[at] = c.pattern == 0 ? static_cast<uint8_t>(noise >> 16) : level;
            }
        }
        fillField({-3.5f, 12.0f, 0.25f, 200.0f, -127.0f});
        particleOwner = 1.25f; // the relief's own mark: it draws instead of loading
        shared.frameCounter = 3;
        seedRandom(static_cast<int32_t>(rng()));
        const Outcome before = Outcome::capture();

        grill();
        const Outcome fast = Outcome::capture();

        before.restorePlanes();
        particleOwner = 1.25f;
        seedRandom(before.seed);
        referenceRelief();
        const Outcome reference = Outcome::capture();

        if (c.gridSize >= 60) {
            EXPECT_FALSE(fast == before) << "nothing drawn on grid " << c.gridSize;
        }
        EXPECT_TRUE(fast == reference) << "grid " << c.gridSize << ", picture " << c.width << "x" << c.height
                                       << ", pattern " << c.pattern;
    }
}

TEST_F(FastPaths, RingCrossingsLightTheCellsOfTheFullSearch) {
    std::mt19937 rng(3);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    struct Layout {
        int gridSize;
        int kind; // 0 spread, 1 clustered, 2 on the edges of the band, 3 several on one spot
    };
    const Layout layouts[] = {{200, 0}, {200, 1}, {200, 2}, {200, 3}, {240, 0}, {20, 1}};
    for (const Layout& layout : layouts) {
        const int n = layout.gridSize;
        field.gridSize = static_cast<uint16_t>(n);
        for (int k = 0; k < 20; ++k) {
            float x = 0.0f;
            float y = 0.0f;
            switch (layout.kind) {
            case 0:
                x = 2 + unit(rng) * (n - 5);
                y = 2 + unit(rng) * (n - 5);
                break;
            case 1:
                x = n / 2.0f + unit(rng) * 7;
                y = n / 2.0f + unit(rng) * 7;
                break;
            case 2:
                x = (k % 2) ? 2.0f : std::nextafter(static_cast<float>(n - 2), 0.0f);
                y = (k % 3) ? 2.0f + k * 0.37f : std::nextafter(static_cast<float>(n - 2), 0.0f);
                break;
            default:
                x = 70.5f + (k % 4);
                y = 60.25f;
                break;
            }
            particles.particleX[k] = x;
            particles.particleY[k] = y;
            // Small enough to leave the position unchanged and large enough to count as moving.
            particles.particleVX[k] = 1e-30f;
            particles.particleVY[k] = -1e-30f;
        }
        const int32_t radii[] = {0, 1, 12, 13, 22, 24, 31, 37, 44, 49};
        int lit = 0;
        for (int32_t radius : radii) {
            fillField({0.0f, -20.5f, 130.0f});
            shared.frameCounter = static_cast<uint32_t>(radius + 50 * (radius % 3));
            const Outcome before = Outcome::capture();

            predator();
            const Outcome fast = Outcome::capture();

            before.restorePlanes();
            referencePredatorFrame(radius);
            const Outcome reference = Outcome::capture();

            EXPECT_EQ(fast.seed, before.seed); // no point was placed anew
            EXPECT_TRUE(fast == reference)
                << "grid " << n << ", layout " << layout.kind << ", radius " << radius;
            for (int cell = 0; cell < planeCells; ++cell) {
                lit += planes.red[cell] == 200.0f;
            }
        }
        EXPECT_GT(lit, 0) << "layout " << layout.kind << " lit no crossing";
    }
}

} // namespace
} // namespace glowfield::test
