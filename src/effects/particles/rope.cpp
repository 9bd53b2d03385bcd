// Rope: a forty-link rope hangs from the mouse (or from a slowly circling anchor while the mouse is still)
// and swings under gravity with fixed link lengths, drawn in two alternating strands so it looks twisted; its
// tip stirs the field where it whips. It hangs against a lamplit evening wall, blue above and plum below, and
// leaves a short golden blur where it swings.
#include "effects/kit/backdrop.h"
#include "effects/kit/kit.h"

#include <cmath>

namespace glowfield {

namespace {

class Rope : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::tameField(c);
        const float n = static_cast<float>(c.n);
        link_ = 0.42f * n / static_cast<float>(links);
        for (int i = 0; i <= links; ++i) {
            x_[i] = px_[i] = n * 0.5f + static_cast<float>(i) * link_ * 0.7f;
            y_[i] = py_[i] = n * 0.2f + static_cast<float>(i) * link_ * 0.7f;
        }
    }

    void step(EffectContext& c) override {
        const float n = static_cast<float>(c.n);
        const float s = c.scale;
        const int time = static_cast<int>(c.framesSinceStart) + 1;
        const float t = static_cast<float>(time);
        const kit::Glow lamp{n * 0.5f, n * 0.35f, n * 0.65f, {34.0f, 26.0f, 6.0f}};
        kit::pullTowards(c, kit::fromLevels(28, 40, 84), kit::fromLevels(66, 34, 62), 0.24f, lamp);
        kit::scaleVelocities(c, 0.95f);

        float ax = 0.0f, ay = 0.0f;
        if (c.framesSinceMouseMoved < 150) {
            ax = static_cast<float>(c.mouseX);
            ay = static_cast<float>(c.mouseY);
        } else {
            // A circle with a wobble in its speed, so the rope alternately trails and whips round.
            const float a = t * 0.055f + 1.6f * fastSin(t * 0.013f);
            ax = n * 0.5f + n * 0.28f * fastCos(a);
            ay = n * 0.32f + n * 0.2f * fastSin(a);
        }

        // Verlet: move by the last step plus gravity, then restore the link lengths a few times.
        const float gravity = 0.12f * s;
        for (int i = 1; i <= links; ++i) {
            const float vx = (x_[i] - px_[i]) * 0.995f, vy = (y_[i] - py_[i]) * 0.995f;
            px_[i] = x_[i];
            py_[i] = y_[i];
            x_[i] += vx;
            y_[i] += vy + gravity;
        }
        x_[0] = px_[0] = ax;
        y_[0] = py_[0] = ay;
        for (int pass = 0; pass < 12; ++pass) {
            for (int i = 0; i < links; ++i) {
                const float dx = x_[i + 1] - x_[i], dy = y_[i + 1] - y_[i];
                const float d = std::sqrt(dx * dx + dy * dy);
                if (!(d > 1e-4f && d < 1e6f)) {
                    continue;
                }
                const float k = (d - link_) / d;
                if (i == 0) {
                    x_[1] -= dx * k;
                    y_[1] -= dy * k;
                } else {
                    x_[i] += dx * k * 0.5f;
                    y_[i] += dy * k * 0.5f;
                    x_[i + 1] -= dx * k * 0.5f;
                    y_[i + 1] -= dy * k * 0.5f;
                }
            }
        }
        // Anything that went wild (it cannot from finite inputs, but the rope must never index with it) is
        // laid back down below the anchor.
        for (int i = 1; i <= links; ++i) {
            if (!(std::fabs(x_[i]) < 1e5f && std::fabs(y_[i]) < 1e5f)) {
                x_[i] = px_[i] = ax;
                y_[i] = py_[i] = ay + static_cast<float>(i) * link_;
            }
        }

        // Two strands: each link is drawn in halves of alternating colour, with a dark core for depth.
        const kit::Rgb strandA = kit::fromLevels(235, 200, 120), strandB = kit::fromLevels(170, 90, 40);
        for (int i = 0; i < links; ++i) {
            const float mx = (x_[i] + x_[i + 1]) * 0.5f, my = (y_[i] + y_[i + 1]) * 0.5f;
            kit::drawThickLine(c, x_[i], y_[i], mx, my, 2.4f * s, (i % 2) ? strandA : strandB);
            kit::drawThickLine(c, mx, my, x_[i + 1], y_[i + 1], 2.4f * s, (i % 2) ? strandB : strandA);
        }
        for (int i = 0; i < links; ++i) {
            kit::drawLine(c, x_[i] + 0.7f, y_[i] - 0.7f, x_[i + 1] + 0.7f, y_[i + 1] - 0.7f,
                          kit::fromLevels(255, 240, 200));
        }
        kit::fillDisc(c, ax, ay, 3.0f * s, kit::fromLevels(200, 200, 210));
        kit::drawRing(c, ax, ay, 3.0f * s, 1.0f, kit::fromLevels(90, 90, 110));

        // The tip: a knot, and a crack in the field when it moves fast.
        const float tx = x_[links], ty = y_[links];
        const float speed =
            std::sqrt((tx - px_[links]) * (tx - px_[links]) + (ty - py_[links]) * (ty - py_[links]));
        kit::fillDisc(c, tx, ty, 2.6f * s, kit::fromLevels(250, 150, 60));
        if (speed > 2.5f * s && time % 3 == 0) {
            kit::balancedPush(c, tx, ty, 5.0f * s, kit::clampf(speed, 0.0f, 12.0f) * 2.0f);
            kit::softDisc(c, tx, ty, 8.0f * s, {90.0f, 70.0f, 30.0f}, 0.6f);
        }
    }

  private:
    static constexpr int links = 40;
    float x_[links + 1] = {}, y_[links + 1] = {};
    float px_[links + 1] = {}, py_[links + 1] = {};
    float link_ = 3.0f;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Rope);

} // namespace glowfield
