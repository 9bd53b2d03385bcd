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
        // With music a crest leaves the centre on every second beat: the phase runs half a turn from one beat
        // to the next, timed by the last beat's interval (a crest each beat would pump the whole picture
        // faster than is safe to watch).
        const bool heard = c.sound.heard();
        if (heard && c.sound.beat) {
            ++heardBeats_;
            interval_ = sinceBeat_ > 6 && sinceBeat_ < 120 ? sinceBeat_ : interval_;
            sinceBeat_ = 0;
        }
        sinceBeat_ += heard && sinceBeat_ < 1000 ? 1 : 0;
        const float phase =
            heard ? kit::pi * (static_cast<float>(heardBeats_ % 1000) +
                               kit::clampf(static_cast<float>(sinceBeat_) / interval_, 0.0f, 1.0f))
                  : t * omega;
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
        if (heard ? c.sound.beat && heardBeats_ % 2 == 0
                  : c.frame % static_cast<uint32_t>(beatPeriod) == 0u) {
            ++beats_;
            const kit::Rgb glow = kit::hsv(static_cast<float>(beats_ % 12) / 12.0f, 0.9f, 1.0f);
            kit::softDisc(c, cx, cy, heard ? n * (0.05f + 0.04f * c.sound.bass) : n * 0.12f, glow, 0.9f,
                          kit::Blend::set);
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
    int heardBeats_ = 0;     // the music's beats heard so far
    int sinceBeat_ = 0;      // frames since the last of them
    float interval_ = 25.0f; // frames between the last two
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Pulsate);

} // namespace glowfield
