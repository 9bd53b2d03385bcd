// Ocean: a swell rolls in from the left, roughened by gusts of wind. The sea's height lives in the blue plane
// and the wave step carries it; red and green are lit from it each frame, so slopes facing the sun glint and
// steep crests break white.
#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Ocean : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::fillColours(c, kit::grey, true);
        // The sea rests deep blue: a uniform velocity holds blue at its rest level against the wave step's
        // decay.
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
        const float t = static_cast<float>(tick_ % 1000000u);
        // The swell: zero-sum pushes along the left edge, two long periods beating against each other.
        // The swell's fronts are bent: the phase along the edge wanders, so the crests arrive curved and
        // oblique.
        for (int x = 1; x < 3; ++x) {
            for (int y = 1; y < n - 1; ++y) {
                const float bend = 1.2f * fastSin(y * 0.021f + t * 0.004f) + y * 0.03f;
                // The edge's velocity follows two cosines that swell in over the first seconds, pushed by its
                // change each frame, so the water oscillates about its level instead of creeping up.
                const auto edge = [bend](float time) {
                    return kit::smoothstep(0.0f, 30.0f, time) * (16.0f * fastCos(time * 0.11f + bend) +
                                                                 6.0f * fastCos(time * 0.071f + 1.3f + bend));
                };
                c.planes.blueVelocity[cellAt(x, y)] += edge(t) - edge(t - 1.0f);
            }
        }
        // Wind: small balanced pushes scattered over the water.
        for (int k = 0; k < 30; ++k) {
            const float wx = static_cast<float>(c.random(8, n - 9)),
                        wy = static_cast<float>(c.random(8, n - 9));
            kit::balancedPush(c, wx, wy, 3.0f, (c.random() % 2 ? 1.0f : -1.0f) * 3.0f, kit::blue);
        }
        // The far right edge absorbs, so the swell does not come back.
        for (int x = 0; x < n; ++x) {
            for (int y = 0; y < n; ++y) {
                const int edge = (n - 1 - x) < (n - 1 - y) ? (n - 1 - x) : (n - 1 - y);
                if (edge < 16) {
                    const float keep = 1.0f - 0.01f * (16 - edge);
                    float& b = c.planes.blue[cellAt(x, y)];
                    float& v = c.planes.blueVelocity[cellAt(x, y)];
                    b = rest + (b - rest) * keep;
                    v = rest * restHold + (v - rest * restHold) * keep;
                }
            }
        }
        // The rim holds still: border velocities are never spread by the wave step, so anything left there
        // would pile up.
        for (int k = 0; k < n; ++k) {
            for (int cell : {cellAt(k, 0), cellAt(k, n - 1), cellAt(0, k), cellAt(n - 1, k)}) {
                c.planes.blue[cell] = rest;
                c.planes.blueVelocity[cell] = rest * restHold;
            }
        }
        // Light the sea: blue is the height itself, offset to a deep blue; red and green are the glint and
        // foam.
        for (int x = 0; x < n; ++x) {
            for (int y = 0; y < n; ++y) {
                const int cell = cellAt(x, y);
                const float h = c.planes.blue[cell] - rest;
                const float hl = c.planes.blue[cellAt(x > 0 ? x - 1 : x, y)] - rest;
                const float hu = c.planes.blue[cellAt(x, y > 0 ? y - 1 : y)] - rest;
                const float slope = (h - hl) * 0.8f + (h - hu) * 0.4f;
                const float lit = h * 0.7f + slope * 5.0f;
                const float glint = kit::clampf((slope - 4.0f) * 30.0f, 0.0f, 220.0f);
                const float foam = kit::clampf((h - 60.0f) * 8.0f, 0.0f, 220.0f);
                // Light is capped just above the blue level, so glints and foam whiten rather than yellow.
                const float cap = kit::clampf(h + rest + 25.0f, -127.0f, 128.0f);
                const float red = kit::clampf(-118.0f + lit * 0.35f + glint + foam, -127.0f, 128.0f);
                const float green = kit::clampf(-88.0f + lit * 0.8f + glint + foam, -127.0f, 128.0f);
                c.planes.red[cell] = red < cap ? red : cap;
                c.planes.green[cell] = green < cap + 10.0f ? green : cap + 10.0f;
                c.planes.redVelocity[cell] = 0.0f;
                c.planes.greenVelocity[cell] = 0.0f;
            }
        }
    }

  private:
    static constexpr float rest = -45.0f;
    static constexpr float restHold = 0.006f; // 1 - the wave step's colour keep factor
    uint32_t tick_ = 0;
};

} // namespace

std::unique_ptr<Effect> makeOcean() {
    return std::make_unique<Ocean>();
}

} // namespace glowfield
