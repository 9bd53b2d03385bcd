// Take Off: a rocket launch. Exhaust billows into smoke on the pad, the rocket climbs and the camera follows
// it, so the ground and the smoke fall away below while the sky darkens and the stars come out; then a new
// rocket stands on the pad.
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class TakeOff : public Effect {
  public:
    void start(EffectContext& c) override {
        puffs_.assign(maxPuffs, Puff{});
        launched_ = c.frame;
        altitude_ = 0.0f;
        speed_ = 0.0f;
    }

    void step(EffectContext& c) override {
        kit::clearVelocities(c);
        const float n = static_cast<float>(c.n);
        const float s = kit::gridScale(c);
        uint32_t age = c.frame - launched_;
        if (age >= 450u) {
            start(c);
            age = 0u;
        }
        // Countdown on the pad, then a climb that speeds up.
        if (age > 60u) {
            speed_ += 0.012f * s;
            altitude_ += speed_;
        }
        // The camera keeps the rocket no higher than a third of the way down the screen.
        const float padY = n * 0.82f;
        const float rocketWorldY = padY - altitude_;
        const float camera = rocketWorldY < n * 0.35f ? n * 0.35f - rocketWorldY : 0.0f;
        const float rocketY = rocketWorldY + camera;
        const float rocketX = n * 0.5f;
        const float height = kit::clampf(camera / (n * 2.5f), 0.0f, 1.0f);

        for (int y = 0; y < c.n; ++y) {
            const float k = static_cast<float>(y) / n;
            const kit::Rgb day = kit::mix(kit::fromLevels(70, 130, 210), kit::fromLevels(170, 200, 230), k);
            const kit::Rgb space = kit::mix(kit::fromLevels(2, 2, 12), kit::fromLevels(20, 30, 80), k);
            const kit::Rgb sky = kit::mix(day, space, height);
            for (int x = 0; x < c.n; ++x) {
                kit::setCell(c, x, y, sky);
            }
        }
        // Stars come out as the sky darkens; they scroll with the camera.
        if (height > 0.2f) {
            const kit::Rgb star = kit::shade(kit::white, kit::clampf((height - 0.2f) * 2.0f, 0.0f, 1.0f));
            for (int k = 0; k < 120; ++k) {
                const unsigned h = static_cast<unsigned>(k) * 2654435761u;
                const float sx = static_cast<float>(h % 997u) / 997.0f * n;
                const float wy = static_cast<float>((h >> 10) % 991u) / 991.0f * n * 2.0f;
                const float sy = wy + camera * 0.3f;
                const float wrapped = sy - 2.0f * n * static_cast<float>(kit::toCell(sy / (2.0f * n)));
                kit::plot(c, sx, wrapped, star, kit::Blend::max);
            }
        }
        // Ground, pad and gantry scroll down with the camera.
        const float ground = padY + camera;
        if (ground < n) {
            kit::fillRect(c, 0.0f, ground + 4.0f * s, n, n, kit::fromLevels(70, 90, 60));
            kit::fillRect(c, rocketX - 25.0f * s, ground, rocketX + 25.0f * s, ground + 5.0f * s,
                          kit::fromLevels(110, 110, 115));
            const float gx = rocketX + 16.0f * s;
            kit::fillRect(c, gx, ground - 60.0f * s, gx + 5.0f * s, ground, kit::fromLevels(150, 60, 40));
            for (int k = 0; k < 12; ++k) {
                const float y = ground - static_cast<float>(k) * 5.0f * s;
                kit::drawLine(c, gx, y, gx + 5.0f * s, y - 5.0f * s, kit::fromLevels(90, 30, 20));
            }
        }
        // Exhaust: hot near the nozzle, swelling and greying into smoke; puffs live in world space.
        const float nozzle = rocketY + 22.0f * s;
        const int spawn = age < 40u ? 1 : age < 60u ? 4 : 8;
        for (int k = 0; k < spawn; ++k) {
            Puff& p = puffs_[next_];
            next_ = (next_ + 1) % maxPuffs;
            const float spread = c.randomUnit() - 0.5f;
            p = {rocketX + spread * 4.0f * s,
                 nozzle - camera,
                 spread * 0.8f * s,
                 (1.5f + c.randomUnit()) * s,
                 2.0f * s,
                 0,
                 true};
        }
        for (Puff& p : puffs_) {
            if (!p.live) {
                continue;
            }
            ++p.age;
            p.x += p.vx;
            p.y += p.vy;
            p.vy *= 0.93f;
            p.vx *= 0.97f;
            // Smoke that reaches the pad spreads sideways.
            if (p.y > padY - 2.0f * s) {
                p.y = padY - 2.0f * s;
                p.vx += (p.vx < 0.0f ? -0.25f : 0.25f) * s;
            }
            p.r += 0.12f * s;
            const float sy = p.y + camera;
            if (p.age > 220 || !kit::onGrid(c, p.x, sy, p.r)) {
                p.live = false;
                continue;
            }
            const float heat = kit::clampf(1.0f - static_cast<float>(p.age) / 14.0f, 0.0f, 1.0f);
            const kit::Rgb smoke = kit::fromLevels(200 - p.age / 3, 200 - p.age / 3, 205 - p.age / 3);
            const kit::Rgb colour = kit::mix(smoke, kit::fromLevels(255, 200, 80), heat);
            kit::softDisc(c, p.x, sy, p.r, colour, heat > 0.0f ? 1.2f : 0.5f, kit::Blend::set);
        }
        if (age > 50u && age < 130u && c.frame % 6u == 0u) {
            kit::balancedPush(c, rocketX, ground, 10.0f * s, 6.0f);
        }
        drawRocket(c, rocketX, rocketY, s, age > 60u);
    }

  private:
    struct Puff {
        float x = 0.0f, y = 0.0f, vx = 0.0f, vy = 0.0f, r = 0.0f;
        int age = 0;
        bool live = false;
    };
    static constexpr int maxPuffs = 260;

    static void drawRocket(const EffectContext& c, float x, float y, float s, bool firing) {
        // Body with a shaded side, a red nose cone, fins and a window.
        const float top = y - 20.0f * s, bottom = y + 20.0f * s, half = 4.5f * s;
        kit::fillRect(c, x - half, top, x + half, bottom, kit::fromLevels(235, 235, 240));
        kit::fillRect(c, x + half * 0.3f, top, x + half, bottom, kit::fromLevels(175, 175, 190));
        const float nx[3] = {x - half, x + half, x}, ny[3] = {top, top, top - 10.0f * s};
        kit::fillPolygon(c, nx, ny, 3, kit::fromLevels(220, 40, 40));
        const float lx[3] = {x - half, x - half - 5.0f * s, x - half},
                    ly[3] = {bottom - 10.0f * s, bottom + 2.0f * s, bottom};
        const float rx[3] = {x + half, x + half + 5.0f * s, x + half},
                    ry[3] = {bottom - 10.0f * s, bottom + 2.0f * s, bottom};
        kit::fillPolygon(c, lx, ly, 3, kit::fromLevels(200, 40, 40));
        kit::fillPolygon(c, rx, ry, 3, kit::fromLevels(170, 30, 30));
        kit::fillDisc(c, x, top + 8.0f * s, 2.0f * s, kit::fromLevels(60, 140, 220));
        if (firing) {
            kit::softDisc(c, x, bottom + 5.0f * s, 6.0f * s, kit::fromLevels(255, 255, 200), 1.5f,
                          kit::Blend::set);
        }
    }

    std::vector<Puff> puffs_;
    int next_ = 0;
    uint32_t launched_ = 0;
    float altitude_ = 0.0f;
    float speed_ = 0.0f;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(TakeOff);

} // namespace glowfield
