// Shimmer: glitter on folded lamé. A silky fabric of slow folds catches the light, hundreds of tiny
// four-point stars flash and die on it every frame, and a diagonal sheen sweeps across.
#include "effects/geometry/plane_columns.h"
#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Shimmer : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::tameField(c);
        time_ = 0;
        hue_ = c.randomUnit();
    }

    void step(EffectContext& c) override {
        const int n = c.n;
        const float nf = static_cast<float>(n);
        const float s = nf / 200.0f;
        ++time_;
        const float t = static_cast<float>(time_);
        kit::scaleVelocities(c, 0.0f);
        const float hue = hue_ + t * 0.0004f;
        const kit::Rgb deep = kit::hsv(hue, 0.8f, 0.25f), bright = kit::hsv(hue + 0.05f, 0.45f, 1.0f);
        // The sheen: a diagonal band crossing every 240 frames.
        const float sheen = (static_cast<float>(time_ % 240) / 240.0f) * 2.6f - 0.8f;
        // Folds: two slow sine sheets; light catches where the fabric faces it. Each sheet is split by the
        // angle-sum rule into per-row and per-column tables.
        for (int i = 0; i < n; ++i) {
            const float f = static_cast<float>(i) / s;
            const float g = 1.8f * fastSin(f * 0.021f + t * 0.012f);
            sinX1_[i] = fastSin(f * 0.045f);
            cosX1_[i] = fastCos(f * 0.045f);
            sinG_[i] = fastSin(g);
            cosG_[i] = fastCos(g);
            sinY2_[i] = fastSin(f * 0.06f + t * 0.02f);
            cosY2_[i] = fastCos(f * 0.06f + t * 0.02f);
            sinX2_[i] = fastSin(f * 0.02f);
            cosX2_[i] = fastCos(f * 0.02f);
        }
        for (int x = 0; x < n; ++x) {
            const columns::Column col = columns::column(c, x);
            for (int y = 0; y < n; ++y) {
                const float fold = sinX1_[x] * cosG_[y] + cosX1_[x] * sinG_[y] +
                                   0.5f * (sinY2_[y] * cosX2_[x] - cosY2_[y] * sinX2_[x]);
                const float k = kit::clampf(fold * 0.4f + 0.5f, 0.0f, 1.0f);
                kit::Rgb colour = columns::mix(deep, bright, k * k);
                const float d = (static_cast<float>(x + y) / (2.0f * nf)) - sheen;
                if (d > -0.06f && d < 0.06f) {
                    colour = columns::mix(colour, kit::white, 0.45f * (1.0f - (d < 0.0f ? -d : d) / 0.06f));
                }
                col.blend(y, colour, 0.35f);
            }
        }
        // Glitter: each star is a bright centre with four short rays; the blend above fades them in a few
        // frames.
        for (int k = 0; k < 300; ++k) {
            const int x = c.random(0, n - 1), y = c.random(0, n - 1);
            const bool big = c.random() % 8 == 0;
            const kit::Rgb glint = k % 3 == 0 ? kit::hsv(hue + 0.5f, 0.3f, 1.0f) : kit::white;
            kit::paint(c, x, y, glint);
            const kit::Rgb ray = kit::mix(glint, bright, 0.4f);
            for (int r = 1; r <= (big ? 3 : 1); ++r) {
                kit::paint(c, x + r, y, ray, kit::Blend::max);
                kit::paint(c, x - r, y, ray, kit::Blend::max);
                kit::paint(c, x, y + r, ray, kit::Blend::max);
                kit::paint(c, x, y - r, ray, kit::Blend::max);
            }
        }
    }

  private:
    float sinX1_[planeStride] = {}, cosX1_[planeStride] = {}, sinG_[planeStride] = {},
          cosG_[planeStride] = {};
    float sinY2_[planeStride] = {}, cosY2_[planeStride] = {}, sinX2_[planeStride] = {},
          cosX2_[planeStride] = {};
    int time_ = 0;
    float hue_ = 0.0f;
};

} // namespace

std::unique_ptr<Effect> makeShimmer() {
    return std::make_unique<Shimmer>();
}

} // namespace glowfield
