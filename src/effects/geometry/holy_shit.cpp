// Holy Shit: two perforated plates over a glowing field. One slides, the other slowly turns; light shows only
// where holes of both plates line up, so broad moire rosettes bloom and drift across the screen.
#include <cmath>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

// Openness 0..1 of a plate of round holes at (u, v): 1 in a hole's centre, 0 on the metal.
inline float hole(float u, float v, float spacing, float radius) {
    const float fu = u / spacing, fv = v / spacing;
    const float du = (fu - std::floor(fu) - 0.5f) * spacing, dv = (fv - std::floor(fv) - 0.5f) * spacing;
    const float d = std::sqrt(du * du + dv * dv);
    return kit::clampf((radius - d) * 0.8f, 0.0f, 1.0f);
}

class HolyShit : public Effect {
  public:
    // Leftovers of an earlier entry are brought into range once, so no NaN velocity lingers underneath.
    void start(EffectContext& c) override { kit::tameField(c); }

    void step(EffectContext& c) override {
        kit::scaleVelocities(c, 0.0f);
        const float t = static_cast<float>(c.frame % 200000u);
        const float n = static_cast<float>(c.n), half = n * 0.5f;
        const float spacing = 4.6f + 0.4f * fastSin(t * 0.004f);
        const float radius = spacing * 0.5f;
        const float slideX = t * 0.11f, slideY = 8.0f * fastSin(t * 0.007f);
        const float angle = 0.07f + 0.05f * fastSin(t * 0.0025f);
        const float ca = fastCos(angle), sa = fastSin(angle);
        const float hueBase = t * 0.0008f;
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                const float px = x - half, py = y - half;
                const float a = hole(px + slideX, py + slideY, spacing, radius);
                const float ru = px * ca - py * sa, rv = px * sa + py * ca;
                const float b = hole(ru, rv, spacing, radius);
                const float light = a * b;
                // What lies behind: a slow colour wash, so the rosettes change hue as they drift.
                const kit::Rgb behind = kit::hsv(hueBase + (px + py) * 0.002f, 0.7f, 1.0f);
                // The front plate's metal is faintly visible, so the structure reads even where dark.
                const kit::Rgb metal = kit::fromLevels(22, 24, 30 + static_cast<int>(20.0f * (1.0f - a)));
                kit::paint(c, x, y, kit::mix(metal, behind, light));
            }
        }
    }
};

} // namespace

std::unique_ptr<Effect> makeHolyShit() {
    return std::make_unique<HolyShit>();
}

} // namespace glowfield
