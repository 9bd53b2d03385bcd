// Boom: a bass speaker thumps in the middle of the screen. Each beat drives the cone in and then out, the
// wave step throws the rings across the field, and every fourth beat jolts the whole picture by a cell.
#include "effects/kit/kit.h"
#include "effects/waves/rest_level.h"

namespace glowfield {

namespace {

class Boom : public Effect {
  public:
    void start(EffectContext& c) override {
        waves::setRest(c, rest);
        beat_ = 0;
    }

    void step(EffectContext& c) override {
        const uint32_t tick = c.framesSinceStart;
        kit::tameField(c, 300.0f, 60.0f);
        // With music the cone thumps in half time, on every second beat of the music, as hard as the bass,
        // and jolts on each fourth thump (a thump on every beat of fast music would flash).
        const bool heard = c.sound.heard();
        if (heard && c.sound.beat) {
            thumping_ = !thumping_;
            gain_ = 0.4f + 0.6f * c.sound.bass;
        }
        const int phase =
            heard ? static_cast<int>(thumping_ && c.sound.framesSinceBeat < period ? c.sound.framesSinceBeat
                                                                                   : period - 1)
                  : static_cast<int>(tick % period);
        const float g = heard ? gain_ : 1.0f;
        const float cx = c.n * 0.5f, cy = c.n * 0.5f;
        const float coneR = c.n * 0.16f;
        if (phase == 0) {
            ++beat_;
            // The cone goes in: strongest in red, so the rings come out warm.
            kit::pushVelocity(c, cx, cy, coneR * 2.2f, 26.0f * g, kit::red);
            kit::pushVelocity(c, cx, cy, coneR * 2.2f, 17.0f * g, kit::green);
            kit::pushVelocity(c, cx, cy, coneR * 2.2f, 30.0f * g, kit::blue);
            if (beat_ % 4 == 0) {
                jolt(c);
            }
        } else if (phase == 4) {
            // ...and back out, so each beat leaves the field's level where it was.
            kit::pushVelocity(c, cx, cy, coneR * 2.2f, -26.0f * g, kit::red);
            kit::pushVelocity(c, cx, cy, coneR * 2.2f, -17.0f * g, kit::green);
            kit::pushVelocity(c, cx, cy, coneR * 2.2f, -30.0f * g, kit::blue);
        }
        waves::calmVelocities(c, rest, 0.999f);
        // The cone swells just after the thump and settles back.
        const float kick = phase < 8 ? (phase < 4 ? phase * 0.25f : (8 - phase) * 0.25f) : 0.0f;
        const float scale = 1.0f + 0.08f * kick;
        kit::drawRing(c, cx, cy, coneR * 1.25f, 4.0f, kit::fromLevels(50, 48, 55));
        for (int r = 0; r < 6; ++r) {
            const float rr = coneR * scale * (1.0f - r * 0.13f);
            const int level = 40 + r * 18 + truncToInt(kick * 40.0f);
            kit::drawRing(c, cx, cy, rr, 3.0f, kit::fromLevels(level, level - 6, level + 8));
        }
        kit::softDisc(c, cx - 4.0f, cy - 4.0f, coneR * 0.3f * scale, kit::Rgb{60, 60, 60}, 1.0f);
        kit::fillDisc(c, cx, cy, coneR * 0.22f * scale, kit::fromLevels(70 + truncToInt(kick * 80), 60, 80));
        kit::softDisc(c, cx - 2.0f, cy - 2.0f, coneR * 0.12f * scale, kit::Rgb{90, 90, 90}, 1.0f);
        // The cabinet's edge: the border stays calm and dark, so rings die there instead of piling up.
        for (int k = 0; k < c.n; ++k) {
            waves::calmCell(c, k, 0, rest, 0.0f);
            waves::calmCell(c, k, c.n - 1, rest, 0.0f);
            waves::calmCell(c, 0, k, rest, 0.0f);
            waves::calmCell(c, c.n - 1, k, rest, 0.0f);
        }
    }

  private:
    static constexpr uint32_t period = 25;
    static constexpr kit::Rgb rest = kit::fromLevels(20, 14, 40);

    // Shifts the whole field one cell down and right, a jolt of the cabinet.
    void jolt(EffectContext& c) {
        copy_.capture(c);
        kit::warpField(c, copy_, [](int x, int y, float& sx, float& sy) {
            sx = static_cast<float>(x - 1);
            sy = static_cast<float>(y - 1);
        });
    }

    kit::FieldCopy copy_;
    uint32_t beat_ = 0;
    float gain_ = 1.0f;     // how hard the cone thumps to the music's last beat
    bool thumping_ = false; // the music's last beat is one the cone thumps on
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Boom);

} // namespace glowfield
