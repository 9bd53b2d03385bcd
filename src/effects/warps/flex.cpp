// Flex: a rubber sheet. A snapshot of the picture, laid over with a chequer in fresh colours, is resampled
// each frame through a smooth shear, bend and pinch whose amounts swing back and forth; reading the snapshot
// means the picture never blurs. A fresh snapshot is taken every five seconds.
#include "effects/kit/kit.h"
#include "effects/warps/colour_image.h"

namespace glowfield {

namespace {

class Flex : public Effect {
  public:
    void start(EffectContext& c) override {
        n_ = c.n;
        snap(c);
    }

    void step(EffectContext& c) override {
        if (c.n != n_) {
            start(c); // the grid was resized: begin again at the new size
        }
        ++age_;
        if (age_ % 250 == 0) {
            snap(c);
        }
        const float fn = static_cast<float>(n_), h = (fn - 1.0f) * 0.5f;
        const float t = static_cast<float>(age_);
        const float shear = 0.35f * fastSin(t * 0.031f);
        const float bend = 18.0f * fastSin(t * 0.023f + 1.0f);
        const float pinch = 0.45f * fastSin(t * 0.041f + 2.0f);
        const float twist = 0.5f * fastSin(t * 0.017f);
        kit::scaleVelocities(c, 0.0f);
        // Alternate columns are resampled on alternate frames: the sheet moves well under a cell a frame, so
        // the interlace never shows, and it halves the cost.
        for (int x = age_ % 2; x < n_; x += 2) {
            for (int y = 0; y < n_; ++y) {
                float u = (x - h) / h, v = (y - h) / h;
                // Pinch towards (or bulge from) the middle, strongest there, none at the corners.
                const float r2 = u * u + v * v;
                const float p = 1.0f + pinch * kit::clampf(1.0f - r2, 0.0f, 1.0f);
                u *= p;
                v *= p;
                // A twist that fades outwards, then a shear and a bow.
                const float a = twist * kit::clampf(1.0f - r2 * 0.5f, 0.0f, 1.0f);
                // |a| <= 0.5: short series are within 0.003 of the cosine and sine.
                const float a2 = a * a;
                const float cs = 1.0f - a2 * 0.5f + a2 * a2 * (1.0f / 24.0f),
                            sn = a * (1.0f - a2 * (1.0f / 6.0f));
                const float ru = u * cs - v * sn, rv = u * sn + v * cs;
                const float sx = h + ru * h + shear * rv * h;
                const float sy = h + rv * h + bend * (1.0f - ru * ru);
                kit::Rgb col = image_.sample(sx, sy);
                // Stretched rubber pales a little, squeezed rubber darkens.
                col = fx::shade(col, kit::clampf(1.1f - (p - 1.0f) * 0.4f, 0.7f, 1.3f));
                fx::put(c, x, y, col);
            }
        }
    }

  private:
    void snap(EffectContext& c) {
        kit::tameField(c);
        image_.capture(c);
        const kit::Rgb a = fx::hsv(c.randomUnit(), 0.8f, 0.95f), b = fx::hsv(c.randomUnit(), 0.6f, 0.35f);
        for (int x = 0; x < n_; ++x) {
            for (int y = 0; y < n_; ++y) {
                const bool odd = ((x / 20) + (y / 20)) % 2 != 0;
                const bool line = x % 20 == 0 || y % 20 == 0;
                const kit::Rgb tile = line ? kit::fromLevels(245, 245, 240) : odd ? a : b;
                image_.set(x, y, fx::mix(image_.at(x, y), tile, 0.55f));
            }
        }
    }

    int n_ = 0;
    int age_ = 0;
    warps::ColourImage image_;
};

} // namespace

std::unique_ptr<Effect> makeFlex() {
    return std::make_unique<Flex>();
}

} // namespace glowfield
