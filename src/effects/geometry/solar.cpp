// Solar: the sun close up. The limb of a huge disc fills the lower screen with boiling orange-and-yellow
// granulation and drifting dark spots; glowing prominence loops rise and fall from its edge into black space,
// and where a loop's foot lands the surface ripples.
#include <cmath>
#include <vector>

#include "effects/geometry/plane_columns.h"
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
        limbTable(c);
    }

    void step(EffectContext& c) override {
        if (limb_.size() != static_cast<size_t>(c.n) * static_cast<size_t>(c.n)) {
            limbTable(c); // the grid changed size under us
        }
        const int n = c.n;
        const float nf = static_cast<float>(n);
        const float s = nf / 200.0f;
        ++time_;
        const float t = static_cast<float>(time_);
        kit::scaleVelocities(c, 0.9f);
        const float cx = nf * 0.5f, cy = nf * 1.55f, radius = nf * 1.15f;
        const float r2 = radius * radius;
        const float rot = t * 0.0006f; // the surface turns slowly under its spots

        // Granulation from two interfering sine sheets, each factor split by the angle-sum rule into per-row
        // and per-column tables, so the per-cell work is a few products.
        for (int i = 0; i < n; ++i) {
            const float f = static_cast<float>(i) / s;
            const float p = 1.3f * fastSin(f * 0.47f + t * 0.05f), q = 1.2f * fastSin(f * 0.43f - t * 0.04f);
            sinA_[i] = fastSin(f * 0.55f);
            cosA_[i] = fastCos(f * 0.55f);
            sinP_[i] = fastSin(p);
            cosP_[i] = fastCos(p);
            sinB_[i] = fastSin(f * 0.6f);
            cosB_[i] = fastCos(f * 0.6f);
            sinQ_[i] = fastSin(q);
            cosQ_[i] = fastCos(q);
        }
        // Two spots drifting with the rotation: centre and the local radial direction of each.
        float spotX[2], spotY[2], radX[2], radY[2], spotSize[2];
        for (int k = 0; k < 2; ++k) {
            const float a = -kit::pi * 0.5f + (k == 0 ? -0.18f : 0.22f) - rot;
            const float sr = radius * (k == 0 ? 0.9f : 0.82f);
            radX[k] = fastCos(a);
            radY[k] = fastSin(a);
            spotX[k] = cx + sr * radX[k];
            spotY[k] = cy + sr * radY[k];
            spotSize[k] = s * s * (k == 0 ? 80.0f : 45.0f);
        }
        const kit::Rgb cool = kit::fromLevels(200, 70, 5), hot = kit::fromLevels(255, 225, 90);
        for (int x = 0; x < n; ++x) {
            const columns::Column col = columns::column(c, x);
            const float dx = static_cast<float>(x) + 0.5f - cx;
            for (int y = 0; y < n; ++y) {
                const float dy = static_cast<float>(y) + 0.5f - cy;
                const float d2 = dx * dx + dy * dy;
                const float shadeK = limb_[static_cast<size_t>(x * n + y)];
                if (d2 > r2) {
                    // Space with a corona fading off the limb.
                    const float glow = shadeK;
                    const float g2 = glow * glow;
                    col.blend(y, {150.0f * g2 - 127.0f, 60.0f * g2 - 127.0f, 20.0f * glow - 117.0f}, 0.5f);
                    continue;
                }
                const float limb = shadeK;
                const float g =
                    (sinA_[x] * cosP_[y] + cosA_[x] * sinP_[y]) * (sinB_[y] * cosQ_[x] + cosB_[y] * sinQ_[x]);
                const float heat = kit::clampf(0.55f + 0.45f * g, 0.0f, 1.0f);
                kit::Rgb colour = columns::mix(cool, hot, heat);
                for (int k = 0; k < 2; ++k) {
                    const float ex = static_cast<float>(x) - spotX[k], ey = static_cast<float>(y) - spotY[k];
                    const float radial = ex * radX[k] + ey * radY[k], along = ey * radX[k] - ex * radY[k];
                    const float q = (along * along + radial * radial * 2.0f) / spotSize[k];
                    if (q < 1.0f) {
                        colour = q < 0.35f ? kit::fromLevels(60, 15, 5)
                                           : columns::mix(colour, kit::fromLevels(130, 45, 5), 0.7f);
                    }
                }
                col.set(y, columns::shade(colour, limb));
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

    // Per cell, fixed while the grid keeps its size: on the disc the limb darkening, off it the corona's
    // glow.
    void limbTable(const EffectContext& c) {
        const int n = c.n;
        const float nf = static_cast<float>(n);
        const float cx = nf * 0.5f, cy = nf * 1.55f, radius = nf * 1.15f;
        limb_.assign(static_cast<size_t>(n) * static_cast<size_t>(n), 0.0f);
        for (int x = 0; x < n; ++x) {
            for (int y = 0; y < n; ++y) {
                const float dx = static_cast<float>(x) + 0.5f - cx, dy = static_cast<float>(y) + 0.5f - cy;
                const float d2 = dx * dx + dy * dy;
                const float dd = d2 / (radius * radius);
                limb_[static_cast<size_t>(x * n + y)] =
                    dd > 1.0f ? kit::clampf(1.0f - (std::sqrt(d2) - radius) / (nf * 0.35f), 0.0f, 1.0f)
                              : 0.55f + 0.45f * std::sqrt(kit::clampf(1.0f - dd * dd, 0.0f, 1.0f));
            }
        }
    }

    std::vector<float> limb_;
    float foot_[loops] = {}, span_[loops] = {}, phase_[loops] = {}, rate_[loops] = {};
    float sinA_[planeStride] = {}, cosA_[planeStride] = {}, sinP_[planeStride] = {}, cosP_[planeStride] = {};
    float sinB_[planeStride] = {}, cosB_[planeStride] = {}, sinQ_[planeStride] = {}, cosQ_[planeStride] = {};
    int time_ = 0;
};

} // namespace

std::unique_ptr<Effect> makeSolar() {
    return std::make_unique<Solar>();
}

} // namespace glowfield
