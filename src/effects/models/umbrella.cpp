// Umbrella: an umbrella in the rain. Eight ribs open and close on a turning shaft, the canopy panels between
// them in alternating colours; raindrops fall and bounce off the canopy where they strike it.
#include <algorithm>
#include <array>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

constexpr int ribs = 8;
constexpr int drops = 160;

class Umbrella : public Effect {
  public:
    void start(EffectContext& c) override {
        for (Drop& d : drops_) {
            respawn(c, d);
            d.y = c.randomUnit() * static_cast<float>(c.n);
        }
    }

    void step(EffectContext& c) override {
        kit::settleGradient(c, kit::fromLevels(30, 35, 50), kit::fromLevels(60, 65, 75), 0.5f);
        const float n = static_cast<float>(c.n);
        const float t = static_cast<float>(c.frame % 200000u);
        // Open most of the time, closing briefly every six seconds.
        const float cycle = static_cast<float>(c.frame % 300u);
        const float shut =
            kit::smoothstep(200.0f, 240.0f, cycle) * (1.0f - kit::smoothstep(250.0f, 290.0f, cycle));
        const float beta = kit::lerp(1.85f, kit::pi - 0.12f, shut);
        const float spin = t * 0.02f, tilt = 0.32f + 0.1f * fastSin(t * 0.01f);
        const Vec3 top{0.0f, -n * 0.22f, 0.0f}, handle{0.0f, n * 0.42f, 0.0f};
        const float ribLength = n * 0.5f;
        const auto view = [&](Vec3 p) {
            return kit::rotateX(kit::rotateY(p, spin), tilt) + Vec3{0.0f, 0.0f, n * 0.25f};
        };
        // Each rib bends at its middle, so the open canopy is a dome.
        Vec3 mids[ribs], tips[ribs];
        for (int i = 0; i < ribs; ++i) {
            const float a = static_cast<float>(i) * (kit::twoPi / ribs);
            const Vec3 radial{fastCos(a), 0.0f, fastSin(a)};
            const float inner = beta - 0.4f * (1.0f - shut), outer = beta + 0.35f * (1.0f - shut);
            const Vec3 mid =
                top + (Vec3{0.0f, -fastCos(inner), 0.0f} + radial * fastSin(inner)) * (ribLength * 0.5f);
            mids[i] = view(mid);
            tips[i] = view(mid + (Vec3{0.0f, -fastCos(outer), 0.0f} + radial * fastSin(outer)) *
                                     (ribLength * 0.5f));
        }
        const Vec3 topV = view(top);
        // Shaft and handle behind the canopy.
        kit::solidLine(c, topV, view(handle), kit::fromLevels(60, 50, 40), 2.5f);
        kit::solidLine(c, view(handle), view(handle + Vec3{n * 0.06f, n * 0.04f, 0.0f}),
                       kit::fromLevels(60, 50, 40), 2.5f);
        // Panels far to near.
        std::array<int, ribs> order{};
        for (int i = 0; i < ribs; ++i) {
            order[static_cast<size_t>(i)] = i;
        }
        std::sort(order.begin(), order.end(), [&](int a, int b) {
            return tips[a].z + tips[(a + 1) % ribs].z > tips[b].z + tips[(b + 1) % ribs].z;
        });
        panelCount_ = 0;
        for (int i : order) {
            const int j = (i + 1) % ribs;
            const kit::Rgb base = i % 2 ? kit::fromLevels(230, 40, 60) : kit::fromLevels(245, 235, 225);
            const Vec3 inner[4] = {topV, mids[i], mids[j], topV};
            const Vec3 outer[4] = {mids[i], tips[i], tips[j], mids[j]};
            addPanel(c, inner, 3, base);
            addPanel(c, outer, 4, base);
        }
        for (int i = 0; i < ribs; ++i) {
            kit::solidLine(c, topV, mids[i], kit::fromLevels(70, 60, 60), 0.8f);
            kit::solidLine(c, mids[i], tips[i], kit::fromLevels(70, 60, 60), 0.8f);
        }
        // Rain: streaks falling, thrown back up where they hit a panel.
        for (Drop& d : drops_) {
            d.vy += 0.12f;
            d.x += d.vx;
            d.y += d.vy;
            if (!(d.x > 0.0f && d.x < n && d.y < n)) {
                respawn(c, d);
                continue;
            }
            if (d.vy > 0.0f && onCanopy(d.x, d.y)) {
                // The first strike throws the drop back up; the next one ends it on the canopy.
                if (d.splashes > 0) {
                    respawn(c, d);
                    continue;
                }
                d.vy = -d.vy * 0.3f;
                d.vx = (c.randomUnit() - 0.5f) * 1.6f;
                ++d.splashes;
            }
            kit::drawLine(c, d.x, d.y, d.x - d.vx, d.y - d.vy * 1.5f, kit::fromLevels(170, 200, 255),
                          kit::Blend::max);
        }
    }

  private:
    using Vec3 = kit::Vec3;
    struct Drop {
        float x = 0.0f, y = 0.0f, vx = 0.0f, vy = 0.0f;
        int splashes = 0;
    };
    struct Panel {
        float xs[4];
        float ys[4];
        int corners = 0;
    };

    // Fills a canopy panel, lit by how squarely it faces the viewer, and keeps its outline for the rain.
    void addPanel(const EffectContext& c, const Vec3* corners, int count, kit::Rgb base) {
        Panel& p = panels_[static_cast<size_t>(panelCount_)];
        for (int k = 0; k < count; ++k) {
            const kit::Projected q = kit::project(c, corners[k]);
            if (!q.visible) {
                return;
            }
            p.xs[k] = q.x;
            p.ys[k] = q.y;
        }
        p.corners = count;
        ++panelCount_;
        const Vec3 u = corners[1] - corners[0], v = corners[2] - corners[0];
        const Vec3 normal{u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
        const float len = std::sqrt(normal.x * normal.x + normal.y * normal.y + normal.z * normal.z) + 1e-6f;
        const float facing = std::fabs(normal.z) / len;
        kit::fillPolygon(c, p.xs, p.ys, count, kit::shade(base, 0.4f + 0.6f * facing));
        kit::drawPolygon(c, p.xs, p.ys, count, kit::shade(base, 0.3f));
    }

    static void respawn(const EffectContext& c, Drop& d) {
        d.x = 1.0f + c.randomUnit() * static_cast<float>(c.n - 2);
        d.y = -c.randomUnit() * 20.0f;
        d.vx = 0.3f;
        d.vy = 2.5f + c.randomUnit() * 1.5f;
        d.splashes = 0;
    }

    bool onCanopy(float x, float y) const {
        // Even-odd crossing test against each panel outline.
        for (int k = 0; k < panelCount_; ++k) {
            const Panel& p = panels_[static_cast<size_t>(k)];
            bool in = false;
            for (int i = 0, j = p.corners - 1; i < p.corners; j = i++) {
                if ((p.ys[i] > y) != (p.ys[j] > y) &&
                    x < (p.xs[j] - p.xs[i]) * (y - p.ys[i]) / (p.ys[j] - p.ys[i]) + p.xs[i]) {
                    in = !in;
                }
            }
            if (in) {
                return true;
            }
        }
        return false;
    }

    std::array<Drop, drops> drops_{};
    std::array<Panel, ribs * 2> panels_{};
    int panelCount_ = 0;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Umbrella);

} // namespace glowfield
