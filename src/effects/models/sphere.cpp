// Sphere: a wireframe globe of twelve meridians and eight parallels tumbles about two axes while bobbing on
// a slow figure-eight under a planetarium dome, deep blue overhead and paler towards the horizon. The far
// side is drawn thinner, smaller and darker than the near side, and the quick settle towards the dome each
// frame leaves short ghost trails behind the turning wires.
#include "effects/kit/backdrop.h"
#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Sphere : public Effect {
  public:
    void step(EffectContext& c) override {
        kit::tameNowAndThen(c, 200.0f, 8.0f);
        kit::scaleVelocities(c, 0.5f);
        const float n = static_cast<float>(c.n);
        const float t = static_cast<float>(c.frame % 400000u);
        // With music the globe swells with the bass and spins on faster as it grows loud.
        const bool heard = c.sound.heard();
        if (heard) {
            const float bass = c.sound.bass;
            bass_ += (bass - bass_) * (bass > bass_ ? 0.5f : 0.1f);
            spin_ = spin_ + 0.05f * c.sound.level < kit::twoPi ? spin_ + 0.05f * c.sound.level
                                                               : spin_ + 0.05f * c.sound.level - kit::twoPi;
        }
        const float radius = heard ? n * (0.26f + 0.08f * bass_) : n * 0.3f;
        const kit::Vec3 centre{n * 0.1f * fastSin(t * 0.011f), n * 0.06f * fastSin(t * 0.022f),
                               radius + n * 0.08f + n * 0.06f * fastSin(t * 0.007f)};
        // The dome: night blue at the zenith, a lighter hazy blue at the horizon, and a faint violet halo
        // around the globe that follows it as it bobs.
        const kit::Glow halo{
            n * 0.5f + centre.x * 0.8f, n * 0.5f + centre.y * 1.1f, n * 0.42f, {26.0f, 14.0f, 48.0f}};
        kit::pullTowards(c, kit::fromLevels(6, 14, 58), kit::fromLevels(30, 58, 112), 0.22f, halo);
        const float spinY = heard ? t * 0.021f + spin_ : t * 0.021f,
                    spinX = 0.5f + 0.4f * fastSin(t * 0.006f), spinZ = t * 0.004f;
        const auto place = [&](float lat, float lon) {
            kit::Vec3 p{radius * fastCos(lat) * fastCos(lon), radius * fastSin(lat),
                        radius * fastCos(lat) * fastSin(lon)};
            p = kit::rotateY(p, spinY);
            p = kit::rotateX(p, spinX);
            p = kit::rotateZ(p, spinZ);
            // Cells show 4 x 3 pixels, so heights are stretched by 4 / 3 to keep the globe round.
            p.y *= 4.0f / 3.0f;
            return p + centre;
        };
        const int size = c.n >= 120 ? 3 : 2;
        // Meridians, each its own hue, from pole to pole.
        for (int m = 0; m < meridians; ++m) {
            const float lon = kit::twoPi * static_cast<float>(m) / meridians;
            const kit::Rgb colour = kit::hsv(static_cast<float>(m) / meridians, 0.7f, 1.0f);
            kit::Vec3 previous = place(-kit::pi * 0.5f, lon);
            for (int k = 1; k <= 16; ++k) {
                const kit::Vec3 p = place(-kit::pi * 0.5f + kit::pi * static_cast<float>(k) / 16.0f, lon);
                kit::modelLine(c, previous, p, colour, size);
                previous = p;
            }
        }
        // Parallels in pale gold, the equator brightest.
        for (int l = 1; l <= parallels; ++l) {
            const float lat = -kit::pi * 0.5f + kit::pi * static_cast<float>(l) / (parallels + 1);
            const bool equator = l == (parallels + 1) / 2;
            const kit::Rgb colour = equator ? kit::white : kit::fromLevels(235, 215, 150);
            kit::Vec3 previous = place(lat, 0.0f);
            for (int k = 1; k <= 24; ++k) {
                const kit::Vec3 p = place(lat, kit::twoPi * static_cast<float>(k) / 24.0f);
                kit::modelLine(c, previous, p, colour, size);
                previous = p;
            }
        }
    }

  private:
    float bass_ = 0.0f; // the bass as the globe follows it
    float spin_ = 0.0f; // the turn music has added
    static constexpr int meridians = 12;
    static constexpr int parallels = 8;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Sphere);

} // namespace glowfield
