// Spiro: a spirograph. A pen on a wheel rolling inside a ring traces a hypotrochoid, a few dozen short
// segments a frame, its colour turning as it goes; old loops slowly sink into the indigo paper, shaded from
// blue at the top to plum at the foot, and when the curve has closed a new ring, wheel and pen are chosen.
#include "effects/kit/backdrop.h"
#include "effects/kit/held_picture.h"
#include "effects/kit/kit.h"

namespace glowfield {

namespace {

int gcd(int a, int b) {
    while (b != 0) {
        const int r = a % b;
        a = b;
        b = r;
    }
    return a;
}

class Spiro : public Effect {
  public:
    void start(EffectContext& c) override {
        paper_.reset(c, paperTop);
        paper_.restore(c);
        kit::pullTowards(c, paperTop, paperFoot, 1.0f);
        paper_.keep(c);
        choose(c);
    }

    void step(EffectContext& c) override {
        paper_.restore(c);
        kit::pullTowards(c, paperTop, paperFoot, 0.008f);
        const float half = static_cast<float>(c.n) * 0.5f;
        for (int k = 0; k < 36; ++k) {
            const float a = theta_;
            theta_ += 0.014f;
            const float b = theta_;
            const kit::Rgb colour = kit::hsv(hue_ + theta_ * 0.006f, 0.75f, 1.0f);
            float x0 = 0, y0 = 0, x1 = 0, y1 = 0;
            point(a, x0, y0);
            point(b, x1, y1);
            kit::drawThickLine(c, half + x0, half + y0, half + x1, half + y1, 1.0f, colour);
        }
        // The pen itself: a bright bead.
        float px = 0, py = 0;
        point(theta_, px, py);
        paper_.keep(c);
        // The toy itself, not kept: the toothed ring, the wheel rolling inside it and the arm to the pen.
        const float big = static_cast<float>(ring_ - wheel_) * scale_;
        const float wx = half + big * fastCos(theta_ + spin_), wy = half + big * fastSin(theta_ + spin_);
        const kit::Rgb plastic = kit::fromLevels(70, 90, 120);
        kit::circleOutline(c, half, half, static_cast<float>(ring_) * scale_, plastic, 2.0f, kit::Blend::max,
                           96);
        kit::circleOutline(c, wx, wy, static_cast<float>(wheel_) * scale_, plastic, 1.0f, kit::Blend::max,
                           48);
        kit::drawLine(c, wx, wy, half + px, half + py, kit::fromLevels(120, 140, 170), kit::Blend::max);
        kit::fillDisc(c, half + px, half + py, 2.2f, kit::white, kit::Blend::max);
        if (theta_ >= closeAt_) {
            choose(c);
        }
    }

  private:
    static constexpr kit::Rgb paperTop = kit::fromLevels(24, 32, 78);
    static constexpr kit::Rgb paperFoot = kit::fromLevels(52, 26, 72);

    void choose(EffectContext& c) {
        // Ring and wheel in whole teeth, so the curve closes after wheel / gcd turns of the pen; a few
        // turns at least, a dozen at most.
        int loops = 0;
        do {
            ring_ = c.random(36, 96);
            wheel_ = c.random(9, ring_ - 7);
            loops = wheel_ / gcd(ring_, wheel_);
        } while (loops < 3 || loops > 12);
        pen_ = static_cast<float>(wheel_) * (0.45f + 0.85f * c.randomUnit());
        const float reach = static_cast<float>(ring_ - wheel_) + pen_;
        scale_ = static_cast<float>(c.n) * 0.46f / reach;
        theta_ = 0.0f;
        closeAt_ = kit::twoPi * static_cast<float>(loops);
        hue_ = c.randomUnit();
        spin_ = kit::twoPi * c.randomUnit();
    }

    void point(float theta, float& x, float& y) const {
        const float big = static_cast<float>(ring_ - wheel_);
        const float roll = big / static_cast<float>(wheel_) * theta;
        const float px = big * fastCos(theta) + pen_ * fastCos(roll);
        const float py = big * fastSin(theta) - pen_ * fastSin(roll);
        const float cs = fastCos(spin_), sn = fastSin(spin_);
        x = (px * cs - py * sn) * scale_;
        y = (px * sn + py * cs) * scale_;
    }

    kit::HeldPicture paper_;
    int ring_ = 60;
    int wheel_ = 20;
    float pen_ = 10.0f;
    float scale_ = 1.0f;
    float theta_ = 0.0f;
    float closeAt_ = 1.0f;
    float hue_ = 0.0f;
    float spin_ = 0.0f;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Spiro);

} // namespace glowfield
