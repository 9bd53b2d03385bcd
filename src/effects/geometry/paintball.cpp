// Paintball: balls of paint fly at the screen, growing as they near it, and burst into splats with spiky
// edges, satellite droplets and drips that run down; splats pile up while the oldest paint slowly dulls.
#include <cmath>
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Paintball : public Effect {
  public:
    void start(EffectContext& c) override {
        // Leftovers of an earlier entry are brought into range once, so blends never carry NaN along.
        kit::tameField(c);
        kit::fillColours(c, kit::fromLevels(30, 28, 34), true);
        wall_.assign(static_cast<size_t>(c.n) * c.n * 3, 0.0f);
        keepWall(c);
        for (Ball& b : balls_) {
            launch(c, b);
            b.t = c.randomUnit() * 0.8f;
        }
        for (Drip& d : drips_) {
            d.life = 0;
        }
    }

    void step(EffectContext& c) override {
        // The wall is kept apart from the field, so flying balls leave no trails and splats keep their edges;
        // old paint slowly dulls towards the dark wall colour.
        restoreWall(c);
        kit::pullColours(c, kit::fromLevels(30, 28, 34), 0.003f);
        kit::scaleVelocities(c, 0.0f);
        for (Drip& d : drips_) {
            if (d.life <= 0) {
                continue;
            }
            kit::fillDisc(c, d.x, d.y, d.width, d.colour);
            d.y += d.speed;
            d.speed *= 0.985f;
            d.width *= 0.995f;
            if (--d.life <= 0 || d.y >= static_cast<float>(c.n)) {
                d.life = 0;
            }
        }
        for (Ball& b : balls_) {
            b.t += 0.025f;
            if (b.t >= 1.0f) {
                splat(c, b);
                launch(c, b);
            }
        }
        keepWall(c);
        for (Ball& b : balls_) {
            if (b.t < 0.0f) {
                continue;
            }
            // Flight: the ball comes from the middle distance towards its aim, its size growing with the
            // perspective scale, lit from the upper left.
            const float k = b.t * b.t;
            const float x = kit::lerp(b.fromX, b.aimX, k);
            const float y = kit::lerp(b.fromY, b.aimY, k) - 20.0f * b.t * (1.0f - b.t);
            const float r = 1.0f + b.t * b.t * 7.0f;
            kit::fillDisc(c, x, y, r + 0.8f, kit::shade(b.colour, 0.35f));
            kit::fillDisc(c, x, y, r, b.colour);
            kit::fillDisc(c, x - r * 0.35f, y - r * 0.35f, r * 0.35f, kit::mix(b.colour, kit::white, 0.7f));
        }
    }

  private:
    struct Ball {
        float fromX, fromY, aimX, aimY, t;
        kit::Rgb colour;
    };
    struct Drip {
        float x, y, speed, width;
        int life;
        kit::Rgb colour;
    };

    void launch(EffectContext& c, Ball& b) {
        const float n = static_cast<float>(c.n);
        b.fromX = n * 0.5f + (c.randomUnit() - 0.5f) * n * 0.3f;
        b.fromY = n * 0.45f;
        // Balls land anywhere on the wall; once the mouse has moved, every other ball aims near it.
        const bool atMouse = mouseMoved(c) && c.random() % 2 == 0;
        const float aimX = atMouse ? static_cast<float>(c.mouseX) : n * 0.5f;
        const float aimY = atMouse ? static_cast<float>(c.mouseY) : n * 0.5f;
        const float spread = atMouse ? 0.35f : 1.0f;
        b.aimX = kit::clampf(aimX + (c.randomUnit() - 0.5f) * n * spread, 4.0f, n - 5.0f);
        b.aimY = kit::clampf(aimY + (c.randomUnit() - 0.5f) * n * spread, 4.0f, n - 5.0f);
        b.t = -c.randomUnit() * 0.6f;
        b.colour = kit::hsv(c.randomUnit(), 0.85f, 0.95f);
    }

    bool mouseMoved(const EffectContext& c) {
        if (firstMouseX_ < 0) {
            firstMouseX_ = c.mouseX;
            firstMouseY_ = c.mouseY;
        }
        moved_ = moved_ || c.mouseX != firstMouseX_ || c.mouseY != firstMouseY_;
        return moved_;
    }

    void splat(EffectContext& c, const Ball& b) {
        const float r = 6.0f + c.randomUnit() * 6.0f;
        const int spikes = c.random(7, 14);
        for (int i = 0; i < spikes; ++i) {
            const float a = c.randomUnit() * kit::twoPi;
            const float len = r * (1.2f + c.randomUnit() * 1.1f);
            const float ex = b.aimX + fastCos(a) * len, ey = b.aimY + fastSin(a) * len;
            kit::drawThickLine(c, b.aimX, b.aimY, ex, ey, 1.0f + c.randomUnit() * 1.2f, b.colour);
            // Satellite droplets beyond some spikes.
            if (c.random() % 2 == 0) {
                const float far = len + 2.0f + c.randomUnit() * r;
                kit::fillDisc(c, b.aimX + fastCos(a) * far, b.aimY + fastSin(a) * far,
                              0.8f + c.randomUnit() * 1.5f, b.colour);
            }
        }
        kit::fillDisc(c, b.aimX, b.aimY, r, b.colour);
        kit::fillDisc(c, b.aimX - r * 0.3f, b.aimY - r * 0.3f, r * 0.45f,
                      kit::mix(b.colour, kit::white, 0.25f));
        // Two or three drips run down from the lower edge.
        const int drips = c.random(1, 3);
        for (int i = 0; i < drips; ++i) {
            for (Drip& d : drips_) {
                if (d.life > 0) {
                    continue;
                }
                d.x = b.aimX + (c.randomUnit() - 0.5f) * r * 1.4f;
                d.y = b.aimY + r * 0.6f;
                d.speed = 0.3f + c.randomUnit() * 0.4f;
                d.width = 0.9f + c.randomUnit() * 0.8f;
                d.life = c.random(40, 120);
                d.colour = b.colour;
                break;
            }
        }
    }

    void keepWall(const EffectContext& c) {
        const float* planes[3] = {c.planes.red, c.planes.green, c.planes.blue};
        size_t i = 0;
        for (int p = 0; p < 3; ++p) {
            for (int x = 0; x < c.n; ++x) {
                for (int y = 0; y < c.n; ++y) {
                    wall_[i++] = planes[p][cellAt(x, y)];
                }
            }
        }
    }

    void restoreWall(const EffectContext& c) const {
        float* planes[3] = {c.planes.red, c.planes.green, c.planes.blue};
        size_t i = 0;
        for (int p = 0; p < 3; ++p) {
            for (int x = 0; x < c.n; ++x) {
                for (int y = 0; y < c.n; ++y) {
                    planes[p][cellAt(x, y)] = wall_[i++];
                }
            }
        }
    }

    std::vector<float> wall_;
    int firstMouseX_ = -1, firstMouseY_ = -1;
    bool moved_ = false;
    Ball balls_[5]{};
    Drip drips_[48]{};
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Paintball);

} // namespace glowfield
