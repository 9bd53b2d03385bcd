// Cyclone: a storm seen from orbit. Each frame the field is resampled turned about a drifting eye by an angle
// that falls off with distance, so the inner bands whirl fastest; white cloud is fed along two spiral arms
// over a deep blue sea, and the eye stays clear and dark while the storm tracks across the screen.
#include <vector>

#include "effects/kit/kit.h"
#include "effects/warps/colour_image.h"

namespace glowfield {

namespace {

class Cyclone : public Effect {
  public:
    void start(EffectContext& c) override { kit::tameField(c); }

    void step(EffectContext& c) override {
        const int age = static_cast<int>(c.framesSinceStart) + 1;
        const float n = static_cast<float>(c.n);
        const float t = static_cast<float>(age);
        // The eye sits on whole cells, so the turn can be looked up by squared distance.
        const int eyeX = kit::roundCell(n * (0.5f + 0.22f * fastSin(t * 0.006f)));
        const int eyeY = kit::roundCell(n * (0.5f + 0.18f * fastSin(t * 0.0093f + 1.0f)));
        const float ex = static_cast<float>(eyeX), ey = static_cast<float>(eyeY);
        if (turns_.empty()) {
            // Turn (radians per frame) falls with distance from the eye; a slight inward pull winds the arms.
            for (int i = 0; i < tableSize; ++i) {
                const float r2 = static_cast<float>(i) * 8.0f;
                const float turn = 0.09f / (1.0f + r2 / 400.0f);
                const float pull = 1.0f + 0.012f / (1.0f + r2 / 3000.0f);
                turns_.push_back({fastCos(turn) * pull, fastSin(turn) * pull});
            }
        }
        image_.capture(c);
        kit::scaleVelocities(c, 0.0f);
        const kit::Rgb sea = kit::fromLevels(10, 40, 100);
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                const int ix = x - eyeX, iy = y - eyeY;
                const int bucket = (ix * ix + iy * iy) >> 3;
                const Turn& k = turns_[bucket < tableSize ? bucket : tableSize - 1];
                const float dx = static_cast<float>(ix), dy = static_cast<float>(iy);
                const float sx = ex + dx * k.cs + dy * k.sn, sy = ey - dx * k.sn + dy * k.cs;
                // Drawn towards the sea as it is put down, in the same pass.
                const kit::Rgb v = image_.sample(sx, sy);
                kit::paint(c, x, y,
                           {v.r + (sea.r - v.r) * seaPull, v.g + (sea.g - v.g) * seaPull,
                            v.b + (sea.b - v.b) * seaPull});
            }
        }
        // Cloud along two spiral arms, each a chain of soft puffs that winds out from the eye.
        for (int arm = 0; arm < 2; ++arm) {
            for (int i = 0; i < 14; ++i) {
                const float r = 8.0f + i * 6.5f;
                const float a = arm * kit::pi + r * 0.045f - t * 0.05f;
                const float px = ex + r * fastCos(a), py = ey + r * fastSin(a);
                kit::softDisc(c, px, py, 3.0f + i * 0.6f, kit::white, 0.45f, kit::Blend::set);
            }
        }
        // The eye: clear and dark, ringed by a bright eyewall.
        kit::softDisc(c, ex, ey, 11.0f, kit::fromLevels(230, 235, 240), 0.4f, kit::Blend::set);
        kit::softDisc(c, ex, ey, 6.0f, kit::fromLevels(10, 30, 60), 0.9f, kit::Blend::set);
    }

  private:
    static constexpr int tableSize = 10000;
    static constexpr float seaPull = 0.02f;
    warps::ColourImage image_;
    struct Turn {
        float cs, sn; // cosine and sine of the turn, times the pull
    };
    std::vector<Turn> turns_; // by squared distance from the eye, in buckets of 8
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Cyclone);

} // namespace glowfield
