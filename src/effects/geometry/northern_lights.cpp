// Northern Lights: auroral curtains over a dark mountain lake. Three ribbons follow slowly undulating curves
// across the upper sky; from each curve rays rise and fade, green at the lower edge and violet above, with
// flickering brighter rays, over faint stars; the still lake below mirrors it all with a slight shimmer.
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

constexpr int ribbons = 3;
constexpr int starCount = 110;

class NorthernLights : public Effect {
  public:
    void start(EffectContext& c) override {
        for (int i = 0; i < starCount; ++i) {
            starX_[i] = c.random(0, c.n - 1);
            starY_[i] = c.random(0, c.n * 6 / 10);
        }
    }

    void step(EffectContext& c) override {
        const int n = c.n;
        const float fn = static_cast<float>(n);
        const float t = static_cast<float>(c.frame % 400000u) * 0.02f;
        // With music the curtains reach higher and burn brighter with the treble, eased so they sway, and
        // their rays dance along them on every onset.
        const bool heard = c.sound.heard();
        if (heard) {
            dance_ += c.sound.onset ? 0.8f * c.sound.onsetStrength : 0.0f;
            dance_ = dance_ < kit::twoPi * 100.0f ? dance_ : dance_ - kit::twoPi * 100.0f;
            treble_ += (c.sound.treble - treble_) * 0.08f;
        }
        const float reach = 0.4f + 1.5f * treble_;
        n_ = n;
        curve_.resize(static_cast<size_t>(ribbons * n));
        ray_.resize(static_cast<size_t>(ribbons * n));
        height_.resize(static_cast<size_t>(ribbons * n));
        // Per column: where each ribbon's lower edge lies, how bright its ray is and how tall.
        for (int r = 0; r < ribbons; ++r) {
            const float k = static_cast<float>(r);
            for (int x = 0; x < n; ++x) {
                const float fx = static_cast<float>(x);
                const size_t i = static_cast<size_t>(r * n + x);
                curve_[i] = fn * (0.3f + 0.1f * k) +
                            fn * 0.08f * fastSin(fx * 0.018f + t * (0.11f + 0.04f * k) + k * 2.0f) +
                            fn * 0.03f * fastSin(fx * 0.05f - t * 0.2f + k);
                // Rays: narrow bright streaks along the curtain, drifting and flickering.
                const float streak =
                    0.5f + 0.5f * fastSin(fx * 0.45f + 1.5f * fastSin(fx * 0.07f + t * 0.5f) + t * 1.5f +
                                          k * 4.0f + (heard ? dance_ : 0.0f));
                const float flicker =
                    0.3f + 0.7f * streak * streak * streak * streak + 0.12f * fastSin(fx * 0.9f - t * 3.7f);
                const float fold = 0.6f + 0.4f * fastSin(fx * 0.027f - t * 0.3f + k * 1.3f);
                ray_[i] = kit::clampf(flicker * fold, 0.0f, 1.0f) * (1.0f - 0.25f * k);
                height_[i] =
                    1.0f / (fn * (0.1f + 0.06f * fold + 0.08f * streak * streak)); // kept as its inverse
                if (heard) {
                    ray_[i] = kit::clampf(ray_[i] * (0.75f + 0.5f * treble_), 0.0f, 1.0f);
                    height_[i] /= reach;
                }
            }
        }
        const float horizon = fn * 0.68f;
        shimmer_.resize(static_cast<size_t>(n));
        for (int y = 0; y < n; ++y) {
            shimmer_[static_cast<size_t>(y)] = 1.2f * fastSin(static_cast<float>(y) * 0.9f + t * 2.0f);
        }
        for (int x = 0; x < n; ++x) {
            const float fx = static_cast<float>(x);
            const float ridge =
                horizon - fn * (0.05f + 0.04f * fastSin(fx * 0.023f + 1.0f) +
                                0.025f * fastSin(fx * 0.07f + 2.0f) + 0.01f * fastSin(fx * 0.19f));
            for (int y = 0; y < n; ++y) {
                const float fy = static_cast<float>(y);
                kit::Rgb colour;
                if (fy < ridge) {
                    colour = sky(x, fy, fn);
                } else if (fy < horizon) {
                    colour = kit::fromLevels(6, 8, 12); // the mountains
                } else {
                    // The lake: the sky mirrored about the horizon, darker, with a shimmer.
                    const float mirror = 2.0f * horizon - fy + shimmer_[static_cast<size_t>(y)];
                    const float mountain = 2.0f * horizon - ridge;
                    colour = fy < mountain ? kit::fromLevels(4, 6, 10) : kit::shade(sky(x, mirror, fn), 0.6f);
                }
                kit::paintSolid(c, x, y, colour);
            }
        }
        for (int i = 0; i < starCount; ++i) {
            const float twinkle = 0.5f + 0.5f * fastSin(t * 2.0f + static_cast<float>(i) * 1.7f);
            kit::paint(c, starX_[i], starY_[i], kit::fromLevels(200, 200, 220), kit::Blend::max);
            if (twinkle > 0.9f) {
                kit::paint(c, starX_[i], starY_[i], kit::white);
            }
        }
    }

  private:
    kit::Rgb sky(int x, float y, float n) const {
        kit::Rgb colour =
            kit::mix(kit::fromLevels(4, 6, 22), kit::fromLevels(14, 28, 46), kit::clampf(y / n, 0.0f, 1.0f));
        float r = 0.0f, g = 0.0f, b = 0.0f;
        for (int k = 0; k < ribbons; ++k) {
            const size_t i = static_cast<size_t>(k * n_ + x);
            const float above = curve_[i] - y; // cells above the ribbon's lower edge
            float glow = 0.0f;
            float top = 0.0f;
            if (above >= 0.0f) {
                const float h = above * height_[i];
                glow = h < 1.0f ? (1.0f - h) * (1.0f - h) : 0.0f;
                glow *= 0.25f + 0.75f * ray_[i];
                const float soft = above < 1.0f ? (above + 1.0f) * 0.5f : 1.0f; // a soft lower edge
                glow *= soft * soft * (3.0f - 2.0f * soft);
                top = h;
            } else {
                glow = kit::clampf(1.0f + above / 2.5f, 0.0f, 1.0f) * 0.6f * ray_[i];
            }
            // Green low, shading to violet higher up.
            const float v = kit::clampf(top * 1.6f, 0.0f, 1.0f);
            r += glow * (40.0f + 160.0f * v);
            g += glow * (255.0f - 200.0f * v);
            b += glow * (90.0f + 140.0f * v);
        }
        colour.r += r * 0.9f;
        colour.g += g * 0.9f;
        colour.b += b * 0.9f;
        colour.r = colour.r > 128.0f ? 128.0f : colour.r;
        colour.g = colour.g > 128.0f ? 128.0f : colour.g;
        colour.b = colour.b > 128.0f ? 128.0f : colour.b;
        return colour;
    }

    int n_ = 0;
    float treble_ = 0.5f; // the treble as the curtains follow it
    float dance_ = 0.0f;  // how far the onsets have moved the rays along
    std::vector<float> curve_, ray_, height_, shimmer_;
    int starX_[starCount] = {};
    int starY_[starCount] = {};
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(NorthernLights);

} // namespace glowfield
