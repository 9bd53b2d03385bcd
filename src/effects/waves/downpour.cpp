// Downpour: rain on a pond. Drops land on the dark water as tiny balanced dimples that the wave step rings
// out, while slanted streaks of falling rain cross the view; the rain comes in gusts. The water lives in the
// blue plane; red and green are lit from it each frame and carry the streaks, so the streaks never stir the
// pond.
#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Downpour : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::fillColours(c, kit::grey, true);
        // The pond rests dark: a uniform velocity holds blue at its rest level against the wave step's decay.
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                c.planes.blue[cellAt(x, y)] = rest;
                c.planes.blueVelocity[cellAt(x, y)] = rest * restHold;
            }
        }
        tick_ = 0;
    }

    void step(EffectContext& c) override {
        ++tick_;
        kit::tameField(c, 300.0f, 20.0f);
        const int n = c.n;
        float* const blue = c.planes.blue;
        float* const blueVelocity = c.planes.blueVelocity;
        const float t = static_cast<float>(tick_ % 1000000u);
        const float gust = 0.5f + 0.5f * fastSin(t * 0.012f) * fastSin(t * 0.0047f + 1.0f);
        const int drops = 2 + truncToInt(7.0f * gust);
        for (int d = 0; d < drops; ++d) {
            const float x = static_cast<float>(c.random(6, n - 7)),
                        y = static_cast<float>(c.random(6, n - 7));
            kit::balancedPush(c, x, y, 1.8f, -9.0f, kit::blue);
        }
        // Light the pond from its height: slopes towards the sky brighten, troughs sink to dark teal.
        for (int x = 0; x < n; ++x) {
            for (int y = 0; y < n; ++y) {
                const int cell = cellAt(x, y);
                if (x == 0 || y == 0 || x == n - 1 || y == n - 1) {
                    // The rim holds still: the wave step never spreads border velocities.
                    blue[cell] = rest;
                    blueVelocity[cell] = rest * restHold;
                } else {
                    blueVelocity[cell] = rest * restHold + (blueVelocity[cell] - rest * restHold) * 0.997f;
                }
                const float h = blue[cell] - rest;
                const float hl = blue[cellAt(x > 0 ? x - 1 : x, y)] - rest;
                const float hu = blue[cellAt(x, y > 0 ? y - 1 : y)] - rest;
                const float lit = (h - hl) * 5.0f + (h - hu) * 5.0f + h * 0.4f;
                c.planes.red[cell] = kit::clampf(-112.0f + lit * 0.6f, -127.0f, 128.0f);
                c.planes.green[cell] = kit::clampf(-70.0f + lit, -127.0f, 128.0f);
                c.planes.redVelocity[cell] = 0.0f;
                c.planes.greenVelocity[cell] = 0.0f;
            }
        }
        // Streaks: short slanted lines, only in red and green, brighter at the leading end.
        const float slant = 0.3f + 0.35f * gust;
        const int len = 6 + truncToInt(8.0f * gust);
        for (int s = 0; s < drops * 3; ++s) {
            const float x0 = static_cast<float>(c.random(-20, n - 1)),
                        y0 = static_cast<float>(c.random(-10, n - 1));
            for (int k = 0; k <= len; ++k) {
                const int x = kit::roundCell(x0 + k * slant), y = kit::toCell(y0) + k;
                if (!kit::inside(c, x, y)) {
                    continue;
                }
                const float v = -40.0f + 130.0f * k / len;
                const int cell = cellAt(x, y);
                c.planes.red[cell] = c.planes.red[cell] > v ? c.planes.red[cell] : v;
                c.planes.green[cell] = c.planes.green[cell] > v ? c.planes.green[cell] : v;
            }
        }
    }

  private:
    static constexpr float rest = -55.0f;
    static constexpr float restHold = 0.006f; // 1 - the wave step's colour keep factor
    uint32_t tick_ = 0;
};

} // namespace

std::unique_ptr<Effect> makeDownpour() {
    return std::make_unique<Downpour>();
}

} // namespace glowfield
