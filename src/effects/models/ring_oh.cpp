// Ring Oh: a ring spun on its edge like a coin on a table. It rolls round and round, its tilt dropping as its
// wobble quickens to a whirr, mirrored dimly in the polished floor; when it lies almost flat it is flipped
// up and spun again.
#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class RingOh : public Effect {
  public:
    void start(EffectContext&) override {
        tilt_ = 1.25f;
        around_ = 0.0f;
        rising_ = 0;
    }

    void step(EffectContext& c) override {
        kit::settleGradient(c, kit::fromLevels(8, 8, 24), kit::fromLevels(30, 22, 40), 0.45f);
        const float n = static_cast<float>(c.n), radius = n * 0.28f, floorY = n * 0.22f;
        // Settling: the tilt falls ever faster as it nears the floor; the roll round speeds up as the tilt
        // falls, like a coin's whirr. At the end a flick stands it back up over forty frames.
        if (rising_ > 0) {
            --rising_;
            tilt_ += (1.25f - tilt_) * 0.12f;
        } else {
            tilt_ -= 0.0012f + 0.0025f * (1.3f - tilt_);
            if (tilt_ < 0.05f) {
                rising_ = 40;
            }
        }
        const float sinTilt = fastSin(tilt_), cosTilt = fastCos(tilt_);
        around_ += 0.035f / std::sqrt(sinTilt > 0.02f ? sinTilt : 0.02f);
        if (around_ > 1000.0f) {
            around_ -= 160.0f * kit::pi;
        }
        const float view = 0.32f;
        const Vec3 d{fastCos(around_), 0.0f, fastSin(around_)};
        const Vec3 across{-d.z, 0.0f, d.x};
        const Vec3 up{0.0f, -1.0f, 0.0f};
        const Vec3 e = d * (-cosTilt) + up * sinTilt;
        const Vec3 centre = Vec3{0.0f, floorY, 0.0f} + up * (radius * sinTilt);
        const Vec3 lift{0.0f, 0.0f, n * 0.33f};
        // Floor lines recede to show the ground plane.
        for (int k = -4; k <= 4; ++k) {
            const float w = static_cast<float>(k) * n * 0.15f;
            const kit::Rgb line = kit::fromLevels(60, 50, 80);
            kit::fastLine(c, kit::rotateX(Vec3{w, floorY, -n * 0.6f}, view) + lift,
                          kit::rotateX(Vec3{w, floorY, n * 1.2f}, view) + lift, line);
            kit::fastLine(c, kit::rotateX(Vec3{-n * 0.7f, floorY, w + n * 0.3f}, view) + lift,
                          kit::rotateX(Vec3{n * 0.7f, floorY, w + n * 0.3f}, view) + lift, line);
        }
        constexpr int segments = 48;
        const float roll = -around_ * 0.15f; // the ring creeps round on its own axis as it rolls
        for (int pass = 0; pass < 2; ++pass) {
            Vec3 last{};
            for (int i = 0; i <= segments; ++i) {
                const float s = static_cast<float>(i) * (kit::twoPi / segments);
                Vec3 p = centre + (e * fastCos(s) + across * fastSin(s)) * radius;
                if (pass == 0) {
                    p.y = 2.0f * floorY - p.y; // reflection in the floor
                }
                const Vec3 v = kit::rotateX(p, view) + lift;
                if (i > 0) {
                    const bool band = kit::wrap(kit::toCell((s + roll) * 4.0f / kit::pi), 2) == 0;
                    kit::Rgb colour = band ? kit::fromLevels(255, 210, 90) : kit::fromLevels(255, 150, 40);
                    if (pass == 0) {
                        colour = kit::shade(colour, 0.35f);
                    }
                    kit::modelLine(c, last, v, colour, pass == 0 ? 1 : 3);
                }
                last = v;
            }
        }
    }

  private:
    using Vec3 = kit::Vec3;
    float tilt_ = 1.25f;
    float around_ = 0.0f;
    int rising_ = 0;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(RingOh);

} // namespace glowfield
