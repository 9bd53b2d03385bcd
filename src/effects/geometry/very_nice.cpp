// Very Nice: out-of-focus bokeh. Forty soft discs of pastel light drift slowly over a dusky background, each
// a smooth glow with a slightly brighter rim, so overlaps blend like highlights in a blurred night photo.
#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class VeryNice : public Effect {
  public:
    void start(EffectContext& c) override {
        // Leftovers of an earlier entry are brought into range once, so blends never carry NaN along.
        kit::tameField(c);
        for (Disc& d : discs_) {
            respawn(c, d);
            d.x = c.randomUnit() * static_cast<float>(c.n);
        }
    }

    void step(EffectContext& c) override {
        const float n = static_cast<float>(c.n);
        kit::scaleVelocities(c, 0.5f);
        // A dusky gradient to glow over, redrawn most of the way each frame so the discs do not smear.
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                const float k = static_cast<float>(y) / n;
                kit::mixCell(c, x, y, kit::mix(kit::fromLevels(18, 10, 40), kit::fromLevels(45, 20, 40), k),
                             0.35f);
            }
        }
        const float t = static_cast<float>(c.frame % 100000u);
        // With music the discs listen in three groups, to the bass, the middle and the treble: each swells
        // with its band, and all drift faster as it grows loud.
        const bool heard = c.sound.heard();
        if (heard) {
            const float bands[3] = {c.sound.bass, c.sound.middle, c.sound.treble};
            for (int i = 0; i < 3; ++i) {
                bands_[i] += (bands[i] - bands_[i]) * (bands[i] > bands_[i] ? 0.15f : 0.05f);
            }
        }
        int group = 0;
        for (Disc& d : discs_) {
            d.x += d.vx;
            d.y += d.vy + 0.05f * fastSin(t * 0.01f + d.phase);
            if (heard) {
                d.x += d.vx * 2.0f * c.sound.level;
            }
            if (d.x < -d.r || d.x > n + d.r || d.y < -d.r || d.y > n + d.r) {
                // Out of one side, back in at the opposite one in a new colour.
                const float ox = d.x, oy = d.y;
                respawn(c, d);
                d.x = ox < -d.r ? n + d.r * 0.9f : ox > n + d.r ? -d.r * 0.9f : ox;
                d.y = oy < -d.r ? n + d.r * 0.9f : oy > n + d.r ? -d.r * 0.9f : oy;
            }
            const float glow = 0.55f + 0.15f * fastSin(t * 0.03f + d.phase * 3.0f);
            const float r = heard ? d.r * (0.7f + 0.7f * bands_[group]) : d.r;
            group = (group + 1) % 3;
            // A nearly flat disc of light with a brighter rim, the look of an out-of-focus highlight.
            kit::fillDisc(c, d.x, d.y, r, light(d.colour, glow * 0.16f), kit::Blend::add);
            kit::drawRing(c, d.x, d.y, r - 0.8f, 1.6f, light(d.colour, 0.12f), kit::Blend::add);
            kit::softDisc(c, d.x, d.y, r * 0.8f, light(d.colour, 0.08f), 1.0f, kit::Blend::add);
        }
    }

  private:
    float bands_[3] = {}; // the bands as the discs follow them
    // The light a colour adds: its level, scaled.
    static kit::Rgb light(kit::Rgb col, float k) {
        return {(col.r + 127.0f) * k, (col.g + 127.0f) * k, (col.b + 127.0f) * k};
    }

    struct Disc {
        float x, y, vx, vy, r, phase;
        kit::Rgb colour;
    };

    void respawn(EffectContext& c, Disc& d) {
        d.y = c.randomUnit() * static_cast<float>(c.n);
        d.vx = (c.randomUnit() - 0.35f) * 0.5f;
        d.vy = (c.randomUnit() - 0.6f) * 0.3f;
        d.r = 7.0f + c.randomUnit() * 16.0f;
        d.phase = c.randomUnit() * kit::twoPi;
        const float hues[5] = {0.08f, 0.13f, 0.55f, 0.85f, 0.95f};
        d.colour = kit::hsv(hues[c.random(0, 4)] + (c.randomUnit() - 0.5f) * 0.06f, 0.45f, 1.0f);
    }

    Disc discs_[40]{};
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(VeryNice);

} // namespace glowfield
