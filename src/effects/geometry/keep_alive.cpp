// Keep Alive: a heart monitor. A bright dot sweeps left to right drawing a heartbeat trace over the grid of a
// softly glowing phosphor screen, brightest at its middle,
// erasing a gap just ahead of itself while the trace behind glows green and fades; each beat pulses a red
// heart in the corner and sends a faint red ring out from the spike. The rate drifts slowly.
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

// The shape of one beat at phase p (0..1): a small P wave, the sharp QRS spike, then a broad T wave.
float beat(float p) {
    const auto bump = [](float p, float centre, float width) {
        const float d = (p - centre) / width;
        return d * d < 1.0f ? (1.0f - d * d) * (1.0f - d * d) : 0.0f;
    };
    return 0.12f * bump(p, 0.12f, 0.06f) - 0.1f * bump(p, 0.25f, 0.015f) + 1.0f * bump(p, 0.285f, 0.022f) -
           0.28f * bump(p, 0.32f, 0.02f) + 0.22f * bump(p, 0.5f, 0.08f);
}

class KeepAlive : public Effect {
  public:
    void start(EffectContext& c) override {
        trace_.assign(static_cast<size_t>(c.n), 0.0f);
        written_.assign(static_cast<size_t>(c.n), -100000);
    }

    void step(EffectContext& c) override {
        const float n = static_cast<float>(c.n);
        // With music the heart keeps its time: every beat is a heartbeat, as tall as the bass is strong.
        const bool heard = c.sound.heard();
        const float baseline = n * 0.58f, amplitude = heard ? n * (0.16f + 0.2f * c.sound.bass) : n * 0.33f;
        if (heard && c.sound.beat && !(phase_ >= 0.24f && phase_ < 0.285f)) {
            phase_ = 0.24f;
        }
        // Heart rate, in beats per minute, drifting between about 60 and 110.
        const float rate = 84.0f + 24.0f * fastSin(static_cast<float>(c.frame % 400000u) * 0.002f);
        for (int k = 0; k < 2; ++k) {
            const float before = phase_;
            phase_ += rate / 60.0f / 50.0f / 2.0f;
            if (phase_ >= 1.0f) {
                phase_ -= 1.0f;
            }
            if (before < 0.285f && phase_ >= 0.285f) {
                sinceBeat_ = 0;
                ringX_ = static_cast<float>(sweep_);
                ringY_ = baseline - amplitude;
            }
            trace_[static_cast<size_t>(sweep_)] =
                baseline - amplitude * beat(phase_) + 0.6f * fastSin(static_cast<float>(age_) * 1.7f);
            written_[static_cast<size_t>(sweep_)] = age_;
            sweep_ = (sweep_ + 1) % c.n;
            ++age_;
        }
        sinceBeat_ = sinceBeat_ < 100000 ? sinceBeat_ + 1 : sinceBeat_;

        // The screen: lit green phosphor, dimmer towards its rounded corners, with a grid, and a faint red
        // wash as each beat lands.
        const float wash = sinceBeat_ < 10 ? 1.0f - sinceBeat_ / 10.0f : 0.0f;
        if (screen_.size() != static_cast<size_t>(c.n * c.n)) {
            screen_.resize(static_cast<size_t>(c.n * c.n));
            for (int x = 0; x < c.n; ++x) {
                for (int y = 0; y < c.n; ++y) {
                    const bool major = x % 25 == 0 || y % 25 == 0;
                    const bool minor = x % 5 == 0 || y % 5 == 0;
                    const float dx = static_cast<float>(x) / n - 0.5f, dy = static_cast<float>(y) / n - 0.5f;
                    const float lit = 1.0f - 0.9f * (dx * dx + dy * dy);
                    const kit::Rgb base = major   ? kit::fromLevels(26, 92, 60)
                                          : minor ? kit::fromLevels(16, 64, 44)
                                                  : kit::fromLevels(8, 46, 34);
                    screen_[static_cast<size_t>(x * c.n + y)] = kit::shade(base, lit);
                }
            }
        }
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                kit::Rgb colour = screen_[static_cast<size_t>(x * c.n + y)];
                colour.r += 18.0f * wash;
                kit::paintSolid(c, x, y, colour);
            }
        }
        // The red ring spreading from the spike.
        if (sinceBeat_ < 60) {
            const float radius = 2.0f + sinceBeat_ * 2.5f;
            const float strength = 1.0f - sinceBeat_ / 60.0f;
            kit::circleOutline(c, ringX_, ringY_, radius,
                               kit::mix(kit::fromLevels(10, 20, 14), kit::fromLevels(230, 40, 40), strength),
                               2.0f, kit::Blend::max, 96);
        }
        // The trace: each column joined to the next, brightness by how long ago it was written.
        for (int x = 0; x + 1 < c.n; ++x) {
            const int ahead = (x - sweep_ + c.n) % c.n; // columns until the dot reaches x again
            if (ahead < 8) {
                continue; // the gap the dot erases ahead of itself
            }
            const int older = age_ - written_[static_cast<size_t>(x)];
            if (older > c.n + 2 || written_[static_cast<size_t>(x + 1)] < written_[static_cast<size_t>(x)]) {
                continue;
            }
            const float glow = kit::clampf(1.0f - static_cast<float>(older) / n, 0.0f, 1.0f);
            const kit::Rgb colour =
                kit::mix(kit::fromLevels(10, 60, 30), kit::fromLevels(120, 255, 140), glow);
            kit::drawThickLine(c, static_cast<float>(x), trace_[static_cast<size_t>(x)],
                               static_cast<float>(x + 1), trace_[static_cast<size_t>(x + 1)],
                               glow > 0.7f ? 1.0f : 0.6f, colour, kit::Blend::max);
        }
        const int head = (sweep_ - 1 + c.n) % c.n;
        kit::softDisc(c, static_cast<float>(head), trace_[static_cast<size_t>(head)], 6.0f,
                      kit::Rgb{60.0f, 120.0f, 70.0f}, 1.0f, kit::Blend::add);
        kit::fillDisc(c, static_cast<float>(head), trace_[static_cast<size_t>(head)], 1.8f, kit::white);

        // A heart in the corner that jumps with each beat.
        const float size = n * (0.045f + 0.015f * (sinceBeat_ < 12 ? 1.0f - sinceBeat_ / 12.0f : 0.0f));
        const float hx = n * 0.88f, hy = n * 0.12f;
        const kit::Rgb red = kit::fromLevels(230, 30, 50);
        kit::fillDisc(c, hx - size * 0.5f, hy, size * 0.58f, red);
        kit::fillDisc(c, hx + size * 0.5f, hy, size * 0.58f, red);
        const float xs[3] = {hx - size * 1.06f, hx + size * 1.06f, hx};
        const float ys[3] = {hy + size * 0.2f, hy + size * 0.2f, hy + size * 1.35f};
        kit::fillPolygon(c, xs, ys, 3, red);
    }

  private:
    std::vector<kit::Rgb> screen_;
    std::vector<float> trace_;
    std::vector<int> written_;
    int sweep_ = 0;
    int age_ = 0;
    int sinceBeat_ = 1000;
    float phase_ = 0.0f;
    float ringX_ = 0.0f, ringY_ = 0.0f;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(KeepAlive);

} // namespace glowfield
