// 3: the chaos game. A point jumps halfway towards one of three drifting corners thousands of times a frame,
// lighting red, green or blue by the corner it jumped to, and a self-similar triangle of triangles appears
// and morphs as the corners wander, over an ink-blue ground that glows violet at its heart.
#include "effects/kit/backdrop.h"
#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Three : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::tameField(c);
        x_ = static_cast<float>(c.n) * 0.5f;
        y_ = static_cast<float>(c.n) * 0.5f;
        time_ = c.random(0, 5000);
    }

    void step(EffectContext& c) override {
        const float n = static_cast<float>(c.n);
        ++time_;
        const float t = static_cast<float>(time_);
        const kit::Glow heart{n * 0.5f, n * 0.5f, n * 0.6f, {22.0f, 10.0f, 34.0f}};
        kit::pullTowards(c, kit::fromLevels(30, 18, 64), kit::fromLevels(12, 34, 62), 0.18f, heart);
        kit::scaleVelocities(c, 0.0f);

        // Each corner circles its own home, so the triangle stretches, leans and turns.
        float cx[3], cy[3];
        for (int k = 0; k < 3; ++k) {
            const float home = kit::twoPi * static_cast<float>(k) / 3.0f + t * 0.004f - kit::pi * 0.5f;
            const float wander =
                0.12f * fastSin(t * (0.011f + 0.004f * static_cast<float>(k)) + static_cast<float>(k));
            const float r = n * (0.44f + 0.04f * fastSin(t * 0.017f + static_cast<float>(k) * 2.0f));
            cx[k] = n * 0.5f + r * fastCos(home + wander);
            cy[k] = n * 0.5f + r * fastSin(home + wander);
        }
        float* planes[3] = {c.planes.red, c.planes.green, c.planes.blue};
        for (int i = 0; i < 3000; ++i) {
            const int k = c.random() % 3;
            x_ = (x_ + cx[k]) * 0.5f;
            y_ = (y_ + cy[k]) * 0.5f;
            const int x = kit::toCell(x_), y = kit::toCell(y_);
            if (!kit::inside(c, x, y)) {
                x_ = cx[0];
                y_ = cy[0];
                continue;
            }
            float& v = planes[k][cellAt(x, y)];
            v = v < 60.0f ? v + 70.0f : 128.0f;
        }
        // The corners themselves glow.
        for (int k = 0; k < 3; ++k) {
            kit::softDisc(c, cx[k], cy[k], n * 0.04f,
                          {k == 0 ? 120.0f : 20.0f, k == 1 ? 120.0f : 20.0f, k == 2 ? 120.0f : 20.0f});
        }
    }

  private:
    float x_ = 0.0f, y_ = 0.0f;
    int time_ = 0;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Three);

} // namespace glowfield
