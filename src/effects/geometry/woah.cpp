// Woah: op-art. Black and white logarithmic spiral stripes wind inwards while an inner disc turns the other
// way, so the screen seems to swell; the number of arms and the spin change every few seconds through a short
// dissolve, and a faint tint drifts through the white.
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

// The natural logarithm from exact operations only: x = m * 2^e with m in [0.75, 1.5), then the atanh series.
float lnExact(float x) {
    if (!(x > 0.0f)) {
        return 0.0f;
    }
    int e = 0;
    while (x >= 1.5f && e < 200) {
        x *= 0.5f;
        ++e;
    }
    while (x < 0.75f && e > -200) {
        x *= 2.0f;
        --e;
    }
    const float z = (x - 1.0f) / (x + 1.0f), z2 = z * z;
    const float series =
        2.0f * z * (1.0f + z2 * (1.0f / 3.0f + z2 * (1.0f / 5.0f + z2 * (1.0f / 7.0f + z2 / 9.0f))));
    return series + static_cast<float>(e) * 0.693147181f;
}

class Woah : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::tameField(c);
        const size_t cells = static_cast<size_t>(c.n) * static_cast<size_t>(c.n);
        angle_.resize(cells);
        logR_.resize(cells);
        radius_.resize(cells);
        const float h = static_cast<float>(c.n) * 0.5f;
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                const float dx = static_cast<float>(x) + 0.5f - h, dy = static_cast<float>(y) + 0.5f - h;
                const size_t i = static_cast<size_t>(x) * static_cast<size_t>(c.n) + static_cast<size_t>(y);
                angle_[i] = kit::angleOf(dx, dy);
                const float r2 = dx * dx + dy * dy;
                radius_[i] = r2;
                logR_[i] = 0.5f * lnExact(r2 + 1.0f);
            }
        }
        pick(c, now_);
        before_ = now_;
        time_ = 0;
        fade_ = 0;
    }

    void step(EffectContext& c) override {
        const float n = static_cast<float>(c.n);
        ++time_;
        kit::scaleVelocities(c, 0.0f);
        if (time_ % 280 == 0) {
            before_ = now_;
            pick(c, now_);
            fade_ = 30;
        }
        const float t = static_cast<float>(time_);
        const float inner = n * 0.16f * (1.0f + 0.15f * fastSin(t * 0.03f));
        const float inner2 = inner * inner;
        const kit::Rgb tint = kit::hsv(t * 0.0007f, 0.2f, 1.0f);
        const float mixK = fade_ > 0 ? static_cast<float>(fade_) / 30.0f : 0.0f;
        if (fade_ > 0) {
            --fade_;
        }
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                const size_t i = static_cast<size_t>(x) * static_cast<size_t>(c.n) + static_cast<size_t>(y);
                const bool core = radius_[i] < inner2;
                float v = stripe(now_, angle_[i], logR_[i], t, core);
                if (mixK > 0.0f) {
                    v = kit::lerp(v, stripe(before_, angle_[i], logR_[i], t, core), mixK);
                }
                // A soft edge of about one cell between stripes.
                const float k = kit::clampf(v * 4.0f + 0.5f, 0.0f, 1.0f);
                kit::paint(c, x, y, kit::mix(kit::fromLevels(5, 5, 10), tint, k));
            }
        }
        // The boundary of the counter-turning core.
        kit::drawRing(c, n * 0.5f, n * 0.5f, inner, 1.2f, kit::fromLevels(5, 5, 10));
    }

  private:
    struct Pattern {
        float arms;  // stripes around (a whole number, so the pattern closes)
        float twist; // turns per unit of log radius
        float spin;  // phase per frame
    };

    static float stripe(const Pattern& p, float angle, float logR, float t, bool core) {
        const float phase = core ? p.arms * angle - p.twist * logR + p.spin * t * 1.6f
                                 : p.arms * angle + p.twist * logR - p.spin * t;
        return fastSin(phase);
    }

    static void pick(EffectContext& c, Pattern& p) {
        p.arms = static_cast<float>(c.random(6, 16));
        p.twist = 4.0f + 8.0f * c.randomUnit();
        p.spin = (c.random() % 2 ? 1.0f : -1.0f) * (0.05f + 0.07f * c.randomUnit());
    }

    std::vector<float> angle_, logR_, radius_;
    Pattern now_{}, before_{};
    int time_ = 0;
    int fade_ = 0;
};

} // namespace

std::unique_ptr<Effect> makeWoah() {
    return std::make_unique<Woah>();
}

} // namespace glowfield
