// Use The Mouse: finger-painting on water. The mouse drags the water along its path and drops ink in a colour
// that shifts with its speed; while it rests, a hint pen circles the pointer so the screen shows what to do.
#include <cmath>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class UseTheMouse : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::fillColours(c, kit::fromLevels(10, 20, 40), true);
        lastX_ = c.mouseX;
        lastY_ = c.mouseY;
        rest_ = restBeforeHint; // the hint shows at once until the mouse first moves
        hue_ = c.randomUnit();
        tick_ = 0;
    }

    void step(EffectContext& c) override {
        ++tick_;
        kit::tameField(c, 300.0f, 30.0f);
        kit::pullColours(c, kit::fromLevels(10, 20, 40), 0.012f);
        kit::scaleVelocities(c, 0.995f);
        const int dx = c.mouseX - lastX_, dy = c.mouseY - lastY_;
        const float speed = std::sqrt(static_cast<float>(dx * dx + dy * dy));
        if (speed > 0.0f) {
            rest_ = 0;
            hue_ += 0.002f * speed;
            const kit::Rgb pen = kit::hsv(hue_, 0.9f, 1.0f);
            kit::drawThickLine(c, static_cast<float>(lastX_), static_cast<float>(lastY_),
                               static_cast<float>(c.mouseX), static_cast<float>(c.mouseY), 2.5f, pen);
            // A dipole along the stroke: water is pushed ahead of the finger and drawn in behind it.
            const float push = kit::clampf(speed * 0.4f, 0.0f, 6.0f);
            kit::pushVelocity(c, static_cast<float>(c.mouseX), static_cast<float>(c.mouseY), 6.0f, push);
            kit::pushVelocity(c, static_cast<float>(lastX_), static_cast<float>(lastY_), 6.0f, -push);
        } else if (rest_ < restBeforeHint) {
            ++rest_;
        }
        lastX_ = c.mouseX;
        lastY_ = c.mouseY;
        if (rest_ >= restBeforeHint) {
            hintPen(c);
        }
        drawPointer(c);
    }

  private:
    static constexpr int restBeforeHint = 100; // two seconds of stillness

    void hintPen(EffectContext& c) {
        const float t = static_cast<float>(tick_ % 1000000u);
        const float a = t * 0.07f;
        const float r = 30.0f + 14.0f * fastSin(t * 0.013f);
        const float px = c.mouseX + r * fastCos(a), py = c.mouseY + r * fastSin(a);
        const float qx = c.mouseX + r * fastCos(a - 0.07f), qy = c.mouseY + r * fastSin(a - 0.07f);
        hue_ += 0.003f;
        kit::drawThickLine(c, qx, qy, px, py, 2.0f, kit::hsv(hue_, 0.85f, 1.0f));
        // A drop of ink now and then: a pulse in the water at the pen.
        if (tick_ % 9u == 0u) {
            kit::balancedPush(c, px, py, 4.0f, 3.0f);
        }
    }

    // An arrow pointer at the mouse cell, outlined so it reads over any colour.
    void drawPointer(EffectContext& c) {
        const float x = static_cast<float>(c.mouseX), y = static_cast<float>(c.mouseY);
        const float xs[7] = {x, x, x + 3.5f, x + 6.0f, x + 8.0f, x + 5.5f, x + 10.0f};
        const float ys[7] = {y, y + 14.0f, y + 10.5f, y + 16.0f, y + 15.0f, y + 9.5f, y + 9.5f};
        kit::fillPolygon(c, xs, ys, 7, kit::white);
        kit::drawPolygon(c, xs, ys, 7, kit::black);
    }

    int lastX_ = 0;
    int lastY_ = 0;
    int rest_ = 0;
    float hue_ = 0.0f;
    uint32_t tick_ = 0;
};

} // namespace

std::unique_ptr<Effect> makeUseTheMouse() {
    return std::make_unique<UseTheMouse>();
}

} // namespace glowfield
