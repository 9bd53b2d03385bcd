// The whole-plane passes of canvas.h, each one loop over the live cells.
#include "effects/kit/canvas.h"

namespace glowfield::kit {

namespace {

template <typename Operation> void forLiveCells(const EffectContext& c, float* plane, Operation operation) {
    for (int x = 0; x < c.n; ++x) {
        float* column = plane + cellAt(x, 0);
        for (int y = 0; y < c.n; ++y) {
            column[y] = operation(column[y]);
        }
    }
}

} // namespace

void fadeColours(const EffectContext& c, float keep) {
    for (float* plane : {c.planes.red, c.planes.green, c.planes.blue}) {
        forLiveCells(c, plane, [keep](float v) { return v * keep; });
    }
}

void pullColours(const EffectContext& c, Rgb target, float rate) {
    const float targets[3] = {target.r, target.g, target.b};
    float* const colours[3] = {c.planes.red, c.planes.green, c.planes.blue};
    for (int p = 0; p < 3; ++p) {
        const float t = targets[p];
        forLiveCells(c, colours[p], [t, rate](float v) { return v + (t - v) * rate; });
    }
}

void scaleVelocities(const EffectContext& c, float keep, unsigned channels) {
    float* const velocities[3] = {c.planes.redVelocity, c.planes.greenVelocity, c.planes.blueVelocity};
    for (int p = 0; p < 3; ++p) {
        if (channels & (1u << p)) {
            forLiveCells(c, velocities[p], [keep](float v) { return v * keep; });
        }
    }
}

void clearVelocities(const EffectContext& c) {
    for (float* plane : {c.planes.redVelocity, c.planes.greenVelocity, c.planes.blueVelocity}) {
        forLiveCells(c, plane, [](float) { return 0.0f; });
    }
}

void fillColours(const EffectContext& c, Rgb colour, bool velocities) {
    const float values[3] = {colour.r, colour.g, colour.b};
    float* const colours[3] = {c.planes.red, c.planes.green, c.planes.blue};
    float* const motion[3] = {c.planes.redVelocity, c.planes.greenVelocity, c.planes.blueVelocity};
    for (int p = 0; p < 3; ++p) {
        const float value = values[p];
        forLiveCells(c, colours[p], [value](float) { return value; });
        if (velocities) {
            forLiveCells(c, motion[p], [](float) { return 0.0f; });
        }
    }
}

void tameField(const EffectContext& c, float colourLimit, float velocityLimit) {
    const auto limitTo = [](float limit) {
        return [limit](float v) { return v > limit ? limit : v < -limit ? -limit : v == v ? v : 0.0f; };
    };
    for (float* plane : {c.planes.red, c.planes.green, c.planes.blue}) {
        forLiveCells(c, plane, limitTo(colourLimit));
    }
    for (float* plane : {c.planes.redVelocity, c.planes.greenVelocity, c.planes.blueVelocity}) {
        forLiveCells(c, plane, limitTo(velocityLimit));
    }
}

} // namespace glowfield::kit
