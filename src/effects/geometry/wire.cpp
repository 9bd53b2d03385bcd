// Wire: a plucked wire across the screen. Its masses obey the wave equation with a little damping and are
// plucked or struck now and then; the wire glows where it moves and pushes its hum into the field around it.
#include <cmath>
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Wire : public Effect {
  public:
    static constexpr int masses = 200;

    void start(EffectContext& c) override {
        // Leftovers of an earlier entry are brought into range once, so blends never carry NaN along.
        kit::tameField(c);
        pos_.assign(masses, 0.0f);
        vel_.assign(masses, 0.0f);
        pluck(c);
        nextPluck_ = c.random(60, 140);
    }

    void step(EffectContext& c) override {
        const float n = static_cast<float>(c.n);
        const float mid = n * 0.5f;
        if (c.sound.heard()) {
            // With music the wire is played: plucked on each beat, struck lightly on the onsets between.
            if (c.sound.beat) {
                pluck(c);
            } else if (c.sound.onset) {
                const int at = c.random(10, masses - 11);
                const float kick = (c.random() % 2 ? 1.0f : -1.0f) * 3.0f * c.sound.onsetStrength;
                for (int i = at - 6; i <= at + 6; ++i) {
                    vel_[i] += kick * (1.0f - std::fabs(static_cast<float>(i - at)) / 7.0f);
                }
            }
        } else if (--nextPluck_ <= 0) {
            pluck(c);
            nextPluck_ = c.random(60, 160);
        }
        // Two half steps per frame keep the wave steady; the ends are fixed pegs.
        for (int sub = 0; sub < 2; ++sub) {
            for (int i = 1; i < masses - 1; ++i) {
                vel_[i] = (vel_[i] + 0.45f * (pos_[i - 1] + pos_[i + 1] - 2.0f * pos_[i])) * 0.9985f;
            }
            for (int i = 1; i < masses - 1; ++i) {
                pos_[i] = kit::clampf(pos_[i] + vel_[i], -n * 0.45f, n * 0.45f);
            }
        }
        // A dark room, so the wire and the coloured rings of its hum stand out.
        kit::pullColours(c, kit::fromLevels(10, 12, 24), 0.06f);
        kit::scaleVelocities(c, 0.975f);
        const float scale = (n - 1.0f) / (masses - 1);
        float px = 0.0f, py = mid + pos_[0];
        for (int i = 0; i < masses; ++i) {
            const float x = i * scale, y = mid + pos_[i];
            const float speed = std::fabs(vel_[i]);
            const float heat = kit::clampf(speed * 0.8f, 0.0f, 1.0f);
            const kit::Rgb col =
                kit::mix(kit::fromLevels(190, 205, 235), kit::fromLevels(255, 230, 140), heat);
            if (i > 0) {
                kit::drawThickLine(c, px, py, x, y, 0.8f + heat, col);
                kit::drawLine(c, px, py, x, y, kit::white);
            }
            // The hum: each moving mass nudges the field beside it, alternately in the colours above and
            // below, so the radiation is balanced over a swing.
            if (i % 4 == 0 && speed > 0.05f) {
                kit::pushVelocity(c, x, y - 6.0f, 4.0f, vel_[i] * 0.35f, kit::blue | kit::green);
                kit::pushVelocity(c, x, y + 6.0f, 4.0f, -vel_[i] * 0.35f, kit::red | kit::blue);
            }
            px = x;
            py = y;
        }
        for (float peg : {0.0f, n - 1.0f}) {
            kit::fillRect(c, peg - 2.0f, mid - 6.0f, peg + 3.0f, mid + 7.0f, kit::fromLevels(120, 100, 80));
        }
    }

  private:
    // A pluck pulls the wire into a triangle at one point; a strike gives a short stretch of it a kick.
    void pluck(EffectContext& c) {
        const int at = c.random(20, masses - 21);
        if (c.random() % 2 == 0) {
            const float amp = (c.random() % 2 ? 1.0f : -1.0f) * (12.0f + c.randomUnit() * 18.0f);
            for (int i = 1; i < masses - 1; ++i) {
                const float k = i < at ? static_cast<float>(i) / at
                                       : static_cast<float>(masses - 1 - i) / (masses - 1 - at);
                pos_[i] = pos_[i] * 0.3f + amp * k;
                vel_[i] *= 0.3f;
            }
        } else {
            const float kick = (c.random() % 2 ? 1.0f : -1.0f) * (2.0f + c.randomUnit() * 2.0f);
            for (int i = at - 6; i <= at + 6; ++i) {
                vel_[i] += kick * (1.0f - std::fabs(static_cast<float>(i - at)) / 7.0f);
            }
        }
    }

    std::vector<float> pos_, vel_;
    int nextPluck_ = 0;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Wire);

} // namespace glowfield
