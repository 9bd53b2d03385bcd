// Pulsate: the picture breathes in rings. Every cell's colour is scaled a little each frame by a wave that
// travels out from a drifting centre, so the field brightens and dims in rings that spread outwards; the
// scaling is normalised so the average level holds, and each beat taps a balanced push and a fresh glow into
// the centre so there is always something to breathe.
#include <cmath>
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Pulsate : public Effect {
  public:
    void step(EffectContext& c) override {
        kit::tameField(c, 300.0f, 30.0f);
        const float n = static_cast<float>(c.n);
        const float t = static_cast<float>(c.frame % 400000u);
        const float cx = n * (0.5f + 0.18f * fastSin(t * 0.007f)),
                    cy = n * (0.5f + 0.18f * fastSin(t * 0.0053f + 1.0f));
        const float omega = 0.16f;
        const float phase = t * omega;
        // The factor depends on the distance only: a table of it by half cells.
        radial_.resize(static_cast<size_t>(4 * c.n + 4));
        for (size_t k = 0; k < radial_.size(); ++k) {
            radial_[k] = 1.0f + 0.07f * fastSin(phase - static_cast<float>(k) * 0.5f / 12.0f);
        }
        // Mean of the factor over the grid, so the scaling neither brightens nor darkens on average.
        float sum = 0.0f;
        for (int x = 0; x < c.n; x += 4) {
            for (int y = 0; y < c.n; y += 4) {
                sum += factor(x, y, cx, cy);
            }
        }
        const int samples = ((c.n + 3) / 4) * ((c.n + 3) / 4);
        const float norm = static_cast<float>(samples) / (sum > 1.0f ? sum : 1.0f);
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                const float k = factor(x, y, cx, cy) * norm;
                const int cell = cellAt(x, y);
                c.planes.red[cell] *= k;
                c.planes.green[cell] *= k;
                c.planes.blue[cell] *= k;
            }
        }
        // A beat each time the wave passes its crest at the centre.
        const int beatPeriod = kit::roundCell(kit::twoPi / omega);
        if (c.frame % static_cast<uint32_t>(beatPeriod) == 0u) {
            ++beats_;
            const kit::Rgb glow = kit::hsv(static_cast<float>(beats_ % 12) / 12.0f, 0.9f, 1.0f);
            kit::softDisc(c, cx, cy, n * 0.12f, glow, 0.9f, kit::Blend::set);
            kit::balancedPush(c, cx, cy, n * 0.04f, (beats_ % 2 ? 1.0f : -1.0f) * 9.0f);
        }
        // A thin ring riding each crest, so the travelling rings read even on a calm field.
        const float crest =
            (phase - kit::twoPi * static_cast<float>(kit::toCell(phase / kit::twoPi))) / kit::twoPi;
        for (int k = 0; k < 4; ++k) {
            const float radius = (crest + static_cast<float>(k)) * kit::twoPi * 12.0f * 0.75f;
            kit::circleOutline(c, cx, cy, radius,
                               kit::hsv(static_cast<float>(beats_ % 12) / 12.0f + 0.1f * k, 0.6f, 0.9f), 1.0f,
                               kit::Blend::max, 96);
        }
    }

  private:
    // 1 + a sin(phase - r / 12): cumulated over frames it becomes a swing of about a / omega either way.
    float factor(int x, int y, float cx, float cy) const {
        const float dx = (static_cast<float>(x) - cx) * 4.0f / 3.0f, dy = static_cast<float>(y) - cy;
        const int k = truncToInt(std::sqrt(dx * dx + dy * dy) * 2.0f);
        const size_t last = radial_.size() - 1;
        return radial_[static_cast<size_t>(k) < last ? static_cast<size_t>(k) : last];
    }

    std::vector<float> radial_;
    int beats_ = 0;
};

} // namespace

std::unique_ptr<Effect> makePulsate() {
    return std::make_unique<Pulsate>();
}

} // namespace glowfield
