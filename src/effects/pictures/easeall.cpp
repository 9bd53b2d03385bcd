// Easeall: a painting on an easel. The wallpaper picture is painted anew by short brush strokes, a few
// hundred a frame, each taking the picture's colour at a random point and laid along the picture's contours
// there; broad strokes come first and finer ones later. When the painting is done, the canvas is primed white
// and the next begins.
#include <cmath>

#include "effects/kit/kit.h"
#include "effects/pictures/wallpaper.h"

namespace glowfield {

namespace {

class Easeall : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::tameField(c);
        wallpaper_.load(c);
        tick_ = 0;
        drawEasel(c, true);
    }

    void step(EffectContext& c) override {
        ++tick_;
        kit::tameField(c, 300.0f, 0.0f); // also zeroes the velocities, whatever they held
        const float n = static_cast<float>(c.n);
        const float left = n * 0.12f, top = n * 0.06f, right = n * 0.88f, bottom = n * 0.78f;
        const uint32_t age = tick_ % cycle;
        if (age == 0u) {
            wallpaper_.load(c);
            drawEasel(c, true);
        }
        if (age > cycle - 60u) {
            // Priming the canvas for the next painting: it whitens over a second.
            for (int x = kit::toCell(left); x < kit::toCell(right); ++x) {
                for (int y = kit::toCell(top); y < kit::toCell(bottom); ++y) {
                    kit::blendCell(c, x, y, kit::fromLevels(245, 242, 232), 0.08f);
                }
            }
            drawEasel(c, false);
            return;
        }
        // Stroke size shrinks with the painting's age: broad washes first, detail last.
        const float progress = static_cast<float>(age) / (cycle - 60u);
        const float radius = 4.0f * (1.0f - progress) * (1.0f - progress) + 0.6f;
        const float length = 3.0f + 9.0f * (1.0f - progress);
        const int strokes = radius > 2.5f ? 90 : 200;
        for (int k = 0; k < strokes; ++k) {
            const float x = left + c.randomUnit() * (right - left), y = top + c.randomUnit() * (bottom - top);
            const float u = (x - left) / (right - left), v = (y - top) / (bottom - top);
            const kit::Rgb colour = wallpaper_.at(u, v);
            // Along the contour: across the brightness gradient of the picture here.
            const float e = 0.01f;
            const kit::Rgb ax = wallpaper_.at(u + e, v), bx = wallpaper_.at(u - e, v);
            const kit::Rgb ay = wallpaper_.at(u, v + e), by = wallpaper_.at(u, v - e);
            const float gx = (ax.r + ax.g + ax.b) - (bx.r + bx.g + bx.b);
            const float gy = (ay.r + ay.g + ay.b) - (by.r + by.g + by.b);
            float dx = -gy, dy = gx;
            const float len = std::sqrt(dx * dx + dy * dy);
            if (len < 1e-3f) {
                const float a = c.randomUnit() * kit::pi;
                dx = fastCos(a);
                dy = fastSin(a);
            } else {
                dx /= len;
                dy /= len;
            }
            const float jitter = (c.randomUnit() - 0.5f) * 18.0f;
            const kit::Rgb paint{colour.r + jitter, colour.g + jitter, colour.b + jitter};
            const float x0 = kit::clampf(x - dx * length * 0.5f, left + radius, right - radius - 1.0f);
            const float y0 = kit::clampf(y - dy * length * 0.5f, top + radius, bottom - radius - 1.0f);
            const float x1 = kit::clampf(x + dx * length * 0.5f, left + radius, right - radius - 1.0f);
            const float y1 = kit::clampf(y + dy * length * 0.5f, top + radius, bottom - radius - 1.0f);
            kit::drawThickLine(c, x0, y0, x1, y1, radius, paint);
        }
        drawEasel(c, false);
    }

  private:
    static constexpr uint32_t cycle = 900; // 18 seconds a painting

    // The studio wall, the wooden easel and its ledge; with canvas, also a fresh white canvas.
    void drawEasel(EffectContext& c, bool canvas) {
        const float n = static_cast<float>(c.n);
        const float left = n * 0.12f, top = n * 0.06f, right = n * 0.88f, bottom = n * 0.78f;
        const kit::Rgb wood = kit::fromLevels(140, 90, 50), woodLight = kit::fromLevels(180, 124, 72);
        if (canvas) {
            kit::fillColours(c, kit::fromLevels(70, 64, 72), true);
            // Studio floor.
            kit::fillRect(c, 0.0f, n * 0.9f, n, n, kit::fromLevels(96, 70, 50));
            kit::fillRect(c, left, top, right, bottom, kit::fromLevels(245, 242, 232));
        }
        // Legs behind and below the canvas, the ledge it stands on and the crossbar at the top.
        kit::drawThickLine(c, n * 0.5f, 0.0f, n * 0.5f, top, 1.6f, wood);
        kit::drawThickLine(c, n * 0.3f, bottom + 4.0f, n * 0.2f, n - 1.0f, 1.8f, wood);
        kit::drawThickLine(c, n * 0.7f, bottom + 4.0f, n * 0.8f, n - 1.0f, 1.8f, wood);
        kit::drawThickLine(c, n * 0.5f, bottom + 4.0f, n * 0.5f, n * 0.95f, 1.6f, kit::shade(wood, 0.7f));
        kit::fillRect(c, left - 4.0f, bottom, right + 4.0f, bottom + 4.0f, wood);
        kit::fillRect(c, left - 4.0f, bottom, right + 4.0f, bottom + 1.0f, woodLight);
        kit::fillRect(c, n * 0.42f, top - 3.0f, n * 0.58f, top, wood);
        // The canvas edge catches the light.
        kit::drawLine(c, left - 1.0f, top - 1.0f, right, top - 1.0f, kit::fromLevels(200, 196, 186));
        kit::drawLine(c, left - 1.0f, top - 1.0f, left - 1.0f, bottom - 1.0f, kit::fromLevels(200, 196, 186));
        kit::drawLine(c, right, top, right, bottom - 1.0f, kit::fromLevels(40, 36, 40));
    }

    pictures::Wallpaper wallpaper_;
    uint32_t tick_ = 0;
};

} // namespace

std::unique_ptr<Effect> makeEaseall() {
    return std::make_unique<Easeall>();
}

} // namespace glowfield
