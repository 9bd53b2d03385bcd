// Kryptonight: glowing green crystals. Hexagonal prisms with pointed tips grow out of a dark rock, the
// cluster turning slowly; their glow pulses through the green plane and sparkles flash along their edges.
// After a while they crumble back into the rock and grow again.
#include <array>

#include "effects/models/model_scene.h"

namespace glowfield {

namespace {

constexpr int crystalCount = 9;
constexpr uint32_t growthFrames = 600;

class Kryptonight : public Effect {
  public:
    void start(EffectContext& c) override {
        const float n = static_cast<float>(c.n);
        for (int i = 0; i < crystalCount; ++i) {
            Crystal& k = crystals_[static_cast<size_t>(i)];
            const float a = static_cast<float>(i) * 2.4f;
            const float r = i == 0 ? 0.0f : n * (0.08f + 0.14f * c.randomUnit());
            k.base = Vec3{r * fastCos(a), n * 0.25f, r * fastSin(a)};
            // Leaning outwards from the middle, the central one upright.
            k.lean = i == 0 ? 0.0f : 0.25f + 0.45f * c.randomUnit();
            k.heading = a;
            k.radius = n * (0.035f + 0.025f * c.randomUnit()) * (i == 0 ? 1.5f : 1.0f);
            k.length = n * (0.28f + 0.22f * c.randomUnit()) * (i == 0 ? 1.4f : 1.0f);
            k.delay = static_cast<float>(i) * 6.0f;
        }
    }

    void step(EffectContext& c) override {
        models::settleField(c, kit::fromLevels(0, 8, 4), 0.3f, 0.9f);
        const float n = static_cast<float>(c.n);
        const float t = static_cast<float>(c.frame % 200000u);
        const float age = static_cast<float>(c.frame % growthFrames);
        const float crumble = kit::smoothstep(growthFrames - 60.0f, growthFrames - 5.0f, age);
        const float spin = t * 0.008f, tilt = 0.35f;
        const auto view = [&](Vec3 p) {
            return kit::rotateX(kit::rotateY(p, spin), tilt) + Vec3{0.0f, 0.0f, n * 0.5f};
        };
        // The rock: a dark jagged mound round the roots, its outline shifting as the cluster turns.
        const kit::Projected root = kit::project(c, view(Vec3{0.0f, n * 0.27f, 0.0f}));
        float xs[14], ys[14];
        for (int i = 0; i < 14; ++i) {
            const float a = static_cast<float>(i) * (kit::pi / 13.0f);
            const float r = n * (0.36f + 0.04f * fastSin(static_cast<float>(i) * 2.7f + spin * 3.0f));
            xs[i] = root.x - r * fastCos(a);
            ys[i] = root.y + n * 0.03f - r * 0.3f * fastSin(a) * (i % 2 ? 0.8f : 1.0f);
        }
        const float pulse = 0.5f + 0.5f * fastSin(t * 0.12f);
        for (const Crystal& k : crystals_) {
            const float grown = kit::smoothstep(k.delay, k.delay + 90.0f, age) * (1.0f - crumble);
            if (grown <= 0.02f) {
                continue;
            }
            const Vec3 axis = kit::rotateY(kit::rotateZ(Vec3{0.0f, -1.0f, 0.0f}, k.lean), k.heading);
            const Vec3 side1 = kit::rotateY(kit::rotateZ(Vec3{1.0f, 0.0f, 0.0f}, k.lean), k.heading);
            const Vec3 side2 = kit::rotateY(Vec3{0.0f, 0.0f, 1.0f}, k.heading);
            const float length = k.length * grown, radius = k.radius * (0.4f + 0.6f * grown);
            Vec3 low[6], high[6];
            for (int s = 0; s < 6; ++s) {
                const float a = static_cast<float>(s) * (kit::twoPi / 6.0f);
                const Vec3 ring = side1 * (radius * fastCos(a)) + side2 * (radius * fastSin(a));
                low[s] = view(k.base + ring);
                high[s] = view(k.base + ring + axis * (length * 0.8f));
            }
            const Vec3 tip = view(k.base + axis * length);
            const kit::Rgb edge = kit::fromLevels(120, 255, 120), glow = kit::fromLevels(40, 200, 60);
            for (int s = 0; s < 6; ++s) {
                kit::modelLine(c, low[s], high[s], glow, 2);
                kit::modelLine(c, high[s], high[(s + 1) % 6], edge, 1);
                kit::modelLine(c, high[s], tip, edge, 2);
            }
            // The glow inside, pulsing; a sparkle now and then on an edge.
            const kit::Projected centre = kit::project(c, view(k.base + axis * (length * 0.5f)));
            if (centre.visible) {
                kit::softDisc(c, centre.x, centre.y, length * 0.5f * centre.scale,
                              kit::fromLevels(20, 160, 40), 0.25f + 0.2f * pulse);
                if (c.frame % 25u == 0u) {
                    kit::balancedPush(c, centre.x, centre.y, 5.0f, 4.0f, kit::green);
                }
            }
            if (c.random() % 6 == 0) {
                const Vec3 spark = low[c.random(0, 5)] + (tip - low[0]) * c.randomUnit();
                const kit::Projected q = kit::project(c, spark);
                if (q.visible) {
                    kit::fillDisc(c, q.x, q.y, 1.5f, kit::white, kit::Blend::max);
                }
            }
        }
        // The rock over the crystal roots.
        if (root.visible) {
            kit::fillPolygon(c, xs, ys, 14, kit::fromLevels(45, 38, 50));
            kit::drawPolygon(c, xs, ys, 14, kit::fromLevels(95, 85, 100));
        }
    }

  private:
    using Vec3 = kit::Vec3;
    struct Crystal {
        Vec3 base;
        float lean = 0.0f, heading = 0.0f, radius = 0.0f, length = 0.0f, delay = 0.0f;
    };
    std::array<Crystal, crystalCount> crystals_{};
};

} // namespace

std::unique_ptr<Effect> makeKryptonight() {
    return std::make_unique<Kryptonight>();
}

} // namespace glowfield
