#include "effects/kit/velocity.h"

#include <algorithm>

namespace glowfield::kit {

namespace {

// Adds weight(d^2) * amount to the chosen velocities within reach of (cx, cy).
template <typename Weight>
void pushWith(const EffectContext& c, float cx, float cy, float reach, float amount, unsigned channels,
              Weight weight) {
    if (!(cx == cx) || !(cy == cy) || !(reach > 0.0f) || reach > 1.0e6f || cx > 1.0e6f || cx < -1.0e6f ||
        cy > 1.0e6f || cy < -1.0e6f) {
        return;
    }
    float* const velocities[3] = {c.planes.redVelocity, c.planes.greenVelocity, c.planes.blueVelocity};
    const int xLo = std::max(0, toCell(cx - reach)), xHi = std::min(c.n - 1, toCell(cx + reach));
    const int yLo = std::max(0, toCell(cy - reach)), yHi = std::min(c.n - 1, toCell(cy + reach));
    for (int x = xLo; x <= xHi; ++x) {
        const float dx = x + 0.5f - cx;
        for (int y = yLo; y <= yHi; ++y) {
            const float dy = y + 0.5f - cy;
            const float w = weight(dx * dx + dy * dy);
            if (w == 0.0f) {
                continue;
            }
            for (int p = 0; p < 3; ++p) {
                if (channels & (1u << p)) {
                    velocities[p][cellAt(x, y)] += w * amount;
                }
            }
        }
    }
}

} // namespace

void pushVelocity(const EffectContext& c, float cx, float cy, float radius, float amount, unsigned channels) {
    const float inverse = 1.0f / (radius * radius);
    pushWith(c, cx, cy, radius, amount, channels, [inverse](float d2) {
        const float u = 1.0f - d2 * inverse;
        return u > 0.0f ? u * u : 0.0f;
    });
}

void balancedPush(const EffectContext& c, float cx, float cy, float radius, float amount, unsigned channels) {
    // Positive weight inside radius, a negative skirt from radius to 2 radius; the skirt's weight is scaled
    // so that both integrate to the same amount on a continuous disc.
    const float r2 = radius * radius;
    const float inverse = 1.0f / r2;
    pushWith(c, cx, cy, 2.0f * radius, amount, channels, [r2, inverse](float d2) {
        if (d2 < r2) {
            const float u = 1.0f - d2 * inverse;
            return u * u;
        }
        const float s = d2 * inverse; // 1..4
        if (s >= 4.0f) {
            return 0.0f;
        }
        const float v = (s - 1.0f) * (4.0f - s); // 0 at both edges, peak 2.25
        return -v * (2.0f / 27.0f);
    });
}

} // namespace glowfield::kit
