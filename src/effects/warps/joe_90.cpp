// Joe-90: quarter-turn feedback. Each frame the field is mixed half and half with a copy of itself turned
// ninety degrees about the centre, so whatever is drawn settles into four-fold patterns; a wandering coloured
// bar keeps feeding in new structure for the feedback to fold.
#include "effects/kit/kit.h"
#include "effects/warps/cell_ops.h"
#include "effects/warps/colour_image.h"

namespace glowfield {

namespace {

class Joe90 : public Effect {
  public:
    void start(EffectContext& c) override { kit::tameField(c); }

    void step(EffectContext& c) override {
        ++age_;
        const int n = c.n;
        image_.capture(c);
        // Half and half with the turned copy; a slight fade keeps the loop from saturating.
        for (int x = 0; x < n; ++x) {
            for (int y = 0; y < n; ++y) {
                const kit::Rgb a = image_.at(x, y), b = image_.at(n - 1 - y, x);
                fx::put(c, x, y, {(a.r + b.r) * 0.4925f, (a.g + b.g) * 0.4925f, (a.b + b.b) * 0.4925f});
            }
        }
        // Calm velocities leave the wave step a gentle blur, which keeps the fold from breaking into grain.
        kit::scaleVelocities(c, 0.0f);
        // The bar: a thick stroke whose ends wander on different slow loops, its colour turning.
        const float t = static_cast<float>(age_) * 0.02f;
        const float fn = static_cast<float>(n);
        const float x0 = fn * (0.5f + 0.4f * fastSin(t * 1.3f)),
                    y0 = fn * (0.5f + 0.35f * fastSin(t * 0.7f + 2.0f));
        const float x1 = fn * (0.5f + 0.3f * fastSin(t * 0.9f + 4.0f)),
                    y1 = fn * (0.5f + 0.4f * fastSin(t * 1.1f));
        const kit::Rgb col = fx::hsv(t * 0.15f, 0.85f, 1.0f);
        kit::drawThickLine(c, x0, y0, x1, y1, 2.0f, col);
        kit::drawLine(c, x0, y0, x1, y1, fx::mix(col, kit::white, 0.6f));
        if (age_ % 25 == 0) {
            kit::fillDisc(c, static_cast<float>(c.random(10, n - 10)),
                          static_cast<float>(c.random(10, n - 10)), 4.0f,
                          fx::hsv(c.randomUnit(), 0.9f, 1.0f));
        }
    }

  private:
    int age_ = 0;
    warps::ColourImage image_;
};

} // namespace

std::unique_ptr<Effect> makeJoe90() {
    return std::make_unique<Joe90>();
}

} // namespace glowfield
