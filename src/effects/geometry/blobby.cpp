// Blobby: five metaballs on Lissajous paths. Each cell sums r^2 / d^2 over the balls; above the surface level
// it takes the colour of the strongest ball, lit brighter towards the core and with a bright rim band just
// inside the surface, so blobs visibly merge and split as their paths cross.
#include "effects/geometry/solid_cell.h"
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
        for (int x = 0; x < c.n; ++x) {
            const float fx = static_cast<float>(x) + 0.5f;
            for (int y = 0; y < c.n; ++y) {
                const float fy = static_cast<float>(y) + 0.5f;
                float sum = 0.0f, best = 0.0f, weights = 0.0f;
                kit::Rgb blend{};
                int strongest = 0;
                for (int i = 0; i < ballCount; ++i) {
                    const float dx = fx - bx[i], dy = fy - by[i];
                    const float v = rr[i] / (dx * dx + dy * dy + 1.0f);
                    sum += v;
                    const float w = v * v;
                    weights += w;
                    blend.r += colours[i].r * w;
                    blend.g += colours[i].g * w;
                    blend.b += colours[i].b * w;
                    if (v > best) {
                        best = v;
                        strongest = i;
                    }
                }
                const float norm = 1.0f / (weights + 1e-12f);
                blend = {blend.r * norm, blend.g * norm, blend.b * norm};
                kit::Rgb colour;
                if (sum < 1.0f) {
                    // A faint halo outside, fading with the field.
                    const float glow = sum * sum * 0.35f;
                    colour = kit::mix(back, blend, glow);
                } else {
                    const float depth = kit::clampf((sum - 1.0f) * 1.4f, 0.0f, 1.0f);
                    const float rim = sum < 1.18f ? 1.0f - (sum - 1.0f) / 0.18f : 0.0f;
                    colour = kit::shade(colours[strongest], 0.45f + 0.45f * depth);
                    colour = kit::mix(colour, kit::white, 0.75f * rim + 0.35f * depth * depth);
                    if (sum < 1.04f) {
                        // The outermost sliver of the surface, blended with the halo for a soft edge.
                        colour = kit::mix(kit::mix(back, blend, 0.35f), colour, (sum - 1.0f) / 0.04f);
                    }
                }
                paintSolid(c, x, y, colour);
            }
        }
    }
};

} // namespace

std::unique_ptr<Effect> makeBlobby() {
    return std::make_unique<Blobby>();
}

} // namespace glowfield
