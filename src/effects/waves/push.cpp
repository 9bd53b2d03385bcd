// Push: a piston at the left edge pumps plane waves across the field towards a wall with two slits; beyond
// the wall the waves spread from each slit and cross into an interference fan. The slits move every few
// seconds. The water lives in the blue plane alone; red and green are painted from it each frame, with the
// piston and the wall, so that nothing drawn disturbs the waves (the wall is held at the water's rest in
// blue).
#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Push : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::fillColours(c, kit::grey, true);
        moveSlits(c);
    }

    void step(EffectContext& c) override {
        const uint32_t tick = c.framesSinceStart + 1;
        kit::tameField(c, 200.0f, 20.0f);
        const int n = c.n;
        if (tick % 320u == 0u) {
            moveSlits(c);
        }
        float* const blue = c.planes.blue;
        float* const blueVelocity = c.planes.blueVelocity;
        const float t = static_cast<float>(tick % 1000000u);
        // The face's velocity follows a cosine that swells in over the first second: pushed by its change
        // each frame, so the water it moves oscillates about its rest level instead of creeping up.
        const auto faceVelocity = [](float time) {
            return kit::smoothstep(0.0f, 25.0f, time) * fastCos(time * 0.33f);
        };
        // With music the piston is a loudspeaker cone: it follows the bass, so each beat sends a wave front
        // through the slits; it moves only as the bass changes, so the water still keeps its level.
        const bool heard = c.sound.heard();
        const float kick = heard ? 1.2f * (c.sound.bass - bass_) : faceVelocity(t) - faceVelocity(t - 1.0f);
        if (heard) {
            bass_ = c.sound.bass;
        }
        for (int x = 1; x < 4 && x < n; ++x) {
            for (int y = 1; y < n - 1; ++y) {
                blueVelocity[cellAt(x, y)] += 14.0f * kick;
            }
        }
        const int wall = n * 3 / 10;
        for (int x = 0; x < n; ++x) {
            // A soft beach on the right, so waves fade there instead of bouncing back; the rim stays still.
            const float keep = x >= n - 24 ? 1.0f - 0.012f * (x - (n - 24)) : 1.0f;
            const bool isWall = x >= wall && x < wall + 3;
            for (int y = 0; y < n; ++y) {
                const int cell = cellAt(x, y);
                const bool solid = (isWall && !inSlit(y)) || x == 0 || y == 0 || x == n - 1 || y == n - 1;
                if (solid) {
                    blue[cell] = 0.0f;
                    blueVelocity[cell] = 0.0f;
                } else {
                    blue[cell] *= keep;
                    blueVelocity[cell] *= keep;
                }
            }
        }
        // Paint: deep blue water, crests turning cyan and white, troughs dark.
        const float face = heard ? 2.0f + 7.0f * bass_ : 4.0f + 3.0f * fastSin(t * 0.33f);
        for (int x = 0; x < n; ++x) {
            const bool isWall = x >= wall && x < wall + 3;
            for (int y = 0; y < n; ++y) {
                const int cell = cellAt(x, y);
                const float h = blue[cell];
                float red = -120.0f + kit::clampf(h, 0.0f, 200.0f) * 1.2f;
                float green = -75.0f + h * 1.1f;
                if (isWall && !inSlit(y)) {
                    const bool rim = x == wall || y == slitA_ + slitWidth || y == slitB_ + slitWidth ||
                                     y == slitA_ - 1 || y == slitB_ - 1;
                    red = rim ? 60.0f : 10.0f;
                    green = rim ? 60.0f : 10.0f;
                } else if (x < face) {
                    red = x + 1 >= face ? 90.0f : 30.0f;
                    green = red;
                }
                c.planes.red[cell] = kit::clampf(red, -127.0f, 128.0f);
                c.planes.green[cell] = kit::clampf(green, -127.0f, 128.0f);
                c.planes.redVelocity[cell] = 0.0f;
                c.planes.greenVelocity[cell] = 0.0f;
            }
        }
    }

  private:
    float bass_ = 0.0f; // the bass at the last frame heard
    bool inSlit(int y) const {
        return (y >= slitA_ && y < slitA_ + slitWidth) || (y >= slitB_ && y < slitB_ + slitWidth);
    }

    void moveSlits(EffectContext& c) {
        const int n = c.n;
        const int centre = n / 2 + c.random(-n / 8, n / 8);
        const int gap = c.random(n / 10, n / 4);
        slitA_ = centre - gap / 2 - slitWidth / 2;
        slitB_ = centre + gap / 2 - slitWidth / 2;
    }

    static constexpr int slitWidth = 8;
    int slitA_ = 0;
    int slitB_ = 0;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Push);

} // namespace glowfield
