// Solar: the sun close up. The limb of a huge disc fills the lower screen with boiling orange-and-yellow
// granulation and drifting dark spots; glowing prominence loops rise and fall from its edge into black space,
// and where a loop's foot lands the surface ripples.
#include <cmath>
#include <vector>

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
        limbTable(c);
    }

    void step(EffectContext& c) override {
        const int n = c.n;
        const float nf = static_cast<float>(n);
        const float s = c.scale;
        const int time = static_cast<int>(c.framesSinceStart) + 1;
        const float t = static_cast<float>(time);
        kit::scaleVelocities(c, 0.9f);
        const float cx = nf * 0.5f, cy = nf * 1.55f, radius = nf * 1.15f;
        const float r2 = radius * radius;
        const float rot = t * 0.0006f; // the surface turns slowly under its spots

        // Granulation: three sine sheets 120 degrees apart make a honeycomb of bright cells with dark lanes,
        // each sheet bent by a slow wobble so the cells boil. Every sheet is split by the angle-sum rule into
        // a per-column and a per-row part, so the per-cell work is a few products.
        const float k = 0.42f / s, kx = k * 0.5f, ky = k * 0.8660254f;
        for (int i = 0; i < n; ++i) {
            const float f = static_cast<float>(i);
            const float fs = f / s;
            const float x1 = k * f, y1 = 2.6f * fastSin(fs * 0.071f + t * 0.04f) + t * 0.03f;
            const float x2 = -kx * f + 2.3f * fastSin(fs * 0.063f - t * 0.035f), y2 = ky * f + t * 0.025f;
            const float x3 = -kx * f, y3 = -ky * f + t * 0.02f + 2.4f * fastSin(fs * 0.083f + t * 0.03f);
            sheetX_[0][i] = fastSin(x1);
            sheetX_[1][i] = fastCos(x1);
            sheetY_[0][i] = fastSin(y1);
            sheetY_[1][i] = fastCos(y1);
            sheetX_[2][i] = fastSin(x2);
            sheetX_[3][i] = fastCos(x2);
            sheetY_[2][i] = fastSin(y2);
            sheetY_[3][i] = fastCos(y2);
            sheetX_[4][i] = fastSin(x3);
            sheetX_[5][i] = fastCos(x3);
            sheetY_[4][i] = fastSin(y3);
            sheetY_[5][i] = fastCos(y3);
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
            const kit::Column col = kit::column(c, x);
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
                float g = 0.0f;
                for (int sheet = 0; sheet < 6; sheet += 2) {
                    g +=
                        sheetX_[sheet][x] * sheetY_[sheet + 1][y] + sheetX_[sheet + 1][x] * sheetY_[sheet][y];
                }
                const float heat = kit::clampf(0.35f + 0.38f * g, 0.0f, 1.0f);
                kit::Rgb colour = kit::mix(cool, hot, heat);
                for (int k = 0; k < 2; ++k) {
                    const float ex = static_cast<float>(x) - spotX[k], ey = static_cast<float>(y) - spotY[k];
                    const float radial = ex * radX[k] + ey * radY[k], along = ey * radX[k] - ex * radY[k];
                    const float q = (along * along + radial * radial * 2.0f) / spotSize[k];
                    if (q < 1.0f) {
                        colour = q < 0.35f ? kit::fromLevels(60, 15, 5)
                                           : kit::mix(colour, kit::fromLevels(130, 45, 5), 0.7f);
                    }
                }
                col.set(y, kit::shade(colour, limb));
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
                                       kit::fromLevels(255, 90 + truncToInt(80.0f * rise), 40),
                                       kit::Blend::max);
                }
                lx = px;
                ly = py;
            }
            // The feet stir the surface as the loop climbs.
            if ((time + k * 13) % 40 == 0) {
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
    float sheetX_[6][planeStride] = {}, sheetY_[6][planeStride] = {};
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Solar);

} // namespace glowfield
