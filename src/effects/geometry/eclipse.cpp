// Eclipse: a nine-second total eclipse over hills. The moon eats the sun while the sky dims to indigo with a
// sunset glow all round the horizon; Baily's beads and a diamond ring flash on the limb, then the pearly
// corona, red prominences and the stars show at totality, and the light returns in reverse.
#include <cmath>
#include <cstdint>
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

// A cell is 4 pixels wide and 3 tall: distances are measured in cell widths, rows counted as 0.75, so the
// discs are round on the screen.
constexpr float rowScale = 0.75f;
constexpr uint32_t cycleFrames = 450;

class Eclipse : public Effect {
  public:
    void start(EffectContext& c) override {
        // Leftovers of an earlier entry are brought into range once, so blends never carry NaN along.
        kit::tameField(c);
        layout(c);
        for (Star& s : stars_) {
            s.x = c.random(0, c.n - 1);
            s.y = c.random(0, c.n * 2 / 3);
            s.level = 0.3f + c.randomUnit() * 0.7f;
            s.twinkle = c.randomUnit() * kit::twoPi;
        }
        for (float& p : ridgePhase_) {
            p = c.randomUnit() * kit::twoPi;
        }
        for (Prominence& p : prominences_) {
            p.angle = c.randomUnit() * kit::twoPi;
            p.height = 2.0f + c.randomUnit() * 3.0f;
        }
        for (float& b : beadLevel_) {
            b = 0.4f + c.randomUnit() * 0.6f; // the lunar valleys that let light through, deep or shallow
        }
    }

    void step(EffectContext& c) override {
        if (dist_.size() != static_cast<size_t>(c.n) * c.n) {
            layout(c);
        }
        kit::scaleVelocities(c, 0.0f);
        const float n = static_cast<float>(c.n);
        const float sunR = sunRadius(n);
        const float moonR = sunR * 1.05f;
        // The moon's offset from the sun: slow near the middle of the cycle, so totality lasts about two
        // seconds, fast at the ends, so the partial phases keep moving.
        const float s = static_cast<float>(c.frame % cycleFrames) / cycleFrames - 0.5f;
        const float off = 5.1f * s + 535.0f * s * s * s;
        const float moonX = sunX_ + off, moonY = sunY_ - off * 0.18f;
        const float sep = std::fabs(off) * 1.016f;
        // The gap: how much of the sun still shows across the line of centres (below zero, totality).
        const float gap = sep - (moonR - sunR);
        const float shown = kit::clampf(gap / (2.0f * sunR), 0.0f, 1.0f);
        const float light =
            kit::smoothstep(0.0f, 0.55f, shown) * 0.85f + 0.15f * kit::smoothstep(0.0f, 0.1f, shown);
        const float dark = 1.0f - light;
        const float corona = 1.0f - kit::smoothstep(0.0f, 5.0f, gap);
        const float t = static_cast<float>(c.frame % 100000u);

        // Sky rows: day blue to deep indigo, with the sunset glow that rings the horizon at totality.
        const int horizon = c.n * 78 / 100;
        for (int y = 0; y < c.n; ++y) {
            const float h = static_cast<float>(y) / static_cast<float>(horizon);
            const kit::Rgb day = kit::mix(kit::fromLevels(40, 105, 200), kit::fromLevels(170, 205, 235), h);
            const kit::Rgb night = kit::mix(kit::fromLevels(12, 14, 52), kit::fromLevels(70, 40, 90), h);
            kit::Rgb sky = kit::mix(day, night, dark);
            const float glow = kit::smoothstep(0.55f, 1.0f, h) * dark;
            sky = kit::mix(sky, kit::fromLevels(255, 130, 60), glow * 0.75f);
            skyRow_[y] = sky;
        }
        // Corona streamers by bearing, slowly turning and pulsing.
        for (int b = 0; b < bins; ++b) {
            const float a = (static_cast<float>(b) + 0.5f) * (kit::twoPi / bins);
            const float equator = 0.5f + 0.5f * fastCos(2.0f * (a - 0.35f));
            const float streak = 0.35f + 0.25f * fastSin(a * 11.0f + t * 0.01f) +
                                 0.2f * fastSin(a * 27.0f - t * 0.017f) +
                                 0.15f * fastSin(a * 53.0f + t * 0.006f);
            reach_[b] = 1.0f / (sunR * (0.35f + 1.6f * streak * streak + 1.6f * equator * equator));
        }
        const kit::Rgb coronaColour = kit::fromLevels(235, 240, 255);
        const kit::Rgb photosphere = kit::fromLevels(255, 248, 215), limb = kit::fromLevels(255, 170, 70);
        const kit::Rgb moonColour = kit::mix(kit::fromLevels(30, 40, 70), kit::fromLevels(6, 6, 14), dark);
        const kit::Rgb farHill = kit::mix(kit::fromLevels(70, 110, 120), kit::fromLevels(40, 28, 60), dark);
        const kit::Rgb nearHill = kit::mix(kit::fromLevels(40, 80, 45), kit::fromLevels(16, 12, 26), dark);
        // Ridges, two layers: the far one hazy, the near one dark.
        for (int x = 0; x < c.n; ++x) {
            const float fx = static_cast<float>(x) / n;
            farTop_[x] = n * (0.7f + 0.05f * fastSin(fx * 7.0f + ridgePhase_[0]) +
                              0.025f * fastSin(fx * 17.0f + ridgePhase_[1]));
            nearTop_[x] = n * (0.84f + 0.04f * fastSin(fx * 5.0f + ridgePhase_[2]) +
                               0.02f * fastSin(fx * 23.0f + ridgePhase_[3]));
        }
        const float aureole = light * 0.9f;
        const float moonR2 = moonR * moonR;
        size_t i = 0;
        for (int x = 0; x < c.n; ++x) {
            const float mx = static_cast<float>(x) - moonX;
            for (int y = 0; y < c.n; ++y, ++i) {
                const float fy = static_cast<float>(y);
                if (fy >= farTop_[x]) {
                    const float depth = kit::clampf((fy - farTop_[x]) * 0.08f, 0.0f, 1.0f);
                    kit::Rgb land = fy >= nearTop_[x] ? nearHill : kit::mix(farHill, nearHill, depth * 0.4f);
                    kit::setCell(c, x, y, land);
                    continue;
                }
                const float d = dist_[i];
                kit::Rgb col = skyRow_[y];
                const float my = fy * rowScale - moonY;
                const float m2 = mx * mx + my * my;
                if (d <= sunR) {
                    const float r = d / sunR;
                    col = m2 < moonR2 ? moonColour : kit::mix(photosphere, limb, r * r * r * 0.6f);
                } else {
                    // The glare around the bright sun by day, the corona's streamers near totality; the new
                    // moon is unseen against a bright sky and shows only as the sky darkens.
                    const float e = d - sunR;
                    const float glare = aureole * sunR * 0.6f / (e + sunR * 0.6f);
                    col = kit::mix(col, kit::fromLevels(255, 250, 225), glare * glare);
                    if (m2 < moonR2) {
                        col = kit::mix(col, moonColour, dark * dark);
                    } else if (corona > 0.0f) {
                        const float k = 1.0f - e * reach_[bin_[i]];
                        if (k > 0.0f) {
                            const float inner = sunR * 0.25f / (e + sunR * 0.25f);
                            col = kit::mix(col, coronaColour,
                                           kit::clampf((k * k * 0.8f + inner) * corona, 0.0f, 1.0f));
                        }
                    }
                }
                kit::setCell(c, x, y, col);
            }
        }
        drawStars(c, dark, t);
        if (corona > 0.0f) {
            drawProminences(c, sunR, corona);
        }
        drawBeads(c, sunR, gap, off, t);
    }

  private:
    static float sunRadius(float n) { return n * 0.12f; }

    // The sun stays put: each cell's distance from its centre and bearing bin, once per grid size.
    void layout(const EffectContext& c) {
        const float n = static_cast<float>(c.n);
        sunX_ = n * 0.5f;
        sunY_ = n * 0.36f * rowScale;
        const size_t cells = static_cast<size_t>(c.n) * c.n;
        dist_.assign(cells, 0.0f);
        bin_.assign(cells, 0);
        skyRow_.assign(static_cast<size_t>(c.n), kit::Rgb{});
        farTop_.assign(static_cast<size_t>(c.n), 0.0f);
        nearTop_.assign(static_cast<size_t>(c.n), 0.0f);
        size_t i = 0;
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y, ++i) {
                const float px = static_cast<float>(x) - sunX_, py = static_cast<float>(y) * rowScale - sunY_;
                dist_[i] = std::sqrt(px * px + py * py);
                const int b = kit::toCell((kit::angleOf(px, py) + kit::pi) * (bins / kit::twoPi));
                bin_[i] = static_cast<uint16_t>(b < 0 ? 0 : b >= bins ? bins - 1 : b);
            }
        }
    }

    // A point on the sun's limb at a bearing, in cells.
    void limbPoint(float sunR, float a, float& x, float& y) const {
        x = sunX_ + fastCos(a) * sunR;
        y = (sunY_ + fastSin(a) * sunR) / rowScale;
    }

    void drawStars(const EffectContext& c, float dark, float t) {
        const float vis = kit::smoothstep(0.6f, 0.95f, dark);
        if (vis <= 0.0f) {
            return;
        }
        for (const Star& s : stars_) {
            const float tw = 0.75f + 0.25f * fastSin(t * 0.09f + s.twinkle);
            kit::blendCell(c, s.x, s.y, kit::fromLevels(230, 235, 255), vis * s.level * tw);
        }
        // Venus, low and bright beside the sun.
        const float vx = sunX_ - static_cast<float>(c.n) * 0.3f, vy = (sunY_ / rowScale) + c.n * 0.2f;
        kit::softDisc(c, vx, vy, 3.0f, kit::fromLevels(255, 250, 230), vis, kit::Blend::set);
    }

    void drawProminences(const EffectContext& c, float sunR, float strength) {
        for (const Prominence& p : prominences_) {
            for (int k = 0; k < 4; ++k) {
                float x = 0.0f, y = 0.0f;
                limbPoint(sunR * 1.05f + p.height * static_cast<float>(k) * 0.35f, p.angle + k * 0.03f, x, y);
                kit::softDisc(c, x, y, 2.4f - k * 0.4f, kit::fromLevels(255, 60, 90), strength * 0.9f,
                              kit::Blend::set);
            }
        }
    }

    // Just before and after totality the last sunlight breaks through the lunar valleys as a string of beads;
    // a little earlier and later a single bead blazes beside the corona, the diamond ring.
    void drawBeads(const EffectContext& c, float sunR, float gap, float off, float t) {
        if (gap <= 0.0f || gap > 8.0f) {
            return;
        }
        // The sunlight shows on the side away from the moon.
        const float a0 = kit::angleOf(off > 0.0f ? -1.0f : 1.0f, off > 0.0f ? 0.18f : -0.18f);
        if (gap < 1.2f) {
            const float spread = 0.3f + 0.3f * gap;
            for (int k = 0; k < beads; ++k) {
                const float u = static_cast<float>(k) / (beads - 1) - 0.5f;
                float x = 0.0f, y = 0.0f;
                limbPoint(sunR * 1.02f, a0 + u * spread * 2.0f, x, y);
                const float level = beadLevel_[k] * (1.0f - 1.6f * u * u) * kit::smoothstep(0.0f, 0.3f, gap);
                if (level > 0.05f) {
                    kit::softDisc(c, x, y, 2.5f + 3.5f * level, kit::white, level, kit::Blend::set);
                    kit::fillDisc(c, x, y, 0.6f + 1.0f * level, kit::white);
                }
            }
        } else {
            const float ring = kit::smoothstep(1.2f, 2.0f, gap) * (1.0f - kit::smoothstep(4.5f, 8.0f, gap));
            float x = 0.0f, y = 0.0f;
            limbPoint(sunR * 1.02f, a0, x, y);
            const float flick = 0.85f + 0.15f * fastSin(t * 0.7f);
            kit::softDisc(c, x, y, 16.0f * ring * flick, kit::white, 1.0f, kit::Blend::set);
            kit::fillDisc(c, x, y, 3.5f * ring, kit::white);
            const float len = 30.0f * ring * flick;
            kit::drawLine(c, x - len, y, x + len, y, kit::white, kit::Blend::max);
            kit::drawLine(c, x, y - len * 1.33f, x, y + len * 1.33f, kit::white, kit::Blend::max);
        }
    }

    struct Star {
        int x, y;
        float level, twinkle;
    };
    struct Prominence {
        float angle, height;
    };
    static constexpr int bins = 720;
    static constexpr int beads = 7;
    float sunX_ = 0.0f, sunY_ = 0.0f;
    std::vector<float> dist_;
    std::vector<uint16_t> bin_;
    std::vector<kit::Rgb> skyRow_;
    std::vector<float> farTop_, nearTop_;
    float reach_[bins]{};
    float ridgePhase_[4]{};
    float beadLevel_[beads]{};
    Star stars_[90]{};
    Prominence prominences_[5]{};
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Eclipse);

} // namespace glowfield
