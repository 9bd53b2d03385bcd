// Velour: crushed velvet. A slowly shifting fold height (a few sums of waves, with a fine crushed texture on
// top) is lit per cell by a wandering light; velvet shines where its pile meets the light at a grazing angle,
// so the sheen runs along the folds, and the deep jewel colour shifts hue where the pile faces away.
#include <cmath>

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
        for (int x = 0; x < c.n; ++x) {
            const float fx = static_cast<float>(x);
            for (int y = 0; y < c.n; ++y) {
                const float fy = static_cast<float>(y);
                // Slope of the fold height: large soft folds plus the fine crush of the pile.
                const float a1 = fx * 0.045f + fy * 0.02f + t * 0.11f;
                const float a2 = fy * 0.05f - fx * 0.017f - t * 0.08f;
                const float a3 = (fx + fy) * 0.03f + 1.5f * fastSin(fy * 0.04f - t * 0.05f);
                const float a4 = fx * 0.21f + 2.0f * fastSin(fy * 0.13f + fx * 0.05f);
                const float gx0 = 0.045f * fastCos(a1) * 9.0f - 0.017f * fastCos(a2) * 7.0f +
                                  0.03f * fastCos(a3) * 8.0f + 0.21f * fastCos(a4) * 0.6f;
                const float gy0 =
                    0.02f * fastCos(a1) * 9.0f + 0.05f * fastCos(a2) * 7.0f + 0.03f * fastCos(a3) * 8.0f;
                const float gx = gx0 * 1.8f, gy = gy0 * 1.8f;
                // Normal of the surface, then how squarely the light meets it.
                const float norm = 1.0f / std::sqrt(gx * gx + gy * gy + 1.0f);
                const float facing = kit::clampf((-gx * lx - gy * ly + lz) * norm, 0.0f, 1.0f);
                // Crushed pile: the nap lies in patches of different direction; where it points towards the
                // light the cloth looks pale, where it points away, deep.
                const float nap = 2.5f * fastSin(fx * 0.06f + 1.7f * fastSin(fy * 0.05f + t * 0.02f)) +
                                  2.0f * fastSin(fy * 0.11f - fx * 0.04f);
                const float crush = 0.5f + 0.5f * fastCos(nap - lightA);
                const float graze = 1.0f - facing;
                const float shine = graze * graze * (0.4f + 0.6f * crush);
                const float fibre = 0.97f + 0.03f * fastSin(fx * 1.7f) * fastSin(fy * 2.3f + fx);
                kit::Rgb colour = kit::mix(turned, deep, crush);
                colour = kit::shade(colour, (0.4f + 0.6f * facing) * fibre);
                colour = kit::mix(colour, sheen, shine * 0.75f);
                paintSolid(c, x, y, colour);
            }
        }
    }
};

} // namespace

std::unique_ptr<Effect> makeVelour() {
    return std::make_unique<Velour>();
}

} // namespace glowfield
