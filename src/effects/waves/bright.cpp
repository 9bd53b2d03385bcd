// Bright: random spots whose locally strongest colour is pushed upward.
//
// Keeps its colour choice in lastChannel.

#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "effects/shared/effect_helpers.h"
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

} // namespace

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

} // namespace glowfield
