// Tablecloth: red-and-white gingham flapping in a breeze. Each cell's weave coordinates are pushed about by
// two crossed travelling waves; the checks are looked up there with a soft edge, and the slope of the cloth
// shades it so the folds read as creases and bulges. Gusts rise and fall.
#include "effects/kit/kit.h"

namespace glowfield {

namespace {

// q rounded down to a whole number, in float arithmetic only (exact for |q| < 2^22, which weave coordinates
// never approach), so the per-cell loop has no conversions or branches and can be vectorised.
inline float floorSmall(float q) {
    const float rounded = (q + 12582912.0f) - 12582912.0f;
    return rounded > q ? rounded - 1.0f : rounded;
}

// Coverage (0..1) of the coloured half of a stripe of period p at weave coordinate u, soft over one cell.
// f runs over -0.25..0.75 of a period with the coloured half at 0..0.5, and 0.25 - |f - 0.25| is the signed
// distance to its nearest edge.
inline float stripe(float u, float inversePeriod, float period) {
    const float q = u * inversePeriod;
    const float f = q - floorSmall(q + 0.25f);
    const float inside = 0.25f - absf(f - 0.25f);
    return kit::clampf(inside * period + 0.5f, 0.0f, 1.0f);
}

class Tablecloth : public Effect {
  public:
    void step(EffectContext& c) override {
        const float t = static_cast<float>(c.frame % 200000u) * 0.02f;
        const float gust = 4.5f + 3.0f * fastSin(t * 0.21f) + 1.2f * fastSin(t * 0.53f + 1.0f);
        const float period = static_cast<float>(c.n) / 9.0f, inverse = 1.0f / period;
        const kit::Rgb red = kit::fromLevels(200, 24, 36);
        const kit::Rgb white = kit::fromLevels(250, 246, 238);
        // Height of the cloth: a long wave running along the breeze (a1) and a shorter one across it (a2),
        // each split into its column and row parts.
        x1_.fill(c.n, 0.045f, -2.1f * t);
        y1_.fill(c.n, 0.025f, 0.0f);
        x2_.fill(c.n, -0.03f, -1.3f * t);
        y2_.fill(c.n, 0.07f, 0.0f);
        kit::scaleVelocities(c, 0.0f); // the cloth is repainted whole: no ripples of its own
        for (int x = 0; x < c.n; ++x) {
            const size_t i = static_cast<size_t>(x);
            const float fx = static_cast<float>(x);
            for (int y = 0; y < c.n; ++y) {
                const size_t j = static_cast<size_t>(y);
                const float fy = static_cast<float>(y);
                const float s1 = kit::sinSum(x1_, i, y1_, j), c1 = kit::cosSum(x1_, i, y1_, j);
                const float s2 = kit::sinSum(x2_, i, y2_, j), c2 = kit::cosSum(x2_, i, y2_, j);
                const float h = gust * (s1 + 0.55f * s2);
                const float dhdx = gust * (0.045f * c1 - 0.55f * 0.03f * c2);
                const float dhdy = gust * (0.025f * c1 + 0.55f * 0.07f * c2);
                // The weave is dragged by the height; the light comes from the upper left.
                const float u = fx + 0.9f * h;
                const float v = fy + 0.6f * h;
                const float redness = 0.5f * (stripe(u, inverse, period) + stripe(v, inverse, period));
                kit::Rgb colour = kit::mix(white, red, redness);
                const float light = kit::clampf(0.82f - 1.1f * (dhdx + 0.8f * dhdy), 0.35f, 1.12f);
                colour = kit::shade(colour, light > 1.0f ? 1.0f : light);
                colour = kit::mix(colour, kit::white, light > 1.0f ? (light - 1.0f) * 2.0f : 0.0f);
                const int cell = cellAt(x, y);
                c.planes.red[cell] = colour.r;
                c.planes.green[cell] = colour.g;
                c.planes.blue[cell] = colour.b;
            }
        }
    }

  private:
    kit::AxisWave x1_, y1_, x2_, y2_;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Tablecloth);

} // namespace glowfield
