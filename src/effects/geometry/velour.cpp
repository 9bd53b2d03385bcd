// Velour: crushed velvet. A slowly shifting fold height (a few sums of waves, with a fine crushed texture on
// top) is lit per cell by a wandering light; velvet shines where its pile meets the light at a grazing angle,
// so the sheen runs along the folds, and the deep jewel colour shifts hue where the pile faces away.
#include <cmath>
#include <vector>

#include "effects/geometry/fast_shading.h"
#include "effects/geometry/solid_cell.h"
#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Velour : public Effect {
  public:
    void step(EffectContext& c) override {
        const float t = static_cast<float>(c.frame % 400000u) * 0.02f;
        const float lightA = t * 0.23f;
        const float lx = fastCos(lightA) * 0.8f, ly = fastSin(lightA) * 0.8f, lz = 0.6f;
        const float hue = 0.78f + 0.12f * fastSin(t * 0.05f); // plum to wine to sapphire
        const kit::Rgb deep = kit::hsv(hue, 0.9f, 0.5f);
        const kit::Rgb turned = kit::hsv(hue + 0.12f, 0.85f, 0.32f);
        const kit::Rgb sheen = kit::hsv(hue - 0.05f, 0.45f, 1.0f);
        // Every wave here splits into a column part and a row part (see fast_shading.h).
        const size_t count = static_cast<size_t>(c.n);
        x1_.fill(c.n, 0.045f, t * 0.11f);
        y1_.fill(c.n, 0.02f, 0.0f);
        x2_.fill(c.n, -0.017f, -t * 0.08f);
        y2_.fill(c.n, 0.05f, 0.0f);
        x3_.fill(c.n, 0.03f, 0.0f);
        x4_.fill(c.n, 0.21f, 0.0f);
        napX1_.fill(c.n, 0.06f, -lightA);
        napX2_.fill(c.n, -0.04f, 0.0f);
        phases_.resize(count);
        for (size_t j = 0; j < count; ++j) {
            phases_[j] =
                0.03f * static_cast<float>(j) + 1.5f * fastSin(static_cast<float>(j) * 0.04f - t * 0.05f);
        }
        y3_.fillPhases(phases_);
        for (size_t j = 0; j < count; ++j) {
            phases_[j] = 2.0f * fastSin(static_cast<float>(j) * 0.13f);
        }
        y4_.fillPhases(phases_);
        for (size_t j = 0; j < count; ++j) {
            phases_[j] = 1.7f * fastSin(static_cast<float>(j) * 0.05f + t * 0.02f);
        }
        napY1_.fillPhases(phases_);
        napY2_.fill(c.n, 0.11f, 0.0f);
        for (int x = 0; x < c.n; ++x) {
            const size_t i = static_cast<size_t>(x);
            for (int y = 0; y < c.n; ++y) {
                const size_t j = static_cast<size_t>(y);
                // Slope of the fold height: large soft folds plus the fine crush of the pile.
                const float c1 = shading::cosSum(x1_, i, y1_, j), c2 = shading::cosSum(x2_, i, y2_, j);
                const float c3 = shading::cosSum(x3_, i, y3_, j), c4 = shading::cosSum(x4_, i, y4_, j);
                const float gx = 1.8f * (0.405f * c1 - 0.119f * c2 + 0.24f * c3 + 0.126f * c4);
                const float gy = 1.8f * (0.18f * c1 + 0.35f * c2 + 0.24f * c3);
                // Normal of the surface, then how squarely the light meets it.
                const float norm = 1.0f / std::sqrt(gx * gx + gy * gy + 1.0f);
                const float facing = kit::clampf((-gx * lx - gy * ly + lz) * norm, 0.0f, 1.0f);
                // Crushed pile: the nap lies in patches of different direction; where it points towards the
                // light the cloth looks pale, where it points away, deep. cos(nap - light) with the nap's
                // two waves taken as one blend of their cosines keeps this to a multiply-add.
                const float crush = 0.5f + 0.25f * shading::cosSum(napX1_, i, napY1_, j) +
                                    0.25f * shading::sinSum(napX2_, i, napY2_, j);
                const float graze = 1.0f - facing;
                const float shine = graze * graze * (0.4f + 0.6f * crush);
                kit::Rgb colour = shading::mix(turned, deep, crush);
                colour = shading::shade(colour, 0.4f + 0.6f * facing);
                colour = shading::mix(colour, sheen, shine * 0.75f);
                paintSolid(c, x, y, colour);
            }
        }
    }

  private:
    shading::AxisWave x1_, y1_, x2_, y2_, x3_, y3_, x4_, y4_, napX1_, napY1_, napX2_, napY2_;
    std::vector<float> phases_;
};

} // namespace

std::unique_ptr<Effect> makeVelour() {
    return std::make_unique<Velour>();
}

} // namespace glowfield
