// Mouse Hole: a plain papered wall with a skirting board, and an arched hole in the skirting that follows the
// mouse along the floor. Through the hole the wallpaper picture shows, as if the room behind were painted;
// tiny mice scurry along the floor and dive into it. When the mouse rests, the hole wanders on its own.
#include <array>

#include "effects/kit/kit.h"
#include "effects/pictures/wallpaper.h"

namespace glowfield {

namespace {

class MouseHole : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::tameField(c);
        wallpaper_.load(c);
        holeX_ = static_cast<float>(c.mouseX);
        lastMouseX_ = c.mouseX;
        rest_ = 1000;
        for (Mouse& m : mice_) {
            spawn(c, m);
            m.x = static_cast<float>(c.random(0, c.n - 1));
        }
    }

    void step(EffectContext& c) override {
        const uint32_t tick = c.framesSinceStart + 1;
        kit::tameField(c, 300.0f, 0.0f); // also zeroes the velocities, whatever they held
        const float n = static_cast<float>(c.n);
        const float t = static_cast<float>(tick % 1000000u);
        if (c.mouseX != lastMouseX_) {
            rest_ = 0;
            lastMouseX_ = c.mouseX;
        } else if (rest_ < 1000) {
            ++rest_;
        }
        const float target =
            rest_ < 150 ? static_cast<float>(c.mouseX) : n * (0.5f + 0.33f * fastSin(t * 0.006f));
        holeX_ += (target - holeX_) * 0.05f;
        holeX_ = kit::clampf(holeX_, n * 0.15f, n * 0.85f);
        const float floorY = n * 0.86f;
        const float skirtTop = n * 0.74f;
        const float holeW = n * 0.11f, holeH = n * 0.2f;
        const float archBase = floorY - holeH + holeW; // where the arch's round top meets its straight sides
        const kit::Rgb wall = kit::fromLevels(214, 200, 170), stripe = kit::fromLevels(200, 186, 156);
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                kit::Rgb colour;
                const float fx = x + 0.5f, fy = y + 0.5f;
                // Inside the arch: the picture at the same place on the screen, darker towards the back.
                const float dx = (fx - holeX_) / holeW;
                const float dy = fy < archBase ? (fy - archBase) / holeW : 0.0f;
                const float inArch = (fy < floorY) ? dx * dx + dy * dy : 2.0f;
                if (inArch < 1.0f && fy > archBase - holeW) {
                    colour = kit::shade(wallpaper_.atCell(c, fx, fy), 0.55f + 0.45f * (1.0f - inArch));
                } else if (inArch < 1.35f && fy > archBase - holeW * 1.2f && fy < floorY) {
                    colour = kit::fromLevels(40, 26, 18); // the hole's dark rim
                } else if (fy >= floorY) {
                    const int board = static_cast<int>(kit::toCell((fx + (y % 2) * 7.0f) / 23.0f));
                    colour = kit::shade(kit::fromLevels(150, 100, 60), 0.8f + 0.1f * (board % 3));
                    if (y == kit::toCell(floorY)) {
                        colour = kit::fromLevels(90, 60, 36);
                    }
                } else if (fy >= skirtTop) {
                    colour = fy < skirtTop + 2.0f ? kit::fromLevels(250, 246, 236)
                                                  : kit::fromLevels(232, 226, 214);
                } else {
                    colour = (x / 6) % 2 ? wall : stripe;
                }
                kit::setSolidCell(c, x, y, colour);
            }
        }
        // Mice run along the floor towards the hole and vanish into it; new ones come in from the sides.
        for (Mouse& m : mice_) {
            const float dir = holeX_ > m.x ? 1.0f : -1.0f;
            m.x += dir * m.speed * (0.6f + 0.4f * fastSin(t * 0.4f + m.phase));
            if ((m.x - holeX_) * (m.x - holeX_) < 9.0f) {
                spawn(c, m);
            }
            drawMouse(c, m.x, floorY + 6.0f, dir, t + m.phase * 10.0f);
        }
    }

  private:
    struct Mouse {
        float x = 0.0f;
        float speed = 1.0f;
        float phase = 0.0f;
    };

    void spawn(EffectContext& c, Mouse& m) {
        m.x = c.random() % 2 ? -4.0f : c.n + 3.0f;
        m.speed = 0.5f + 0.8f * c.randomUnit();
        m.phase = c.randomUnit() * kit::twoPi;
    }

    // A side view, about eight cells long: body, head with a pink ear, a dark eye, tail and scurrying feet.
    void drawMouse(EffectContext& c, float x, float y, float dir, float t) {
        const kit::Rgb fur = kit::fromLevels(96, 90, 92), belly = kit::fromLevels(170, 160, 156);
        const kit::Rgb dark = kit::fromLevels(24, 20, 22);
        const float bob = fastSin(t * 0.8f) > 0.0f ? 0.0f : 0.5f;
        kit::fillDisc(c, x, y - 2.5f - bob, 3.2f, fur);
        kit::fillRect(c, x - 2.5f, y - 1.0f - bob, x + 2.5f, y - bob, belly);
        kit::fillDisc(c, x + dir * 3.8f, y - 2.5f - bob, 2.0f, fur);
        kit::paint(c, kit::roundCell(x + dir * 5.8f), kit::roundCell(y - 2.5f - bob),
                   kit::fromLevels(230, 150, 160));
        kit::fillDisc(c, x + dir * 2.8f, y - 5.3f - bob, 1.3f, kit::fromLevels(230, 160, 170));
        kit::paint(c, kit::roundCell(x + dir * 4.3f), kit::roundCell(y - 3.2f - bob), dark);
        kit::drawLine(c, x - dir * 3.0f, y - 2.0f, x - dir * 8.0f, y - 3.0f + 1.5f * fastSin(t * 0.5f), dark);
        const float step = fastSin(t * 1.3f) > 0.0f ? 1.0f : -1.0f;
        kit::paint(c, kit::roundCell(x - 1.5f + step * 0.7f), kit::roundCell(y), dark);
        kit::paint(c, kit::roundCell(x + 1.5f - step * 0.7f), kit::roundCell(y), dark);
    }

    pictures::Wallpaper wallpaper_;
    std::array<Mouse, 5> mice_{};
    float holeX_ = 0.0f;
    int lastMouseX_ = 0;
    int rest_ = 0;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(MouseHole);

} // namespace glowfield
