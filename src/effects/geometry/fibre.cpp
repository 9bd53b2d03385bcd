// Fibre: a fibre-optic lamp in a dusky room. A hundred and twenty fibres fan up from the lamp's base in
// gentle arcs that sway together; the shafts are dim, each tip is a bright colour-cycling point, and pulses
// of light climb the shafts as brighter dashes. The lamp washes the room around it in a soft glow of its own
// slowly turning colour.
#include "effects/kit/backdrop.h"
#include "effects/kit/kit.h"

namespace glowfield {

namespace {

constexpr int fibreCount = 120;
constexpr int pointsPerFibre = 28;

class Fibre : public Effect {
    int sinceOnset_ = 1000; // frames since the music's last strong onset

  public:
    void step(EffectContext& c) override {
        const float n = static_cast<float>(c.n);
        const float t = static_cast<float>(c.frame % 400000u) * 0.02f;
        // The room settles quickly back to its lamplight, so moving tips leave short comet tails.
        kit::tameField(c, 200.0f, 0.0f);
        const float baseX = n * 0.5f, baseY = n * 0.86f;
        const kit::Rgb tint = kit::hsv(t * 0.05f + 0.4f, 0.75f, 1.0f);
        const kit::Glow glow{baseX,
                             n * 0.42f,
                             n * 0.72f,
                             {(tint.r + 127.0f) * 0.3f, (tint.g + 127.0f) * 0.3f, (tint.b + 127.0f) * 0.3f}};
        kit::pullTowards(c, kit::fromLevels(14, 10, 34), kit::fromLevels(34, 24, 46), 0.35f, glow);
        const float sway = 0.12f * fastSin(t * 0.7f) + 0.05f * fastSin(t * 1.9f + 1.0f);
        // With music a strong onset sends a pulse of light up the fibres, the middle ones first and the
        // outer ones after, so it opens like a fan.
        const bool heard = c.sound.heard();
        if (heard && c.sound.onset && c.sound.onsetStrength >= 0.5f && sinceOnset_ > 12) {
            sinceOnset_ = 0;
        } else if (sinceOnset_ < 1000) {
            ++sinceOnset_;
        }
        const float climb = static_cast<float>(sinceOnset_) / 9.0f; // 0 at the base, 1 at the tips
        for (int i = 0; i < fibreCount; ++i) {
            const float k = static_cast<float>(i);
            // Spread over a fan; golden-ratio order so neighbours differ in length and colour.
            const float u = (k * 0.618034f) - static_cast<float>(kit::toCell(k * 0.618034f)); // 0..1
            const float spread = (u - 0.5f) * 2.3f;
            const float length =
                n * (0.5f + 0.22f * (1.0f - absf(spread) / 1.15f) + 0.06f * fastSin(k * 2.7f));
            const float bend = 0.9f * spread + sway * (1.0f + 0.3f * fastSin(k));
            const float droop = 0.55f * spread * absf(spread);
            const float hue = t * 0.05f + u * 0.8f;
            const kit::Rgb tipColour = kit::hsv(hue, 0.8f, 1.0f);
            const kit::Rgb shaft = kit::shade(tipColour, 0.32f);
            const float pulse =
                heard ? climb - 0.6f * absf(spread)
                      : (t * 0.45f + k * 0.37f) - static_cast<float>(kit::toCell(t * 0.45f + k * 0.37f));
            float px = baseX, py = baseY;
            for (int j = 1; j <= pointsPerFibre; ++j) {
                const float s = static_cast<float>(j) / pointsPerFibre;
                // The fibre leaves upward and curves outward, then droops towards its tip.
                const float angle = -kit::pi * 0.5f + bend * s + droop * s * s;
                const float step = length / pointsPerFibre;
                const float nx = px + fastCos(angle) * step, ny = py + fastSin(angle) * step;
                const float dash = absf(s - pulse) < 0.07f ? 1.0f : 0.0f;
                kit::drawLine(c, px, py, nx, ny, kit::mix(shaft, tipColour, dash * 0.8f), kit::Blend::max);
                px = nx;
                py = ny;
            }
            kit::fillDisc(c, px, py, 1.3f, tipColour, kit::Blend::max);
            kit::paint(c, kit::toCell(px), kit::toCell(py), kit::mix(tipColour, kit::white, 0.6f));
        }
        // The lamp: a glowing collar and a dark conical base.
        kit::softDisc(c, baseX, baseY - 2.0f, n * 0.08f, kit::Rgb{90.0f, 80.0f, 110.0f}, 0.8f);
        const float xs[4] = {baseX - n * 0.05f, baseX + n * 0.05f, baseX + n * 0.1f, baseX - n * 0.1f};
        const float ys[4] = {baseY, baseY, n * 0.99f, n * 0.99f};
        kit::fillPolygon(c, xs, ys, 4, kit::fromLevels(40, 38, 50));
        kit::drawLine(c, xs[0], ys[0], xs[1], ys[1], kit::fromLevels(200, 200, 220));
        kit::fillRect(c, 0.0f, n * 0.99f, n, n, kit::fromLevels(20, 18, 24));
    }
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Fibre);

} // namespace glowfield
