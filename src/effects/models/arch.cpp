// Arch: walking down a colonnade at dusk. Semicircular stone arches on square pillars recede in perspective
// over a tiled floor; the walk carries each arch past overhead and a new one appears at the far end.
#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Arch : public Effect {
  public:
    void step(EffectContext& c) override {
        const float n = static_cast<float>(c.n);
        const float t = static_cast<float>(c.frame % 200000u);
        // A gentle sway and bob of the walker's head.
        const Vec3 eye{n * 0.02f * fastSin(t * 0.09f), n * 0.012f * fastSin(t * 0.18f), 0.0f};
        const kit::Rgb dusk = kit::fromLevels(215, 120, 70);
        kit::settleSky(c, n * 0.5f - eye.y, kit::fromLevels(25, 20, 80), dusk, kit::fromLevels(70, 45, 45),
                       kit::fromLevels(30, 20, 25), 0.6f);
        const float width = n * 0.42f, floorY = n * 0.36f, springY = -n * 0.02f;
        const float spacing = n * 0.55f, walk = t * 1.1f, far = spacing * 10.0f;
        const int passed = kit::toCell(walk / spacing);
        const float offset = walk - static_cast<float>(passed) * spacing;
        // Floor: lengthwise joints, and cross joints that stream past.
        const kit::Rgb joint = kit::fromLevels(150, 100, 80);
        for (int k = -3; k <= 3; ++k) {
            const float x = static_cast<float>(k) * width / 3.0f;
            kit::fastLine(c, Vec3{x, floorY, 2.0f} - eye, Vec3{x, floorY, far} - eye, joint);
        }
        const float tile = spacing / 3.0f;
        const float tileOffset = walk - static_cast<float>(kit::toCell(walk / tile)) * tile;
        for (int k = 1; k < 30; ++k) {
            const float z = static_cast<float>(k) * tile - tileOffset;
            kit::fastLine(c, Vec3{-width, floorY, z} - eye, Vec3{width, floorY, z} - eye, joint);
        }
        // Far to near, so nearer stone covers farther; distant arches fade into the dusk.
        for (int k = 7; k >= 0; --k) {
            const float z = static_cast<float>(k + 1) * spacing - offset;
            if (z < 6.0f) {
                continue;
            }
            const float haze = kit::clampf(z / far, 0.0f, 1.0f);
            const kit::Rgb stone = kit::mix(kit::fromLevels(250, 215, 170), dusk, haze * 0.85f);
            const kit::Rgb shadow = kit::mix(kit::fromLevels(90, 60, 60), dusk, haze * 0.85f);
            for (int side = -1; side <= 1; side += 2) {
                const float x = static_cast<float>(side) * width;
                kit::solidLine(c, Vec3{x, floorY, z} - eye, Vec3{x, springY, z} - eye, shadow, 16.0f);
                kit::solidLine(c, Vec3{x - side * 2.0f, floorY, z} - eye,
                               Vec3{x - side * 2.0f, springY, z} - eye, stone, 10.0f);
            }
            constexpr int segments = 14;
            Vec3 last{};
            for (int pass = 0; pass < 2; ++pass) {
                for (int i = 0; i <= segments; ++i) {
                    const float a = static_cast<float>(i) * (kit::pi / segments);
                    const float r = width + (pass == 0 ? 3.0f : 0.0f);
                    const Vec3 p = Vec3{-r * fastCos(a), springY - r * fastSin(a), z} - eye;
                    if (i > 0) {
                        kit::solidLine(c, last, p, pass == 0 ? shadow : stone, pass == 0 ? 12.0f : 7.0f);
                    }
                    last = p;
                }
            }
        }
    }

  private:
    using Vec3 = kit::Vec3;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Arch);

} // namespace glowfield
