// Rings, bright spots and lightning.
//
// A dashed ring that grows from the centre, random spots whose locally strongest colour is pushed upward, and
// a jagged bolt from the centre that alternates with a dark frame. The bolt keeps its direction from frame to
// frame in sharedAngle and its path in the particle store (so particle 0 marks the store as the bolt's); the
// bright spots keep their colour choice in lastChannel.

#include "effects/effect_helpers.h"
#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "field/drawing.h"
#include "field/field.h"
#include "field/numeric.h"
#include "field/random.h"
#include "field/trig.h"

namespace glowfield {

namespace {

// Colour and velocity plane of a channel as bright() keeps it: 1 red, 2 green, 3 blue.
struct Channel {
    float* colour = nullptr;
    float* velocity = nullptr;
};

Channel channelPlanes(int32_t channel) {
    switch (channel) {
    case 1:
        return {planes.red, planes.redVelocity};
    case 2:
        return {planes.green, planes.greenVelocity};
    case 3:
        return {planes.blue, planes.blueVelocity};
    default:
        return {};
    }
}

// The channel whose colour is strictly greatest at the cell, or the previous choice when none is.
int32_t dominantChannel(int cell, int32_t previous) {
    const float r = planes.red[cell];
    const float g = planes.green[cell];
    const float b = planes.blue[cell];
    int32_t channel = previous;
    if (r > g && r > b) {
        channel = 1;
    }
    if (g > r && g > b) {
        channel = 2;
    }
    if (b > g && b > r) {
        channel = 3;
    }
    return channel;
}

// Bolt mode runs on every fourth frame of the first 51 of each 100.
bool boltFrame() {
    const uint32_t f = shared.frameCounter;
    return f % 100 <= 50 && f % 4 == 0;
}

void drawBolt() {
    const int n = field.gridSize;
    const int half = n >> 1;
    uint8_t last = 0;
    // One cell further out per step, the direction wandering by a random turn of -0.05 .. +0.0499 radian.
    for (int k = 0; k < half * 1.5; ++k) {
        shared.sharedAngle = toFloat(shared.sharedAngle + (nextRandom() % 1000) * 0.0001 - 0.05);
        const int32_t x = truncToInt(fastCos(shared.sharedAngle) * static_cast<double>(k) + half);
        if (x < 1 || x >= n - 1) {
            break;
        }
        const int32_t y = truncToInt(half + fastSin(shared.sharedAngle) * static_cast<double>(k));
        if (y < 1 || y >= n - 1) {
            break;
        }
        particles.particleX[k] = static_cast<float>(x);
        particles.particleY[k] = static_cast<float>(y);
        last = static_cast<uint8_t>(k);
    }
    // The segment to the last stored point is left out.
    for (int j = 0; j <= last - 2; ++j) {
        drawFieldLine(truncToInt(particles.particleX[j]), truncToInt(particles.particleY[j]),
                      truncToInt(particles.particleX[j + 1]), truncToInt(particles.particleY[j + 1]), 100,
                      100, 100);
    }
}

void drawDarkFrame() {
    const int n = field.gridSize;
    for (int i = 0; i < n; ++i) {
        const int cells[4] = {cellAt(i, 0), cellAt(i, n - 1), cellAt(n - 1, i), cellAt(0, i)};
        for (int cell : cells) {
            planes.red[cell] = -20.0f;
            planes.green[cell] = -20.0f;
            planes.blue[cell] = -20.0f;
        }
    }
}

} // namespace

void fishnet() {
    const int half = field.gridSize >> 1;
    // The radius grows by one cell every two frames and wraps at half.
    const uint32_t radius = (shared.frameCounter / 2) % static_cast<uint32_t>(half);
    for (int i = 0; i < 400; ++i) {
        const float angle = toFloat(i * 6.28 * 0.0025);
        shared.sharedAngle = angle;
        const int x = truncToInt(fastCos(angle) * static_cast<double>(radius) + half);
        const int y = truncToInt(fastSin(angle) * static_cast<double>(radius) + half);
        const int cell = cellAt(x, y);
        planes.red[cell] = 0.0f;
        planes.green[cell] = 90.0f;
        planes.blue[cell] = 0.0f;
        // Dashes of four points alternate green and blue and travel round with the clock.
        if (((shared.frameCounter + static_cast<uint32_t>(i)) & 4) == 0) {
            planes.blue[cell] = 240.0f;
            planes.green[cell] = 0.0f;
            planes.red[cell] = 0.0f;
        }
    }
    darkenBorder();
}

void bright() {
    const int n = field.gridSize;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const int x = nextRandom() % (n - 12) + 5;
        const int y = nextRandom() % (n - 12) + 5;
        shared.lastChannel = dominantChannel(cellAt(x, y), shared.lastChannel);
        const Channel channel = channelPlanes(shared.lastChannel);
        if (!channel.colour) {
            continue;
        }
        // Centre, above, below, right, left: each pushed upward until its colour reaches 140.
        const int cells[5] = {cellAt(x, y), cellAt(x, y - 1), cellAt(x, y + 1), cellAt(x + 1, y),
                              cellAt(x - 1, y)};
        for (int cell : cells) {
            if (!(channel.colour[cell] >= 140)) {
                channel.velocity[cell] = toFloat(channel.velocity[cell] + 2.0);
            }
        }
    }
}

void lightning() {
    if (boltFrame()) {
        drawBolt();
    } else {
        drawDarkFrame();
    }
}

} // namespace glowfield
