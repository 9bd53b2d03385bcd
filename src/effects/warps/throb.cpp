// Throb: a beating heart. A glossy, shaded heart swells hard on the lub and again on the dub of each beat;
// every beat throws a shock ring out across a crimson field whose ripples and glow pump in time.
#include <cmath>
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

constexpr int beatFrames = 46;

// A short swell: 0 at start and end of its frames, 1 at the peak reached early.
float bump(int f, int length) {
    if (f < 0 || f >= length) {
        return 0.0f;
    }
    const float q = static_cast<float>(f) / static_cast<float>(length);
    const float rise = q < 0.25f ? q / 0.25f : 1.0f - (q - 0.25f) / 0.75f;
    return rise * rise * (3.0f - 2.0f * rise);
}

// The heart's swell at a frame of its beat: a strong lub, a smaller dub, then rest.
float swell(int frame) {
    const int f = frame % beatFrames;
    return bump(f, 12) + 0.6f * bump(f - 11, 10);
}

// Signed distance to a heart with its tip at the origin and its lobes above, about 1.1 tall and 1.2 wide;
// negative inside.
float heartDistance(float x, float y) {
    x = x < 0.0f ? -x : x;
    if (y + x > 1.0f) {
        const float dx = x - 0.25f, dy = y - 0.75f;
        return std::sqrt(dx * dx + dy * dy) - 0.35355339f;
    }
    const float ax = x, ay = y - 1.0f;
    const float m = 0.5f * (x + y > 0.0f ? x + y : 0.0f);
    const float bx = x - m, by = y - m;
    const float d = std::sqrt(std::fmin(ax * ax + ay * ay, bx * bx + by * by));
    return x > y ? d : -d;
}

class Throb : public Effect {
  public:
    void start(EffectContext&) override { distance_.clear(); }

    void step(EffectContext& c) override {
        const int age = static_cast<int>(c.framesSinceStart) + 1;
        kit::clearVelocities(c);
        const float n = static_cast<float>(c.n);
        // With music the heart beats on the music's beats, a lub on each, as hard as the bass.
        const bool heard = c.sound.heard();
        const int sinceBeat = c.sound.framesSinceBeat < static_cast<uint32_t>(beatFrames)
                                  ? static_cast<int>(c.sound.framesSinceBeat)
                                  : beatFrames - 1;
        if (heard && c.sound.beat) {
            beatStrength_ = 0.4f + 0.6f * c.sound.bass;
        }
        const float now = heard ? beatStrength_ * swell(sinceBeat) : swell(age);
        const float cx = (n - 1.0f) * 0.5f;
        const float t = static_cast<float>(age);
        const int phase = heard ? sinceBeat : age % beatFrames;
        // The shock rings of the last lub and dub, in units of the grid, from their start at the heart.
        const float lubRing = static_cast<float>(phase) * 0.028f;
        const float dubRing = static_cast<float>(phase - 11) * 0.028f;
        const float lubFade = 1.0f - static_cast<float>(phase) / beatFrames;
        const float dubFade =
            phase >= 11 ? 0.55f * (1.0f - static_cast<float>(phase - 11) / beatFrames) : 0.0f;

        const float radius = n * 0.36f * (1.0f + 0.2f * now);
        const float baseY =
            n * 0.5f + radius * 0.55f * 4.0f / 3.0f; // the tip; the heart's middle sits at n / 2
        const kit::Rgb deep = kit::fromLevels(40, 0, 12), warm = kit::fromLevels(150, 14, 40);
        const kit::Rgb ringColour = kit::fromLevels(255, 150, 170);
        const kit::Rgb dark = kit::fromLevels(90, 0, 18), red = kit::fromLevels(226, 20, 46),
                       light = kit::fromLevels(255, 110, 120), shine = kit::fromLevels(255, 236, 240);
        // The field depends on the distance from the centre alone: one colour per distance step this frame,
        // with slow ripples running outwards and the shock rings of the last lub and dub.
        for (int i = 0; i < radialSteps; ++i) {
            const float r = static_cast<float>(i) / radialScale;
            const float ripple = 0.5f + 0.5f * fastSin(r * 40.0f - t * 0.16f);
            const float a = r - 0.2f - lubRing, b = r - 0.2f - dubRing;
            const float ring = lubFade / (1.0f + a * a * 6000.0f) + dubFade / (1.0f + b * b * 6000.0f);
            const kit::Rgb field = kit::mix(deep, warm, 0.25f + 0.2f * ripple + 0.15f * now * (1.0f - r));
            radial_[i] = kit::mix(field, ringColour, ring > 1.0f ? 1.0f : ring);
        }
        if (distance_.size() != static_cast<size_t>(c.n) * c.n) {
            distance_.resize(static_cast<size_t>(c.n) * c.n);
            for (int x = 0; x < c.n; ++x) {
                for (int y = 0; y < c.n; ++y) {
                    const float dx = (static_cast<float>(x) - cx) / n,
                                dy = (static_cast<float>(y) - cx) * 0.75f / n;
                    const float step = std::sqrt(dx * dx + dy * dy) * radialScale;
                    distance_[static_cast<size_t>(x) * c.n + y] =
                        static_cast<int>(step < radialSteps - 1 ? step : radialSteps - 1);
                }
            }
        }
        for (int x = 0; x < c.n; ++x) {
            const int* row = distance_.data() + static_cast<size_t>(x) * c.n;
            for (int y = 0; y < c.n; ++y) {
                kit::setCell(c, x, y, radial_[row[y]]);
            }
        }
        // The heart and the glow about it, inside a box with room for the glow.
        const int x0 = kit::clampCell(c, kit::toCell(cx - radius)),
                  x1 = kit::clampCell(c, kit::toCell(cx + radius));
        const int y0 = kit::clampCell(c, kit::toCell(baseY - 1.5f * radius * 4.0f / 3.0f));
        const int y1 = kit::clampCell(c, kit::toCell(baseY + 0.4f * radius * 4.0f / 3.0f));
        for (int x = x0; x <= x1; ++x) {
            const float px = (static_cast<float>(x) - cx) / radius;
            for (int y = y0; y <= y1; ++y) {
                const float py = (baseY - static_cast<float>(y)) * 0.75f / radius;
                const float d = heartDistance(px, py);
                if (d > 0.0f) {
                    const float g = 1.0f - d * 3.0f;
                    if (g > 0.0f) {
                        kit::mixCell(c, x, y, warm, (0.5f + 0.3f * now) * g * g);
                    }
                    if (d < 0.025f) {
                        kit::mixCell(c, x, y, dark, 0.8f);
                    }
                    continue;
                }
                // Deeper inside reads as rounder and lit; a dark rim and a bright window highlight.
                const float depth = kit::clampf(-d / 0.3f, 0.0f, 1.0f);
                kit::Rgb colour = kit::mix(dark, red, std::sqrt(depth));
                colour = kit::mix(colour, light, kit::clampf((py - 0.55f) * 1.2f - px * 0.6f, 0.0f, 0.6f));
                const float hx = px + 0.3f, hy = py - 0.8f;
                const float spot = hx * hx * 1.6f + hy * hy * 4.0f;
                if (spot < 0.02f) {
                    colour = kit::mix(colour, shine, kit::smoothstep(0.02f, 0.008f, spot));
                }
                if (d > -0.02f) {
                    colour = kit::mix(colour, dark, 0.6f);
                }
                kit::setCell(c, x, y, colour);
            }
        }
    }

  private:
    static constexpr int radialSteps = 600;
    static constexpr float radialScale = 700.0f; // steps per grid side
    float beatStrength_ = 1.0f;                  // how hard the heart beats to the music's last beat
    kit::Rgb radial_[radialSteps];
    std::vector<int> distance_;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Throb);

} // namespace glowfield
