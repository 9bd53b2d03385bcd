// Vortex: flying down a twisting tunnel. Polygon rings at increasing depth follow a winding path, turn as
// they come, and recycle to the far end once they pass the viewer; lengthwise lines join the rings so the
// tunnel wall reads as a surface, and colour follows depth.
#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Vortex : public Effect {
  public:
    void step(EffectContext& c) override {
        kit::settleField(c, kit::black, 0.5f);
        const float t = static_cast<float>(c.frame % 200000u);
        const float n = static_cast<float>(c.n);
        constexpr int rings = 24, sides = 10;
        const float spacing = n * 0.12f, nearest = -n * 0.55f;
        const float travel = t * 2.2f;
        const int first = kit::toCell(travel / spacing);
        const float frac = travel / spacing - static_cast<float>(first);
        Vec3 previous[sides];
        for (int k = rings - 1; k >= 0; --k) {
            const float z = nearest + (static_cast<float>(k) + 1.0f - frac) * spacing;
            // Position along the tunnel in world terms, so that each ring keeps its own bend and twist.
            const float w = static_cast<float>(k + first) * spacing;
            const float ahead = z - nearest;
            const float sway = ahead * ahead / (n * 6.0f);
            const Vec3 centre{sway * fastSin(w * 0.004f + t * 0.004f), sway * 0.6f * fastCos(w * 0.003f), z};
            const float twist = w * 0.012f + t * 0.015f;
            const float radius = n * 0.3f;
            const kit::Rgb colour = kit::bright(w * 0.0015f + t * 0.001f, 1.0f);
            Vec3 ring[sides];
            for (int s = 0; s < sides; ++s) {
                const float a = twist + static_cast<float>(s) * (kit::twoPi / sides);
                ring[s] = centre + Vec3{radius * fastCos(a), radius * fastSin(a), 0.0f};
            }
            for (int s = 0; s < sides; ++s) {
                kit::fastLine(c, ring[s], ring[(s + 1) % sides], colour, true);
                if (k < rings - 1) {
                    kit::fastLine(c, ring[s], previous[s], kit::shade(colour, 0.55f), false);
                }
                previous[s] = ring[s];
            }
        }
    }

  private:
    using Vec3 = kit::Vec3;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Vortex);

} // namespace glowfield
