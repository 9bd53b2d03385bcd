// Throb: a beating heart. A red heart at the centre beats lub-dub, and on each beat the whole picture zooms
// out from the centre by a few percent and back, read from a copy with bilinear sampling, so the picture
// itself pumps; each beat sends out a ripple.
#include "effects/kit/kit.h"
#include "effects/warps/cell_ops.h"
#include "effects/warps/colour_image.h"

namespace glowfield {

namespace {

// The heart's swell at a frame of its 50-frame beat: a strong lub, a smaller dub, then rest.
float swell(int frame) {
    const int f = frame % 50;
    const float lub = f < 8 ? fastSin(f * kit::pi / 8.0f) : 0.0f;
    const float dub = (f >= 10 && f < 16) ? 0.6f * fastSin((f - 10) * kit::pi / 6.0f) : 0.0f;
    return lub + dub;
}

class Throb : public Effect {
  public:
    void start(EffectContext& c) override { kit::tameField(c); }

    void step(EffectContext& c) override {
        ++age_;
        const float now = swell(age_), before = swell(age_ - 1);
        const float h = (static_cast<float>(c.n) - 1.0f) * 0.5f;
        // The zoom between the last frame and this one: out on the swell, back as it eases.
        const float ratio = (1.0f + 0.05f * now) / (1.0f + 0.05f * before);
        const float inverse = 1.0f / ratio;
        // Between beats the heart rests and the picture stays where it is.
        if (ratio != 1.0f) {
            image_.capture(c);
            for (int x = 0; x < c.n; ++x) {
                const float sx = h + (x - h) * inverse;
                for (int y = 0; y < c.n; ++y) {
                    fx::put(c, x, y, image_.sample(sx, h + (y - h) * inverse));
                }
            }
        }
        kit::scaleVelocities(c, 0.93f);
        kit::pullColours(c, kit::fromLevels(40, 5, 15), 0.03f);
        if (age_ % 50 == 1) {
            kit::balancedPush(c, h, h, 10.0f, 25.0f, kit::red);
        }
        // The heart: (x^2 + y^2 - 1)^3 - x^2 y^3 <= 0, shaded from a highlight at the upper left.
        const float size = static_cast<float>(c.n) * (0.16f + 0.025f * now);
        const kit::Rgb deep = kit::fromLevels(150, 0, 20), bright = kit::fromLevels(255, 90, 110);
        const int x0 = kit::clampCell(c, kit::toCell(h - size * 1.4f)),
                  x1 = kit::clampCell(c, kit::toCell(h + size * 1.4f));
        const int y0 = kit::clampCell(c, kit::toCell(h - size * 1.4f)),
                  y1 = kit::clampCell(c, kit::toCell(h + size * 1.4f));
        for (int x = x0; x <= x1; ++x) {
            for (int y = y0; y <= y1; ++y) {
                const float u = (x - h) / size, v = -(y - h) / size + 0.2f;
                const float q = u * u + v * v - 1.0f;
                const float f = q * q * q - u * u * v * v * v;
                if (f > 0.0f) {
                    continue;
                }
                const float hl = kit::clampf(
                    1.0f - ((u + 0.45f) * (u + 0.45f) + (v - 0.45f) * (v - 0.45f)) * 1.6f, 0.0f, 1.0f);
                kit::Rgb col = fx::mix(deep, bright, 0.35f + 0.4f * now);
                col = fx::mix(col, kit::fromLevels(255, 220, 225), hl * hl * 0.8f);
                // A darker band just inside the outline.
                col = f > -0.06f ? fx::shade(col, 0.55f) : col;
                fx::put(c, x, y, col);
            }
        }
    }

  private:
    int age_ = 0;
    warps::ColourImage image_;
};

} // namespace

std::unique_ptr<Effect> makeThrob() {
    return std::make_unique<Throb>();
}

} // namespace glowfield
