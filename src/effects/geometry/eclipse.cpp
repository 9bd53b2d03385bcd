// Eclipse: a dark moon slides across a bright sun every twelve seconds. As it covers the disc the sky darkens
// and the pulsing corona of radial streaks brightens; at totality it flares, and a diamond-ring flash
// sparkles on the rim just before and after.
#include <cmath>
#include <cstdint>
#include <vector>

#include "effects/geometry/direct_cells.h"
#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Eclipse : public Effect {
  public:
    void start(EffectContext& c) override {
        // Leftovers of an earlier entry are brought into range once, so blends never carry NaN along.
        kit::tameField(c);
        // The sun stays put: each cell's distance from its centre and bearing bin, once.
        const float n = static_cast<float>(c.n);
        const float sunX = n * 0.5f, sunY = n * 0.45f;
        const size_t cells = static_cast<size_t>(c.n) * c.n;
        dist_.assign(cells, 0.0f);
        bin_.assign(cells, 0);
        size_t i = 0;
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y, ++i) {
                const float px = x - sunX, py = y - sunY;
                dist_[i] = std::sqrt(px * px + py * py);
                const int b = kit::toCell((kit::angleOf(px, py) + kit::pi) * (bins / kit::twoPi));
                bin_[i] = static_cast<uint16_t>(b < 0 ? 0 : b >= bins ? bins - 1 : b);
            }
        }
        for (Star& s : stars_) {
            s.x = c.random(0, c.n - 1);
            s.y = c.random(0, c.n - 1);
            s.level = 0.4f + c.randomUnit() * 0.6f;
        }
    }

    void step(EffectContext& c) override {
        kit::scaleVelocities(c, 0.0f);
        const float n = static_cast<float>(c.n);
        const float sunX = n * 0.5f, sunY = n * 0.45f, sunR = n * 0.14f;
        const uint32_t cycle = 600u;
        const float phase = static_cast<float>(c.frame % cycle) / static_cast<float>(cycle);
        // The moon crosses on a slightly tilted path, passing dead centre at mid-cycle.
        const float moonX = sunX + (phase - 0.5f) * n * 1.5f;
        const float moonY = sunY + (phase - 0.5f) * n * 0.12f;
        const float moonR = sunR * 1.03f;
        const float dx = moonX - sunX, dy = moonY - sunY;
        const float sep = std::sqrt(dx * dx + dy * dy);
        // Coverage 0 (apart) .. 1 (total).
        const float cover = 1.0f - kit::clampf((sep - (moonR - sunR)) / (2.0f * sunR), 0.0f, 1.0f);
        const float total = kit::smoothstep(0.9f, 1.0f, cover);
        const float t = static_cast<float>(c.frame % 100000u) * 0.05f;
        const kit::Rgb day = kit::fromLevels(70, 110, 170), night = kit::fromLevels(4, 6, 20);
        const kit::Rgb sky = geometry::blend(day, night, kit::smoothstep(0.3f, 0.95f, cover));
        const float coronaGain = 0.25f + 0.75f * kit::smoothstep(0.6f, 1.0f, cover) + 0.4f * total;
        // Corona streak lengths by bearing, once a frame; cells look theirs up.
        const float gain = kit::clampf(coronaGain, 0.0f, 1.0f);
        for (int b = 0; b < bins; ++b) {
            const float a = (static_cast<float>(b) + 0.5f) * (kit::twoPi / bins) - kit::pi;
            const float streak =
                0.55f + 0.25f * fastSin(a * 13.0f + t * 0.3f) + 0.2f * fastSin(a * 29.0f - t * 0.5f);
            reach_[b] = 1.0f / (sunR * (0.5f + 1.4f * streak * coronaGain));
        }
        const kit::Rgb coronaColour = kit::fromLevels(255, 240, 215),
                       photosphere = kit::fromLevels(255, 236, 160);
        const kit::Rgb moonColour = kit::fromLevels(3, 3, 8);
        size_t i = 0;
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y, ++i) {
                const float d = dist_[i];
                kit::Rgb col = sky;
                if (d > sunR) {
                    // Corona: radial streaks whose lengths pulse, fading with distance from the limb.
                    const float k = 1.0f - (d - sunR) * reach_[bin_[i]];
                    if (k > 0.0f) {
                        col = geometry::blend(col, coronaColour, k * k * gain);
                    }
                } else {
                    // The photosphere, darker towards the limb.
                    col = geometry::dim(photosphere, 1.0f - 0.35f * (d / sunR) * (d / sunR));
                }
                const float mx = x - moonX, my = y - moonY;
                const float m2 = mx * mx + my * my;
                if (m2 < moonR * moonR) {
                    const float edge = kit::smoothstep(moonR - 1.5f, moonR, std::sqrt(m2));
                    col = geometry::blend(moonColour, col, edge * 0.5f);
                }
                geometry::putCell(c, x, y, col);
            }
        }
        for (const Star& s : stars_) {
            const float vis = kit::smoothstep(0.75f, 1.0f, cover) * s.level;
            if (vis > 0.0f && !(std::fabs(s.x - sunX) < sunR * 2.5f && std::fabs(s.y - sunY) < sunR * 2.5f)) {
                kit::blendCell(c, s.x, s.y, kit::white, vis);
            }
        }
        // The diamond ring: where the last sliver of sun shows, the point on the sun's rim farthest from the
        // moon's centre blazes with a cross of spikes.
        const float ring = kit::smoothstep(0.75f, 0.93f, cover) * (1.0f - total) * 1.6f;
        if (ring > 0.02f && sep > 0.01f) {
            const float rx = sunX - dx / sep * sunR, ry = sunY - dy / sep * sunR;
            const float flick = 0.8f + 0.2f * fastSin(t * 3.0f);
            kit::softDisc(c, rx, ry, 9.0f * ring * flick, kit::white, 1.5f, kit::Blend::add);
            const float len = 22.0f * ring * flick;
            kit::drawLine(c, rx - len, ry, rx + len, ry, kit::white, kit::Blend::max);
            kit::drawLine(c, rx, ry - len, rx, ry + len, kit::white, kit::Blend::max);
            kit::drawLine(c, rx - len * 0.5f, ry - len * 0.5f, rx + len * 0.5f, ry + len * 0.5f, kit::white,
                          kit::Blend::max);
            kit::drawLine(c, rx - len * 0.5f, ry + len * 0.5f, rx + len * 0.5f, ry - len * 0.5f, kit::white,
                          kit::Blend::max);
        }
    }

  private:
    struct Star {
        int x, y;
        float level;
    };
    static constexpr int bins = 720;
    std::vector<float> dist_;
    std::vector<uint16_t> bin_;
    float reach_[bins]{};
    Star stars_[120]{};
};

} // namespace

std::unique_ptr<Effect> makeEclipse() {
    return std::make_unique<Eclipse>();
}

} // namespace glowfield
