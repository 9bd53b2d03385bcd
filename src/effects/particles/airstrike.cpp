// Airstrike: an aerobatic flypast. Five jets fly a scripted display (a formation figure-eight, then a
// starburst break from the centre), each trailing coloured smoke that lingers in the sky and billows.
#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Airstrike : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::tameField(c);
        for (int j = 0; j < jets; ++j) {
            had_[j] = false;
        }
    }

    void step(EffectContext& c) override {
        const float n = static_cast<float>(c.n);
        const float s = c.scale;
        const int time = static_cast<int>(c.framesSinceStart) + 1;
        kit::scaleVelocities(c, 0.6f);
        // The sky: a slow pull to a blue gradient, so smoke stays a few seconds.
        for (int x = 0; x < c.n; ++x) {
            const kit::Column col = kit::column(c, x);
            for (int y = 0; y < c.n; ++y) {
                const float k = static_cast<float>(y) / n;
                col.blend(y, kit::fromLevels(40 + truncToInt(90.0f * k), 90 + truncToInt(90.0f * k), 200),
                          time < 40
                              ? 0.12f
                              : 0.012f); // quickly over whatever was there, then slowly so smoke lingers
            }
        }
        const kit::Rgb smoke[jets] = {kit::fromLevels(230, 30, 40), kit::fromLevels(250, 250, 250),
                                      kit::fromLevels(30, 60, 230), kit::fromLevels(250, 250, 250),
                                      kit::fromLevels(230, 30, 40)};
        const int t = time % period;
        for (int j = 0; j < jets; ++j) {
            float x = 0.0f, y = 0.0f, hx = 0.0f, hy = 0.0f;
            position(j, t, n, x, y);
            position(j, t + 1, n, hx, hy);
            if (had_[j] && t != 0) {
                kit::drawThickLine(c, lastX_[j], lastY_[j], x, y, 3.0f * s, smoke[j]);
            }
            lastX_[j] = x;
            lastY_[j] = y;
            had_[j] = true;
            // Smoke billows: a small balanced puff behind each jet now and then.
            if ((time + j * 7) % 9 == 0) {
                kit::balancedPush(c, x, y, 4.0f * s, (c.randomUnit() - 0.5f) * 5.0f);
            }
            drawJet(c, hx, hy, hx - x, hy - y, s);
        }
    }

  private:
    static constexpr int jets = 5;
    static constexpr int period = 900;

    // Where jet j is at display time t: frames 0-539 a figure-eight in a V formation, then a starburst.
    static void position(int j, int t, float n, float& x, float& y) {
        const float fj = static_cast<float>(j - jets / 2);
        if (t < 540) {
            const float a = static_cast<float>(t) / 540.0f * kit::twoPi - kit::pi * 0.5f;
            const float cx = n * 0.5f + n * 0.36f * fastCos(a);
            const float cy = n * 0.45f + n * 0.25f * fastSin(2.0f * a);
            const float dx = -n * 0.36f * fastSin(a), dy = n * 0.5f * fastCos(2.0f * a);
            const float heading = kit::angleOf(dx, dy);
            const float ux = fastCos(heading), uy = fastSin(heading);
            // V: the outer jets sit back and to the sides.
            const float back = -static_cast<float>(j < jets / 2 ? jets / 2 - j : j - jets / 2) * n * 0.05f;
            const float side = fj * n * 0.05f;
            x = cx + ux * back - uy * side;
            y = cy + uy * back + ux * side;
            return;
        }
        // The break: all five climb from below to the centre, then fan out and curl away.
        const float u = static_cast<float>(t - 540);
        const float climb = u < 90.0f ? u / 90.0f : 1.0f;
        if (u < 90.0f) {
            x = n * 0.5f + fj * n * 0.02f;
            y = n * 1.05f - climb * n * 0.55f;
            return;
        }
        const float v = u - 90.0f;
        const float a = -kit::pi * 0.5f + fj * 0.62f + fj * v * 0.004f;
        const float r = v * n * 0.0055f;
        x = n * 0.5f + fj * n * 0.02f + r * fastCos(a);
        y = n * 0.5f + r * fastSin(a);
    }

    static void drawJet(const EffectContext& c, float x, float y, float dx, float dy, float s) {
        const float a = kit::angleOf(dx, dy);
        const float ca = fastCos(a), sa = fastSin(a);
        const float lx[4] = {5.0f, -4.0f, -2.0f, -4.0f};
        const float ly[4] = {0.0f, -3.5f, 0.0f, 3.5f};
        float xs[4], ys[4];
        for (int i = 0; i < 4; ++i) {
            xs[i] = x + (lx[i] * ca - ly[i] * sa) * s;
            ys[i] = y + (lx[i] * sa + ly[i] * ca) * s;
        }
        kit::fillPolygon(c, xs, ys, 4, kit::fromLevels(70, 75, 85));
        kit::drawPolygon(c, xs, ys, 4, kit::fromLevels(200, 205, 215));
    }

    float lastX_[jets] = {}, lastY_[jets] = {};
    bool had_[jets] = {};
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Airstrike);

} // namespace glowfield
