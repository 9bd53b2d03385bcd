// Fragments: a pane of coloured glass shattered. Cracks run out from a point of impact, the pane breaks into
// thirty shards that fly and spin in 3-D, each keeping its own colour, and then they fly back together and
// the pane is whole again, until the next blow somewhere else. The pane itself turns slowly and rocks in the
// light all the while, so it is never still while it waits for the next blow.
#include <algorithm>
#include <array>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

constexpr int spokes = 10;
constexpr int rings = 3;
constexpr int shardCount = spokes * rings;
constexpr uint32_t cycleFrames = 320;

class Fragments : public Effect {
  public:
    void start(EffectContext& c) override { shatter(c); }

    void step(EffectContext& c) override {
        kit::settleField(c, kit::fromLevels(5, 5, 12), 0.6f);
        const float n = static_cast<float>(c.n);
        const uint32_t age = c.frame % cycleFrames;
        if (age == 0u && c.frame > 0u) {
            shatter(c);
        }
        const float a = static_cast<float>(age);
        // tau: 0 whole, 1 scattered. Out fast, back slower, resting whole at both ends of the cycle.
        const float tau = kit::smoothstep(50.0f, 110.0f, a) * (1.0f - kit::smoothstep(190.0f, 280.0f, a));
        const float crack = kit::clampf(a / 40.0f, 0.0f, 1.0f);
        const float clock = static_cast<float>(c.frame % 200000u);
        roll_ = clock * 0.012f;
        tiltX_ = 0.25f * fastSin(clock * 0.017f);
        tiltY_ = 0.25f * fastCos(clock * 0.013f);
        if (age == 50u) {
            const kit::Projected hit = onPane(c, impactX_, impactY_);
            kit::balancedPush(c, hit.x, hit.y, 8.0f, 8.0f);
        }
        std::array<std::pair<float, int>, shardCount> order{};
        for (int s = 0; s < shardCount; ++s) {
            order[static_cast<size_t>(s)] = {-shards_[static_cast<size_t>(s)].vel.z * tau, s};
        }
        std::sort(order.begin(), order.end());
        for (const auto& [depth, s] : order) {
            const Shard& sh = shards_[static_cast<size_t>(s)];
            const Vec3 centre = sh.centre + sh.vel * (tau * n);
            float xs[4], ys[4];
            bool ok = true;
            Vec3 placed[4];
            for (int k = 0; k < sh.corners; ++k) {
                placed[k] = paneTurn(
                    kit::turn(sh.local[k], sh.spin.x * tau, sh.spin.y * tau, sh.spin.z * tau) + centre);
                const kit::Projected q = kit::project(c, placed[k]);
                ok = ok && q.visible;
                xs[k] = q.x;
                ys[k] = q.y;
            }
            if (!ok) {
                continue;
            }
            // Shards catch the light as they turn.
            const Vec3 u = placed[1] - placed[0], v = placed[2] - placed[0];
            const float nz = u.x * v.y - u.y * v.x;
            const float len =
                std::sqrt((u.x * u.x + u.y * u.y + u.z * u.z) * (v.x * v.x + v.y * v.y + v.z * v.z)) + 1e-6f;
            const float facing = std::fabs(nz) / len;
            // A glint sweeps across the pane while it is whole.
            const float sweep = static_cast<float>(c.frame % 120u) * (n * 2.5f / 120.0f) - n * 0.6f;
            const float glint =
                kit::smoothstep(n * 0.15f, 0.0f, std::fabs(centre.x + centre.y + n * 0.5f - sweep));
            kit::fillPolygon(
                c, xs, ys, sh.corners,
                kit::mix(kit::shade(sh.colour, 0.35f + 0.65f * facing), kit::white, 0.35f * glint));
            kit::drawPolygon(c, xs, ys, sh.corners, kit::mix(sh.colour, kit::white, 0.25f + 0.5f * tau));
        }
        // While whole, the cracks show as they run out from the impact; later as fine seams.
        if (tau < 0.02f) {
            const float reach = age < 50u ? crack : 1.0f;
            const kit::Projected hit = onPane(c, impactX_, impactY_);
            for (int k = 0; k < spokes; ++k) {
                const kit::Projected end = onPane(c, impactX_ + (spokeX_[k] - impactX_) * reach,
                                                  impactY_ + (spokeY_[k] - impactY_) * reach);
                if (hit.visible && end.visible) {
                    kit::drawLine(c, hit.x, hit.y, end.x, end.y, kit::fromLevels(235, 240, 255));
                }
            }
            if (hit.visible) {
                kit::fillDisc(c, hit.x, hit.y, 2.0f, kit::white);
            }
        }
    }

  private:
    using Vec3 = kit::Vec3;
    struct Shard {
        Vec3 centre, vel, spin;
        Vec3 local[4];
        int corners = 3;
        kit::Rgb colour;
    };

    // The slow turn and rock of the whole pane, about the middle of the screen.
    Vec3 paneTurn(Vec3 v) const { return kit::turn(v, tiltX_, tiltY_, roll_); }

    // A point of the flat pane, given in cells, where it shows on the screen.
    kit::Projected onPane(const EffectContext& c, float x, float y) const {
        const float half = static_cast<float>(c.n) * 0.5f;
        return kit::project(c, paneTurn(Vec3{x - half, y - half, 0.0f}));
    }

    void shatter(EffectContext& c) {
        const float n = static_cast<float>(c.n), half = n * 0.5f;
        impactX_ = n * (0.3f + 0.4f * c.randomUnit());
        impactY_ = n * (0.3f + 0.4f * c.randomUnit());
        float angle[spokes], radius[rings + 1][spokes];
        for (int k = 0; k < spokes; ++k) {
            angle[k] = (static_cast<float>(k) + 0.35f * c.randomUnit()) * (kit::twoPi / spokes);
            radius[0][k] = 0.0f;
            radius[1][k] = n * (0.12f + 0.08f * c.randomUnit());
            radius[2][k] = n * (0.32f + 0.12f * c.randomUnit());
            radius[3][k] = n * 1.5f;
            spokeX_[k] = impactX_ + radius[2][k] * fastCos(angle[k]);
            spokeY_[k] = impactY_ + radius[2][k] * fastSin(angle[k]);
        }
        // The pane's colours: stained-glass hues, tinted by what the field showed where each shard lies.
        const float hue = c.randomUnit();
        for (int r = 0; r < rings; ++r) {
            for (int k = 0; k < spokes; ++k) {
                Shard& s = shards_[static_cast<size_t>(r * spokes + k)];
                const int k2 = (k + 1) % spokes;
                float px[4] = {radius[r][k] * fastCos(angle[k]), radius[r + 1][k] * fastCos(angle[k]),
                               radius[r + 1][k2] * fastCos(angle[k2]), radius[r][k2] * fastCos(angle[k2])};
                float py[4] = {radius[r][k] * fastSin(angle[k]), radius[r + 1][k] * fastSin(angle[k]),
                               radius[r + 1][k2] * fastSin(angle[k2]), radius[r][k2] * fastSin(angle[k2])};
                s.corners = r == 0 ? 3 : 4;
                if (r == 0) {
                    // The inner shards are triangles: impact point and two spoke points.
                    px[2] = radius[1][k2] * fastCos(angle[k2]);
                    py[2] = radius[1][k2] * fastSin(angle[k2]);
                }
                Vec3 centre{};
                for (int i = 0; i < s.corners; ++i) {
                    centre = centre + Vec3{impactX_ + px[i] - half, impactY_ + py[i] - half, 0.0f};
                }
                centre = centre * (1.0f / static_cast<float>(s.corners));
                for (int i = 0; i < s.corners; ++i) {
                    s.local[i] = Vec3{impactX_ + px[i] - half, impactY_ + py[i] - half, 0.0f} - centre;
                }
                s.centre = centre;
                const float dx = fastCos(angle[k] + 0.3f), dy = fastSin(angle[k] + 0.3f);
                const float push = (0.25f + 0.25f * c.randomUnit()) / (1.0f + 0.6f * static_cast<float>(r));
                s.vel = Vec3{dx * push, dy * push, (c.randomUnit() - 0.6f) * 0.8f};
                s.spin = Vec3{(c.randomUnit() - 0.5f) * 6.0f, (c.randomUnit() - 0.5f) * 6.0f,
                              (c.randomUnit() - 0.5f) * 3.0f};
                const kit::Rgb seen = kit::colourAt(c, kit::clampCell(c, kit::toCell(centre.x + half)),
                                                    kit::clampCell(c, kit::toCell(centre.y + half)));
                const kit::Rgb glass = kit::hsv(
                    hue + static_cast<float>(k) * 0.1f + static_cast<float>(r) * 0.33f, 0.75f, 0.95f);
                const kit::Rgb tint{kit::clampf(seen.r, -127.0f, 128.0f),
                                    kit::clampf(seen.g, -127.0f, 128.0f),
                                    kit::clampf(seen.b, -127.0f, 128.0f)};
                s.colour = kit::mix(glass, tint, 0.25f);
            }
        }
    }

    std::array<Shard, shardCount> shards_{};
    float spokeX_[spokes] = {};
    float spokeY_[spokes] = {};
    float impactX_ = 0.0f;
    float impactY_ = 0.0f;
    float roll_ = 0.0f;
    float tiltX_ = 0.0f;
    float tiltY_ = 0.0f;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Fragments);

} // namespace glowfield
