// The warps and drawn-geometry effects with their own state: they stay inside grids of any allowed size with
// the mouse jumping between corners and the clock wrapping, they show a picture even from a blank field, and
// the kept picture that several of them draw on is safe against extreme leftovers.
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "catalogue_entries.h"
#include "effects/catalogue.h"
#include "effects/effect_counts.h"
#include "effects/kit/held_picture.h"
#include "field/field.h"
#include "field/picture.h"
#include "field/trig.h"
#include "test_support.h"

namespace glowfield::test {
namespace {

const std::vector<int> entries = ownEffectsOf({Family::warps, Family::geometry});

constexpr float sentinel = 12345.0f;

float* planeOfIndex(int p) {
    float* const all[6] = {planes.red,         planes.green,         planes.blue,
                           planes.redVelocity, planes.greenVelocity, planes.blueVelocity};
    return all[p];
}

using WarpsGeometryEffects = StateTest;

TEST_F(WarpsGeometryEffects, StayInsideTheLiveGridOfAnySizeWithTheMouseInTheCornersAndTheClockWrapping) {
    for (const int n : {minimumEffectGrid, 37, planeStride}) {
        for (const int entry : entries) {
            // Outside the live grid a sentinel; inside, a bright diagonal pattern for the warps to move.
            for (int p = 0; p < 6; ++p) {
                for (int x = 0; x < planeStride; ++x) {
                    for (int y = 0; y < planeStride; ++y) {
                        const bool live = x < n && y < n;
                        planeOfIndex(p)[cellAt(x, y)] =
                            live ? (p < 3 ? static_cast<float>((x * 7 + y * 3 + p * 40) % 255 - 127) : 0.5f)
                                 : sentinel;
                    }
                }
            }
            ASSERT_NE(catalogue[entry].make, nullptr) << entry;
            std::unique_ptr<Effect> effect = catalogue[entry].make();
            uint32_t frame = 4294967270u; // wraps to 0 during the run
            const int corners[4][2] = {{0, 0}, {n - 1, n - 1}, {n - 1, 0}, {0, n - 1}};
            EffectContext context{planes, n, frame, 0, 0, picture};
            EffectCounts counts;
            counts.beforeStep(true, n, 0, 0);
            effect->start(context);
            for (int k = 0; k < 48; ++k) {
                context.frame = frame++;
                context.mouseX = corners[(k / 5) % 4][0];
                context.mouseY = corners[(k / 5) % 4][1];
                if (k > 0) {
                    counts.beforeStep(false, n, context.mouseX, context.mouseY);
                }
                context.framesSinceStart = counts.framesSinceStart();
                context.framesSinceMouseMoved = counts.framesSinceMouseMoved();
                effect->step(context);
            }
            for (int p = 0; p < 6; ++p) {
                for (int x = 0; x < planeStride; ++x) {
                    for (int y = 0; y < planeStride; ++y) {
                        const float v = planeOfIndex(p)[cellAt(x, y)];
                        if (x < n && y < n) {
                            ASSERT_TRUE(std::isfinite(v))
                                << entry << " grid " << n << " plane " << p << " " << x << "," << y;
                        } else {
                            ASSERT_EQ(v, sentinel) << entry << " wrote outside grid " << n << " plane " << p
                                                   << " at " << x << "," << y;
                        }
                    }
                }
            }
        }
    }
}

// The spread of the shown levels (colour + 127, clamped) over the live grid.
float levelSpread() {
    const int n = field.gridSize;
    double sum = 0.0, squares = 0.0;
    int count = 0;
    for (float* plane : {planes.red, planes.green, planes.blue}) {
        for (int x = 0; x < n; ++x) {
            for (int y = 0; y < n; ++y) {
                const float v = plane[cellAt(x, y)] + 127.0f;
                const double level = v < 0.0f ? 0.0 : v > 255.0f ? 255.0 : v;
                sum += level;
                squares += level * level;
                ++count;
            }
        }
    }
    const double mean = sum / count;
    return static_cast<float>(std::sqrt(squares / count - mean * mean));
}

TEST_F(WarpsGeometryEffects, ShowAPictureWithContrastAndKeepMovingFromAUniformGreyField) {
    for (const int entry : entries) {
        startEffect(entry, 1);
        fillField({0.0f});
        runFrames(50);
        EXPECT_GT(levelSpread(), 20.0f) << entry << " is near uniform after 50 frames";
        const uint64_t before = fieldHash();
        runFrames(1);
        EXPECT_NE(fieldHash(), before) << entry << " stood still";
    }
}

TEST_F(WarpsGeometryEffects, ShowAPictureWithContrastAfterABrightBusyField) {
    for (const int entry : entries) {
        startEffect(entry, 2);
        std::vector<float> busy;
        for (int k = 0; k < 97; ++k) {
            busy.push_back(static_cast<float>((k * 53) % 300 - 150));
        }
        fillField(busy);
        runFrames(60);
        EXPECT_GT(levelSpread(), 20.0f) << entry;
    }
}

uint64_t liveHash(int n) {
    uint64_t hash = 1469598103934665603ull;
    for (float* plane : {planes.red, planes.green, planes.blue}) {
        for (int x = 0; x < n; ++x) {
            for (int y = 0; y < n; ++y) {
                hash =
                    (hash ^ static_cast<uint64_t>(plane[cellAt(x, y)] * 16.0f + 4096.0f)) * 1099511628211ull;
            }
        }
    }
    return hash;
}

TEST_F(WarpsGeometryEffects, ScrambleUndoesEveryMoveAndShowsTheWholePictureAgain) {
    const int n = 200;
    fillField({40.0f, -30.0f, 10.0f});
    std::unique_ptr<Effect> scramble = catalogue[224].make();
    EffectContext context{planes, n, 0u, 0, 0, picture}; // a clock that stands still: the shimmer holds
    scramble->start(context);
    scramble->step(context);
    const uint64_t whole = liveHash(n);
    bool scrambled = false;
    uint64_t last = whole;
    // Rest, 48 moves of 9 frames, rest, 48 moves back, and into the final rest.
    for (int frame = 0; frame < 20 + 48 * 9 + 30 + 48 * 9 + 10; ++frame) {
        scramble->step(context);
        last = liveHash(n);
        scrambled = scrambled || last != whole;
    }
    EXPECT_TRUE(scrambled);
    EXPECT_EQ(last, whole) << "the tiles did not all return to their places";
}

// Broad diagonal bands of strong colours: a picture with edges that an effect could easily paint over.
kit::Rgb bandAt(int x, int y) {
    const int band = ((x + 2 * y) / 24) % 3;
    return band == 0   ? kit::fromLevels(230, 40, 40)
           : band == 1 ? kit::fromLevels(30, 60, 220)
                       : kit::fromLevels(240, 230, 90);
}

// The share of live cells whose colour is within tolerance of the bands, each channel.
float shareLikeBands(int n, float tolerance) {
    int close = 0;
    for (int x = 0; x < n; ++x) {
        for (int y = 0; y < n; ++y) {
            const int cell = cellAt(x, y);
            const kit::Rgb want = bandAt(x, y);
            close += std::fabs(planes.red[cell] - want.r) < tolerance &&
                     std::fabs(planes.green[cell] - want.g) < tolerance &&
                     std::fabs(planes.blue[cell] - want.b) < tolerance;
        }
    }
    return static_cast<float>(close) / static_cast<float>(n * n);
}

// Scramble cuts up and Shimmer shimmers the picture they find, not one of their own: the tiles of the
// untouched board, and the shimmering screen after half a second, are still mostly the bands. From a
// plain screen each makes a picture of its own to work on.
TEST_F(WarpsGeometryEffects, ScrambleAndShimmerWorkOnThePictureTheyFindAndFeedAPlainScreen) {
    const int n = 200;
    buildSineTable();
    for (const int entry : {224, 214}) {
        for (int x = 0; x < n; ++x) {
            for (int y = 0; y < n; ++y) {
                const kit::Rgb v = bandAt(x, y);
                planes.red[cellAt(x, y)] = v.r;
                planes.green[cellAt(x, y)] = v.g;
                planes.blue[cellAt(x, y)] = v.b;
            }
        }
        std::unique_ptr<Effect> effect = catalogue[entry].make();
        EffectContext context{planes, n, 0u, 0, 0, picture};
        effect->start(context);
        for (int frame = 0; frame < (entry == 224 ? 1 : 25); ++frame) {
            context.frame = static_cast<uint32_t>(frame);
            context.framesSinceStart = static_cast<uint32_t>(frame);
            effect->step(context);
        }
        // Scramble's joints and blank tile and Shimmer's ripple light and glints take a share of the
        // cells.
        EXPECT_GT(shareLikeBands(n, 40.0f), 0.6f) << entry << " lost the picture it found";

        fillField({-20.0f});
        effect = catalogue[entry].make();
        context.framesSinceStart = 0;
        effect->start(context);
        effect->step(context);
        EXPECT_GT(levelSpread(), 20.0f) << entry << " shows a plain screen";
    }
}

TEST_F(WarpsGeometryEffects, HeldPictureTamesExtremesAndSamplesSafelyAnywhere) {
    const int n = 20;
    EffectContext context{planes, n, 0u, 0, 0, picture};
    fillField(
        {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(), -1e30f, 50.0f});
    kit::HeldPicture held;
    held.captureField(context);
    for (int x = 0; x < n; ++x) {
        for (int y = 0; y < n; ++y) {
            const kit::Rgb v = held.at(x, y);
            for (const float channel : {v.r, v.g, v.b}) {
                ASSERT_TRUE(channel >= -127.0f && channel <= 128.0f) << x << "," << y << " " << channel;
            }
        }
    }
    // Look-ups off the picture, or at coordinates that are not numbers, read an edge cell.
    for (const float coordinate : {-5.0f, 1e9f, std::numeric_limits<float>::quiet_NaN(),
                                   -std::numeric_limits<float>::infinity(), 19.999f}) {
        const kit::Rgb v = held.sample(coordinate, coordinate);
        EXPECT_TRUE(std::isfinite(v.r) && std::isfinite(v.g) && std::isfinite(v.b)) << coordinate;
    }
    held.set(-1, 3, kit::white); // ignored
    held.set(n, 3, kit::white);  // ignored

    // Putting it back clears the velocities and writes nothing beyond the grid.
    fillField({7.0f});
    held.reset(context, kit::fromLevels(10, 20, 30));
    held.restore(context);
    EXPECT_EQ(planes.red[cellAt(n - 1, n - 1)], 10.0f - 127.0f);
    EXPECT_EQ(planes.blueVelocity[cellAt(0, 0)], 0.0f);
    EXPECT_EQ(planes.red[cellAt(n, 0)], 7.0f);
    EXPECT_EQ(planes.red[cellAt(0, n)], 7.0f);

    // A picture sized for another grid is left alone rather than read or written out of step.
    EffectContext larger{planes, n + 5, 0u, 0, 0, picture};
    fillField({7.0f});
    held.restore(larger);
    held.keep(larger);
    EXPECT_EQ(planes.red[cellAt(0, 0)], 7.0f);
}

} // namespace
} // namespace glowfield::test
