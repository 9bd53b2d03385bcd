// Landing: a night approach to a runway. Edge lights, centre-line dashes, a green threshold bar and
// sequenced strobes racing towards the runway lie on the ground plane; the camera descends and banks
// gently, the lights rush past at touchdown, and the approach starts again every eight seconds.
#include "effects/models/model_scene.h"

namespace glowfield {

namespace {

constexpr uint32_t approachFrames = 400;

class Landing : public Effect {
  public:
    void start(EffectContext& c) override {
        // Lights of the town around the airfield, fixed on the ground.
        for (Vec3& p : town_) {
            p = Vec3{(c.randomUnit() - 0.5f) * 16.0f, c.randomUnit(), c.randomUnit() * 14.0f - 2.0f};
        }
    }

    void step(EffectContext& c) override {
        const float n = static_cast<float>(c.n);
        const uint32_t f = c.frame % approachFrames;
        const float u = static_cast<float>(f) / approachFrames;
        // Height above the ground: a glide slope flaring out just before touchdown at u = 0.7.
        const float height =
            u < 0.7f ? n * (0.05f + 0.4f * (0.7f - u) * (0.7f - u) / 0.49f + 0.05f * (0.7f - u)) : n * 0.05f;
        const float bank = 0.12f * fastSin(u * 9.0f) * (1.0f - u);
        const float pitch = 0.1f + 0.1f * (1.0f - u);
        const float horizon = n * 0.5f - n * pitch * 1.0f;
        models::settleSky(c, horizon, kit::fromLevels(0, 0, 12), kit::fromLevels(25, 20, 60),
                          kit::fromLevels(8, 8, 14), kit::fromLevels(2, 2, 4), 0.6f);
        // The runway threshold comes towards us and passes under at touchdown; the roll-out continues.
        const float threshold = n * 5.0f - u * n * 6.5f;
        const float halfWidth = n * 0.2f, spacing = n * 0.3f;
        const auto place = [&](float x, float z) {
            return kit::rotateZ(kit::rotateX(Vec3{x, height, z}, pitch), bank);
        };
        // A faint horizon line, so the bank reads.
        models::fastLine(c, place(-n * 60.0f, n * 40.0f), place(n * 60.0f, n * 40.0f),
                         kit::fromLevels(50, 45, 90));
        for (const Vec3& p : town_) {
            if (std::fabs(p.x) < 0.5f) {
                continue; // keep the runway's own strip dark
            }
            const float z = threshold + p.z * n;
            if (z > -n * 0.88f) {
                models::modelDot(c, place(p.x * n, z), kit::hsv(0.08f + 0.1f * p.y, 0.6f, 0.5f + 0.3f * p.y),
                                 1.5f, 0.3f);
            }
        }
        // The runway's surface, a shade lighter than the ground.
        {
            const Vec3 corners[4] = {place(-halfWidth * 1.2f, std::max(threshold, -n * 0.88f)),
                                     place(halfWidth * 1.2f, std::max(threshold, -n * 0.88f)),
                                     place(halfWidth * 1.2f, threshold + 40.0f * spacing),
                                     place(-halfWidth * 1.2f, threshold + 40.0f * spacing)};
            float xs[4], ys[4];
            bool ok = true;
            for (int i = 0; i < 4; ++i) {
                const kit::Projected q = kit::project(c, corners[i]);
                ok = ok && q.visible;
                xs[i] = q.x;
                ys[i] = q.y;
            }
            if (ok) {
                kit::fillPolygon(c, xs, ys, 4, kit::fromLevels(38, 38, 46));
            }
        }
        for (int k = 0; k < 40; ++k) {
            const float z = threshold + static_cast<float>(k) * spacing;
            if (z < -n * 0.88f) {
                continue;
            }
            for (int side = -1; side <= 1; side += 2) {
                models::modelDot(c, place(static_cast<float>(side) * halfWidth, z),
                                 kit::fromLevels(255, 240, 190), 2.0f, 0.3f);
            }
            if (k % 2 == 0) {
                models::fastLine(c, place(0.0f, z), place(0.0f, z + spacing * 0.8f),
                                 kit::fromLevels(235, 235, 235), true);
            }
        }
        for (int k = -6; k <= 6; ++k) {
            models::modelDot(c, place(static_cast<float>(k) * halfWidth / 6.0f, threshold),
                             kit::fromLevels(60, 255, 90), 2.0f, 0.3f);
        }
        // Approach lights before the threshold: a line of bars, and a strobe running along them to the
        // runway.
        const int strobe = static_cast<int>(f % 20u);
        for (int k = 1; k <= 14; ++k) {
            const float z = threshold - static_cast<float>(k) * spacing;
            if (z < -n * 0.88f) {
                continue;
            }
            const float bar = halfWidth * (k % 5 == 0 ? 0.8f : 0.3f);
            models::fastLine(c, place(-bar, z), place(bar, z), kit::fromLevels(200, 150, 80));
            if (14 - k == strobe || 15 - k == strobe) {
                models::modelDot(c, place(0.0f, z), kit::white, 3.0f, 0.2f);
            }
        }
    }

  private:
    using Vec3 = kit::Vec3;
    Vec3 town_[160];
};

} // namespace

std::unique_ptr<Effect> makeLanding() {
    return std::make_unique<Landing>();
}

} // namespace glowfield
