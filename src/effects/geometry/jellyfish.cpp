// Jellyfish: three translucent jellyfish pulse upwards through deep water. Each bell contracts to push
// itself up and relaxes to sink, trailing swaying tentacles; their pinks and blues add over a blue fade.
#include <cmath>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Jellyfish : public Effect {
  public:
    void start(EffectContext& c) override {
        // Leftovers of an earlier entry are brought into range once, so blends never carry NaN along.
        kit::tameField(c);
        const float n = static_cast<float>(c.n);
        for (int i = 0; i < 3; ++i) {
            Jelly& j = jellies_[i];
            j.x = n * (0.2f + 0.3f * i) + (c.randomUnit() - 0.5f) * 10.0f;
            j.y = n * (0.3f + c.randomUnit() * 0.5f);
            j.size = 14.0f + c.randomUnit() * 8.0f;
            j.phase = c.randomUnit() * kit::twoPi;
            j.rate = 0.06f + c.randomUnit() * 0.03f;
            j.colour = i == 1 ? kit::fromLevels(120, 170, 255) : kit::fromLevels(255, 130, 200);
        }
    }

    void step(EffectContext& c) override {
        const float n = static_cast<float>(c.n);
        const float t = static_cast<float>(c.frame % 100000u);
        kit::scaleVelocities(c, 0.5f);
        kit::pullColours(c, kit::fromLevels(4, 18, 50), 0.3f);
        // Drifting motes of light in the water.
        for (int i = 0; i < 40; ++i) {
            const float mx = kit::wrap(i * 53 + kit::toCell(t * 0.1f), c.n);
            const float my = static_cast<float>(kit::wrap(i * 97 - kit::toCell(t * 0.2f * (1 + i % 3)), c.n));
            kit::paint(c, kit::toCell(mx), kit::toCell(my), kit::fromLevels(70, 110, 150), kit::Blend::max);
        }
        const bool heard = c.sound.heard();
        for (Jelly& j : jellies_) {
            if (heard) {
                // With music the bells swim harder as it grows louder, and a bell at rest squeezes on a beat.
                j.phase += j.rate * (1.0f + 1.2f * c.sound.level);
                if (c.sound.beat && fastSin(j.phase) <= 0.0f) {
                    j.phase = kit::twoPi * static_cast<float>(kit::toCell(j.phase / kit::twoPi) + 1);
                }
            } else {
                j.phase += j.rate;
            }
            // Contraction 0..1: a quick squeeze then a slow release.
            const float s = fastSin(j.phase);
            const float squeeze = s > 0.0f ? s * s : 0.0f;
            j.y += -1.1f * squeeze + 0.25f;
            j.x += 0.2f * fastSin(j.phase * 0.13f);
            if (j.y < -j.size * 3.0f || !(j.y < n + j.size * 3.0f)) {
                j.y = n + j.size * 1.5f;
            }
            j.x = kit::clampf(j.x, 10.0f, n - 10.0f);
            const float w = j.size * (1.0f - 0.28f * squeeze), h = j.size * (0.75f + 0.3f * squeeze);
            // Tentacles first, so the bell lies over them.
            for (int k = 0; k < 7; ++k) {
                const float base = (k / 6.0f - 0.5f) * 1.6f * w;
                float px = j.x + base, py = j.y;
                for (int seg = 1; seg <= 10; ++seg) {
                    const float qx = j.x + base * (1.0f - seg * 0.04f) +
                                     2.5f * fastSin(seg * 0.6f - t * 0.12f + k) * (seg / 10.0f);
                    const float qy = j.y + seg * j.size * 0.28f * (1.0f - 0.3f * squeeze);
                    kit::drawLine(c, px, py, qx, qy, light(j.colour, 0.22f * (1.0f - seg / 12.0f)),
                                  kit::Blend::add);
                    px = qx;
                    py = qy;
                }
            }
            // Oral arms: two frilled ribbons under the centre.
            for (int k = -1; k <= 1; k += 2) {
                for (int seg = 0; seg < 8; ++seg) {
                    const float ax = j.x + k * 2.0f + 3.0f * fastSin(seg * 0.8f - t * 0.08f + k);
                    kit::fillDisc(c, ax, j.y + 2.0f + seg * 2.2f, 1.4f, light(j.colour, 0.18f),
                                  kit::Blend::add);
                }
            }
            // The bell: a dome, brighter at its rim, with faint radial canals.
            const int x0 = kit::clampCell(c, kit::toCell(j.x - w - 2.0f)),
                      x1 = kit::clampCell(c, kit::toCell(j.x + w + 2.0f));
            const int y0 = kit::clampCell(c, kit::toCell(j.y - h - 2.0f)),
                      y1 = kit::clampCell(c, kit::toCell(j.y + 2.0f));
            for (int x = x0; x <= x1; ++x) {
                for (int y = y0; y <= y1; ++y) {
                    const float u = (x - j.x) / w, v = (y - j.y) / h;
                    const float d = u * u + v * v;
                    if (d > 1.0f || v > 0.15f) {
                        continue;
                    }
                    const float rim = d > 0.75f ? 0.55f : 0.0f;
                    const float canal = 0.5f + 0.5f * fastSin(kit::angleOf(u, v) * 12.0f);
                    const float k = 0.22f + 0.2f * d + rim + 0.1f * canal * d;
                    kit::paint(c, x, y, light(j.colour, k), kit::Blend::add);
                }
            }
        }
    }

  private:
    static kit::Rgb light(kit::Rgb col, float k) {
        return {(col.r + 127.0f) * k, (col.g + 127.0f) * k, (col.b + 127.0f) * k};
    }

    struct Jelly {
        float x, y, size, phase, rate;
        kit::Rgb colour;
    };
    Jelly jellies_[3]{};
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Jellyfish);

} // namespace glowfield
