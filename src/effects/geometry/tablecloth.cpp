// Tablecloth: red-and-white gingham flapping in a breeze. Each cell's weave coordinates are pushed about by
// two crossed travelling waves; the checks are looked up there with a soft edge, and the slope of the cloth
// shades it so the folds read as creases and bulges. Gusts rise and fall.
#include "effects/geometry/solid_cell.h"
#include "effects/kit/kit.h"

namespace glowfield {

namespace {

// Coverage (0..1) of the coloured half of a stripe of period p at weave coordinate u, soft over one cell.
float stripe(float u, float p) {
    const float q = u / p;
    const float f = q - static_cast<float>(kit::toCell(q));
    const float inside = f < 0.5f ? (f < 0.25f ? f : 0.5f - f) : -(f < 0.75f ? f - 0.5f : 1.0f - f);
    return kit::clampf(inside * p + 0.5f, 0.0f, 1.0f);
}

class Tablecloth : public Effect {
  public:
    void step(EffectContext& c) override {
        const float t = static_cast<float>(c.frame % 200000u) * 0.02f;
        const float gust = 4.5f + 3.0f * fastSin(t * 0.21f) + 1.2f * fastSin(t * 0.53f + 1.0f);
        const float period = static_cast<float>(c.n) / 9.0f;
        const kit::Rgb red = kit::fromLevels(200, 24, 36);
        const kit::Rgb white = kit::fromLevels(250, 246, 238);
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                const float fx = static_cast<float>(x), fy = static_cast<float>(y);
                // Height of the cloth: a long wave running along the breeze and a shorter one across it.
                const float a1 = 0.045f * fx + 0.025f * fy - 2.1f * t;
                const float a2 = 0.07f * fy - 0.03f * fx - 1.3f * t;
                const float h = gust * fastSin(a1) + 0.55f * gust * fastSin(a2);
                const float dhdx = gust * (0.045f * fastCos(a1) - 0.55f * 0.03f * fastCos(a2));
                const float dhdy = gust * (0.025f * fastCos(a1) + 0.55f * 0.07f * fastCos(a2));
                // The weave is dragged by the height; the light comes from the upper left.
                const float u = fx + 0.9f * h;
                const float v = fy + 0.6f * h;
                const float redness = 0.5f * (stripe(u, period) + stripe(v, period));
                kit::Rgb colour = kit::mix(white, red, redness);
                const float thread = ((kit::toCell(u) + kit::toCell(v)) & 1) ? 0.96f : 1.0f;
                const float light = kit::clampf(0.82f - 1.1f * (dhdx + 0.8f * dhdy), 0.35f, 1.12f) * thread;
                colour = kit::shade(colour, light > 1.0f ? 1.0f : light);
                if (light > 1.0f) {
                    colour = kit::mix(colour, kit::white, (light - 1.0f) * 2.0f);
                }
                paintSolid(c, x, y, colour);
            }
        }
    }
};

} // namespace

std::unique_ptr<Effect> makeTablecloth() {
    return std::make_unique<Tablecloth>();
}

} // namespace glowfield
