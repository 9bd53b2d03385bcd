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
        rowSky_.assign(static_cast<size_t>(c.n), kit::Rgb{});
        rowScale_.assign(static_cast<size_t>(c.n), 0.0f);
        rowFall_.assign(static_cast<size_t>(c.n), 0.0f);
        for (std::vector<float>* v : {&colSin1_, &colCos1_, &colSin2_, &colCos2_, &colWide_, &rowSin1_,
                                      &rowCos1_, &rowSin2_, &rowCos2_, &rowBand_}) {
            v->assign(static_cast<size_t>(c.n), 0.0f);
        }
    }

    void step(EffectContext& c) override {
        kit::scaleVelocities(c, 0.0f);
        const float n = static_cast<float>(c.n);
        const float t = static_cast<float>(c.frame % 200000u);
        const float srcX = n * 0.5f + n * 0.2f * fastSin(t * 0.002f), srcY = -n * 0.6f;
        const float cloudY = n * 0.22f;
        // Along the cloud layer, sampled at quarter cells: how open the clouds are, times the fine angular
        // banding of the beams. A ray through a cell is lit by what its crossing point holds.
        const int samples = c.n * 4;
        for (int i = 0; i < samples; ++i) {
            const float cx = i * 0.25f;
            const float a = kit::angleOf(cx - srcX, cloudY - srcY);
            const float bands =
                0.5f + 0.3f * fastSin(a * 40.0f + t * 0.01f) + 0.2f * fastSin(a * 97.0f - t * 0.013f);
            const float open = 1.0f - cloudDensity(cx, cloudY, t);
            gaps_[static_cast<size_t>(i)] = kit::clampf(open * open * bands, 0.0f, 1.0f);
        }
        for (int y = 0; y < c.n; ++y) {
            const float fy = static_cast<float>(y), k = fy / n;
            rowSky_[static_cast<size_t>(y)] =
                kit::mix(kit::fromLevels(40, 70, 150), kit::fromLevels(230, 190, 140), k * k);
            rowScale_[static_cast<size_t>(y)] = (cloudY - srcY) / (fy - srcY);
            rowFall_[static_cast<size_t>(y)] =
                kit::smoothstep(cloudY - 15.0f, cloudY + 20.0f, fy) * (1.0f - 0.5f * fy / n) * 0.75f;
        }
        for (int x = 0; x < c.n; ++x) {
            const size_t col = static_cast<size_t>(x);
            const float wx = static_cast<float>(x) - t * 0.15f;
            colSin1_[col] = fastSin(wx * 0.045f);
            colCos1_[col] = fastCos(wx * 0.045f);
            colSin2_[col] = fastSin(wx * 0.11f);
            colCos2_[col] = fastCos(wx * 0.11f);
            colWide_[col] = 0.25f * fastSin(wx * 0.023f + t * 0.003f);
        }
        for (int y = 0; y < c.n && y < 80; ++y) {
            const size_t row = static_cast<size_t>(y);
            const float fy = static_cast<float>(y);
            const float off = (fy - 42.0f) / 36.0f;
            rowBand_[row] = 1.0f - off * off;
            const float bend = fastSin(fy * 0.08f);
            rowSin1_[row] = fastSin(bend);
            rowCos1_[row] = fastCos(bend);
            rowSin2_[row] = fastSin(-fy * 0.05f + 2.0f);
            rowCos2_[row] = fastCos(-fy * 0.05f + 2.0f);
        }
        const kit::Rgb beamColour = kit::fromLevels(255, 250, 225);
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                const size_t row = static_cast<size_t>(y);
                const float cross = srcX + (x - srcX) * rowScale_[row];
                const int idx =
                    kit::clampCell(c, kit::toCell(cross)) * 4 + kit::wrap(kit::toCell(cross * 4.0f), 4);
                const float beam =
                    gaps_[static_cast<size_t>(idx < samples ? idx : samples - 1)] * rowFall_[row];
                kit::Rgb col = kit::mix(rowSky_[row], beamColour, beam);
                // The clouds themselves, only in their band near the top.
                if (y < 80 && rowBand_[row] > 0.0f) {
                    const float fy = static_cast<float>(y);
                    // cloudDensity, its sines split into their column and row parts.
                    const size_t at = static_cast<size_t>(x);
                    const float v = 0.5f * (colSin1_[at] * rowCos1_[row] + colCos1_[at] * rowSin1_[row]) +
                                    0.35f * (colSin2_[at] * rowCos2_[row] + colCos2_[at] * rowSin2_[row]) +
                                    colWide_[at];
                    const float cloud = kit::smoothstep(0.3f, 0.75f, (v * 0.45f + 0.5f) * rowBand_[row]);
                    if (cloud > 0.0f) {
                        // Bright tops, greyer undersides.
                        const float under = kit::clampf((fy - 30.0f) / 40.0f, 0.0f, 1.0f) * (1.0f - cloud);
                        const kit::Rgb body = kit::mix(kit::fromLevels(255, 252, 245),
                                                       kit::fromLevels(185, 190, 215), under * 0.7f);
                        col = kit::mix(col, body, kit::smoothstep(0.0f, 0.5f, cloud));
                    }
                }
                kit::setCell(c, x, y, col);
            }
        }
    }

  private:
    // Cloud cover 0..1 at a point: overlapping slow sines, thresholded softly, in a band near the top.
    static float cloudDensity(float x, float y, float t) {
        const float off = (y - 42.0f) / 36.0f;
        const float band = 1.0f - off * off;
        if (!(band > 0.0f)) {
            return 0.0f;
        }
        const float wx = x - t * 0.15f;
        const float v = 0.5f * fastSin(wx * 0.045f + fastSin(y * 0.08f)) +
                        0.35f * fastSin(wx * 0.11f - y * 0.05f + 2.0f) +
                        0.25f * fastSin(wx * 0.023f + t * 0.003f);
        return kit::smoothstep(0.3f, 0.75f, (v * 0.45f + 0.5f) * band);
    }

    std::vector<float> gaps_, rowScale_, rowFall_;
    std::vector<float> colSin1_, colCos1_, colSin2_, colCos2_, colWide_, rowSin1_, rowCos1_, rowSin2_,
        rowCos2_, rowBand_;
    std::vector<kit::Rgb> rowSky_;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Heaven);

} // namespace glowfield
