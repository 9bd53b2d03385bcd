// River2: drifting down a winding river, seen from the boat. The banks run to the horizon as the river
// bends, ripple lines flow towards the viewer, fence posts and trees slide past on either bank, and the
// view swings as the river turns.
#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class River2 : public Effect {
  public:
    void step(EffectContext& c) override {
        const float n = static_cast<float>(c.n);
        travel_ += n * 0.012f;
        if (travel_ > n * 5000.0f) {
            travel_ -= n * 5000.0f;
        }
        kit::settleSky(c, n * 0.45f, kit::fromLevels(70, 120, 210), kit::fromLevels(190, 215, 235),
                       kit::fromLevels(70, 110, 60), kit::fromLevels(35, 80, 30), 0.6f);
        const float eyeHeight = n * 0.12f, halfWidth = n * 0.35f, far = n * 8.0f;
        // The view turns with the river just ahead of the boat, so the horizon swings as it bends.
        const float heading = (centre(travel_ + n * 0.6f) - centre(travel_)) / (n * 0.6f);
        const float yaw = kit::clampf(heading, -0.6f, 0.6f);
        const float base = centre(travel_);
        const auto place = [&](float x, float y, float z) {
            return kit::rotateY(Vec3{x - base, y + eyeHeight, z}, -yaw) + Vec3{0.0f, -n * 0.05f, 0.0f};
        };
        // Water, a strip of quads between the banks, far to near.
        constexpr int strips = 24;
        for (int k = strips - 1; k >= 0; --k) {
            const float z0 = step(k, far), z1 = step(k + 1, far);
            const float c0 = centre(travel_ + z0 - nearest), c1 = centre(travel_ + z1 - nearest);
            const Vec3 quad[4] = {place(c0 - halfWidth, 0, z0), place(c0 + halfWidth, 0, z0),
                                  place(c1 + halfWidth, 0, z1), place(c1 - halfWidth, 0, z1)};
            float xs[4], ys[4];
            bool ok = true;
            for (int i = 0; i < 4; ++i) {
                const kit::Projected q = kit::project(c, quad[i]);
                ok = ok && q.visible;
                xs[i] = q.x;
                ys[i] = q.y;
            }
            if (ok) {
                kit::fillPolygon(c, xs, ys, 4,
                                 kit::mix(kit::fromLevels(40, 80, 150), kit::fromLevels(140, 175, 215),
                                          (z0 - nearest) / far));
            }
            // Banks: a muddy edge on each side.
            const kit::Rgb mud = kit::fromLevels(110, 80, 45);
            kit::solidLine(c, quad[0], quad[3], mud, 3.0f);
            kit::solidLine(c, quad[1], quad[2], mud, 3.0f);
        }
        // Ripples: short crosswise lines fixed to the water, so they drift towards the viewer.
        const float rippleGap = n * 0.18f;
        const float first = nearest + rippleGap -
                            (travel_ - static_cast<float>(kit::toCell(travel_ / rippleGap)) * rippleGap);
        for (int k = 0; k < 30; ++k) {
            const float z = first + static_cast<float>(k) * rippleGap;
            const float w = travel_ + z - nearest;
            const float across = halfWidth * 0.6f * fastSin(w * 0.37f);
            const float cx = centre(w) + across;
            kit::solidLine(c, place(cx - n * 0.05f, 0, z), place(cx + n * 0.05f, 0, z),
                           kit::fromLevels(210, 230, 250), 1.2f, kit::Blend::max);
        }
        // Posts on the left bank and trees on the right, far to near.
        const float postGap = n * 0.4f;
        const int firstPost = kit::toCell(travel_ / postGap) + 1;
        for (int k = 20; k >= 0; --k) {
            const float w = static_cast<float>(firstPost + k) * postGap;
            const float z = w - travel_ + nearest;
            if (z < nearest + 4.0f) {
                continue;
            }
            const float cx = centre(w);
            const float haze = kit::clampf((z - nearest) / far, 0.0f, 0.8f);
            const kit::Rgb post = kit::mix(kit::fromLevels(90, 60, 35), kit::fromLevels(180, 200, 215), haze);
            kit::solidLine(c, place(cx - halfWidth * 1.15f, 0, z),
                           place(cx - halfWidth * 1.15f, -n * 0.12f, z), post, 3.0f);
            if ((firstPost + k) % 2 == 0) {
                const float tx = cx + halfWidth * 1.4f;
                const kit::Rgb trunk =
                    kit::mix(kit::fromLevels(80, 50, 30), kit::fromLevels(180, 200, 215), haze);
                const kit::Rgb leaves =
                    kit::mix(kit::fromLevels(30, 110, 40), kit::fromLevels(170, 200, 200), haze);
                kit::solidLine(c, place(tx, 0, z), place(tx, -n * 0.12f, z), trunk, 4.0f);
                const kit::Projected a = kit::project(c, place(tx - n * 0.09f, -n * 0.1f, z));
                const kit::Projected b = kit::project(c, place(tx + n * 0.09f, -n * 0.1f, z));
                const kit::Projected top = kit::project(c, place(tx, -n * 0.4f, z));
                if (a.visible && b.visible && top.visible) {
                    const float xs[3] = {a.x, b.x, top.x}, ys[3] = {a.y, b.y, top.y};
                    kit::fillPolygon(c, xs, ys, 3, leaves);
                    kit::drawPolygon(c, xs, ys, 3, kit::shade(leaves, 0.6f));
                }
            }
        }
    }

  private:
    using Vec3 = kit::Vec3;

    // Depth of strip edge k: closer together near the viewer.
    static float step(int k, float far) {
        const float u = static_cast<float>(k) / 24.0f;
        return nearest + far * u * u;
    }

    // The projection's eye sits n cells in front of z = 0, so the water reaches the bottom of the screen
    // only well in front of that plane.
    static constexpr float nearest = -160.0f;

    // The river's centre line at a distance w along it.
    static float centre(float w) {
        return 60.0f * fastSin(w * 0.0045f) + 35.0f * fastSin(w * 0.0021f + 1.0f);
    }

    float travel_ = 0.0f;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(River2);

} // namespace glowfield
