// Jeepers: a pair of big cartoon eyes drifting over a dark field. The pupils follow the mouse or, while it
// rests, whatever catches their attention; the lids blink now and then and the brows jump when the gaze
// darts quickly.
#include <cmath>

#include "effects/geometry/direct_cells.h"
#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Jeepers : public Effect {
  public:
    void start(EffectContext& c) override {
        // Leftovers of an earlier entry are brought into range once, so blends never carry NaN along.
        kit::tameField(c);
        lookX_ = targetX_ = static_cast<float>(c.n) * 0.5f;
        lookY_ = targetY_ = static_cast<float>(c.n) * 0.5f;
        lastMouseX_ = c.mouseX;
        lastMouseY_ = c.mouseY;
        blink_ = 0;
        nextBlink_ = c.random(60, 200);
        irisHue_ = c.randomUnit();
    }

    void step(EffectContext& c) override {
        const float n = static_cast<float>(c.n);
        const float t = static_cast<float>(c.frame % 100000u);
        kit::scaleVelocities(c, 0.5f);
        kit::pullColours(c, kit::fromLevels(25, 10, 40), 0.25f);
        // Gaze: the mouse when it moves, otherwise a new point of interest every second or so.
        if (c.mouseX != lastMouseX_ || c.mouseY != lastMouseY_) {
            targetX_ = static_cast<float>(c.mouseX);
            targetY_ = static_cast<float>(c.mouseY);
            lastMouseX_ = c.mouseX;
            lastMouseY_ = c.mouseY;
        } else if (c.frame % 50u == 0u) {
            targetX_ = c.randomUnit() * n;
            targetY_ = c.randomUnit() * n;
        }
        const float ox = lookX_, oy = lookY_;
        lookX_ += (targetX_ - lookX_) * 0.25f;
        lookY_ += (targetY_ - lookY_) * 0.25f;
        const float dart = std::sqrt((lookX_ - ox) * (lookX_ - ox) + (lookY_ - oy) * (lookY_ - oy));
        brow_ = kit::clampf(brow_ * 0.93f + dart * 0.08f, 0.0f, 1.0f);
        if (--nextBlink_ <= 0) {
            blink_ = 14;
            nextBlink_ = c.random(70, 260);
        }
        // Lid closure 0..1: down and up again over a blink.
        const float closed = blink_ > 0 ? 1.0f - absf(static_cast<float>(blink_) - 7.0f) / 7.0f : 0.0f;
        if (blink_ > 0) {
            --blink_;
        }
        const float headX = n * 0.5f + n * 0.15f * fastSin(t * 0.011f);
        const float headY = n * 0.5f + n * 0.1f * fastSin(t * 0.017f + 1.0f);
        const float r = n * 0.16f;
        for (int side = -1; side <= 1; side += 2) {
            drawEye(c, headX + side * r * 1.15f, headY, r, closed);
            // Brows arch above each eye and rise when the gaze darts.
            const float by = headY - r * (1.25f + 0.35f * brow_);
            const float bx = headX + side * r * 1.15f;
            kit::drawThickLine(c, bx - r * 0.8f, by + r * 0.15f - side * r * 0.1f * brow_, bx, by - r * 0.05f,
                               2.2f, kit::fromLevels(60, 35, 20));
            kit::drawThickLine(c, bx, by - r * 0.05f, bx + r * 0.8f, by + r * 0.15f + side * r * 0.1f * brow_,
                               2.2f, kit::fromLevels(60, 35, 20));
        }
    }

  private:
    void drawEye(EffectContext& c, float cx, float cy, float r, float closed) {
        // Pupil direction: towards the gaze point, held inside the eye white.
        const float gx = lookX_ - cx, gy = lookY_ - cy;
        const float gd = std::sqrt(gx * gx + gy * gy) + 1e-3f;
        const float reach = r * 0.45f * kit::clampf(gd / (r * 3.0f), 0.0f, 1.0f);
        const float ix = cx + gx / gd * reach, iy = cy + gy / gd * reach;
        const float irisR = r * 0.45f, pupilR = r * 0.2f;
        const float lidTop = cy - r + 2.0f * r * closed * 0.5f, lidBottom = cy + r - 2.0f * r * closed * 0.5f;
        const kit::Rgb skin = kit::fromLevels(210, 150, 120);
        const int x0 = kit::clampCell(c, kit::toCell(cx - r - 2.0f)),
                  x1 = kit::clampCell(c, kit::toCell(cx + r + 2.0f));
        const int y0 = kit::clampCell(c, kit::toCell(cy - r - 2.0f)),
                  y1 = kit::clampCell(c, kit::toCell(cy + r + 2.0f));
        for (int x = x0; x <= x1; ++x) {
            for (int y = y0; y <= y1; ++y) {
                const float dx = x - cx, dy = y - cy;
                const float d = std::sqrt(dx * dx + dy * dy);
                if (d > r + 1.5f) {
                    continue;
                }
                kit::Rgb col;
                if (d > r) {
                    col = kit::fromLevels(20, 10, 10); // outline
                } else if (y < lidTop || y > lidBottom) {
                    col = geometry::dim(skin, 0.7f + 0.3f * (1.0f - d / r));
                    if (absf(y - lidTop) < 1.0f || absf(y - lidBottom) < 1.0f) {
                        col = kit::fromLevels(40, 20, 20); // lashes
                    }
                } else {
                    // White, shaded towards the rim so it reads as a ball.
                    col = geometry::dim(kit::fromLevels(250, 250, 245), 1.0f - 0.35f * (d / r) * (d / r));
                    const float ex = x - ix, ey = y - iy;
                    const float id = std::sqrt(ex * ex + ey * ey);
                    if (id < irisR) {
                        const float a = kit::angleOf(ex, ey);
                        const float fibre = 0.75f + 0.25f * fastSin(a * 18.0f);
                        col = kit::hsv(irisHue_, 0.8f, (0.45f + 0.5f * (1.0f - id / irisR)) * fibre);
                        if (id > irisR - 1.2f) {
                            col = kit::fromLevels(20, 20, 30);
                        }
                        if (id < pupilR) {
                            col = kit::fromLevels(5, 5, 8);
                        }
                    }
                    const float hx = ex + irisR * 0.35f, hy = ey + irisR * 0.35f;
                    if (hx * hx + hy * hy < pupilR * pupilR * 0.3f) {
                        col = kit::white;
                    }
                }
                geometry::putCell(c, x, y, col);
            }
        }
    }

    float lookX_ = 0.0f, lookY_ = 0.0f, targetX_ = 0.0f, targetY_ = 0.0f;
    int lastMouseX_ = 0, lastMouseY_ = 0;
    int blink_ = 0, nextBlink_ = 100;
    float brow_ = 0.0f, irisHue_ = 0.3f;
};

} // namespace

std::unique_ptr<Effect> makeJeepers() {
    return std::make_unique<Jeepers>();
}

} // namespace glowfield
