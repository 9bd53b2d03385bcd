// Wavey Davey: a banner in the wind. The cloth scrolls right a cell a frame and every column rides a
// travelling wave up and down; bold horizontal bands in changing colours are fed in at the pole, so stripes
// ripple across the screen, lit and shaded by the slope of the folds.
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class WaveyDavey : public Effect {
  public:
    void start(EffectContext& c) override {
        n_ = c.n;
        columns_.assign(static_cast<size_t>(n_) * bands, kit::grey);
        kit::scaleVelocities(c, 0.0f);
        for (int i = 0; i < n_; ++i) {
            feed(c, i);
        }
    }

    void step(EffectContext& c) override {
        const int age = static_cast<int>(c.framesSinceStart) + 1;
        feed(c, age + n_);
        kit::scaleVelocities(c, 0.0f);
        const float t = static_cast<float>(age);
        const float fn = static_cast<float>(n_);
        for (int x = 0; x < n_; ++x) {
            // The wave grows towards the free end of the banner.
            const float reach = 2.0f + 12.0f * x / fn;
            const float phase = x * 0.06f - t * 0.12f;
            const float lift = reach * fastSin(phase) + 3.0f * fastSin(x * 0.13f - t * 0.21f);
            const float slope = (reach * 0.06f) * fastCos(phase);
            const float light = kit::clampf(1.0f - slope * 0.9f, 0.45f, 1.35f);
            // The column that is now at x was fed x frames ago.
            const size_t column = static_cast<size_t>(kit::wrap(age + n_ - x, n_));
            for (int y = 0; y < n_; ++y) {
                const float v = (y - lift - fn * 0.1f) / (fn * 0.8f) * bands;
                kit::Rgb col;
                if (v < 0.0f || v >= bands) {
                    col = kit::mix(kit::fromLevels(90, 150, 220), kit::fromLevels(180, 215, 245), y / fn);
                } else {
                    const int b = kit::toCell(v);
                    const float f = v - b;
                    col = columns_[column * bands + static_cast<size_t>(b)];
                    // Soften each band's edge over a fraction of a cell so the stripes do not stair-step.
                    if (f > 0.96f && b + 1 < bands) {
                        col = kit::mix(col, columns_[column * bands + static_cast<size_t>(b + 1)], 0.5f);
                    }
                    col = kit::shade(col, light);
                }
                kit::paint(c, x, y, col);
            }
        }
        kit::fillRect(c, 0.0f, 0.0f, 2.0f, fn, kit::fromLevels(110, 80, 50));
    }

  private:
    static constexpr int bands = 5;

    void feed(EffectContext& c, int frame) {
        // A new set of band colours each second.
        if (frame % 50 == 0 || frame == n_) {
            for (int b = 0; b < bands; ++b) {
                current_[b] = kit::hsv(c.randomUnit(), 0.8f, 0.95f);
            }
            current_[c.random(0, bands - 1)] = kit::fromLevels(245, 245, 240);
        }
        const size_t column = static_cast<size_t>(kit::wrap(frame, n_));
        for (int b = 0; b < bands; ++b) {
            columns_[column * bands + static_cast<size_t>(b)] = current_[b];
        }
    }

    int n_ = 0;
    std::vector<kit::Rgb> columns_;
    kit::Rgb current_[bands];
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(WaveyDavey);

} // namespace glowfield
