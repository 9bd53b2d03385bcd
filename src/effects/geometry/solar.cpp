// Solar: the sun close up. The limb of a huge disc fills the lower screen with boiling orange-and-yellow
// granulation and drifting dark spots; glowing prominence loops rise and fall from its edge into black space,
// and where a loop's foot lands the surface ripples.
#include <cmath>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Solar : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::tameField(c);
        for (int k = 0; k < loops; ++k) {
            foot_[k] = (c.randomUnit() - 0.5f) * 1.6f;
            span_[k] = 0.08f + 0.1f * c.randomUnit();
            phase_[k] = c.randomUnit() * kit::twoPi;
            rate_[k] = 0.006f + 0.01f * c.randomUnit();
        }
        time_ = 0;
    }

    void step(EffectContext& c) override {
        const int n = c.n;
        const float nf = static_cast<float>(n);
        const float s = nf / 200.0f;
        ++time_;
        const float t = static_cast<float>(time_);
        kit::scaleVelocities(c, 0.9f);
        const float cx = nf * 0.5f, cy = nf * 1.55f, radius = nf * 1.15f;
        const float r2 = radius * radius;
        const float rot = t * 0.0006f; // the surface turns slowly under its spots

        for (int x = 0; x < n; ++x) {
            const float dx = static_cast<float>(x) + 0.5f - cx;
            for (int y = 0; y < n; ++y) {
                const float dy = static_cast<float>(y) + 0.5f - cy;
                const float d2 = dx * dx + dy * dy;
                if (d2 > r2) {
                    // Space with a corona fading off the limb.
                    const float above = (std::sqrt(d2) - radius) / (nf * 0.35f);
                    const float glow = kit::clampf(1.0f - above, 0.0f, 1.0f);
                    kit::blendCell(c, x, y,
                                   kit::fromLevels(static_cast<int>(150.0f * glow * glow),
                                                   static_cast<int>(60.0f * glow * glow),
                                                   10 + static_cast<int>(20.0f * glow)),
                                   0.5f);
                    continue;
                }
                const float d = std::sqrt(d2) / radius;
                const float limb = 0.55f + 0.45f * std::sqrt(kit::clampf(1.0f - d * d * d * d, 0.0f, 1.0f));
                // Granulation: cells from two interfering sine sheets, the pattern boiling with time.
                const float fx = static_cast<float>(x) / s, fy = static_cast<float>(y) / s;
                const float g = fastSin(fx * 0.55f + 1.3f * fastSin(fy * 0.47f + t * 0.05f)) *
                                fastSin(fy * 0.6f + 1.2f * fastSin(fx * 0.43f - t * 0.04f));
                const float heat = kit::clampf(0.55f + 0.45f * g, 0.0f, 1.0f);
                kit::Rgb colour = kit::mix(kit::fromLevels(200, 70, 5), kit::fromLevels(255, 225, 90), heat);
                // Spots: two dark umbrae with penumbrae, drifting with the rotation.
                const float a = kit::angleOf(dx, dy) + rot;
                for (int k = 0; k < 2; ++k) {
                    const float sa = -kit::pi * 0.5f + (k == 0 ? -0.18f : 0.22f);
                    const float sr = radius * (k == 0 ? 0.9f : 0.82f);
                    const float da = (a - sa) * radius;
                    const float dr = std::sqrt(d2) - sr;
                    const float q = (da * da + dr * dr * 2.0f) / (s * s * (k == 0 ? 80.0f : 45.0f));
                    if (q < 1.0f) {
                        colour = q < 0.35f ? kit::fromLevels(60, 15, 5)
                                           : kit::mix(colour, kit::fromLevels(130, 45, 5), 0.7f);
                    }
                }
                kit::paint(c, x, y, kit::shade(colour, limb));
            }
        }

        // Prominences: loops of glowing gas rooted on the limb, their height breathing.
        for (int k = 0; k < loops; ++k) {
            const float rise = 0.5f + 0.5f * fastSin(phase_[k] + t * rate_[k]);
            const float a0 = -kit::pi * 0.5f + foot_[k] * 0.35f - span_[k] * 0.5f;
            const float a1 = a0 + span_[k];
            const float height = nf * (0.05f + 0.22f * rise);
            float lx = 0.0f, ly = 0.0f;
            for (int i = 0; i <= 24; ++i) {
                const float u = static_cast<float>(i) / 24.0f;
                const float a = kit::lerp(a0, a1, u);
                const float r = radius + height * fastSin(u * kit::pi) + 1.0f;
                const float px = cx + r * fastCos(a), py = cy + r * fastSin(a);
                if (i > 0) {
                    kit::drawThickLine(c, lx, ly, px, py, (1.8f + 1.2f * rise) * s,
                                       kit::fromLevels(255, 90 + static_cast<int>(80.0f * rise), 40),
                                       kit::Blend::max);
                }
                lx = px;
                ly = py;
            }
            // The feet stir the surface as the loop climbs.
            if ((time_ + k * 13) % 40 == 0) {
                for (int side = 0; side < 2; ++side) {
                    const float a = side ? a1 : a0;
                    kit::balancedPush(c, cx + radius * fastCos(a), cy + radius * fastSin(a), 5.0f * s,
                                      10.0f * rise);
                }
            }
        }
    }

  private:
    static constexpr int loops = 4;
    float foot_[loops] = {}, span_[loops] = {}, phase_[loops] = {}, rate_[loops] = {};
    int time_ = 0;
};

} // namespace

std::unique_ptr<Effect> makeSolar() {
    return std::make_unique<Solar>();
}

} // namespace glowfield
