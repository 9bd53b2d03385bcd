// Sphere2: a breathing ball of beads. Six hundred glossy beads sit on a golden-spiral sphere that turns
// against a dusky backdrop; every four seconds they burst out along their normals, and springs pull them
// back first into a cube and then into the sphere again. Each bead is a small lit sphere, nearer ones larger
// and drawn over the farther, so the cloud reads as a solid string of pearls rather than a wire globe.
#include <algorithm>
#include <vector>

#include "effects/kit/kit.h"

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
        colour_.resize(points);
        beads_.resize(points);
        const float radius = static_cast<float>(c.n) * 0.3f;
        for (int i = 0; i < points; ++i) {
            const float y = 1.0f - 2.0f * (static_cast<float>(i) + 0.5f) / points;
            const float ring = std::sqrt(1.0f - y * y);
            const float a = static_cast<float>(i) * 2.39996323f;
            normal_[static_cast<size_t>(i)] = {ring * fastCos(a), y, ring * fastSin(a)};
            pos_[static_cast<size_t>(i)] = normal_[static_cast<size_t>(i)] * radius;
            const Vec3 nrm = normal_[static_cast<size_t>(i)];
            // Pearly bands of colour that follow the sphere, so its turning shows.
            const float hue = 0.55f + 0.2f * nrm.y + 0.12f * fastSin(nrm.x * 5.0f + nrm.z * 3.0f);
            colour_[static_cast<size_t>(i)] = kit::hsv(hue, 0.5f, 1.0f);
        }
    }

    void step(EffectContext& c) override {
        kit::settleGradient(c, kit::fromLevels(62, 34, 96), kit::fromLevels(22, 58, 82), 0.5f);
        const float n = static_cast<float>(c.n), radius = n * 0.3f;
        const uint32_t phase = c.framesSinceStart % period;
        const float t = static_cast<float>(c.framesSinceStart + 1);
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
            const Vec3 v = kit::turn(pos_[k], t * 0.007f, t * 0.012f) + Vec3{0.0f, 0.0f, n * 0.15f};
            const kit::Projected q = kit::project(c, v);
            beads_[k] = {q.x, q.y, q.scale, v.z, i, q.visible};
        }
        // Far beads first, so the near ones cover them (ties broken by index, so the order is fixed).
        std::sort(beads_.begin(), beads_.end(), [](const Bead& a, const Bead& b) {
            return a.depth != b.depth ? a.depth > b.depth : a.index < b.index;
        });
        for (const Bead& b : beads_) {
            if (b.visible) {
                drawBead(c, b);
            }
        }
    }

  private:
    using Vec3 = kit::Vec3;
    struct Bead {
        float x = 0.0f, y = 0.0f, scale = 0.0f, depth = 0.0f;
        int index = 0;
        bool visible = false;
    };

    // A bead lit from the upper left, with a white glint, dimmer with distance.
    void drawBead(EffectContext& c, const Bead& b) {
        const kit::Rgb base = colour_[static_cast<size_t>(b.index)];
        const float r = kit::clampf(2.3f * b.scale, 0.8f, 8.0f);
        const float dim = kit::clampf(0.55f + 0.6f * b.scale, 0.4f, 1.2f);
        const int x0 = kit::toCell(b.x - r), x1 = kit::toCell(b.x + r);
        const int y0 = kit::toCell(b.y - r), y1 = kit::toCell(b.y + r);
        const float inv = 1.0f / r;
        for (int x = x0; x <= x1; ++x) {
            for (int y = y0; y <= y1; ++y) {
                const float dx = (static_cast<float>(x) + 0.5f - b.x) * inv,
                            dy = (static_cast<float>(y) + 0.5f - b.y) * inv;
                const float d2 = dx * dx + dy * dy;
                if (d2 > 1.0f) {
                    continue;
                }
                const float nz = std::sqrt(1.0f - d2);
                const float light = 0.3f + 0.7f * std::max(0.0f, -0.45f * dx - 0.5f * dy + 0.74f * nz);
                kit::Rgb colour = kit::shade(base, light * dim);
                const float gx = dx + 0.38f, gy = dy + 0.42f;
                if (gx * gx + gy * gy < 0.07f) {
                    colour = kit::mix(colour, kit::white, 0.8f);
                }
                kit::paint(c, x, y, colour);
            }
        }
    }

    std::vector<Vec3> normal_, pos_, vel_;
    std::vector<kit::Rgb> colour_;
    std::vector<Bead> beads_;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Sphere2);

} // namespace glowfield
