// Blobby: five metaballs on Lissajous paths. Each cell sums r^2 / d^2 over the balls; above the surface level
// it takes the colour of the strongest ball, lit brighter towards the core and with a bright rim band just
// inside the surface, so blobs visibly merge and split as their paths cross.
#include "effects/kit/kit.h"

namespace glowfield {

namespace {

constexpr int ballCount = 5;

class Blobby : public Effect {
  public:
    void step(EffectContext& c) override {
        const float n = static_cast<float>(c.n);
        const float t = static_cast<float>(c.frame % 400000u) * 0.02f;
        float bx[ballCount], by[ballCount], rr[ballCount];
        kit::Rgb colours[ballCount];
        for (int i = 0; i < ballCount; ++i) {
            const float k = static_cast<float>(i);
            bx[i] = n * (0.5f + 0.33f * fastSin(t * (0.31f + 0.07f * k) + k * 1.7f));
            by[i] = n * (0.5f + 0.33f * fastSin(t * (0.43f - 0.05f * k) + k * 2.9f + 0.6f));
            const float radius = n * (0.075f + 0.012f * k + 0.015f * fastSin(t * 0.9f + k));
            rr[i] = radius * radius;
            colours[i] = kit::hsv(k / ballCount + t * 0.01f, 0.85f, 1.0f);
        }
        const kit::Rgb back = kit::fromLevels(10, 8, 24);
        // Far from every ball the field only gives a faint halo, smooth enough to work out once per 2 x 2
        // block; blocks near a surface are worked out cell by cell.
        for (int x0 = 0; x0 < c.n; x0 += 2) {
            for (int y0 = 0; y0 < c.n; y0 += 2) {
                const Sample centre =
                    sample(static_cast<float>(x0) + 1.0f, static_cast<float>(y0) + 1.0f, bx, by, rr, colours);
                for (int x = x0; x < x0 + 2 && x < c.n; ++x) {
                    for (int y = y0; y < y0 + 2 && y < c.n; ++y) {
                        const Sample here = centre.sum < 0.55f
                                                ? centre
                                                : sample(static_cast<float>(x) + 0.5f,
                                                         static_cast<float>(y) + 0.5f, bx, by, rr, colours);
                        kit::paintSolid(c, x, y, shadeSample(here, back, colours));
                    }
                }
            }
        }
    }

  private:
    struct Sample {
        float sum = 0.0f;
        int strongest = 0;
        kit::Rgb blend;
    };

    static Sample sample(float fx, float fy, const float* bx, const float* by, const float* rr,
                         const kit::Rgb* colours) {
        Sample s;
        float best = 0.0f, weights = 0.0f;
        for (int i = 0; i < ballCount; ++i) {
            const float dx = fx - bx[i], dy = fy - by[i];
            const float v = rr[i] / (dx * dx + dy * dy + 1.0f);
            s.sum += v;
            const float w = v * v;
            weights += w;
            s.blend.r += colours[i].r * w;
            s.blend.g += colours[i].g * w;
            s.blend.b += colours[i].b * w;
            if (v > best) {
                best = v;
                s.strongest = i;
            }
        }
        const float norm = 1.0f / (weights + 1e-12f);
        s.blend = {s.blend.r * norm, s.blend.g * norm, s.blend.b * norm};
        return s;
    }

    static kit::Rgb shadeSample(const Sample& s, kit::Rgb back, const kit::Rgb* colours) {
        const float sum = s.sum;
        if (sum < 1.0f) {
            // A faint halo outside, fading with the field.
            return kit::mix(back, s.blend, sum * sum * 0.35f);
        }
        const float depth = kit::clampf((sum - 1.0f) * 1.4f, 0.0f, 1.0f);
        const float rim = sum < 1.18f ? 1.0f - (sum - 1.0f) / 0.18f : 0.0f;
        kit::Rgb colour = kit::shade(colours[s.strongest], 0.45f + 0.45f * depth);
        colour = kit::mix(colour, kit::white, 0.75f * rim + 0.35f * depth * depth);
        if (sum < 1.04f) {
            // The outermost sliver of the surface, blended with the halo for a soft edge.
            colour = kit::mix(kit::mix(back, s.blend, 0.35f), colour, (sum - 1.0f) / 0.04f);
        }
        return colour;
    }
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Blobby);

} // namespace glowfield
