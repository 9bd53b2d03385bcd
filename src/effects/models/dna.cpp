// DNA: a double helix climbing the screen, two backbones joined by base-pair rungs in four colours. Every few
// seconds a fork runs up the molecule: behind it the strands part, their rungs broken into stubs, and close
// again further down. It is seen down a microscope: a round field of pale laboratory blue-green light,
// dimming to a dark rim at the edges of the picture.
#include <array>

#include "effects/kit/backdrop.h"
#include "effects/kit/kit.h"

namespace glowfield {

namespace {

constexpr int basePairs = 40;

class Dna : public Effect {
  public:
    void start(EffectContext& c) override {
        for (int& b : bases_) {
            b = c.random(0, 3);
        }
    }

    void step(EffectContext& c) override {
        kit::tameNowAndThen(c, 300.0f, 40.0f);
        kit::scaleVelocities(c, 0.8f);
        const float t = static_cast<float>(c.frame % 200000u);
        const float half = static_cast<float>(c.n) * 0.5f;
        const kit::Glow field{half, half, half * 1.15f, {26.0f, 62.0f, 58.0f}};
        kit::pullTowards(c, kit::fromLevels(4, 26, 34), kit::fromLevels(4, 22, 30), 0.4f, field);
        const float radius = half * 0.36f, rise = half * 3.6f / basePairs;
        // The molecule scrolls upward, one base pair at a time; the sequence scrolls with it.
        const float scroll = t * 0.25f;
        const int shift = kit::toCell(scroll / rise);
        const float offset = scroll - static_cast<float>(shift) * rise;
        const float spin = t * 0.02f, lean = 0.25f * fastSin(t * 0.006f);
        // The fork climbs from below the screen to above it in 200 frames, then waits 100.
        const float forkPhase = static_cast<float>(c.frame % 300u) / 200.0f;
        const float forkY = half * 2.0f - forkPhase * half * 4.4f;
        static constexpr kit::Rgb colours[4] = {kit::fromLevels(255, 70, 60), kit::fromLevels(60, 230, 90),
                                                kit::fromLevels(70, 120, 255), kit::fromLevels(250, 220, 50)};
        Vec3 lastA{}, lastB{};
        for (int i = 0; i < basePairs; ++i) {
            const float y = half * 1.8f - static_cast<float>(i) * rise - offset;
            const float angle = static_cast<float>(i + shift) * 0.55f + spin;
            // Open behind the fork (a smooth bubble 50 cells long), closed elsewhere.
            const float behind = y - forkY;
            const float open = forkPhase < 1.0f ? kit::smoothstep(0.0f, 12.0f, behind) *
                                                      (1.0f - kit::smoothstep(30.0f, 60.0f, behind))
                                                : 0.0f;
            const float r = radius * (1.0f + 0.9f * open);
            const float push = half * 0.18f * open;
            Vec3 a{r * fastCos(angle) - push, y, r * fastSin(angle)};
            Vec3 b{-r * fastCos(angle) + push, y, -r * fastSin(angle)};
            a = kit::turn(a, 0.0f, 0.0f, lean) + Vec3{0.0f, 0.0f, half * 0.95f};
            b = kit::turn(b, 0.0f, 0.0f, lean) + Vec3{0.0f, 0.0f, half * 0.95f};
            const int base = bases_[static_cast<size_t>(kit::wrap(i + shift, basePairs))];
            const kit::Rgb left = colours[base], right = colours[base ^ 1];
            const Vec3 mid = (a + b) * 0.5f;
            if (open < 0.2f) {
                kit::modelLine(c, a, mid, left, 1);
                kit::modelLine(c, mid, b, right, 1);
            } else {
                kit::modelLine(c, a, a + (mid - a) * 0.3f, left, 1);
                kit::modelLine(c, b, b + (mid - b) * 0.3f, right, 1);
            }
            if (i > 0) {
                kit::modelLine(c, lastA, a, kit::fromLevels(235, 235, 255), 2);
                kit::modelLine(c, lastB, b, kit::fromLevels(255, 170, 230), 2);
            }
            lastA = a;
            lastB = b;
        }
    }

  private:
    using Vec3 = kit::Vec3;
    std::array<int, basePairs> bases_{};
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Dna);

} // namespace glowfield
