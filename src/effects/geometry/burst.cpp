// Burst: a comic-book burst. Sixty rays of random length and width, alternately white and coloured, flare
// from a focal point over a halftone backdrop and are re-rolled every frame so they flicker; a jagged star
// sits at the focus, and every second the focus jumps somewhere new.
#include <cmath>
#include <vector>

#include "effects/geometry/direct_cells.h"
#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Burst : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::tameField(c);
        jump(c);
    }

    void step(EffectContext& c) override {
        kit::scaleVelocities(c, 0.0f);
        const float n = static_cast<float>(c.n);
        if (c.frame % 50u == 0u) {
            jump(c);
        }
        size_t i = 0;
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y, ++i) {
                geometry::putCell(c, x, y, halftone_[i]);
            }
        }
        // The rays: thin triangles from the focus, re-rolled each frame.
        const kit::Rgb colour = kit::hsv(hue_, 0.9f, 1.0f);
        const int rays = 60;
        for (int i = 0; i < rays; ++i) {
            const float a = (i + c.randomUnit() * 0.5f) * kit::twoPi / rays;
            const float w = (0.015f + c.randomUnit() * 0.035f);
            const float len = n * (0.4f + c.randomUnit() * 0.9f);
            const float xs[3] = {fx_, fx_ + fastCos(a - w) * len, fx_ + fastCos(a + w) * len};
            const float ys[3] = {fy_, fy_ + fastSin(a - w) * len * 1.33f, fy_ + fastSin(a + w) * len * 1.33f};
            kit::fillPolygon(c, xs, ys, 3, i % 2 ? colour : kit::white);
        }
        // The jagged star at the focus: yellow with a black outline.
        const int points = 14;
        float sx[2 * points], sy[2 * points];
        const float outer = n * 0.16f, inner = n * 0.09f;
        for (int i = 0; i < 2 * points; ++i) {
            const float a = kit::pi * i / points + spin_;
            const float r = (i % 2 ? inner : outer) * (i % 2 ? 1.0f : 0.85f + 0.3f * c.randomUnit());
            sx[i] = fx_ + fastCos(a) * r;
            sy[i] = fy_ + fastSin(a) * r * 1.33f;
        }
        kit::fillPolygon(c, sx, sy, 2 * points, kit::fromLevels(255, 230, 40));
        for (int i = 0; i < 2 * points; ++i) {
            const int j = (i + 1) % (2 * points);
            kit::drawThickLine(c, sx[i], sy[i], sx[j], sy[j], 1.0f, kit::fromLevels(10, 10, 10));
        }
        kit::fillDisc(c, fx_, fy_, n * 0.03f, kit::fromLevels(255, 250, 220));
        spin_ += 0.01f;
    }

  private:
    void jump(EffectContext& c) {
        const float n = static_cast<float>(c.n);
        fx_ = n * (0.25f + c.randomUnit() * 0.5f);
        fy_ = n * (0.25f + c.randomUnit() * 0.5f);
        hue_ = c.randomUnit();
        spin_ = c.randomUnit() * kit::twoPi;
        // Halftone: dots that grow towards the focus, in the backdrop colour; it holds until the next jump.
        const kit::Rgb paper = kit::hsv(hue_ + 0.5f, 0.5f, 0.35f), ink = kit::hsv(hue_ + 0.5f, 0.8f, 0.75f);
        halftone_.assign(static_cast<size_t>(c.n) * c.n, paper);
        size_t i = 0;
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y, ++i) {
                const float dx = x - fx_, dy = (y - fy_) * 0.75f;
                const float d = std::sqrt(dx * dx + dy * dy);
                const float size = kit::clampf(2.4f - d * 0.012f, 0.6f, 2.4f);
                const int gx = kit::wrap(x, 6) - 3, gy = kit::wrap(y + (x / 6 % 2) * 4, 8) - 4;
                const float dd =
                    std::sqrt(static_cast<float>(gx * gx) + static_cast<float>(gy * gy) * 0.5625f);
                if (dd < size) {
                    halftone_[i] = ink;
                }
            }
        }
    }

    float fx_ = 0.0f, fy_ = 0.0f, hue_ = 0.0f, spin_ = 0.0f;
    std::vector<kit::Rgb> halftone_;
};

} // namespace

std::unique_ptr<Effect> makeBurst() {
    return std::make_unique<Burst>();
}

} // namespace glowfield
