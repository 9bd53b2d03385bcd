// Mordor: a volcanic land. A fire mountain smokes under a sky that throbs red, rivers of lava run from it
// down across the black plain towards the viewer with bright pulses and dark crust flowing downhill in them,
// ash drifts down, and from a great spiked tower a burning eye sweeps its beam across the land.
#include <cmath>
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

constexpr int riverCount = 3;
constexpr int ashCount = 160;

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
        float amp = 0.25f;
        for (int span = 256; span > 1; span /= 2) {
            for (int i = 0; i < 256; i += span) {
                h[i + span / 2] = (h[i] + h[i + span]) * 0.5f + (c.randomUnit() - 0.5f) * amp;
            }
            amp *= 0.58f;
        }
        volcanoX_ = fn * (0.22f + 0.12f * c.randomUnit());
        craterY_ = fn * 0.3f;
        for (int x = 0; x < n; ++x) {
            const float hx = h[static_cast<size_t>(x * 256 / n)];
            float top = fn * (0.48f + kit::clampf(hx, 0.0f, 1.0f) * 0.24f);
            // The fire mountain: a broad cone with a notched crater, standing out of the ranges.
            const float off = std::fabs(static_cast<float>(x) - volcanoX_);
            const float cone = craterY_ + (off < fn * 0.03f ? fn * 0.01f : (off - fn * 0.03f) * 1.05f);
            top = cone < top ? cone : top;
            ridge_[static_cast<size_t>(x)] = top;
        }
        towerX_ = fn * (0.68f + c.randomUnit() * 0.12f);
        for (int k = 0; k < riverCount; ++k) {
            River& r = rivers_[k];
            // All spill from the crater and fan out down the mountain and across the plain.
            r.x = volcanoX_ + fn * 0.015f * static_cast<float>(k - 1);
            r.y = craterY_ + fn * 0.015f;
            r.drift = k == 0 ? -0.35f : k == 1 ? 0.15f : 0.8f;
            r.wiggle = fn * (0.03f + 0.03f * c.randomUnit());
            r.phase = c.randomUnit() * kit::twoPi;
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
        const float throb = 0.8f + 0.2f * fastSin(t * 0.045f) * fastSin(t * 0.017f + 1.0f);
        const int towerCell = kit::clampCell(c, kit::toCell(towerX_));
        const float towerBase = ridge_[static_cast<size_t>(towerCell)] + fn * 0.02f;
        const float towerTop = towerBase - fn * 0.42f;
        const float eyeX = towerX_, eyeY = towerTop - fn * 0.02f;
        // The beam sweeps back and forth across the plain below.
        const float beam = kit::pi * 0.5f + 1.0f * fastSin(t * 0.012f);
        const float beamX = fastCos(beam), beamY = fastSin(beam);
        rows(c, t);
        for (int x = 0; x < c.n; ++x) {
            const float fx = static_cast<float>(x);
            const float top = ridge_[static_cast<size_t>(x)];
            const float smokeX = fx * 0.05f, sx = fastSin(smokeX), cx = fastCos(smokeX);
            for (int y = 0; y < c.n; ++y) {
                const float fy = static_cast<float>(y);
                kit::Rgb col;
                if (fy < top) {
                    // Sky: near-black above, a throbbing red glow at the horizon, slow smoke bands, and the
                    // mountain's plume lit red from below.
                    const float k = fy / top;
                    const float smoke = 0.15f * (sx * smokeCos_[y] + cx * smokeSin_[y]);
                    col = kit::mix(kit::fromLevels(30, 8, 8), kit::fromLevels(235, 70, 15),
                                   kit::clampf(k * k * throb + smoke * k, 0.0f, 1.0f));
                    const float po = (fx - plumeX_[y]) * plumeInv_[y];
                    if (po > -1.0f && po < 1.0f) {
                        const float d = (1.0f - po * po) * plumeDensity_[y];
                        col = kit::mix(col, plumeColour_[y], d);
                    }
                } else {
                    const float depth = fy - top;
                    col = kit::shade(kit::fromLevels(52, 30, 28), 1.0f / (1.0f + depth * 0.05f));
                    if (depth < 1.5f) {
                        col = kit::fromLevels(170, 50, 15); // rim light from the sky
                    }
                    col = lava(x, y, col);
                }
                // The searchlight beam: a narrow wedge from the eye of the tower.
                const float vx = fx - eyeX, vy = fy - eyeY;
                const float along = vx * beamX + vy * beamY;
                if (along > 0.0f) {
                    const float across = std::fabs(vx * beamY - vy * beamX);
                    const float w = 1.0f + along * 0.1f;
                    if (across < w) {
                        const float k = (1.0f - across / w) * 0.5f / (1.0f + along * 0.006f);
                        col = kit::mix(col, kit::fromLevels(255, 210, 110), k);
                    }
                }
                kit::setCell(c, x, y, col);
            }
        }
        // The crater's fire.
        kit::softDisc(c, volcanoX_, craterY_ + fn * 0.01f, fn * 0.05f, kit::fromLevels(255, 150, 40),
                      0.6f * throb);
        drawTower(c, towerBase, towerTop);
        drawEye(c, eyeX, eyeY, t);
        // Ash flakes drift down and sideways; those that land are blown back in at the top.
        for (Ash& a : ash_) {
            a.y += 0.3f + 0.1f * fastSin(a.x * 0.3f);
            a.x += 0.25f * fastSin(a.y * 0.07f + t * 0.02f) + 0.12f;
            if (!(a.y < fn) || !(a.x >= 0.0f && a.x < fn)) {
                a.y = 0.0f;
                a.x = c.randomUnit() * fn;
            }
            kit::paint(c, kit::toCell(a.x), kit::toCell(a.y), kit::fromLevels(150, 130, 120),
                       kit::Blend::max);
        }
    }

  private:
    struct River {
        float x, y, drift, wiggle, phase;
    };
    struct Ash {
        float x, y;
    };

    // Per row: each river's centre, half-width and flowing brightness; the smoke bands; the plume.
    void rows(const EffectContext& c, float t) {
        const float fn = static_cast<float>(c.n);
        for (int y = 0; y < c.n; ++y) {
            const float fy = static_cast<float>(y);
            for (int k = 0; k < riverCount; ++k) {
                const River& r = rivers_[k];
                const float run = fy - r.y;
                if (run < 0.0f) {
                    riverWidth_[k][y] = -1.0f;
                    continue;
                }
                const float spread = run / fn;
                riverX_[k][y] =
                    r.x + run * r.drift + r.wiggle * spread * 3.0f * fastSin(fy * 0.07f + r.phase);
                // Narrow at the source, wide in the foreground; it swells and thins a little as it flows.
                riverWidth_[k][y] =
                    (0.8f + run * 0.05f) * (1.0f + 0.15f * fastSin(fy * 0.2f - t * 0.1f + r.phase));
                // Pulses of brightness roll downhill: the phase runs down the rows with time.
                riverFlow_[k][y] = fy * 0.22f - t * 0.16f + r.phase;
            }
            smokeSin_[y] = fastSin(fy * 0.11f - t * 0.01f);
            smokeCos_[y] = fastCos(fy * 0.11f - t * 0.01f);
            // The plume rises from the crater, widening and leaning with the wind, thinning as it goes.
            const float rise = craterY_ - fy;
            if (rise > 0.0f) {
                const float k = rise / craterY_;
                plumeX_[y] = volcanoX_ + rise * 0.45f + fn * 0.02f * fastSin(fy * 0.09f + t * 0.03f);
                plumeInv_[y] = 1.0f / (fn * 0.025f + rise * 0.35f);
                plumeDensity_[y] = 0.85f * (1.0f - k * 0.6f);
                plumeColour_[y] = kit::mix(kit::fromLevels(200, 70, 25), kit::fromLevels(45, 30, 32),
                                           kit::clampf(k * 3.0f, 0.0f, 1.0f));
            } else {
                plumeInv_[y] = 0.0f;
                plumeX_[y] = -1.0e6f;
                plumeDensity_[y] = 0.0f;
            }
        }
    }

    // Lava over the ground: a white-yellow core, orange body and a red glow on the rock round each river,
    // with crust plates drifting down in it.
    kit::Rgb lava(int x, int y, kit::Rgb ground) const {
        const float fx = static_cast<float>(x);
        kit::Rgb col = ground;
        for (int k = 0; k < riverCount; ++k) {
            const float w = riverWidth_[k][y];
            if (w < 0.0f) {
                continue;
            }
            const float off = std::fabs(fx - riverX_[k][y]);
            if (off > w + 7.0f) {
                continue;
            }
            if (off >= w) {
                const float glow = 1.0f - (off - w) / 7.0f;
                col = kit::mix(col, kit::fromLevels(210, 40, 5), glow * glow * 0.7f);
                continue;
            }
            const float across = off / w;
            const float flow = fastSin(riverFlow_[k][y] + across * 1.3f);
            const float crust = fastSin(riverFlow_[k][y] * 2.3f + fx * 0.4f);
            float heat = (1.0f - across * across) * (0.65f + 0.35f * flow);
            if (crust > 0.75f && across > 0.25f) {
                heat *= 0.35f; // a dark plate of cooling crust riding the flow
            }
            const kit::Rgb body = heat > 0.6f ? kit::mix(kit::fromLevels(255, 150, 20),
                                                         kit::fromLevels(255, 245, 170), (heat - 0.6f) / 0.4f)
                                              : kit::mix(kit::fromLevels(150, 20, 5),
                                                         kit::fromLevels(255, 150, 20), heat / 0.6f);
            col = body;
        }
        return col;
    }

    // The tower: a tall black spire in stepped tiers with buttress spikes and two horns at the crown, a red
    // rim where the fires light its left side.
    void drawTower(EffectContext& c, float base, float top) const {
        const float fn = static_cast<float>(c.n);
        const float w = fn * 0.07f, h = base - top, x = towerX_;
        const kit::Rgb dark = kit::fromLevels(10, 6, 8), rim = kit::fromLevels(150, 40, 20);
        // The left half of the outline from the foot up to the notch between the horns, as (out, up) in
        // half-widths and heights; the right half mirrors it.
        static constexpr float half[][2] = {{-1.0f, 0.0f},  {-0.75f, 0.3f},  {-1.05f, 0.38f}, {-0.55f, 0.42f},
                                            {-0.7f, 0.58f}, {-0.35f, 0.62f}, {-0.5f, 0.76f},  {-0.25f, 0.8f},
                                            {-0.2f, 0.96f}, {-0.45f, 1.16f}, {-0.12f, 0.98f}};
        constexpr int side = static_cast<int>(sizeof half / sizeof half[0]);
        constexpr int corners = 2 * side + 1;
        float xs[corners], ys[corners];
        for (int i = 0; i < side; ++i) {
            xs[i] = x + w * half[i][0];
            ys[i] = base - h * half[i][1];
            xs[corners - 1 - i] = x - w * half[i][0];
            ys[corners - 1 - i] = ys[i];
        }
        xs[side] = x;
        ys[side] = base - h * 0.94f;
        kit::fillPolygon(c, xs, ys, corners, dark);
        for (int i = 0; i + 1 < corners / 2 + 1; ++i) {
            kit::drawLine(c, xs[i], ys[i], xs[i + 1], ys[i + 1], rim);
        }
        // Windows of dull fire down the shaft.
        for (int i = 1; i < 6; ++i) {
            const float wy = base - h * (0.12f * static_cast<float>(i));
            kit::fillRect(c, x - 0.5f, wy, x + 1.5f, wy + 2.0f, kit::fromLevels(180, 60, 10));
        }
    }

    // The eye between the horns: a burning almond with a black slit, in a halo that breathes.
    static void drawEye(EffectContext& c, float x, float y, float t) {
        const float fn = static_cast<float>(c.n);
        const float pulse = 0.85f + 0.15f * fastSin(t * 0.09f);
        kit::softDisc(c, x, y, fn * 0.06f * pulse, kit::fromLevels(255, 120, 20), 0.9f);
        const float rx = fn * 0.03f, ry = fn * 0.014f;
        const int x0 = kit::toCell(x - rx), x1 = kit::toCell(x + rx) + 1;
        const int y0 = kit::toCell(y - ry), y1 = kit::toCell(y + ry) + 1;
        for (int ix = x0; ix <= x1; ++ix) {
            for (int iy = y0; iy <= y1; ++iy) {
                const float u = (static_cast<float>(ix) - x) / rx, v = (static_cast<float>(iy) - y) / ry;
                const float d = u * u + v * v;
                if (d >= 1.0f) {
                    continue;
                }
                const kit::Rgb fire =
                    kit::mix(kit::fromLevels(255, 240, 150), kit::fromLevels(230, 60, 5), d);
                kit::paint(c, ix, iy, std::fabs(u) < 0.12f ? kit::fromLevels(10, 0, 0) : fire);
            }
        }
    }

    std::vector<float> ridge_;
    float towerX_ = 0.0f, volcanoX_ = 0.0f, craterY_ = 0.0f;
    River rivers_[riverCount]{};
    float riverX_[riverCount][planeStride]{}, riverWidth_[riverCount][planeStride]{};
    float riverFlow_[riverCount][planeStride]{};
    float smokeSin_[planeStride]{}, smokeCos_[planeStride]{};
    float plumeX_[planeStride]{}, plumeInv_[planeStride]{}, plumeDensity_[planeStride]{};
    kit::Rgb plumeColour_[planeStride]{};
    Ash ash_[ashCount]{};
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Mordor);

} // namespace glowfield
