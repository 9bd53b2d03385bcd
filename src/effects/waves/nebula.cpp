// Nebula: three slow emitters breathe coloured gas into a dark sky, each mostly into its own colour. The gas
// is a drifting cloud texture lit by each emitter's glow, pulsed velocity makes it billow, and a field of
// stars twinkles in front.
#include <array>
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Nebula : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::fillColours(c, kit::fromLevels(4, 2, 12), true);
        for (Star& s : stars_) {
            s.x = c.random(0, c.n - 1);
            s.y = c.random(0, c.n - 1);
            s.level = static_cast<float>(c.random(90, 255));
        }
        for (int i = 0; i < 3; ++i) {
            phase_[i] = c.randomUnit() * kit::twoPi;
        }
        makeClouds(c);
    }

    void step(EffectContext& c) override {
        const uint32_t tick = c.framesSinceStart + 1;
        kit::tameField(c, 300.0f, 12.0f);
        kit::scaleVelocities(c, 0.9f);
        const float t = static_cast<float>(tick % 200000u);
        const float half = c.n * 0.5f;
        float ex[3], ey[3], reach[3];
        // With music each cloud swells with a band of its own (bass, middle, treble), easing in and out.
        const bool heard = c.sound.heard();
        if (heard) {
            const float bands[3] = {c.sound.bass, c.sound.middle, c.sound.treble};
            for (int i = 0; i < 3; ++i) {
                bands_[i] += (bands[i] - bands_[i]) * (bands[i] > bands_[i] ? 0.1f : 0.03f);
            }
        }
        for (int i = 0; i < 3; ++i) {
            const float a = t * (0.0031f + 0.0012f * i) + phase_[i];
            const float b = t * (0.0023f + 0.0009f * i) + phase_[i] * 1.7f;
            ex[i] = half + half * 0.5f * fastSin(a);
            ey[i] = half + half * 0.5f * fastCos(b);
            const float breath = heard ? 0.45f + 0.1f * fastSin(t * 0.02f + i * 2.1f) + 0.75f * bands_[i]
                                       : 0.75f + 0.25f * fastSin(t * 0.02f + i * 2.1f);
            reach[i] = 1.0f / (half * half * 0.5f * breath);
        }
        static constexpr kit::Rgb tints[3] = {kit::fromLevels(255, 60, 110), kit::fromLevels(60, 230, 160),
                                              kit::fromLevels(70, 110, 255)};
        const kit::Rgb sky = kit::fromLevels(3, 1, 10);
        const int drift = static_cast<int>(tick / 3u);
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                kit::Rgb colour = sky;
                for (int i = 0; i < 3; ++i) {
                    const float dx = x - ex[i], dy = y - ey[i];
                    const float glow = 1.0f - (dx * dx + dy * dy) * reach[i];
                    if (glow <= 0.0f) {
                        continue;
                    }
                    // Each emitter lights the cloud texture at its own drift, so the three clouds differ.
                    const float d = density(x + drift * (i + 1) + 61 * i, y + 37 * i - drift * i);
                    const float k = glow * glow * d;
                    colour.r += (tints[i].r + 127.0f) * k;
                    colour.g += (tints[i].g + 127.0f) * k;
                    colour.b += (tints[i].b + 127.0f) * k;
                }
                kit::blendCell(c, x, y, colour, 0.12f);
            }
        }
        // Billowing: each emitter pulses velocity, sign alternating, into its own colour plane.
        for (int i = 0; i < 3; ++i) {
            kit::pushVelocity(c, ex[i] + 8.0f * fastSin(t * 0.05f), ey[i], 12.0f,
                              (heard ? 1.5f + 3.0f * bands_[i] : 1.5f) * fastSin(t * 0.17f + i), 1u << i);
        }
        // Stars: re-stamped each frame, a random few skipped so they twinkle.
        for (const Star& s : stars_) {
            if (c.random() % 6 == 0) {
                continue;
            }
            const float v = s.level - 127.0f;
            kit::paint(c, s.x, s.y, {v, v, v + 10.0f}, kit::Blend::max);
        }
    }

  private:
    float bands_[3] = {}; // the bands as the clouds follow them
    static constexpr int cloudSide = 128;

    // A tileable cloud texture: random values smoothed by repeated box blurs, then stretched to 0..1.5 and
    // squared so the gas has dark lanes between bright knots.
    void makeClouds(EffectContext& c) {
        clouds_.assign(cloudSide * cloudSide, 0.0f);
        for (float& v : clouds_) {
            v = c.randomUnit();
        }
        std::vector<float> next(clouds_.size());
        for (int pass = 0; pass < 6; ++pass) {
            const int r = pass < 3 ? 3 : 1;
            for (int x = 0; x < cloudSide; ++x) {
                for (int y = 0; y < cloudSide; ++y) {
                    float sum = 0.0f;
                    for (int k = -r; k <= r; ++k) {
                        sum += pass % 2 ? clouds_[kit::wrap(x + k, cloudSide) * cloudSide + y]
                                        : clouds_[x * cloudSide + kit::wrap(y + k, cloudSide)];
                    }
                    next[x * cloudSide + y] = sum / (2 * r + 1);
                }
            }
            clouds_.swap(next);
        }
        float lo = 1.0f, hi = 0.0f;
        for (float v : clouds_) {
            lo = v < lo ? v : lo;
            hi = v > hi ? v : hi;
        }
        const float scale = hi > lo ? 1.0f / (hi - lo) : 1.0f;
        for (float& v : clouds_) {
            const float u = (v - lo) * scale;
            v = u * u * 1.5f;
        }
    }

    float density(int x, int y) const {
        return clouds_[kit::wrap(x, cloudSide) * cloudSide + kit::wrap(y, cloudSide)];
    }

    struct Star {
        int x = 0;
        int y = 0;
        float level = 0.0f;
    };
    std::array<Star, 140> stars_{};
    std::vector<float> clouds_;
    float phase_[3] = {0.0f, 0.0f, 0.0f};
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Nebula);

} // namespace glowfield
