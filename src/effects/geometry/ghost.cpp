// Ghost: a sheet ghost with a round head and a rippling hem floats through a moonlit graveyard. It is blended
// in at part strength so the night shows through it, and the night is only slowly restored behind it, so
// faint after-images trail where it has been.
#include <cmath>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Ghost : public Effect {
  public:
    void step(EffectContext& c) override {
        const float n = static_cast<float>(c.n);
        const float t = static_cast<float>(c.frame % 200000u) * 0.02f;
        const float horizon = n * 0.8f;

        kit::tameField(c, 200.0f, 0.0f);
        // The night: a sky gradient, a moon, a hill with gravestones; restored slowly so the ghost trails.
        const kit::Rgb top = kit::fromLevels(10, 14, 46), bottom = kit::fromLevels(40, 50, 92);
        const kit::Rgb ground = kit::fromLevels(8, 12, 10);
        for (int x = 0; x < c.n; ++x) {
            const float fx = static_cast<float>(x);
            const float hill = horizon + 6.0f * fastSin(fx * 0.03f + 1.0f) + 3.0f * fastSin(fx * 0.081f);
            for (int y = 0; y < c.n; ++y) {
                const float fy = static_cast<float>(y);
                const kit::Rgb night = fy > hill ? ground : kit::mix(top, bottom, fy / n);
                const int cell = cellAt(x, y);
                c.planes.red[cell] += (night.r - c.planes.red[cell]) * 0.09f;
                c.planes.green[cell] += (night.g - c.planes.green[cell]) * 0.09f;
                c.planes.blue[cell] += (night.b - c.planes.blue[cell]) * 0.09f;
            }
        }
        kit::softDisc(c, n * 0.8f, n * 0.18f, n * 0.17f, kit::Rgb{40.0f, 40.0f, 28.0f}, 0.5f,
                      kit::Blend::add);
        kit::fillDisc(c, n * 0.8f, n * 0.18f, n * 0.075f, kit::fromLevels(240, 236, 200));
        for (int k = 0; k < 5; ++k) {
            const float gx = n * (0.1f + 0.2f * static_cast<float>(k)) + 4.0f * static_cast<float>(k % 2);
            const float gy = horizon - 2.0f + 3.0f * static_cast<float>(k % 3);
            const float w = n * (0.035f + 0.01f * static_cast<float>(k % 2));
            kit::fillRect(c, gx - w, gy - w * 1.4f, gx + w, gy + n, kit::fromLevels(70, 72, 80));
            kit::fillDisc(c, gx, gy - w * 1.4f, w, kit::fromLevels(70, 72, 80));
            kit::fillRect(c, gx - w * 0.15f, gy - w * 1.6f, gx + w * 0.15f, gy - w * 0.3f,
                          kit::fromLevels(40, 42, 50));
        }

        // The ghost: a slow wandering path with a bob, leaning into its motion.
        const float gx = n * 0.5f + n * 0.3f * fastSin(t * 0.37f) + n * 0.05f * fastSin(t * 1.1f);
        const float gy = n * 0.42f + n * 0.14f * fastSin(t * 0.53f + 1.0f) + n * 0.03f * fastSin(t * 2.3f);
        const float lean = 0.35f * fastCos(t * 0.37f);
        const float r = n * 0.1f;
        const kit::Rgb sheet = kit::fromLevels(236, 240, 255);
        const int x0 = kit::clampCell(c, kit::toCell(gx - 2.0f * r)),
                  x1 = kit::clampCell(c, kit::toCell(gx + 2.0f * r));
        const int y0 = kit::clampCell(c, kit::toCell(gy - 1.2f * r)),
                  y1 = kit::clampCell(c, kit::toCell(gy + 2.6f * r));
        for (int x = x0; x <= x1; ++x) {
            for (int y = y0; y <= y1; ++y) {
                const float dy = static_cast<float>(y) - gy;
                const float dx = static_cast<float>(x) - gx + lean * (dy > 0.0f ? dy : 0.0f);
                // Signed distance-like measure: head circle, then a body that flares a little to the hem.
                float inside = 0.0f;
                if (dy <= 0.0f) {
                    inside = r - std::sqrt(dx * dx + dy * dy);
                } else {
                    const float halfWidth = r * (1.0f + 0.25f * dy / (2.0f * r));
                    const float hem = 2.0f * r + 0.22f * r * fastSin(dx * 0.45f + t * 5.0f);
                    const float side = halfWidth - absf(dx);
                    const float bottom = hem - dy;
                    inside = side < bottom ? side : bottom;
                }
                if (inside <= -1.0f) {
                    continue;
                }
                const float edge = kit::clampf(inside + 0.5f, 0.0f, 1.0f);
                // Folds: faint vertical shading on the sheet.
                const float fold = 0.85f + 0.15f * fastSin(dx * 0.35f + dy * 0.05f);
                kit::blendCell(c, x, y, kit::shade(sheet, fold), 0.55f * edge);
            }
        }
        // Eyes and an open mouth, dark holes that stay dark.
        const kit::Rgb hole = kit::fromLevels(6, 6, 20);
        const float eyeY = gy - r * 0.15f;
        const float blink = (c.frame % 170u) < 5u ? 0.25f : 1.0f;
        for (int side = -1; side <= 1; side += 2) {
            const float ex = gx + static_cast<float>(side) * r * 0.38f + lean * 2.0f;
            for (float k = -1.0f; k <= 1.0f; k += 0.25f) {
                kit::fillDisc(c, ex, eyeY + k * r * 0.22f * blink, r * 0.17f, hole);
            }
        }
        const float mouth = r * (0.16f + 0.06f * fastSin(t * 1.7f));
        kit::fillDisc(c, gx + lean * 4.0f, gy + r * 0.55f, mouth, hole);
    }
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Ghost);

} // namespace glowfield
