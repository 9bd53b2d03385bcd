// Sphere2: a breathing cloud of points. Six hundred points sit on a golden-spiral sphere that turns; every
// four seconds they burst out along their normals, and springs pull them back first into a cube and then
// into the sphere again.
#include <vector>

#include "effects/models/model_scene.h"

namespace glowfield {

namespace {

constexpr int points = 600;
constexpr uint32_t period = 200;

class Sphere2 : public Effect {
  public:
    void start(EffectContext& c) override {
        normal_.resize(points);
        pos_.resize(points);
        vel_.assign(points, Vec3{});
        const float radius = static_cast<float>(c.n) * 0.3f;
        for (int i = 0; i < points; ++i) {
            const float y = 1.0f - 2.0f * (static_cast<float>(i) + 0.5f) / points;
            const float ring = std::sqrt(1.0f - y * y);
            const float a = static_cast<float>(i) * 2.39996323f;
            normal_[static_cast<size_t>(i)] = {ring * fastCos(a), y, ring * fastSin(a)};
            pos_[static_cast<size_t>(i)] = normal_[static_cast<size_t>(i)] * radius;
        }
        frame_ = 0;
    }

    void step(EffectContext& c) override {
        models::settleField(c, kit::black, 0.5f);
        const float n = static_cast<float>(c.n), radius = n * 0.3f;
        const uint32_t phase = frame_ % period;
        ++frame_;
        const float t = static_cast<float>(frame_);
        // After the burst the cloud aims for a cube for a while, then for the sphere again.
        const bool cube = phase > 20 && phase < 95;
        if (phase == 0) {
            kit::balancedPush(c, n * 0.5f, n * 0.5f, n * 0.12f, 6.0f);
        }
        for (int i = 0; i < points; ++i) {
            const size_t k = static_cast<size_t>(i);
            const Vec3 nrm = normal_[k];
            if (phase == 0) {
                vel_[k] = vel_[k] + nrm * (n * 0.035f * (0.7f + 0.6f * c.randomUnit()));
            }
            Vec3 target = nrm * radius;
            if (cube) {
                const float m = std::max(std::fabs(nrm.x), std::max(std::fabs(nrm.y), std::fabs(nrm.z)));
                target = nrm * (radius * 0.8f / m);
            }
            vel_[k] = (vel_[k] + (target - pos_[k]) * 0.02f) * 0.93f;
            pos_[k] = pos_[k] + vel_[k];
            if (!(pos_[k].x == pos_[k].x) ||
                std::fabs(pos_[k].x) + std::fabs(pos_[k].y) + std::fabs(pos_[k].z) > n * 10.0f) {
                pos_[k] = target;
                vel_[k] = Vec3{};
            }
            const Vec3 v = models::turn(pos_[k], t * 0.007f, t * 0.012f) + Vec3{0.0f, 0.0f, n * 0.15f};
            const float hue = 0.55f + 0.2f * nrm.y + 0.12f * fastSin(nrm.x * 5.0f + nrm.z * 3.0f);
            models::modelDot(c, v, kit::hsv(hue, 0.7f, 1.0f), 1.6f, 1.15f);
        }
    }

  private:
    using Vec3 = kit::Vec3;
    std::vector<Vec3> normal_, pos_, vel_;
    uint32_t frame_ = 0;
};

} // namespace

std::unique_ptr<Effect> makeSphere2() {
    return std::make_unique<Sphere2>();
}

} // namespace glowfield
