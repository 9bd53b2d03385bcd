// Buddha: an accumulating fractal. Random points of the quadratic map are iterated, and the orbits of the
// points that escape are counted into three hit planes (three iteration limits, one per colour), so a ghostly
// seated figure deepens out of the dark, while slow waves of light rise up through it.
#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Buddha : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::tameField(c);
        n_ = c.n;
        for (auto& h : hits_) {
            h.assign(static_cast<size_t>(n_) * n_, 0.0f);
        }
        orbitX_.resize(maxIterations);
        orbitY_.resize(maxIterations);
        peak_[0] = peak_[1] = peak_[2] = 1.0f;
    }

    void step(EffectContext& c) override {
        const int age = static_cast<int>(c.framesSinceStart) + 1;
        if (age % 1500 == 0) {
            for (auto& h : hits_) {
                std::fill(h.begin(), h.end(), 0.0f);
            }
        }
        for (int i = 0; i < samplesPerFrame; ++i) {
            trace(c.randomUnit() * 3.0f - 2.0f, c.randomUnit() * 3.0f - 1.5f);
        }
        // Square-root scaling against each plane's slowly following peak, and a slow breathing glow.
        for (int p = 0; p < 3; ++p) {
            float top = 1.0f;
            for (float v : hits_[p]) {
                top = v > top ? v : top;
            }
            peak_[p] = peak_[p] * 0.9f + top * 0.1f;
        }
        const float breathe = 0.9f + 0.1f * fastSin(static_cast<float>(age) * 0.05f);
        const float scales[3] = {breathe / std::sqrt(peak_[0]), 1.0f / std::sqrt(peak_[1]),
                                 (2.0f - breathe) / std::sqrt(peak_[2])};
        // Waves of light rise from the base of the figure to its head, one every few seconds, so the figure
        // lives once it has filled in.
        for (int y = 0; y < n_; ++y) {
            const float rise = static_cast<float>(y) * 0.045f + static_cast<float>(age) * 0.04f;
            const float wave = 0.5f + 0.5f * fastSin(rise);
            rowGain_[static_cast<size_t>(y) % rowGain_.size()] = 0.75f + 0.9f * wave * wave * wave;
        }
        for (int x = 0; x < n_; ++x) {
            for (int y = 0; y < n_; ++y) {
                const size_t k = static_cast<size_t>(x) * n_ + y;
                const float gain = rowGain_[static_cast<size_t>(y) % rowGain_.size()];
                kit::Rgb col{};
                float* out[3] = {&col.r, &col.g, &col.b};
                for (int p = 0; p < 3; ++p) {
                    const float v = kit::clampf(std::sqrt(hits_[p][k]) * scales[p] * 1.3f * gain, 0.0f, 1.0f);
                    *out[p] = -127.0f + 255.0f * v;
                }
                kit::paint(c, x, y, col);
            }
        }
        kit::scaleVelocities(c, 0.0f);
    }

  private:
    static constexpr int samplesPerFrame = 1500;
    static constexpr int maxIterations = 400;
    static constexpr int limits[3] = {400, 120, 40};

    void trace(float cr, float ci) {
        // The main cardioid and the period-two bulb never escape: skip them cheaply.
        const float q = (cr - 0.25f) * (cr - 0.25f) + ci * ci;
        if (q * (q + (cr - 0.25f)) < 0.25f * ci * ci || (cr + 1.0f) * (cr + 1.0f) + ci * ci < 0.0625f) {
            return;
        }
        float zr = 0.0f, zi = 0.0f;
        int count = 0;
        for (; count < maxIterations; ++count) {
            const float r2 = zr * zr, i2 = zi * zi;
            if (r2 + i2 > 4.0f) {
                break;
            }
            zi = 2.0f * zr * zi + ci;
            zr = r2 - i2 + cr;
            orbitX_[count] = zr;
            orbitY_[count] = zi;
        }
        if (count >= maxIterations || count < 3) {
            return;
        }
        // The figure sits upright: the real axis runs down the screen.
        const float scale = static_cast<float>(n_) / 2.9f;
        for (int p = 0; p < 3; ++p) {
            // Short orbits only smear a halo: each plane counts orbits of a band of lengths.
            if (count > limits[p] || count < limits[p] / 8) {
                continue;
            }
            for (int j = 0; j + 1 < count; ++j) {
                const int x = kit::toCell(orbitY_[j] * scale + n_ * 0.5f);
                const int y = kit::toCell((orbitX_[j] + 0.45f) * scale + n_ * 0.5f);
                if (x >= 0 && y >= 0 && x < n_ && y < n_) {
                    hits_[p][static_cast<size_t>(x) * n_ + y] += 1.0f;
                }
            }
        }
    }

    int n_ = 0;
    std::vector<float> hits_[3];
    std::vector<float> orbitX_, orbitY_;
    float peak_[3] = {1.0f, 1.0f, 1.0f};
    std::array<float, planeStride> rowGain_{};
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Buddha);

} // namespace glowfield
