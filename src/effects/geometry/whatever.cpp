// Whatever: a shrug of an effect. Every few frames a random small gesture lands somewhere (a line, a ring, a
// tap on the water, a shifted row, a wash of colour, a spray of sparks), building an ever-changing collage.
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Whatever : public Effect {
  public:
    void start(EffectContext& c) override {
        row_.assign(static_cast<size_t>(c.n) * 3, 0.0f);
        for (int i = 0; i < 8; ++i) {
            gesture(c);
        }
    }

    void step(EffectContext& c) override {
        // A dusk-blue ground under the collage, so old gestures sink into dark rather than grey.
        kit::pullColours(c, kit::fromLevels(20, 25, 45), 0.03f);
        kit::scaleVelocities(c, 0.9f);
        if (c.frame % 4u == 0u) {
            gesture(c);
        }
    }

  private:
    void gesture(EffectContext& c) {
        const float n = static_cast<float>(c.n);
        const float x = c.randomUnit() * n, y = c.randomUnit() * n;
        const kit::Rgb col =
            kit::hsv(c.randomUnit(), 0.6f + c.randomUnit() * 0.4f, 0.5f + c.randomUnit() * 0.5f);
        switch (c.random(0, 5)) {
        case 0: {
            const float a = c.randomUnit() * kit::twoPi, len = 10.0f + c.randomUnit() * 50.0f;
            kit::drawThickLine(c, x, y, x + fastCos(a) * len, y + fastSin(a) * len,
                               1.0f + c.randomUnit() * 2.0f, col);
            break;
        }
        case 1:
            kit::drawRing(c, x, y, 4.0f + c.randomUnit() * 24.0f, 1.5f + c.randomUnit() * 3.0f, col);
            break;
        case 2:
            kit::balancedPush(c, x, y, 3.0f + c.randomUnit() * 5.0f, (c.random() % 2 ? 1.0f : -1.0f) * 12.0f);
            break;
        case 3: {
            // A band of rows slides sideways by a few cells, wrapping round.
            const int y0 = kit::clampCell(c, kit::toCell(y));
            const int h = c.random(2, 10), shift = c.random(3, 25);
            float* planes[3] = {c.planes.red, c.planes.green, c.planes.blue};
            for (int yy = y0; yy < y0 + h && yy < c.n; ++yy) {
                for (int p = 0; p < 3; ++p) {
                    for (int xx = 0; xx < c.n; ++xx) {
                        row_[static_cast<size_t>(p) * c.n + xx] = planes[p][cellAt(xx, yy)];
                    }
                    for (int xx = 0; xx < c.n; ++xx) {
                        planes[p][cellAt(kit::wrap(xx + shift, c.n), yy)] =
                            row_[static_cast<size_t>(p) * c.n + xx];
                    }
                }
            }
            break;
        }
        case 4:
            kit::softDisc(c, x, y, 15.0f + c.randomUnit() * 30.0f, col, 0.9f, kit::Blend::set);
            break;
        default:
            for (int i = 0; i < 30; ++i) {
                const float a = c.randomUnit() * kit::twoPi, r = c.randomUnit() * 18.0f;
                kit::paint(c, kit::toCell(x + fastCos(a) * r), kit::toCell(y + fastSin(a) * r),
                           kit::mix(col, kit::white, 0.6f));
            }
            break;
        }
    }

    std::vector<float> row_;
};

} // namespace

std::unique_ptr<Effect> makeWhatever() {
    return std::make_unique<Whatever>();
}

} // namespace glowfield
