// Quality Init: a start-up test card that assembles itself. Colour bars slide in from the left, a grey step
// wedge from the right, a convergence grid fades up and the central circle grows; once complete the circle
// pulses, the bars roll their order and a countdown sector sweeps round, then the card wipes and starts
// again.
#include <cmath>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

constexpr int cycle = 520;
constexpr int wipeAt = 480;

const kit::Rgb bars[8] = {kit::fromLevels(235, 235, 235), kit::fromLevels(235, 235, 20),
                          kit::fromLevels(20, 235, 235),  kit::fromLevels(20, 235, 20),
                          kit::fromLevels(235, 20, 235),  kit::fromLevels(235, 20, 20),
                          kit::fromLevels(20, 20, 235),   kit::fromLevels(16, 16, 16)};

class QualityInit : public Effect {
  public:
    void step(EffectContext& c) override {
        const int f = age_;
        age_ = (age_ + 1) % cycle;
        const float n = static_cast<float>(c.n);
        const auto ramp = [f](int from, int to) {
            return kit::smoothstep(static_cast<float>(from), static_cast<float>(to), static_cast<float>(f));
        };
        const float gridIn = ramp(100, 140), circleIn = ramp(140, 190);
        const int roll = f > 200 ? (f - 200) / 45 : 0;
        const float left = n * 0.08f, right = n * 0.92f, barW = (right - left) / 8.0f;
        const float barTop = n * 0.1f, barBottom = n * 0.4f;
        const float wedgeTop = n * 0.6f, wedgeBottom = n * 0.7f;
        const float cx = n * 0.5f, cy = n * 0.5f;
        const float radius =
            n * 0.33f * circleIn * (1.0f + (f > 200 ? 0.03f * fastSin((f - 200) * 0.25f) : 0.0f));
        const float sweep = f > 200 ? kit::clampf((f - 200) / 250.0f, 0.0f, 1.0f) : 0.0f;

        float barLeft[8];
        for (int b = 0; b < 8; ++b) {
            barLeft[b] = kit::lerp(-barW * (8 - b), left + barW * b, ramp(b * 6, b * 6 + 40));
        }
        const float wedgeShift = (1.0f - ramp(50, 100)) * n;
        const kit::Rgb gridColour =
            kit::mix(kit::fromLevels(60, 60, 64), kit::fromLevels(220, 220, 220), gridIn);
        for (int x = 0; x < c.n; ++x) {
            const float fx = static_cast<float>(x) + 0.5f;
            for (int y = 0; y < c.n; ++y) {
                const float fy = static_cast<float>(y) + 0.5f;
                kit::Rgb colour = kit::fromLevels(60, 60, 64);
                if (gridIn > 0.0f && (x % 20 == 10 || y % 20 == 10)) {
                    colour = gridColour;
                }
                // Bars slide in one after another from the left.
                if (fy >= barTop && fy < barBottom) {
                    for (int b = 0; b < 8; ++b) {
                        const float x0 = barLeft[b];
                        if (fx >= x0 && fx < x0 + barW) {
                            colour = bars[(b + roll) % 8];
                        }
                    }
                }
                // The step wedge slides in from the right.
                if (fy >= wedgeTop && fy < wedgeBottom) {
                    const float u = (fx - left - wedgeShift) / (right - left);
                    if (u >= 0.0f && u < 1.0f) {
                        const int step = kit::toCell(u * 8.0f);
                        colour = kit::fromLevels(step * 34, step * 34, step * 34);
                    }
                }
                const float dx = (fx - cx) * 4.0f / 3.0f, dy = fy - cy; // cells show 4 wide, 3 tall
                const float r2 = dx * dx + dy * dy;
                if (radius > 1.0f) {
                    const float r = std::sqrt(r2);
                    // The countdown sector inside the small inner circle.
                    if (sweep > 0.0f && r < radius * 0.42f) {
                        const float a =
                            (kit::angleOf(dy, -dx) + kit::pi) / kit::twoPi; // 0 at the top, clockwise
                        colour = a < sweep ? kit::fromLevels(250, 200, 40) : kit::fromLevels(30, 30, 34);
                        if (absf(r - radius * 0.42f) < 1.0f) {
                            colour = kit::white;
                        }
                    }
                    const float ring = absf(r - radius);
                    if (ring < 1.6f) {
                        colour = kit::mix(colour, kit::white, kit::clampf(1.6f - ring, 0.0f, 1.0f));
                    }
                }
                // The wipe: a dark edge falling down the card.
                if (f >= wipeAt && fy < (f - wipeAt + 1) * n / (cycle - wipeAt)) {
                    colour = kit::fromLevels(8, 8, 10);
                }
                kit::paintSolid(c, x, y, colour);
            }
        }
        if (f > 120 && f < wipeAt) {
            const char* text = "QUALITY INIT";
            const float height = n * 0.06f;
            const float w = kit::textWidth(text, height);
            const float in = ramp(120, 160);
            kit::fillRect(c, cx - w * 0.5f - 3.0f, n * 0.79f - 3.0f, cx + w * 0.5f + 3.0f,
                          n * 0.79f + height + 3.0f, kit::fromLevels(16, 16, 16));
            kit::drawText(c, text, cx - w * 0.5f, n * 0.79f, height, kit::shade(kit::white, in), 0.0f, 0.6f);
        }
    }

  private:
    int age_ = 0;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(QualityInit);

} // namespace glowfield
