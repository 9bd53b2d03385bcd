// Galaxy: a tilted spiral galaxy. Thousands of stars run on nested ellipses whose axes turn with radius, so
// two arms appear where the orbits crowd; the turn of the ellipses drifts, so the arms wind and unwind, and
// the whole disc rocks slowly in depth.
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Galaxy : public Effect {
  public:
    void start(EffectContext& c) override {
        stars_.resize(starCount);
        const float n = static_cast<float>(c.n);
        for (Star& s : stars_) {
            // More stars near the middle: the square of a uniform draw.
            const float u = c.randomUnit();
            s.a = n * (0.03f + 0.42f * u * u + 0.05f * u);
            s.angle = c.randomUnit() * kit::twoPi;
            s.bright = 0.4f + 0.6f * c.randomUnit();
            s.dust = c.random(0, 6) == 0;
            // Yellow-white core fading to blue arms, as levels for a quick scale by depth.
            const kit::Rgb colour = kit::mix(kit::fromLevels(255, 230, 160), kit::fromLevels(120, 170, 255),
                                             kit::clampf(s.a / (n * 0.5f) * 2.5f, 0.0f, 1.0f));
            s.level = {(colour.r + 127.0f) * s.bright, (colour.g + 127.0f) * s.bright,
                       (colour.b + 127.0f) * s.bright};
        }
    }

    void step(EffectContext& c) override {
        kit::tameNowAndThen(c, 200.0f, 5.0f);
        kit::pullColours(c, kit::fromLevels(2, 2, 10), 0.35f);
        const float n = static_cast<float>(c.n);
        const float t = static_cast<float>(c.frame % 400000u);
        const float twist = (3.2f + 1.6f * fastSin(t * 0.0015f)) / n;
        const float tilt = 0.9f + 0.35f * fastSin(t * 0.0021f);
        const float spin = t * 0.002f;
        const float tiltCos = fastCos(tilt), tiltSin = fastSin(tilt);
        // The bulge glow first.
        const kit::Projected centre = kit::project(c, {0.0f, 0.0f, n * 0.3f});
        if (centre.visible) {
            kit::softDisc(c, centre.x, centre.y, n * 0.12f * centre.scale, kit::fromLevels(255, 220, 140),
                          0.8f, kit::Blend::set);
        }
        for (Star& s : stars_) {
            // Orbital speed falls outwards (flat rotation curve: angular speed ~ 1 / a).
            s.angle += 0.9f / (s.a + 8.0f);
            const float orient = s.a * twist * kit::twoPi + spin;
            const float ex = s.a * fastCos(s.angle), ey = s.a * 0.72f * fastSin(s.angle);
            const float co = fastCos(orient), si = fastSin(orient);
            // Tilted about x: (x, y, 0) goes to (x, y cos, y sin), then pushed back into the screen.
            const float py = ex * si + ey * co;
            const kit::Vec3 p{ex * co - ey * si, py * tiltCos, py * tiltSin + n * 0.3f};
            const kit::Projected q = kit::project(c, p);
            if (!q.visible || !kit::onGrid(c, q.x, q.y)) {
                continue;
            }
            if (s.dust) {
                kit::paint(c, kit::toCell(q.x), kit::toCell(q.y), kit::fromLevels(30, 18, 16),
                           kit::Blend::min);
                continue;
            }
            const float k = 0.6f + 0.4f * q.scale;
            kit::paint(c, kit::toCell(q.x), kit::toCell(q.y),
                       {s.level.r * k - 127.0f, s.level.g * k - 127.0f, s.level.b * k - 127.0f},
                       kit::Blend::max);
        }
    }

  private:
    struct Star {
        float a = 0.0f, angle = 0.0f, bright = 0.0f;
        kit::Rgb level; // its colour as 0..255 levels, brightness included
        bool dust = false;
    };
    static constexpr int starCount = 4000;
    std::vector<Star> stars_;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Galaxy);

} // namespace glowfield
