// X-Static: television snow with a hidden X. Every cell shows fresh grey noise each frame, but inside a
// broad X the noise is biased brighter and tinted, rising until the X stands out of the static and fading
// again; a brighter bar rolls down the picture as on a badly tuned set.
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class XStatic : public Effect {
  public:
    void start(EffectContext& c) override {
        // A table of draws reused at a fresh random offset each frame: snow without a draw per cell.
        noise_.resize(tableSize);
        for (auto& v : noise_) {
            v = static_cast<uint8_t>(c.random() & 0xff);
        }
        kit::scaleVelocities(c, 0.0f);
    }

    void step(EffectContext& c) override {
        const int age = static_cast<int>(c.framesSinceStart) + 1;
        kit::scaleVelocities(c, 0.0f);
        const int n = c.n;
        const float h = static_cast<float>(n) * 0.5f;
        // The X's strength: a slow rise, a hold and a fade, 320 frames a round.
        const int phase = age % 320;
        const float strength = phase < 40    ? 0.25f + phase / 60.0f
                               : phase < 220 ? 1.0f + 0.15f * fastSin(phase * 0.2f)
                                             : kit::clampf((300 - phase) / 80.0f, 0.0f, 1.0f) + 0.15f;
        const kit::Rgb tint = kit::hsv(static_cast<float>(age / 320) * 0.37f + 0.55f, 0.7f, 1.0f);
        const float bar = static_cast<float>((age * 3) % (n + 60)) - 30.0f;
        const int offset = c.random() * 2 + (c.random() & 1);
        const float halfWidth = static_cast<float>(n) * 0.11f;
        for (int y = 0; y < n; ++y) {
            // Each row slips sideways a little, as a weak signal does.
            const int row = (offset + y * 331 + (c.random() & 7)) % tableSize;
            const float barLift = 1.0f - kit::clampf(absf(static_cast<float>(y) - bar) / 14.0f, 0.0f, 1.0f);
            for (int x = 0; x < n; ++x) {
                const float g = static_cast<float>(noise_[(row + x) % tableSize]) / 255.0f;
                const float dx = x - h, dy = y - h;
                // Distance to the nearer diagonal, softened at the edge of the stroke.
                const float d = absf(absf(dx) - absf(dy)) * 0.7071f;
                const float inside = 1.0f - kit::smoothstep(halfWidth - 3.0f, halfWidth + 3.0f, d);
                const float k = inside * strength;
                const float level = g * (0.75f + 0.35f * k) + 0.15f * k + 0.2f * barLift;
                const kit::Rgb grey = kit::shade(kit::white, kit::clampf(level, 0.0f, 1.0f));
                const kit::Rgb col =
                    kit::mix(grey, kit::shade(tint, kit::clampf(level + 0.2f, 0.0f, 1.0f)), 0.6f * k);
                kit::paint(c, x, y, col);
            }
        }
    }

  private:
    static constexpr int tableSize = 65521;
    std::vector<uint8_t> noise_;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(XStatic);

} // namespace glowfield
