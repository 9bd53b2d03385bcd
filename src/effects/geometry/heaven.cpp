// Heaven: light from above. Beams fan down from a source beyond the top edge, but only where gaps open in the
// soft white clouds drifting across, so rays appear, swell and vanish as the clouds move.
#include <cmath>
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Heaven : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::tameField(c);
        gaps_.assign(static_cast<size_t>(c.n) * 4, 0.0f);
    }

    void step(EffectContext& c) override {
        kit::scaleVelocities(c, 0.0f);
        const float n = static_cast<float>(c.n);
        const float t = static_cast<float>(c.frame % 200000u);
        const float srcX = n * 0.5f + n * 0.2f * fastSin(t * 0.002f), srcY = -n * 0.6f;
        const float cloudY = n * 0.22f;
        // Cloud density along the cloud layer, sampled at quarter cells; the rays look it up where they
        // cross the layer.
        const int samples = c.n * 4;
        for (int i = 0; i < samples; ++i) {
            gaps_[static_cast<size_t>(i)] = cloudDensity(i * 0.25f, cloudY, t);
        }
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                const float fy = static_cast<float>(y);
                // Sky: deep blue high up, warm gold low down.
                const float k = fy / n;
                kit::Rgb col = kit::mix(kit::fromLevels(40, 70, 150), kit::fromLevels(230, 190, 140), k * k);
                // The ray through this cell crosses the cloud layer here.
                const float cross = srcX + (x - srcX) * (cloudY - srcY) / (fy - srcY);
                const int idx =
                    kit::clampCell(c, kit::toCell(cross)) * 4 + kit::wrap(kit::toCell(cross * 4.0f), 4);
                const float open = 1.0f - gaps_[static_cast<size_t>(idx < samples ? idx : samples - 1)];
                {
                    const float a = kit::angleOf(x - srcX, fy - srcY);
                    const float bands =
                        0.5f + 0.3f * fastSin(a * 40.0f + t * 0.01f) + 0.2f * fastSin(a * 97.0f - t * 0.013f);
                    const float fall =
                        kit::smoothstep(cloudY - 15.0f, cloudY + 20.0f, fy) * (1.0f - 0.5f * fy / n);
                    const float beam = kit::clampf(open * open * bands * fall, 0.0f, 1.0f);
                    col = kit::mix(col, kit::fromLevels(255, 250, 225), beam * 0.75f);
                }
                // The clouds themselves, lit from behind at their thin edges.
                const float cloud = cloudDensity(static_cast<float>(x), fy, t);
                if (cloud > 0.0f) {
                    const kit::Rgb body = kit::mix(kit::fromLevels(255, 252, 245),
                                                   kit::fromLevels(170, 175, 200), cloud * cloud);
                    col = kit::mix(col, body, kit::clampf(cloud * 2.2f, 0.0f, 1.0f));
                }
                kit::paint(c, x, y, col);
            }
        }
    }

  private:
    // Cloud cover 0..1 at a point: overlapping slow sines, thresholded softly, in a band near the top.
    static float cloudDensity(float x, float y, float t) {
        const float off = (y - 42.0f) / 36.0f;
        const float band = 1.0f - off * off;
        if (band <= 0.0f) {
            return 0.0f;
        }
        const float wx = x - t * 0.15f;
        const float v = 0.5f * fastSin(wx * 0.045f + fastSin(y * 0.08f)) +
                        0.35f * fastSin(wx * 0.11f - y * 0.05f + 2.0f) +
                        0.25f * fastSin(wx * 0.023f + t * 0.003f);
        return kit::smoothstep(0.3f, 0.75f, (v * 0.45f + 0.5f) * band);
    }

    std::vector<float> gaps_;
};

} // namespace

std::unique_ptr<Effect> makeHeaven() {
    return std::make_unique<Heaven>();
}

} // namespace glowfield
