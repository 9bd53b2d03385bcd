// Mordor: a volcanic land. Jagged black ranges stand under a sky that throbs red, lava channels glow down
// the slopes with their light running downhill, ash drifts down, and a beam sweeps from a dark tower.
#include <cmath>
#include <vector>

#include "effects/geometry/direct_cells.h"
#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Mordor : public Effect {
  public:
    void start(EffectContext& c) override {
        // Leftovers of an earlier entry are brought into range once, so blends never carry NaN along.
        kit::tameField(c);
        const int n = c.n;
        const float fn = static_cast<float>(n);
        ridge_.assign(static_cast<size_t>(n), 0.0f);
        // Ranges by midpoint displacement over a power-of-two span, sampled to the grid.
        std::vector<float> h(257, 0.0f);
        h[0] = 0.55f;
        h[256] = 0.6f;
        float amp = 0.3f;
        for (int span = 256; span > 1; span /= 2) {
            for (int i = 0; i < 256; i += span) {
                h[i + span / 2] = (h[i] + h[i + span]) * 0.5f + (c.randomUnit() - 0.5f) * amp;
            }
            amp *= 0.58f;
        }
        for (int x = 0; x < n; ++x) {
            const float hx = h[static_cast<size_t>(x * 256 / n)];
            ridge_[static_cast<size_t>(x)] = fn * (0.45f + kit::clampf(hx, 0.0f, 1.0f) * 0.3f);
        }
        towerX_ = fn * (0.6f + c.randomUnit() * 0.2f);
        for (Channel& ch : channels_) {
            ch.x = fn * (0.08f + c.randomUnit() * 0.84f);
            ch.wiggle = 2.0f + c.randomUnit() * 5.0f;
            ch.phase = c.randomUnit() * kit::twoPi;
        }
        for (Ash& a : ash_) {
            a.x = c.randomUnit() * fn;
            a.y = c.randomUnit() * fn;
        }
    }

    void step(EffectContext& c) override {
        const float fn = static_cast<float>(c.n);
        kit::scaleVelocities(c, 0.0f);
        const float t = static_cast<float>(c.frame % 100000u);
        const float throb = 0.75f + 0.25f * fastSin(t * 0.045f) * fastSin(t * 0.017f + 1.0f);
        const int towerCell = kit::clampCell(c, kit::toCell(towerX_));
        const float towerBase = ridge_[static_cast<size_t>(towerCell)];
        const float towerTop = towerBase - fn * 0.22f;
        const float eyeX = towerX_, eyeY = towerTop + 2.0f;
        // The beam sweeps back and forth across the plain below.
        const float beam = kit::pi * 0.5f + 0.9f * fastSin(t * 0.012f);
        const float beamX = fastCos(beam), beamY = fastSin(beam);
        // Per row: each lava channel's centre and the brightness of the pulse flowing through that row, and
        // the row part of the smoke bands.
        for (int y = 0; y < c.n; ++y) {
            const float fy = static_cast<float>(y);
            for (int k = 0; k < channelCount; ++k) {
                const Channel& ch = channels_[k];
                channelX_[k][y] = ch.x + ch.wiggle * fastSin(fy * 0.12f + ch.phase);
                channelFlow_[k][y] = 0.45f + 0.55f * fastSin(fy * 0.3f - t * 0.18f + ch.phase);
            }
            smokeSin_[y] = fastSin(fy * 0.11f - t * 0.01f);
            smokeCos_[y] = fastCos(fy * 0.11f - t * 0.01f);
        }
        for (int x = 0; x < c.n; ++x) {
            const float top = ridge_[static_cast<size_t>(x)];
            const float smokeX = x * 0.05f, sx = fastSin(smokeX), cx = fastCos(smokeX);
            for (int y = 0; y < c.n; ++y) {
                const float fy = static_cast<float>(y);
                kit::Rgb col;
                if (fy < top) {
                    // Sky: near-black above, a throbbing red glow at the horizon, with slow smoke bands.
                    const float k = fy / top;
                    const float smoke = 0.15f * (sx * smokeCos_[y] + cx * smokeSin_[y]);
                    col = geometry::blend(kit::fromLevels(12, 4, 4), kit::fromLevels(230, 60, 10),
                                          kit::clampf(k * k * throb + smoke * k, 0.0f, 1.0f));
                } else {
                    const float depth = fy - top;
                    col = geometry::dim(kit::fromLevels(40, 22, 20), 1.0f / (1.0f + depth * 0.08f));
                    if (depth < 1.5f) {
                        col = kit::fromLevels(140, 40, 15); // rim light from the sky
                    }
                    for (int k = 0; k < channelCount; ++k) {
                        const float off = std::fabs(x - channelX_[k][y]);
                        const float width = 0.3f + depth * 0.025f;
                        if (off < width + 1.5f && depth > 2.0f) {
                            // Brightness pulses run downhill along the channel.
                            const float flow = channelFlow_[k][y];
                            const float core = kit::clampf(1.0f - (off - width) / 1.5f, 0.0f, 1.0f);
                            col = geometry::blend(col, kit::Rgb{128.0f, 23.0f + flow * 80.0f, -97.0f},
                                                  core * kit::clampf(flow, 0.0f, 1.0f));
                        }
                    }
                }
                // The searchlight beam: a narrow wedge from the eye of the tower.
                const float vx = x - eyeX, vy = fy - eyeY;
                const float along = vx * beamX + vy * beamY;
                if (along > 0.0f) {
                    const float across = std::fabs(vx * beamY - vy * beamX);
                    const float w = 1.0f + along * 0.09f;
                    if (across < w) {
                        const float k = (1.0f - across / w) * 0.55f / (1.0f + along * 0.006f);
                        col = geometry::blend(col, kit::fromLevels(255, 200, 90), k);
                    }
                }
                geometry::putCell(c, x, y, col);
            }
        }
        // The tower: a tapering black spire with horns and a burning eye.
        for (int i = 0; i < 4; ++i) {
            const float w = 2.0f + static_cast<float>(i) * 1.5f;
            const float y0 = towerTop + (towerBase - towerTop) * static_cast<float>(i) / 4.0f;
            kit::fillRect(c, towerX_ - w, y0, towerX_ + w + 1.0f, towerBase + 2.0f, kit::fromLevels(8, 5, 5));
        }
        kit::drawThickLine(c, towerX_ - 2.0f, towerTop, towerX_ - 4.0f, towerTop - 6.0f, 0.8f,
                           kit::fromLevels(8, 5, 5));
        kit::drawThickLine(c, towerX_ + 2.0f, towerTop, towerX_ + 4.0f, towerTop - 6.0f, 0.8f,
                           kit::fromLevels(8, 5, 5));
        kit::softDisc(c, eyeX, eyeY, 4.0f, kit::fromLevels(255, 160, 40), 1.5f, kit::Blend::add);
        // Ash flakes drift down and sideways; those that land are blown back in at the top.
        for (Ash& a : ash_) {
            a.y += 0.25f + 0.1f * fastSin(a.x * 0.3f);
            a.x += 0.2f * fastSin(a.y * 0.07f + t * 0.02f) + 0.1f;
            if (!(a.y < fn) || !(a.x >= 0.0f && a.x < fn)) {
                a.y = 0.0f;
                a.x = c.randomUnit() * fn;
            }
            kit::paint(c, kit::toCell(a.x), kit::toCell(a.y), kit::fromLevels(120, 110, 105),
                       kit::Blend::max);
        }
    }

  private:
    struct Channel {
        float x, wiggle, phase;
    };
    struct Ash {
        float x, y;
    };
    std::vector<float> ridge_;
    float towerX_ = 0.0f;
    static constexpr int channelCount = 3;
    Channel channels_[channelCount]{};
    float channelX_[channelCount][planeStride]{}, channelFlow_[channelCount][planeStride]{};
    float smokeSin_[planeStride]{}, smokeCos_[planeStride]{};
    Ash ash_[140]{};
};

} // namespace

std::unique_ptr<Effect> makeMordor() {
    return std::make_unique<Mordor>();
}

} // namespace glowfield
