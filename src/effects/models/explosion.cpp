// Explosion: every two seconds a blast somewhere in the depth of the screen. Six hundred shards fly
// out in 3-D, each drawn as a streak from where it was to where it is, so shards coming towards the viewer
// streak fat and bright and those flying away thin and dim, over a floor grid that each flash lights up; the
// blast flashes and sends a shock through the field. It all happens under a dusk sky that glows rose at the
// horizon above a dim violet plain.
#include <cmath>
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Explosion : public Effect {
  public:
    void start(EffectContext& c) override {
        shards_.assign(shardCount, Shard{});
        blast(c);
    }

    void step(EffectContext& c) override {
        kit::tameNowAndThen(c, 250.0f, 30.0f);
        const float n = static_cast<float>(c.n);
        kit::settleSky(c, n * 0.5f, kit::fromLevels(16, 14, 58), kit::fromLevels(120, 58, 70),
                       kit::fromLevels(58, 34, 60), kit::fromLevels(26, 20, 48), 0.3f, 0.9f);
        const float s = c.scale;
        if (c.frame - blasted_ >= 100u) {
            blast(c);
        }
        const uint32_t age = c.frame - blasted_;
        // A floor grid running into the distance, lit by each blast as it flashes, so the depth of the spray
        // reads against it.
        const float glow = age < 40u ? 1.0f - static_cast<float>(age) / 40.0f : 0.0f;
        const kit::Rgb line = kit::mix(kit::fromLevels(40, 60, 120), kit::fromLevels(255, 190, 120), glow);
        const float floorY = n * 0.32f;
        for (int k = -5; k <= 5; ++k) {
            const float x = static_cast<float>(k) * n * 0.2f;
            kit::modelLine(c, {x, floorY, 0.0f}, {x, floorY, n * 2.5f}, line, 1);
        }
        for (int k = 0; k <= 6; ++k) {
            const float z = static_cast<float>(k * k) * n * 0.07f;
            kit::modelLine(c, {-n, floorY, z}, {n, floorY, z}, line, 1);
        }
        // The fireball: a bright core that swells and fades over the first second.
        if (age < 50u) {
            const kit::Projected p = kit::project(c, centre_);
            if (p.visible) {
                const float k = static_cast<float>(age) / 50.0f;
                kit::softDisc(c, p.x, p.y, (8.0f + 40.0f * k) * s * p.scale,
                              kit::hsv(0.1f - 0.08f * k, 0.2f + 0.8f * k, 1.0f), 1.0f - k, kit::Blend::set);
            }
        }
        // The whole scene turns slowly about the blast, so the depth of the spray is plain to see.
        const float turn = 0.004f;
        for (Shard& d : shards_) {
            if (d.life <= 0) {
                continue;
            }
            --d.life;
            const kit::Vec3 before = d.p;
            d.v = d.v * 0.965f;
            d.v.y += 0.025f * s;
            d.p = d.p + d.v;
            d.p = kit::rotateY(d.p - centre_, turn) + centre_;
            if (!(d.p.x == d.p.x) || !(d.p.z > -n * 0.5f) || d.p.z > n * 4.0f) {
                d.life = 0;
                continue;
            }
            const float heat = static_cast<float>(d.life) / static_cast<float>(d.span);
            const kit::Rgb colour = kit::hsv(0.02f + 0.13f * heat * heat, 1.0f - 0.7f * heat * heat * heat,
                                             kit::clampf(0.45f + 2.0f * heat, 0.0f, 1.0f));
            kit::modelLine(c, before, d.p, colour, d.big ? 3 : 2);
        }
    }

  private:
    struct Shard {
        kit::Vec3 p, v;
        int life = 0, span = 1;
        bool big = false; // a chunk rather than a splinter
    };
    static constexpr int shardCount = 600;

    void blast(EffectContext& c) {
        const float n = static_cast<float>(c.n);
        const float s = c.scale;
        centre_ = {n * (c.randomUnit() - 0.5f) * 0.5f, n * (c.randomUnit() - 0.5f) * 0.4f,
                   n * (0.12f + 0.3f * c.randomUnit())};
        for (Shard& d : shards_) {
            // A direction spread evenly over the sphere: height uniform in -1..1, angle uniform.
            const float z = 2.0f * c.randomUnit() - 1.0f;
            const float a = c.randomUnit() * kit::twoPi;
            const float r = std::sqrt(1.0f - z * z);
            const float speed = (1.8f + 4.0f * c.randomUnit() * c.randomUnit()) * s;
            d.p = centre_;
            d.v = kit::Vec3{r * fastCos(a), r * fastSin(a) - 0.3f, z} * speed;
            d.span = d.life = 60 + c.random(0, 70);
            d.big = c.random(0, 5) == 0;
        }
        // The flash and the shock.
        const kit::Projected p = kit::project(c, centre_);
        if (p.visible) {
            kit::softDisc(c, p.x, p.y, 45.0f * s, kit::white, 1.5f, kit::Blend::set);
            kit::balancedPush(c, p.x, p.y, 10.0f * s + 1.0f, 60.0f);
        }
        blasted_ = c.frame;
    }

    std::vector<Shard> shards_;
    kit::Vec3 centre_;
    uint32_t blasted_ = 0;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Explosion);

} // namespace glowfield
