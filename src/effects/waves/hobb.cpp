// Hobb: a cooker hob of four spiral rings on black glass. The rings heat up one after another, glowing from
// iron grey to orange, the hot ones throw pulses of red shimmer into the air, and bubbles simmer above the
// hottest before it cools back in its turn. Heat crawls round a glowing coil in bright waves, so a hob that
// is on is never still.
#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Hobb : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::fillColours(c, kit::fromLevels(12, 12, 16), true);
        tick_ = static_cast<uint32_t>(c.random(0, 300));
    }

    void step(EffectContext& c) override {
        ++tick_;
        kit::tameField(c, 300.0f, 20.0f);
        kit::pullColours(c, kit::fromLevels(10, 10, 14), 0.08f);
        kit::scaleVelocities(c, 0.97f);
        const float n = static_cast<float>(c.n);
        const float cxs[4] = {n * 0.3f, n * 0.72f, n * 0.28f, n * 0.7f};
        const float cys[4] = {n * 0.3f, n * 0.28f, n * 0.72f, n * 0.7f};
        const float radii[4] = {n * 0.19f, n * 0.14f, n * 0.13f, n * 0.2f};
        int hottest = 0;
        float hottestHeat = -1.0f;
        // With music the hob is a meter: each ring glows with a band of its own (bass, middle, treble and
        // the whole), flaring at once and cooling slowly as iron does.
        const bool heard = c.sound.heard();
        if (heard) {
            const float bands[4] = {c.sound.bass, c.sound.middle, c.sound.treble, c.sound.level};
            for (int i = 0; i < 4; ++i) {
                bands_[i] += (bands[i] - bands_[i]) * (bands[i] > bands_[i] ? 0.3f : 0.04f);
            }
        }
        for (int i = 0; i < 4; ++i) {
            // Each ring's heat rises and falls in turn over a 16-second cycle.
            const int local = static_cast<int>((tick_ + static_cast<uint32_t>(i) * 200u) % 800u);
            float heat = local < 300 ? kit::smoothstep(0.0f, 220.0f, static_cast<float>(local))
                                     : 1.0f - kit::smoothstep(300.0f, 520.0f, static_cast<float>(local));
            if (heard) {
                heat = bands_[i];
            }
            if (heat > hottestHeat) {
                hottestHeat = heat;
                hottest = i;
            }
            drawRing(c, cxs[i], cys[i], radii[i], heat);
            if (heat > 0.3f && tick_ % 12u == static_cast<uint32_t>(i)) {
                pulse_[i] = heat;
                kit::pushVelocity(c, cxs[i], cys[i], radii[i] * 1.1f, 2.5f * heat, kit::red);
            } else if (pulse_[i] > 0.0f && tick_ % 12u == static_cast<uint32_t>(i + 5)) {
                kit::pushVelocity(c, cxs[i], cys[i], radii[i] * 1.1f, -2.5f * pulse_[i], kit::red);
                pulse_[i] = 0.0f;
            }
        }
        // Simmer: small balanced pops over the hottest ring, a little brighter than the glow.
        if (hottestHeat > 0.6f) {
            for (int k = 0; k < 2; ++k) {
                const float a = c.randomUnit() * kit::twoPi;
                const float r = c.randomUnit() * radii[hottest] * 0.9f;
                const float bx = cxs[hottest] + r * fastCos(a), by = cys[hottest] + r * fastSin(a);
                kit::balancedPush(c, bx, by, 2.0f, 2.0f * hottestHeat);
                kit::softDisc(c, bx, by, 2.5f, kit::Rgb{60, 40, 20}, hottestHeat);
            }
        }
    }

  private:
    float bands_[4] = {}; // the bands as the rings follow them
    // An iron spiral of about four turns, drawn as a thick shaded coil over a dark burner plate.
    void drawRing(EffectContext& c, float cx, float cy, float radius, float heat) {
        kit::fillDisc(c, cx, cy, radius * 1.08f, kit::fromLevels(22, 22, 26));
        kit::drawRing(c, cx, cy, radius * 1.08f, 1.5f, kit::fromLevels(70, 70, 78));
        const kit::Rgb iron = kit::fromLevels(62, 60, 66);
        const kit::Rgb glow = kit::fromLevels(255, 90 + truncToInt(60 * heat), 20);
        const kit::Rgb ember = kit::fromLevels(120, 22, 8);
        const kit::Rgb core = kit::mix(kit::fromLevels(96, 94, 100), kit::fromLevels(255, 220, 120), heat);
        const int segments = 72;
        const float turns = 4.0f;
        float lastX = cx, lastY = cy;
        for (int s = 1; s <= segments; ++s) {
            const float f = static_cast<float>(s) / segments;
            const float a = f * turns * kit::twoPi;
            const float r = radius * (0.12f + 0.86f * f);
            const float x = cx + r * fastCos(a), y = cy + r * fastSin(a);
            // Waves of heat run outwards along the coil; a cold coil is plain iron.
            const float crawl = 0.5f + 0.5f * fastSin(f * 18.0f - static_cast<float>(tick_) * 0.3f);
            const kit::Rgb coil = kit::mix(iron, kit::mix(ember, glow, 0.35f + 0.65f * crawl), heat);
            kit::drawThickLine(c, lastX, lastY, x, y, 1.6f, coil);
            kit::drawLine(c, lastX - 0.5f, lastY - 0.5f, x - 0.5f, y - 0.5f, core);
            lastX = x;
            lastY = y;
        }
        if (heat > 0.05f) {
            kit::softDisc(c, cx, cy, radius * 1.4f, kit::Rgb{40, 6, -4}, heat * 0.5f);
        }
    }

    float pulse_[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    uint32_t tick_ = 0;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Hobb);

} // namespace glowfield
