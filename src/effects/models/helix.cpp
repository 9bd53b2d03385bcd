// Helix: a slinky walking down an endless flight of stairs. The coil spring arches from the step it stands
// on to the next one down, its coils streaming over the top from one end to the other, then it stands on
// the lower step and goes again; the view follows it down, so the stairs climb away behind.
#include <cmath>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

constexpr int walkFrames = 64; // one step down
constexpr int coils = 26;
constexpr int perCoil = 14;

class Helix : public Effect {
  public:
    void step(EffectContext& c) override {
        const float n = static_cast<float>(c.n);
        const float tread = n * 0.2f, riser = n * 0.13f;
        const uint32_t frame = c.frame % 2000000u;
        const int stepIndex = static_cast<int>(frame / walkFrames);
        const float phase = static_cast<float>(frame % walkFrames) / walkFrames;
        const float walk = kit::smoothstep(0.0f, 1.0f, phase);
        // World: step k's tread is at height k * riser, from k * tread to (k + 1) * tread; the slinky
        // stands in the middle of a tread. The view keeps the walking slinky a little left of the middle.
        const float ax = (static_cast<float>(stepIndex % 16) + 0.5f) * tread,
                    ay = static_cast<float>(stepIndex % 16) * riser;
        const float bx = ax + tread, by = ay + riser;
        const float camX = ax + (bx - ax) * walk - n * 0.45f, camY = ay + (by - ay) * walk - n * 0.58f;
        drawStairs(c, camX, camY, tread, riser, stepIndex % 16);
        // The spring's axis: an arch from foot A to foot B that rises while the coils cross over.
        const float rise = n * 0.22f * fastSin(kit::pi * phase) + n * 0.05f;
        const float radius = n * 0.06f;
        // Coils bunch at A at first and at B at the end: u^g with g from 4 down to 1/4.
        const float bunch = std::exp2(2.0f - 4.0f * walk);
        const float half = n * 0.5f;
        Vec3 last{};
        constexpr int count = coils * perCoil;
        for (int i = 0; i <= count; ++i) {
            const float u = static_cast<float>(i) / count;
            const float s = std::pow(u, bunch);
            // The arch and its direction at s.
            const float px = ax + (bx - ax) * s, py = ay + (by - ay) * s - rise * fastSin(kit::pi * s);
            const float tx = bx - ax, ty = (by - ay) - rise * kit::pi * fastCos(kit::pi * s);
            const float tl = std::sqrt(tx * tx + ty * ty) + 1e-6f;
            const float nx = -ty / tl, ny = tx / tl;
            // The coil stands on the tread: its axis is lifted by the radius along the arch's normal.
            const float angle = u * coils * kit::twoPi;
            const float ca = fastCos(angle), sa = fastSin(angle);
            // Seen a little from above and to the side: the depth of each coil also shifts it up and right,
            // so the coils show as loops rather than edge-on strokes.
            const Vec3 p{px - camX - half + nx * radius * (ca - 1.0f) + radius * sa * 0.5f,
                         py - camY - half + ny * radius * (ca - 1.0f) - radius * sa * 0.35f,
                         radius * (sa + 1.2f)}; // the field's 3-D lines draw only in front of depth 0
            if (i > 0) {
                kit::modelLine(c, last, p, kit::bright(u * 1.2f + static_cast<float>(stepIndex) * 0.05f), 2);
            }
            last = p;
        }
    }

  private:
    using Vec3 = kit::Vec3;

    // Carpeted stairs against a warm wall: each step a block from its tread down to the bottom of the
    // screen, the tread's nosing lit, the riser in shade. Velocities are cleared: the picture is redrawn.
    static void drawStairs(EffectContext& c, float camX, float camY, float tread, float riser, int first) {
        const float n = static_cast<float>(c.n);
        kit::settleGradient(c, kit::fromLevels(92, 74, 82), kit::fromLevels(62, 50, 64), 1.0f, 0.0f);
        for (int k = first - 6; k <= first + 8; ++k) {
            const float x0 = static_cast<float>(k) * tread - camX, y0 = static_cast<float>(k) * riser - camY;
            if (x0 > n || x0 + tread < 0.0f) {
                continue;
            }
            const bool odd = (k % 2 + 2) % 2 == 1;
            kit::fillRect(c, x0, y0, x0 + tread, n,
                          odd ? kit::fromLevels(84, 30, 44) : kit::fromLevels(90, 34, 48));
            kit::fillRect(c, x0, y0, x0 + tread, y0 + 2.0f, kit::fromLevels(150, 90, 96));
            // The riser below this tread's front edge, darker, down to the next tread.
            kit::fillRect(c, x0 + tread - 1.5f, y0, x0 + tread, y0 + riser, kit::fromLevels(56, 20, 32));
        }
    }
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Helix);

} // namespace glowfield
