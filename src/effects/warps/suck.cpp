// Suck: a vacuum nozzle. The whole field is resampled from a little farther out each frame, a straight radial
// zoom with no twist, so everything is drawn into the nozzle; dust streaks in along the pull, the rim is fed
// with scraps of colour, and the nozzle follows the mouse or, left alone, wanders slowly.
#include <cmath>

#include "effects/kit/kit.h"
#include "effects/warps/colour_copy.h"

namespace glowfield {

namespace {

constexpr int dustCount = 70;

struct Dust {
    float x = 0.0f, y = 0.0f, vx = 0.0f, vy = 0.0f;
    kit::Rgb colour;
};

class Suck : public Effect {
  public:
    void start(EffectContext& c) override {
        const float n = static_cast<float>(c.n);
        x_ = n * 0.5f;
        y_ = n * 0.5f;
        for (Dust& d : dust_) {
            respawn(c, d);
        }
    }

    void step(EffectContext& c) override {
        kit::tameField(c, 250.0f, 25.0f);
        const float n = static_cast<float>(c.n);
        const float t = static_cast<float>(c.frame % 400000u) * 0.02f;
        float tx = n * (0.5f + 0.22f * fastSin(t * 0.21f)),
              ty = n * (0.5f + 0.2f * fastSin(t * 0.29f + 1.0f));
        if (c.framesSinceMouseMoved < 150) {
            tx = static_cast<float>(c.mouseX);
            ty = static_cast<float>(c.mouseY);
        }
        x_ += (tx - x_) * 0.08f;
        y_ += (ty - y_) * 0.08f;

        // The pull: each cell takes what lay 4% farther from the nozzle.
        copy_.capture(c);
        const float pull = 1.045f;
        const float nx = x_, ny = y_;
        for (int x = 0; x < c.n; ++x) {
            const float sx = nx + (static_cast<float>(x) - nx) * pull;
            for (int y = 0; y < c.n; ++y) {
                copy_.sampleInto(c, x, y, sx, ny + (static_cast<float>(y) - ny) * pull);
            }
        }
        kit::scaleVelocities(c, 0.9f);

        // Scraps of colour along the rim, to be drawn in.
        for (int k = 0; k < 5; ++k) {
            float ex = 0.0f, ey = 0.0f;
            edgePoint(c, ex, ey);
            const kit::Rgb scrap = kit::hsv(c.randomUnit(), 0.8f, c.randomUnit() < 0.3f ? 0.15f : 1.0f);
            kit::fillDisc(c, ex, ey, 2.0f + 4.0f * c.randomUnit(), scrap);
        }
        // Dust: accelerating towards the nozzle, drawn as streaks from where it was.
        for (Dust& d : dust_) {
            const float dx = x_ - d.x, dy = y_ - d.y;
            const float dist = std::sqrt(dx * dx + dy * dy) + 0.5f;
            d.vx = d.vx * 0.96f + dx / dist * 0.35f;
            d.vy = d.vy * 0.96f + dy / dist * 0.35f;
            const float px = d.x, py = d.y;
            d.x += d.vx;
            d.y += d.vy;
            kit::drawLine(c, px, py, d.x, d.y, d.colour, kit::Blend::max);
            if (dist < 5.0f || !(d.x >= 0.0f && d.y >= 0.0f && d.x < n && d.y < n)) {
                respawn(c, d);
            }
        }
        // The nozzle: a dark mouth with a bright rim.
        kit::fillDisc(c, x_, y_, n * 0.035f, kit::fromLevels(0, 0, 0));
        kit::drawRing(c, x_, y_, n * 0.04f, 1.5f, kit::fromLevels(200, 200, 210));
    }

  private:
    static void edgePoint(EffectContext& c, float& x, float& y) {
        const float n = static_cast<float>(c.n);
        const float along = c.randomUnit() * n;
        switch (c.random(0, 3)) {
        case 0:
            x = along, y = 1.0f;
            break;
        case 1:
            x = along, y = n - 2.0f;
            break;
        case 2:
            x = 1.0f, y = along;
            break;
        default:
            x = n - 2.0f, y = along;
            break;
        }
    }

    void respawn(EffectContext& c, Dust& d) {
        edgePoint(c, d.x, d.y);
        d.vx = 0.0f;
        d.vy = 0.0f;
        d.colour = kit::mix(kit::white, kit::hsv(c.randomUnit(), 0.7f, 1.0f), 0.5f);
    }

    ColourCopy copy_;
    Dust dust_[dustCount];
    float x_ = 0.0f, y_ = 0.0f;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Suck);

} // namespace glowfield
