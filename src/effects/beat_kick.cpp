#include "effects/beat_kick.h"

#include <algorithm>
#include <cmath>

#include "effects/effect_state.h"
#include "field/field.h"

namespace glowfield {

namespace {

constexpr double kickRadius = 14.0;    // cells on the 200-cell grid: the ripple's first ring
constexpr double velocityPush = 4.0;   // at the centre, for a full beat at full level
constexpr double colourPulse = 48.0;   // the same in colour, seen at once whatever the entry redraws
constexpr double quietestShare = 0.35; // of a kick's strength at the lowest level

uint32_t mixed(uint32_t value) {
    value ^= value >> 16;
    value *= 0x7feb352du;
    value ^= value >> 15;
    value *= 0x846ca68bu;
    value ^= value >> 16;
    return value;
}

} // namespace

bool kicks(const SoundFrame& sound) {
    if (!sound.heard()) {
        return false;
    }
    return sound.beat ||
           (sound.onset && sound.onsetStrength >= 0.5f && sound.framesSinceBeat >= kickQuietFrames);
}

void kickOnBeat(const SoundFrame& sound) {
    if (!kicks(sound)) {
        return;
    }
    const int n = field.gridSize;
    const double scale = n / 200.0;
    const int radius = std::max(3, static_cast<int>(std::lround(kickRadius * scale)));
    const int reach = radius * 2; // the negative ring around the bright centre
    if (n < 2 * reach + 3 || n > planeStride) {
        return;
    }
    // A place anywhere on the grid that the ring fits, from the effect clock.
    const uint32_t hash = mixed(shared.frameCounter * 2654435761u + 0x9e3779b9u);
    const int span = n - 2 * reach - 2;
    const int cx = reach + 1 + static_cast<int>(hash % static_cast<uint32_t>(span));
    const int cy = reach + 1 + static_cast<int>((hash >> 16) % static_cast<uint32_t>(span));

    const double strength = (sound.beat ? 1.0 : static_cast<double>(sound.onsetStrength)) *
                            (quietestShare + (1.0 - quietestShare) * sound.level);
    const double loudest = std::max({sound.bass, sound.middle, sound.treble, 0.001f});
    const double tint[3] = {0.3 + 0.7 * sound.bass / loudest, 0.3 + 0.7 * sound.middle / loudest,
                            0.3 + 0.7 * sound.treble / loudest};
    float* const colours[3] = {planes.red, planes.green, planes.blue};
    float* const velocities[3] = {planes.redVelocity, planes.greenVelocity, planes.blueVelocity};

    // A Mexican hat: bright in the middle, a darker ring around, summing to nothing, so the picture as a
    // whole keeps its brightness and a beat pulses instead of flashing the screen.
    const double sigma2 = static_cast<double>(radius) * radius / 2.0;
    double total = 0.0, cells = 0.0;
    for (int dx = -reach; dx <= reach; ++dx) {
        for (int dy = -reach; dy <= reach; ++dy) {
            const double d2 = static_cast<double>(dx) * dx + static_cast<double>(dy) * dy;
            if (d2 <= static_cast<double>(reach) * reach) {
                total += (1.0 - d2 / (2.0 * sigma2)) * std::exp(-d2 / (2.0 * sigma2));
                cells += 1.0;
            }
        }
    }
    const double offset = total / cells;
    for (int dx = -reach; dx <= reach; ++dx) {
        for (int dy = -reach; dy <= reach; ++dy) {
            const double d2 = static_cast<double>(dx) * dx + static_cast<double>(dy) * dy;
            if (d2 > static_cast<double>(reach) * reach) {
                continue;
            }
            const double shape = (1.0 - d2 / (2.0 * sigma2)) * std::exp(-d2 / (2.0 * sigma2)) - offset;
            const int cell = cellAt(cx + dx, cy + dy);
            for (int c = 0; c < 3; ++c) {
                const double amount = strength * tint[c] * shape;
                velocities[c][cell] = static_cast<float>(velocities[c][cell] + velocityPush * amount);
                colours[c][cell] = static_cast<float>(colours[c][cell] + colourPulse * amount);
            }
        }
    }
}

} // namespace glowfield
