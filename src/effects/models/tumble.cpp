// Tumble: a pair of dice thrown across a floor. They fly, bounce and tumble under gravity, each landing
// thudding into the field beneath, settle flat on a face, and after a pause are scooped up and thrown again.
#include <array>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

constexpr uint32_t throwFrames = 460;

class Tumble : public Effect {
  public:
    void start(EffectContext& c) override { throwDice(c); }

    void step(EffectContext& c) override {
        kit::settleGradient(c, kit::fromLevels(10, 40, 30), kit::fromLevels(20, 90, 60), 0.5f);
        const float n = static_cast<float>(c.n);
        ++age_;
        orbit_ = 0.35f * fastSin(static_cast<float>(c.frame % 200000u) * 0.006f);
        if (age_ >= throwFrames) {
            throwDice(c);
        }
        const float floorY = n * 0.2f, size = n * 0.09f;
        for (Die& d : dice_) {
            if (age_ > throwFrames - 30) {
                // Scooped: lifted away upward and out of sight.
                d.vel = d.vel * 0.9f + Vec3{0.0f, -n * 0.02f, 0.0f};
                d.pos = d.pos + d.vel;
                continue;
            }
            d.vel.y += n * 0.0016f;
            d.pos = d.pos + d.vel;
            d.angle = d.angle + d.spin;
            const float lowest = d.pos.y + size * 1.732f * lowestCorner(d);
            if (lowest > floorY) {
                d.pos.y -= lowest - floorY;
                if (d.vel.y > n * 0.004f) {
                    const kit::Projected q = kit::project(c, view(Vec3{d.pos.x, floorY, d.pos.z}));
                    if (q.visible) {
                        kit::balancedPush(c, q.x, q.y, 6.0f, -d.vel.y * 1.6f);
                    }
                    d.vel.y = -d.vel.y * 0.5f;
                    d.spin = d.spin * 0.6f + Vec3{d.vel.x, d.vel.z, -d.vel.x} * (0.03f / size);
                } else {
                    d.vel.y = 0.0f;
                }
                d.vel.x *= 0.9f;
                d.vel.z *= 0.9f;
                d.spin = d.spin * 0.9f;
                // Resting: ease each angle to the nearest quarter turn so a face lies flat.
                if (std::fabs(d.vel.y) < n * 0.004f) {
                    d.angle.x += (quarter(d.angle.x) - d.angle.x) * 0.15f;
                    d.angle.y += (quarter(d.angle.y) - d.angle.y) * 0.15f;
                    d.angle.z += (quarter(d.angle.z) - d.angle.z) * 0.15f;
                }
            }
            if (!(std::fabs(d.pos.x) < n * 4.0f && std::fabs(d.pos.z) < n * 4.0f &&
                  std::fabs(d.pos.y) < n * 4.0f)) {
                d.pos = Vec3{0.0f, -n, 0.0f};
                d.vel = Vec3{};
            }
        }
        // Farther die first, so the nearer one covers it.
        const bool order = dice_[0].pos.z < dice_[1].pos.z;
        drawDie(c, dice_[order ? 1 : 0], size);
        drawDie(c, dice_[order ? 0 : 1], size);
    }

  private:
    using Vec3 = kit::Vec3;
    struct Die {
        Vec3 pos, vel, angle, spin;
    };

    static float quarter(float a) {
        const float q = kit::pi * 0.5f;
        return static_cast<float>(kit::roundCell(a / q)) * q;
    }

    static Vec3 orient(const Die& d, Vec3 v) { return kit::turn(v, d.angle.x, d.angle.y, d.angle.z); }

    // The camera swings slowly round the table, so even dice at rest show their depth.
    Vec3 view(Vec3 v) const { return kit::rotateX(kit::rotateY(v, orbit_), 0.45f) + Vec3{0.0f, 0.0f, 40.0f}; }

    // The largest downward reach of a corner, in half-diagonals (-1..1).
    static float lowestCorner(const Die& d) {
        float most = -1.0f;
        for (int i = 0; i < 8; ++i) {
            const Vec3 p = orient(d, Vec3{i & 1 ? 1.0f : -1.0f, i & 2 ? 1.0f : -1.0f, i & 4 ? 1.0f : -1.0f});
            most = std::max(most, p.y * 0.57735f);
        }
        return most;
    }

    void throwDice(EffectContext& c) {
        const float n = static_cast<float>(c.n);
        for (int k = 0; k < 2; ++k) {
            Die& d = dice_[static_cast<size_t>(k)];
            d.pos = Vec3{-n * 0.65f, -n * 0.35f - static_cast<float>(k) * n * 0.08f,
                         n * (0.1f * static_cast<float>(k) - 0.1f)};
            d.vel = Vec3{n * (0.011f + 0.004f * c.randomUnit()), -n * 0.004f * c.randomUnit(),
                         n * 0.002f * (c.randomUnit() - 0.5f)};
            d.angle = Vec3{c.randomUnit() * 6.0f, c.randomUnit() * 6.0f, c.randomUnit() * 6.0f};
            d.spin =
                Vec3{0.12f + 0.1f * c.randomUnit(), 0.08f * c.randomUnit(), 0.1f + 0.1f * c.randomUnit()};
        }
        age_ = 0;
    }

    void drawDie(const EffectContext& c, const Die& d, float size) const {
        // Faces: normal axis and sign, and the pips they carry (opposite faces sum to seven).
        static constexpr int axes[6] = {2, 0, 1, 1, 0, 2};
        static constexpr float signs[6] = {-1, 1, -1, 1, -1, 1};
        static constexpr float pipSpots[6][6][2] = {
            {{0, 0}},
            {{-0.5f, -0.5f}, {0.5f, 0.5f}},
            {{-0.5f, -0.5f}, {0, 0}, {0.5f, 0.5f}},
            {{-0.5f, -0.5f}, {0.5f, -0.5f}, {-0.5f, 0.5f}, {0.5f, 0.5f}},
            {{-0.5f, -0.5f}, {0.5f, -0.5f}, {0, 0}, {-0.5f, 0.5f}, {0.5f, 0.5f}},
            {{-0.5f, -0.5f}, {0.5f, -0.5f}, {-0.5f, 0}, {0.5f, 0}, {-0.5f, 0.5f}, {0.5f, 0.5f}}};
        const Vec3 light{-0.4f, -0.7f, -0.6f};
        for (int f = 0; f < 6; ++f) {
            const auto axisVec = [&](int axis, float v) {
                return Vec3{axis == 0 ? v : 0.0f, axis == 1 ? v : 0.0f, axis == 2 ? v : 0.0f};
            };
            const int a = axes[f], b = (a + 1) % 3, cAxis = (a + 2) % 3;
            const Vec3 normal = view(orient(d, axisVec(a, signs[f]))) - view(Vec3{});
            const Vec3 centreLocal = axisVec(a, signs[f] * size);
            const Vec3 centre = view(orient(d, centreLocal) + d.pos);
            // Back faces: the face's outward normal points away from the eye at (0, 0, -n).
            const Vec3 eye{0.0f, 0.0f, -static_cast<float>(c.n)};
            const Vec3 toEye = eye - centre;
            if (normal.x * toEye.x + normal.y * toEye.y + normal.z * toEye.z <= 0.0f) {
                continue;
            }
            float xs[4], ys[4];
            bool ok = true;
            for (int k = 0; k < 4; ++k) {
                const float u = (k == 1 || k == 2) ? size : -size, v = k >= 2 ? size : -size;
                const kit::Projected q =
                    kit::project(c, view(orient(d, centreLocal + axisVec(b, u) + axisVec(cAxis, v)) + d.pos));
                ok = ok && q.visible;
                xs[k] = q.x;
                ys[k] = q.y;
            }
            if (!ok) {
                continue;
            }
            const float lit =
                kit::clampf(normal.x * light.x + normal.y * light.y + normal.z * light.z, 0.0f, 1.0f);
            kit::fillPolygon(c, xs, ys, 4, kit::shade(kit::fromLevels(245, 240, 225), 0.45f + 0.55f * lit));
            kit::drawPolygon(c, xs, ys, 4, kit::fromLevels(60, 55, 50));
            for (int p = 0; p <= f; ++p) {
                const Vec3 spot = centreLocal + axisVec(b, pipSpots[f][p][0] * size) +
                                  axisVec(cAxis, pipSpots[f][p][1] * size);
                const kit::Projected q = kit::project(c, view(orient(d, spot) + d.pos));
                if (q.visible) {
                    kit::fillDisc(c, q.x, q.y, size * 0.2f * q.scale,
                                  f == 0 ? kit::fromLevels(200, 20, 20) : kit::fromLevels(25, 25, 35));
                }
            }
        }
    }

    std::array<Die, 2> dice_{};
    uint32_t age_ = 0;
    float orbit_ = 0.0f;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Tumble);

} // namespace glowfield
