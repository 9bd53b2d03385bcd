// Ficky Stingers: a wasp swarm round a hanging paper nest. Four hundred wasps jitter and dart, pulled back
// towards the nest (or the mouse once it moves), drawn as yellow-and-black dashes; a white spark flashes
// where one stings the edge of the screen.
#include <cmath>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class FickyStingers : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::tameField(c);
        const float n = static_cast<float>(c.n);
        for (int i = 0; i < wasps; ++i) {
            x_[i] = n * (0.3f + 0.4f * c.randomUnit());
            y_[i] = n * (0.3f + 0.4f * c.randomUnit());
            vx_[i] = vy_[i] = 0.0f;
        }
    }

    void step(EffectContext& c) override {
        const float n = static_cast<float>(c.n);
        const float s = c.scale;
        const int time = static_cast<int>(c.framesSinceStart) + 1;
        const float t = static_cast<float>(time);
        kit::pullColours(c, kit::fromLevels(30, 45, 25), 0.3f);
        kit::scaleVelocities(c, 0.0f);
        const bool followMouse = c.framesSinceMouseMoved != EffectContext::never;
        // The nest drifts on a slow loop; the swarm chases it.
        const float nestX = n * 0.5f + n * 0.25f * fastSin(t * 0.009f);
        const float nestY = n * 0.45f + n * 0.2f * fastSin(t * 0.0137f + 1.0f);
        const float hx = followMouse ? static_cast<float>(c.mouseX) : nestX;
        const float hy = followMouse ? static_cast<float>(c.mouseY) : nestY;
        if (!followMouse) {
            drawNest(c, nestX, nestY, s);
        }

        const float maxSpeed = 2.6f * s;
        for (int i = 0; i < wasps; ++i) {
            vx_[i] = vx_[i] * 0.9f + (hx - x_[i]) * 0.0015f + (c.randomUnit() - 0.5f) * 1.6f * s;
            vy_[i] = vy_[i] * 0.9f + (hy - y_[i]) * 0.0015f + (c.randomUnit() - 0.5f) * 1.6f * s;
            const float sp2 = vx_[i] * vx_[i] + vy_[i] * vy_[i];
            if (sp2 > maxSpeed * maxSpeed) {
                const float k = maxSpeed / std::sqrt(sp2);
                vx_[i] *= k;
                vy_[i] *= k;
            }
            // A few break off and dart.
            if (c.random() % 400 == 0) {
                const float a = c.randomUnit() * kit::twoPi;
                vx_[i] = 6.0f * s * fastCos(a);
                vy_[i] = 6.0f * s * fastSin(a);
            }
            x_[i] += vx_[i];
            y_[i] += vy_[i];
            bool struck = false;
            if (x_[i] < 0.0f) {
                x_[i] = 0.0f;
                vx_[i] = -vx_[i];
                struck = true;
            } else if (x_[i] > n - 1.0f) {
                x_[i] = n - 1.0f;
                vx_[i] = -vx_[i];
                struck = true;
            }
            if (y_[i] < 0.0f) {
                y_[i] = 0.0f;
                vy_[i] = -vy_[i];
                struck = true;
            } else if (y_[i] > n - 1.0f) {
                y_[i] = n - 1.0f;
                vy_[i] = -vy_[i];
                struck = true;
            }
            if (!(x_[i] >= 0.0f && y_[i] >= 0.0f && x_[i] <= n && y_[i] <= n)) {
                x_[i] = hx;
                y_[i] = hy;
                vx_[i] = vy_[i] = 0.0f;
            }
            if (struck) {
                kit::softDisc(c, x_[i], y_[i], 5.0f * s, {200.0f, 200.0f, 180.0f});
            }
            // Head, a black band, a yellow abdomen and the sting behind.
            const float sp = std::sqrt(vx_[i] * vx_[i] + vy_[i] * vy_[i]) + 1e-3f;
            const float ux = vx_[i] / sp, uy = vy_[i] / sp;
            kit::paint(c, kit::roundCell(x_[i] + ux), kit::roundCell(y_[i] + uy), kit::fromLevels(60, 40, 0));
            kit::paint(c, kit::roundCell(x_[i]), kit::roundCell(y_[i]), kit::fromLevels(255, 220, 0));
            kit::paint(c, kit::roundCell(x_[i] - ux), kit::roundCell(y_[i] - uy), kit::fromLevels(10, 10, 0));
            kit::paint(c, kit::roundCell(x_[i] - 2.0f * ux), kit::roundCell(y_[i] - 2.0f * uy),
                       kit::fromLevels(255, 200, 0));
            // Wings: a pale flicker beside the body on alternate frames.
            if ((time + i) % 2 == 0) {
                kit::paint(c, kit::roundCell(x_[i] - uy), kit::roundCell(y_[i] + ux),
                           kit::fromLevels(200, 220, 230), kit::Blend::max);
            }
        }
    }

  private:
    static constexpr int wasps = 400;

    // A grey paper nest: a stack of lumpy rings under its stalk, with a dark entrance.
    static void drawNest(const EffectContext& c, float x, float y, float s) {
        kit::drawThickLine(c, x, y - 22.0f * s, x, 0.0f, 1.0f * s, kit::fromLevels(70, 60, 40));
        for (int k = 0; k < 6; ++k) {
            const float fy = y - 14.0f * s + static_cast<float>(k) * 5.0f * s;
            const float w = (9.0f + 6.0f * fastSin(static_cast<float>(k) * 0.55f + 0.3f)) * s;
            kit::fillRect(c, x - w, fy, x + w, fy + 4.0f * s,
                          kit::fromLevels(175 - k * 6, 160 - k * 6, 130 - k * 6));
            kit::drawLine(c, x - w, fy + 4.0f * s, x + w, fy + 4.0f * s, kit::fromLevels(100, 90, 70));
        }
        kit::fillDisc(c, x, y + 13.0f * s, 2.5f * s, kit::fromLevels(20, 15, 10));
    }

    float x_[wasps] = {}, y_[wasps] = {}, vx_[wasps] = {}, vy_[wasps] = {};
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(FickyStingers);

} // namespace glowfield
