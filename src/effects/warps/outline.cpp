// Outline: edge etching. Each frame the field becomes, in part, the size of its own gradient (bright where
// neighbours differ, dark where it is flat), read from a copy so each pass stays clean; repeated passes turn
// every shape into nested contour lines, and an orbiting colour blob keeps feeding in new edges.
#include <cmath>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Outline : public Effect {
  public:
    void start(EffectContext& c) override { kit::tameField(c); }

    void step(EffectContext& c) override {
        ++age_;
        kit::tameField(c, 300.0f, 30.0f);
        copy_.capture(c);
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                const int cell = cellAt(x, y);
                for (int p = 0; p < 3; ++p) {
                    const float gx = copy_.at(p, x + 1, y) - copy_.at(p, x - 1, y);
                    const float gy = copy_.at(p, x, y + 1) - copy_.at(p, x, y - 1);
                    const float edge = kit::clampf(std::sqrt(gx * gx + gy * gy) * 2.5f, 0.0f, 255.0f) - 127.0f;
                    float* plane = kit::planeOf(c, p);
                    plane[cell] = copy_.at(p, x, y) * 0.55f + edge * 0.45f;
                }
            }
        }
        kit::scaleVelocities(c, 0.0f);
        // The feeder: a soft blob of turning colour on a looping path.
        const float t = static_cast<float>(age_) * 0.02f;
        const float h = static_cast<float>(c.n) * 0.5f;
        const float bx = h + h * 0.6f * fastSin(t * 1.3f), by = h + h * 0.6f * fastSin(t * 0.8f + 1.0f);
        kit::fillDisc(c, bx, by, 7.0f + 3.0f * fastSin(t * 3.0f), kit::hsv(t * 0.2f, 0.9f, 1.0f));
        if (age_ % 40 == 0) {
            const float px = static_cast<float>(c.random(20, c.n - 20)), py = static_cast<float>(c.random(20, c.n - 20));
            kit::drawRing(c, px, py, 10.0f, 3.0f, kit::hsv(c.randomUnit(), 0.8f, 1.0f));
        }
    }

  private:
    int age_ = 0;
    kit::FieldCopy copy_;
};

} // namespace

std::unique_ptr<Effect> makeOutline() {
    return std::make_unique<Outline>();
}

} // namespace glowfield
