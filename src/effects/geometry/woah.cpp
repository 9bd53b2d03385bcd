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
        for (Tables& tables : tables_) {
            tables.outSin.assign(cells, 0.0f);
            tables.outCos.assign(cells, 0.0f);
            tables.coreSin.assign(cells, 0.0f);
            tables.coreCos.assign(cells, 0.0f);
        }
        now_ = 0;
        pick(c, tables_[0].pattern);
        build(c, tables_[0], 0, c.n);
        fade_ = 0;
    }

    void step(EffectContext& c) override {
        const int n = c.n;
        const float nf = static_cast<float>(n);
        const int age = static_cast<int>(c.framesSinceStart) + 1;
        kit::scaleVelocities(c, 0.0f);
        // The next pattern's tables are built a slice of columns at a time over the last frames of a period,
        // then it takes over through a short dissolve.
        const int local = age % period;
        Tables& next = tables_[1 - now_];
        if (local == period - buildFrames) {
            pick(c, next.pattern);
        }
        if (local >= period - buildFrames) {
            const int slice = local - (period - buildFrames);
            build(c, next, n * slice / buildFrames, n * (slice + 1) / buildFrames);
        }
        if (local == 0) {
            now_ = 1 - now_;
            fade_ = fadeFrames;
        }
        const Tables& cur = tables_[now_];
        const Tables& old = tables_[1 - now_];
        const float t = static_cast<float>(age);
        const float inner = nf * 0.16f * (1.0f + 0.15f * fastSin(t * 0.03f));
        const float inner2 = inner * inner;
        const kit::Rgb tint = kit::hsv(t * 0.0007f, 0.2f, 1.0f);
        const kit::Rgb ink = kit::fromLevels(5, 5, 10);
        const float mixK = fade_ > 0 ? static_cast<float>(fade_) / static_cast<float>(fadeFrames) : 0.0f;
        if (fade_ > 0) {
            --fade_;
        }
        // sin(base - spin t) outside and sin(core base + 1.6 spin t) inside, by the angle-sum rule.
        float outC[2], outS[2], coreC[2], coreS[2];
        const Tables* both[2] = {&cur, &old};
        for (int k = 0; k < 2; ++k) {
            const float spin = both[k]->pattern.spin;
            outC[k] = fastCos(spin * t);
            outS[k] = fastSin(spin * t);
            coreC[k] = fastCos(1.6f * spin * t);
            coreS[k] = fastSin(1.6f * spin * t);
        }
        for (int x = 0; x < n; ++x) {
            const kit::Column col = kit::column(c, x);
            for (int y = 0; y < n; ++y) {
                const size_t i = static_cast<size_t>(x) * static_cast<size_t>(n) + static_cast<size_t>(y);
                const bool core = radius_[i] < inner2;
                float v = core ? cur.coreSin[i] * coreC[0] + cur.coreCos[i] * coreS[0]
                               : cur.outSin[i] * outC[0] - cur.outCos[i] * outS[0];
                if (mixK > 0.0f) {
                    const float w = core ? old.coreSin[i] * coreC[1] + old.coreCos[i] * coreS[1]
                                         : old.outSin[i] * outC[1] - old.outCos[i] * outS[1];
                    v = kit::lerp(v, w, mixK);
                }
                // A soft edge of about one cell between stripes.
                const float k = kit::clampf(v * 4.0f + 0.5f, 0.0f, 1.0f);
                col.set(y, kit::mix(ink, tint, k));
            }
        }
        // The boundary of the counter-turning core.
        kit::drawRing(c, nf * 0.5f, nf * 0.5f, inner, 1.2f, ink);
    }

  private:
    static constexpr int period = 280;
    static constexpr int buildFrames = 40;
    static constexpr int fadeFrames = 30;

    struct Pattern {
        float arms = 6.0f;  // stripes around (a whole number, so the pattern closes)
        float twist = 6.0f; // turns per unit of log radius
        float spin = 0.05f; // phase per frame
    };

    // A pattern and the sine and cosine of its still phase in every cell, outside and in the core.
    struct Tables {
        Pattern pattern;
        std::vector<float> outSin, outCos, coreSin, coreCos;
    };

    void build(const EffectContext& c, Tables& tables, int x0, int x1) const {
        const Pattern& p = tables.pattern;
        for (int x = x0; x < x1 && x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                const size_t i = static_cast<size_t>(x) * static_cast<size_t>(c.n) + static_cast<size_t>(y);
                const float out = p.arms * angle_[i] + p.twist * logR_[i];
                const float core = p.arms * angle_[i] - p.twist * logR_[i];
                tables.outSin[i] = fastSin(out);
                tables.outCos[i] = fastCos(out);
                tables.coreSin[i] = fastSin(core);
                tables.coreCos[i] = fastCos(core);
            }
        }
    }

    static void pick(EffectContext& c, Pattern& p) {
        p.arms = static_cast<float>(c.random(6, 16));
        p.twist = 4.0f + 8.0f * c.randomUnit();
        p.spin = (c.random() % 2 ? 1.0f : -1.0f) * (0.05f + 0.07f * c.randomUnit());
    }

    std::vector<float> angle_, logR_, radius_;
    Tables tables_[2];
    int now_ = 0;
    int fade_ = 0;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Woah);

} // namespace glowfield
