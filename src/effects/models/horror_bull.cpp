// Horror Bull: a nightmare bullfight. A pair of pale curved horns with burning eyes between them charges out
// of the distance across a blood-red arena, growing until they fill the screen, while a red cape billows in
// the foreground and is swept aside as they pass; dust flies, and the next charge comes from a new direction.
#include <vector>

#include "effects/kit/kit.h"
#include "effects/particles/particle_bounds.h"

namespace glowfield {

namespace {

class HorrorBull : public Effect {
  public:
    void start(EffectContext& c) override {
        grid_ = c.n;
        dust_.assign(maxDust, Dust{});
        charge(c);
    }

    void step(EffectContext& c) override {
        if (grid_ != c.n) {
            start(c); // the grid changed size: lay everything out afresh for it
        }
        bounds::clearVelocities(c);
        const float n = static_cast<float>(c.n);
        const float s = n / 200.0f;
        const float t = static_cast<float>(c.frame % 400000u);
        uint32_t age = c.frame - charged_;
        if (age >= chargeFrames + 30u) {
            charge(c);
            age = 0u;
        }
        const float u = kit::clampf(static_cast<float>(age) / chargeFrames, 0.0f, 1.0f);
        // Far away the bull seems to crawl, then it is suddenly upon you.
        // It stops just short of the viewer, where the horn tips (which reach forwards) still show.
        const float depth = n * 2.6f * (1.0f - u) * (1.0f - u) + n * 0.18f;
        const float bob = 5.0f * s * absf(fastSin(t * 0.25f));
        const kit::Vec3 head{kit::lerp(fromX_, passX_, u * u), n * 0.12f - bob, depth};

        drawArena(c, n, t);
        drawHorns(c, head, s);
        // Dust kicked up once it is near.
        if (depth < n * 1.2f && age < chargeFrames) {
            const kit::Projected hoof = kit::project(c, head + kit::Vec3{0.0f, n * 0.18f, 0.0f});
            if (hoof.visible) {
                for (int k = 0; k < 6; ++k) {
                    Dust& d = dust_[next_];
                    next_ = (next_ + 1) % maxDust;
                    const float a = -kit::pi * c.randomUnit();
                    const float v = (0.5f + 2.0f * c.randomUnit()) * s * hoof.scale;
                    d = {hoof.x + (c.randomUnit() - 0.5f) * 30.0f * s * hoof.scale, hoof.y,
                         fastCos(a) * v * 1.5f, fastSin(a) * v, 40};
                }
            }
        }
        for (Dust& d : dust_) {
            if (d.life <= 0) {
                continue;
            }
            --d.life;
            d.vy += 0.03f * s;
            d.x += d.vx;
            d.y += d.vy;
            if (!(d.x >= 0.0f && d.y >= 0.0f && d.x < n && d.y < n)) {
                d.life = 0;
                continue;
            }
            kit::softDisc(c, d.x, d.y, 2.5f * s + 0.5f, kit::fromLevels(150, 110, 80),
                          0.08f * static_cast<float>(d.life) / 40.0f, kit::Blend::set);
        }
        drawCape(c, n, s, t, u);
    }

  private:
    struct Dust {
        float x = 0.0f, y = 0.0f, vx = 0.0f, vy = 0.0f;
        int life = 0;
    };
    static constexpr int maxDust = 300;
    static constexpr uint32_t chargeFrames = 170u;

    void charge(EffectContext& c) {
        const float n = static_cast<float>(c.n);
        capeLeft_ = c.random(0, 1) == 0;
        fromX_ = n * (c.randomUnit() - 0.5f) * 1.2f;
        // It passes the cape on the cape's open side.
        passX_ = (capeLeft_ ? 1.0f : -1.0f) * n * (0.05f + 0.15f * c.randomUnit());
        charged_ = c.frame;
    }

    // A dark blood-red sky over a sand arena whose lines run to the horizon.
    static void drawArena(const EffectContext& c, float n, float t) {
        for (int y = 0; y < c.n; ++y) {
            const float k = static_cast<float>(y) / n;
            kit::Rgb colour;
            if (k < 0.5f) {
                colour = kit::mix(kit::fromLevels(20, 0, 6), kit::fromLevels(110, 20, 12), k * 2.0f);
            } else {
                colour =
                    kit::mix(kit::fromLevels(70, 40, 24), kit::fromLevels(120, 80, 50), (k - 0.5f) * 2.0f);
            }
            for (int x = 0; x < c.n; ++x) {
                bounds::setCell(c, x, y, colour);
            }
        }
        // Furrows in the sand: lines on the ground plane, running away from the viewer.
        const float ground = n * 0.3f;
        for (int k = -6; k <= 6; ++k) {
            const float x = static_cast<float>(k) * n * 0.18f;
            kit::modelLineFast(c, {x, ground, 0.0f}, {x, ground, n * 6.0f}, kit::fromLevels(150, 100, 70));
        }
        // A flicker of heat over the horizon.
        for (int x = 0; x < c.n; x += 3) {
            const float h = 2.0f + 2.0f * fastSin(static_cast<float>(x) * 0.3f + t * 0.07f);
            kit::drawLine(c, static_cast<float>(x), n * 0.5f, static_cast<float>(x), n * 0.5f - h,
                          kit::fromLevels(150, 40, 20));
        }
    }

    // Two horns that sweep out, up and forward, thick at the root; a skull ridge and two burning eyes.
    static void drawHorns(const EffectContext& c, kit::Vec3 head, float s) {
        s *= 2.2f; // the head is drawn larger than the grid scale, so close up the horns fill the screen
        const kit::Rgb bone = kit::fromLevels(240, 228, 200);
        for (float side : {-1.0f, 1.0f}) {
            kit::Vec3 previous = head + kit::Vec3{side * 8.0f * s, 0.0f, 0.0f};
            for (int k = 1; k <= 14; ++k) {
                const float q = static_cast<float>(k) / 14.0f;
                const kit::Vec3 p = head + kit::Vec3{side * (8.0f + 34.0f * q - 12.0f * q * q * q) * s,
                                                     (3.0f - 34.0f * q * q) * s, -16.0f * q * q * s};
                const int size = 1 + static_cast<int>(6.0f * (1.0f - q));
                kit::modelLine(c, previous, p, kit::shade(bone, 1.0f - 0.25f * q), size);
                previous = p;
            }
        }
        // The brow between the horns and the long face beneath, in dim dried-blood red.
        const kit::Rgb flesh = kit::fromLevels(120, 30, 30);
        kit::modelLine(c, head + kit::Vec3{-9.0f * s, 1.0f * s, 0.0f},
                       head + kit::Vec3{9.0f * s, 1.0f * s, 0.0f}, flesh, 3);
        kit::modelLine(c, head + kit::Vec3{-8.0f * s, 2.0f * s, 0.0f},
                       head + kit::Vec3{-3.0f * s, 24.0f * s, -2.0f * s}, flesh, 2);
        kit::modelLine(c, head + kit::Vec3{8.0f * s, 2.0f * s, 0.0f},
                       head + kit::Vec3{3.0f * s, 24.0f * s, -2.0f * s}, flesh, 2);
        kit::modelLine(c, head + kit::Vec3{-3.0f * s, 24.0f * s, -2.0f * s},
                       head + kit::Vec3{3.0f * s, 24.0f * s, -2.0f * s}, flesh, 2);
        const kit::Rgb ember = kit::fromLevels(255, 60, 20);
        kit::modelLine(c, head + kit::Vec3{-6.0f * s, 7.0f * s, -1.0f * s},
                       head + kit::Vec3{-4.0f * s, 8.0f * s, -1.0f * s}, ember, 3);
        kit::modelLine(c, head + kit::Vec3{6.0f * s, 7.0f * s, -1.0f * s},
                       head + kit::Vec3{4.0f * s, 8.0f * s, -1.0f * s}, ember, 3);
    }

    // The cape: a hanging cloth on one side, its edge rippling in sine folds, shaded light and dark along
    // them, and swept away as the bull passes.
    void drawCape(const EffectContext& c, float n, float s, float t, float u) {
        const kit::Rgb cloth = kit::hsv(0.99f, 0.95f, 1.0f);
        const float sweep = u > 0.8f ? (u - 0.8f) / 0.2f : 0.0f;
        const float reach = n * (0.26f - 0.25f * sweep * sweep);
        const kit::Rgb level{cloth.r + 127.0f, cloth.g + 127.0f, cloth.b + 127.0f};
        for (int y = kit::clampCell(c, kit::toCell(n * 0.08f)); y < c.n; ++y) {
            const float fy = static_cast<float>(y);
            const float edge = reach + n * 0.04f * fastSin(fy * 0.06f + t * 0.09f) + fy * 0.1f;
            const float sway = 0.8f * fastSin(fy * 0.05f + t * 0.07f);
            const int last = kit::clampCell(c, kit::toCell(edge));
            for (int k = 0; k <= last && edge >= 0.0f; ++k) {
                // Folds run down the cloth, bent from row to row by the sway.
                const float fold = fastSin(static_cast<float>(k) * 0.22f + sway);
                const float v = (0.62f + 0.28f * fold) * (edge - static_cast<float>(k) < 2.0f ? 0.6f : 1.0f);
                bounds::setCell(c, capeLeft_ ? k : c.n - 1 - k, y,
                                {level.r * v - 127.0f, level.g * v - 127.0f, level.b * v - 127.0f});
            }
        }
        // The stick along the top of the cape.
        const float x0 = capeLeft_ ? 0.0f : n, x1 = capeLeft_ ? reach + n * 0.05f : n - reach - n * 0.05f;
        kit::drawThickLine(c, x0, n * 0.08f, x1, n * 0.08f, 1.2f * s + 0.3f, kit::fromLevels(120, 90, 50));
    }

    std::vector<Dust> dust_;
    int next_ = 0;
    uint32_t charged_ = 0;
    float fromX_ = 0.0f, passX_ = 0.0f;
    bool capeLeft_ = true;
    int grid_ = 0; // the grid side the state was laid out for
};

} // namespace

std::unique_ptr<Effect> makeHorrorBull() {
    return std::make_unique<HorrorBull>();
}

} // namespace glowfield
