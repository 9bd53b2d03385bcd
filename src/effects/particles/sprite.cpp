// Sprite: a fairy flits on looping paths with beating wings, shedding glitter that drifts down and twinkles
// while the dusk slowly swallows it. When the mouse moves she darts to it, then takes up her loops again.
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Sprite : public Effect {
  public:
    void start(EffectContext& c) override {
        glitter_.assign(maxGlitter, Glitter{});
        const float n = static_cast<float>(c.n);
        x_ = n * 0.5f;
        y_ = n * 0.5f;
        clock_ = 0.0f;
    }

    void step(EffectContext& c) override {
        kit::tameNowAndThen(c, 200.0f, 8.0f);
        kit::scaleVelocities(c, 0.0f);
        kit::pullColours(c, kit::fromLevels(16, 10, 40), 0.05f);
        const float n = static_cast<float>(c.n);
        const float s = kit::gridScale(c);
        const float big = 1.7f * s; // the fairy's own scale
        float tx = 0.0f, ty = 0.0f;
        if (c.framesSinceMouseMoved < 90) {
            tx = static_cast<float>(c.mouseX);
            ty = static_cast<float>(c.mouseY);
        } else {
            // Loops within loops: a wide slow circuit with quick curls on it.
            clock_ += 0.012f;
            tx = n * (0.5f + 0.3f * fastCos(clock_) + 0.1f * fastCos(clock_ * 4.3f));
            ty = n * (0.5f + 0.25f * fastSin(clock_ * 1.3f) + 0.1f * fastSin(clock_ * 4.3f));
        }
        const float ox = x_;
        // She slows to her loop speed on the dart's last frame.
        x_ += (tx - x_) * (c.framesSinceMouseMoved < 89 ? 0.12f : 0.08f);
        y_ += (ty - y_) * (c.framesSinceMouseMoved < 89 ? 0.12f : 0.08f);
        if (!kit::onGrid(c, x_, y_)) {
            x_ = n * 0.5f;
            y_ = n * 0.5f;
        }
        const float facing = x_ >= ox ? 1.0f : -1.0f;
        // Glitter shed behind her.
        for (int k = 0; k < 5; ++k) {
            Glitter& g = glitter_[next_];
            next_ = (next_ + 1) % maxGlitter;
            g = {x_ + (c.randomUnit() - 0.5f) * 4.0f * s, y_ + 2.0f * s,  (c.randomUnit() - 0.5f) * 0.3f * s,
                 (0.1f + 0.25f * c.randomUnit()) * s,     c.randomUnit(), 120 + c.random(0, 120)};
        }
        for (Glitter& g : glitter_) {
            if (g.life <= 0) {
                continue;
            }
            --g.life;
            g.x += g.vx;
            g.y += g.vy;
            if (!kit::onGrid(c, g.x, g.y)) {
                g.life = 0;
                continue;
            }
            // Twinkle: most frames a glint shows, some frames it is dark.
            if (c.random(0, 3) == 0) {
                continue;
            }
            const float fade = kit::clampf(static_cast<float>(g.life) / 80.0f, 0.2f, 1.0f);
            kit::plot(c, g.x, g.y, kit::hsv(g.hue, 0.5f, fade), kit::Blend::max);
        }
        drawFairy(c, big, facing, static_cast<float>(c.frame % 100000u));
    }

  private:
    struct Glitter {
        float x = 0.0f, y = 0.0f, vx = 0.0f, vy = 0.0f, hue = 0.0f;
        int life = 0;
    };
    static constexpr int maxGlitter = 1300;

    void drawFairy(const EffectContext& c, float s, float facing, float t) {
        // Wings: a larger upper and smaller lower pair each side, their span beating fast.
        const float beat = absf(fastSin(t * 0.6f));
        const kit::Rgb wing = kit::fromLevels(170, 230, 255);
        for (float side : {-1.0f, 1.0f}) {
            const float span = (3.0f + 9.0f * beat) * s;
            const int corners = 14;
            float xs[corners], ys[corners];
            for (int part = 0; part < 2; ++part) {
                const float size = part == 0 ? 1.0f : 0.65f;
                const float cx = x_ + side * span * 0.5f * size, cy = y_ + (part == 0 ? -4.0f : 2.0f) * s;
                for (int k = 0; k < corners; ++k) {
                    const float a = kit::twoPi * static_cast<float>(k) / corners;
                    xs[k] = cx + fastCos(a) * span * 0.5f * size;
                    ys[k] = cy + fastSin(a) * 4.0f * s * size + (part == 0 ? -side * 0.0f : 0.0f);
                }
                kit::fillPolygon(c, xs, ys, corners, kit::shade(wing, 0.55f + 0.3f * beat), kit::Blend::max);
                kit::drawPolygon(c, xs, ys, corners, kit::white, kit::Blend::max);
            }
        }
        kit::softDisc(c, x_, y_, 10.0f * s, kit::fromLevels(255, 240, 200), 0.5f, kit::Blend::set);
        // Body: a slim gown, a head and a wand pointed the way she flies.
        const float bx[3] = {x_ - 2.0f * s, x_ + 2.0f * s, x_},
                    by[3] = {y_ + 6.0f * s, y_ + 6.0f * s, y_ - 3.0f * s};
        kit::fillPolygon(c, bx, by, 3, kit::fromLevels(255, 170, 220));
        kit::fillDisc(c, x_, y_ - 4.5f * s, 1.8f * s + 0.3f, kit::fromLevels(255, 225, 190));
        const float wx = x_ + facing * 6.0f * s, wy = y_ - 6.0f * s;
        kit::drawLine(c, x_ + facing * 1.5f * s, y_ - 1.0f * s, wx, wy, kit::fromLevels(240, 220, 120));
        kit::fillDisc(c, wx, wy, 1.3f * s + 0.3f, kit::white);
    }

    std::vector<Glitter> glitter_;
    int next_ = 0;
    float x_ = 0.0f, y_ = 0.0f, clock_ = 0.0f;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Sprite);

} // namespace glowfield
