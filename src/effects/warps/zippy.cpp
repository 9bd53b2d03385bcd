// Zippy: a zip down the middle. A slider runs up and down; above it the two halves of the picture are pulled
// apart, rows shifted outwards more the further they are from the slider, showing a bright quilted lining
// between rows of metal teeth, and below it the teeth are meshed shut.
#include "effects/kit/kit.h"
#include "effects/warps/colour_image.h"

namespace glowfield {

namespace {

class Zippy : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::tameField(c);
        image_.capture(c);
        // Denim over whatever was there: a diagonal twill mixed into the captured picture.
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                const float twill = ((x + y) % 4 < 2) ? 1.0f : 0.8f;
                const kit::Rgb denim =
                    fx::shade(kit::fromLevels(60, 90, 150), twill * (0.85f + 0.1f * fastSin(y * 0.3f)));
                image_.set(x, y, fx::mix(image_.at(x, y), denim, 0.6f));
            }
        }
    }

    void step(EffectContext& c) override {
        ++age_;
        kit::scaleVelocities(c, 0.0f);
        const float n = static_cast<float>(c.n), mid = n * 0.5f;
        // The slider eases between near the top and near the bottom.
        const float s = fastSin(static_cast<float>(age_) * 0.018f);
        const float slider = n * (0.5f + 0.42f * s);
        const kit::Rgb metal = kit::fromLevels(215, 200, 120), metalDark = kit::fromLevels(120, 100, 50);
        for (int y = 0; y < c.n; ++y) {
            const float open = y < slider ? kit::clampf((slider - y) * 0.35f, 0.0f, n * 0.3f) : 0.0f;
            for (int x = 0; x < c.n; ++x) {
                const float dx = x - mid;
                kit::Rgb col;
                if (absf(dx) < open) {
                    // The lining: a quilted satin with soft diamond seams.
                    const float q = fastSin(x * 0.4f + y * 0.4f) * fastSin(x * 0.4f - y * 0.4f);
                    col = fx::mix(kit::fromLevels(230, 80, 120), kit::fromLevels(255, 190, 210),
                                  0.5f + 0.5f * q);
                    col = fx::shade(col, 0.75f + 0.25f * (1.0f - absf(dx) / (open + 1.0f)));
                } else {
                    const float sx = dx < 0 ? x + open : x - open;
                    col = image_.sample(sx, static_cast<float>(y));
                }
                // Teeth: alternate rows of small metal blocks along each edge of the opening.
                const float edge = absf(absf(dx) - open);
                if (edge < 2.5f) {
                    const bool leftTooth = ((y / 2) % 2 == 0) == (dx < 0);
                    if (leftTooth || open < 1.0f) {
                        col = fx::mix(metalDark, metal, 1.0f - edge / 2.5f);
                    }
                }
                fx::put(c, x, y, col);
            }
        }
        // The slider and its pull tab, swinging a little as it moves.
        kit::fillRect(c, mid - 6.0f, slider - 4.0f, mid + 6.0f, slider + 7.0f,
                      kit::fromLevels(170, 165, 150));
        kit::fillRect(c, mid - 6.0f, slider - 4.0f, mid + 6.0f, slider - 2.0f,
                      kit::fromLevels(235, 230, 215));
        const float swing = 0.3f * fastCos(static_cast<float>(age_) * 0.018f);
        const float tx = mid + 18.0f * fastSin(swing), ty = slider + 7.0f + 18.0f * fastCos(swing);
        kit::drawThickLine(c, mid, slider + 6.0f, tx, ty, 2.0f, kit::fromLevels(150, 145, 130));
        kit::fillDisc(c, tx, ty, 3.0f, kit::fromLevels(200, 195, 180));
    }

  private:
    int age_ = 0;
    warps::ColourImage image_;
};

} // namespace

std::unique_ptr<Effect> makeZippy() {
    return std::make_unique<Zippy>();
}

} // namespace glowfield
