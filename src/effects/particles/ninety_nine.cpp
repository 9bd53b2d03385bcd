// 99: ninety-nine balls bounce in a box under gravity, knocking into each other elastically, each a shaded
// ball in its own colour; every few seconds the box is shaken and they fly up again.
#include <cmath>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class NinetyNine : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::tameField(c);
        const float n = static_cast<float>(c.n);
        radius_ = n * 0.028f;
        for (int i = 0; i < balls; ++i) {
            x_[i] = radius_ + (n - 2.0f * radius_) * c.randomUnit();
            y_[i] = radius_ + (n * 0.6f) * c.randomUnit();
            vx_[i] = (c.randomUnit() - 0.5f) * 3.0f;
            vy_[i] = (c.randomUnit() - 0.5f) * 3.0f;
            colour_[i] = kit::hsv(static_cast<float>(i) / balls, 0.75f, 1.0f);
        }
    }

    void step(EffectContext& c) override {
        const float n = static_cast<float>(c.n);
        const float s = c.scale;
        const float r = radius_;
        const int time = static_cast<int>(c.framesSinceStart) + 1;
        kit::pullColours(c, kit::fromLevels(25, 25, 35), 0.5f);
        kit::scaleVelocities(c, 0.9f);

        const bool shake = time % 260 == 0;
        for (int i = 0; i < balls; ++i) {
            vy_[i] += 0.12f * s;
            if (shake) {
                vy_[i] -= (3.0f + 4.0f * c.randomUnit()) * s;
                vx_[i] += (c.randomUnit() - 0.5f) * 4.0f * s;
            }
            x_[i] += vx_[i];
            y_[i] += vy_[i];
            if (x_[i] < r) {
                x_[i] = r;
                vx_[i] = -vx_[i] * 0.9f;
            } else if (x_[i] > n - r) {
                x_[i] = n - r;
                vx_[i] = -vx_[i] * 0.9f;
            }
            if (y_[i] < r) {
                y_[i] = r;
                vy_[i] = -vy_[i] * 0.9f;
            } else if (y_[i] > n - r) {
                y_[i] = n - r;
                vy_[i] = -vy_[i] * 0.9f;
            }
            if (!(std::fabs(x_[i]) < 1e6f && std::fabs(y_[i]) < 1e6f && std::fabs(vx_[i]) < 1e6f &&
                  std::fabs(vy_[i]) < 1e6f)) {
                x_[i] = n * 0.5f;
                y_[i] = r;
                vx_[i] = vy_[i] = 0.0f;
            }
        }
        // Collisions between every pair (99 balls: under five thousand pairs, cheaper than a grid).
        const float d0 = 2.0f * r;
        for (int i = 0; i < balls; ++i) {
            for (int j = i + 1; j < balls; ++j) {
                const float dx = x_[j] - x_[i], dy = y_[j] - y_[i];
                const float d2 = dx * dx + dy * dy;
                if (d2 >= d0 * d0 || d2 < 1e-6f) {
                    continue;
                }
                const float d = std::sqrt(d2);
                const float ux = dx / d, uy = dy / d;
                // Push apart, then exchange the velocity along the line of centres.
                const float overlap = (d0 - d) * 0.5f;
                x_[i] -= ux * overlap;
                y_[i] -= uy * overlap;
                x_[j] += ux * overlap;
                y_[j] += uy * overlap;
                const float rel = (vx_[j] - vx_[i]) * ux + (vy_[j] - vy_[i]) * uy;
                if (rel < 0.0f) {
                    const float k = rel * 0.97f;
                    vx_[i] += ux * k;
                    vy_[i] += uy * k;
                    vx_[j] -= ux * k;
                    vy_[j] -= uy * k;
                    if (rel < -1.5f * s) {
                        kit::pushVelocity(c, (x_[i] + x_[j]) * 0.5f, (y_[i] + y_[j]) * 0.5f, 3.0f * s, 4.0f);
                    }
                }
            }
        }
        for (int i = 0; i < balls; ++i) {
            drawBall(c, x_[i], y_[i], r, colour_[i]);
        }
    }

  private:
    static constexpr int balls = 99;

    // A ball lit from the upper left: bright spot, darker rim.
    static void drawBall(const EffectContext& c, float bx, float by, float r, kit::Rgb colour) {
        const int x0 = kit::toCell(bx - r), x1 = kit::toCell(bx + r);
        const int y0 = kit::toCell(by - r), y1 = kit::toCell(by + r);
        for (int x = x0; x <= x1; ++x) {
            for (int y = y0; y <= y1; ++y) {
                const float dx = static_cast<float>(x) + 0.5f - bx, dy = static_cast<float>(y) + 0.5f - by;
                const float d2 = (dx * dx + dy * dy) / (r * r);
                if (d2 > 1.0f) {
                    continue;
                }
                const float hx = dx / r + 0.35f, hy = dy / r + 0.4f;
                const float spot = 1.0f - kit::clampf((hx * hx + hy * hy) * 4.0f, 0.0f, 1.0f);
                const float light = 0.45f + 0.55f * (1.0f - d2);
                kit::paint(c, x, y, kit::mix(kit::shade(colour, light), kit::white, spot * 0.8f));
            }
        }
    }

    float x_[balls] = {}, y_[balls] = {}, vx_[balls] = {}, vy_[balls] = {};
    kit::Rgb colour_[balls] = {};
    float radius_ = 5.0f;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(NinetyNine);

} // namespace glowfield
