// Dangle: a hanging mobile. A balance bar hangs from the top on a thread; each end carries a smaller bar or a
// flat shape (disc, star, crescent), and every level turns slowly on its thread at its own rate, so the
// shapes swing round, narrowing edge-on and widening face-on.
#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Dangle : public Effect {
  public:
    void step(EffectContext& c) override {
        kit::settleGradient(c, kit::fromLevels(12, 10, 40), kit::fromLevels(40, 20, 50), 0.4f);
        const float n = static_cast<float>(c.n);
        t_ = static_cast<float>(c.frame % 200000u);
        const Vec3 top{0.0f, -n * 0.55f, n * 0.15f};
        const Vec3 hook = top + Vec3{0.0f, n * 0.14f, 0.0f};
        thread(c, top, hook);
        bar(c, hook, n * 0.28f, 0, 0);
    }

  private:
    using Vec3 = kit::Vec3;

    static void thread(const EffectContext& c, Vec3 a, Vec3 b) {
        kit::fastLine(c, a, b, kit::fromLevels(150, 150, 160));
    }

    // A bar hanging at its middle from 'hook', turning about the vertical; 'id' picks its rates and shapes.
    void bar(const EffectContext& c, Vec3 hook, float half, int level, int id) {
        const float n = static_cast<float>(c.n);
        const float rate = 0.006f + 0.005f * static_cast<float>((id * 7 + level * 3) % 5);
        const float angle = t_ * rate * (id % 2 ? -1.0f : 1.0f) + static_cast<float>(id) * 1.7f;
        const float sway = 0.08f * fastSin(t_ * 0.017f + static_cast<float>(id));
        const Vec3 arm = kit::rotateY(Vec3{half * fastCos(sway), half * fastSin(sway), 0.0f}, angle);
        const Vec3 left = hook - arm, right = hook + arm;
        kit::modelLine(c, left, right, kit::fromLevels(210, 200, 170), 1);
        for (int side = 0; side < 2; ++side) {
            const Vec3 end = side ? right : left;
            const int child = id * 2 + side + 1;
            const float drop = n * (level == 0 ? 0.2f : 0.13f) * (side ? 1.3f : 1.0f);
            const Vec3 below = end + Vec3{0.0f, drop, 0.0f};
            thread(c, end, below);
            if (level < 1) {
                bar(c, below, half * 0.5f, level + 1, child);
            } else {
                shape(c, below, child);
            }
        }
    }

    // A flat shape hanging from its top point, facing along its own slowly turning direction.
    void shape(const EffectContext& c, Vec3 top, int id) const {
        const float n = static_cast<float>(c.n);
        const float size = n * 0.085f;
        const float facing = t_ * (0.015f + 0.004f * static_cast<float>(id % 3)) + static_cast<float>(id);
        const int kind = id % 3;
        float xs[24], ys[24];
        int corners = 0;
        for (int k = 0; k < 20; ++k) {
            const float a = static_cast<float>(k) * (kit::twoPi / 20.0f);
            float r = 1.0f, ox = 0.0f;
            if (kind == 1) {
                r = (k % 4 == 0) ? 1.0f : (k % 2 == 0 ? 0.42f : 0.6f); // a five-pointed star
            }
            float px = r * fastSin(a), py = -r * fastCos(a);
            if (kind == 2) {
                // A crescent: the outer arc forwards, an inner arc back.
                const float b = static_cast<float>(k) * (kit::pi / 19.0f);
                px = k < 10 ? fastSin(b * 2.0f) : 0.0f;
                py = -fastCos(b * 2.0f);
                if (k >= 10) {
                    const float d = static_cast<float>(19 - k) * (kit::pi / 9.0f);
                    px = 0.45f * fastSin(d);
                    py = -fastCos(d);
                }
                ox = -0.2f;
            }
            const Vec3 local{(px + ox) * size, (py + 1.0f) * size, 0.0f};
            const kit::Projected q = kit::project(c, kit::rotateY(local, facing) + top);
            if (!q.visible) {
                return;
            }
            xs[corners] = q.x;
            ys[corners] = q.y;
            ++corners;
        }
        // Brighter face-on, darker edge-on: the shading follows the turn.
        const float face = std::fabs(fastCos(facing));
        const kit::Rgb colour = kit::hsv(static_cast<float>(id) * 0.17f, 0.75f, 0.4f + 0.6f * face);
        kit::fillPolygon(c, xs, ys, corners, colour);
        kit::drawPolygon(c, xs, ys, corners, kit::shade(colour, 1.4f));
    }

    float t_ = 0.0f;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Dangle);

} // namespace glowfield
