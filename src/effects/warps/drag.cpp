// Drag: a finger smudging wet paint. Cells near the finger take their colour from where the finger was a
// moment before, so the picture smears along with it in long strokes; the finger follows the mouse, or sweeps
// in fast loops by itself when the mouse is idle, blobs and ribbons of fresh paint drop to be smudged, and a
// sheen from a light at the top left makes the ridges of the smears glisten.
#include <cmath>
#include <vector>

#include "effects/kit/held_picture.h"
#include "effects/kit/kit.h"

namespace glowfield {

namespace {

constexpr float reach = 12.0f;

class Drag : public Effect {
  public:
    void start(EffectContext& c) override {
        paint_.captureField(c);
        // Under whatever was there, broad bands of wet colour, so every stroke has paint to move.
        const float n = static_cast<float>(c.n);
        const float hue = c.randomUnit();
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                const float band = (static_cast<float>(x) * 0.6f + static_cast<float>(y)) / n * 3.0f;
                const float k = band - static_cast<float>(kit::toCell(band));
                const kit::Rgb layer = kit::hsv(hue + 0.17f * static_cast<float>(kit::toCell(band)), 0.8f,
                                                k < 0.12f ? 0.25f : 0.6f + 0.3f * k);
                paint_.set(x, y, kit::mix(paint_.at(x, y), layer, 0.8f));
            }
        }
        fingerX_ = fingerPath(c, 0, true);
        fingerY_ = fingerPath(c, 0, false);
        // A few blobs straight away, so even a blank field has paint to smear.
        paint_.restore(c);
        for (int k = 0; k < 7; ++k) {
            drop(c);
        }
        paint_.keep(c);
    }

    void step(EffectContext& c) override {
        ++age_;
        float tx = fingerPath(c, age_, true), ty = fingerPath(c, age_, false);
        if (c.framesSinceMouseMoved < 150) {
            tx = static_cast<float>(c.mouseX);
            ty = static_cast<float>(c.mouseY);
        }
        // Long moves are smudged in short strokes, so fast motion still drags paint rather than jumping.
        const float mx = tx - fingerX_, my = ty - fingerY_;
        const float length = std::sqrt(mx * mx + my * my);
        const int strokes = 1 + kit::toCell(length / 2.0f > 20.0f ? 20.0f : length / 2.0f);
        paint_.restore(c);
        for (int s = 0; s < strokes; ++s) {
            const float fromX = fingerX_ + mx * static_cast<float>(s) / strokes;
            const float fromY = fingerY_ + my * static_cast<float>(s) / strokes;
            smudge(c, fromX, fromY, mx / strokes, my / strokes);
        }
        fingerX_ = tx;
        fingerY_ = ty;
        if (age_ % 12 == 0) {
            drop(c);
        }
        if (age_ % 150 == 75) {
            ribbon(c);
        }
        paint_.keep(c);
        gloss(c);
    }

  private:
    // A slow loop of loops across the whole picture.
    static float fingerPath(const EffectContext& c, int age, bool horizontal) {
        const float n = static_cast<float>(c.n);
        const float t = static_cast<float>(age % 1000000) * 0.085f;
        return horizontal ? n * (0.5f + 0.33f * fastSin(t * 0.41f) + 0.09f * fastSin(t * 2.3f))
                          : n * (0.5f + 0.33f * fastSin(t * 0.57f + 1.0f) + 0.09f * fastCos(t * 2.3f));
    }

    // Each cell within reach takes the colour from behind it along the stroke, weighted by its distance.
    void smudge(EffectContext& c, float fx, float fy, float dx, float dy) {
        const int x0 = kit::clampCell(c, kit::toCell(fx - reach - 2.0f)),
                  x1 = kit::clampCell(c, kit::toCell(fx + reach + 2.0f));
        const int y0 = kit::clampCell(c, kit::toCell(fy - reach - 2.0f)),
                  y1 = kit::clampCell(c, kit::toCell(fy + reach + 2.0f));
        // A copy of just the patch under the finger, read while the patch is rewritten.
        const int w = x1 - x0 + 1, h = y1 - y0 + 1;
        patch_.resize(static_cast<size_t>(w * h));
        for (int x = x0; x <= x1; ++x) {
            for (int y = y0; y <= y1; ++y) {
                patch_[static_cast<size_t>((x - x0) * h + (y - y0))] = kit::colourAt(c, x, y);
            }
        }
        const auto at = [&](int x, int y) {
            x = x < x0 ? x0 : x > x1 ? x1 : x;
            y = y < y0 ? y0 : y > y1 ? y1 : y;
            return patch_[static_cast<size_t>((x - x0) * h + (y - y0))];
        };
        for (int x = x0; x <= x1; ++x) {
            for (int y = y0; y <= y1; ++y) {
                const float ex = static_cast<float>(x) - fx - dx, ey = static_cast<float>(y) - fy - dy;
                const float d2 = (ex * ex + ey * ey) / (reach * reach);
                if (d2 >= 1.0f) {
                    continue;
                }
                const float w = (1.0f - d2) * (1.0f - d2);
                const float sx = static_cast<float>(x) - dx * w * 1.1f,
                            sy = static_cast<float>(y) - dy * w * 1.1f;
                const int ix = kit::toCell(sx), iy = kit::toCell(sy);
                const float ax = sx - static_cast<float>(ix), ay = sy - static_cast<float>(iy);
                const kit::Rgb top = kit::mix(at(ix, iy), at(ix + 1, iy), ax);
                const kit::Rgb bottom = kit::mix(at(ix, iy + 1), at(ix + 1, iy + 1), ax);
                kit::paint(c, x, y, kit::mix(top, bottom, ay));
            }
        }
    }

    // A blob of fresh paint, most of them just ahead of where the finger is going.
    void drop(EffectContext& c) {
        const float n = static_cast<float>(c.n);
        float x = n * (0.1f + 0.8f * c.randomUnit()), y = n * (0.1f + 0.8f * c.randomUnit());
        if (c.random(0, 2) != 0) {
            x = fingerPath(c, age_ + 12 + c.random(0, 20), true) + (c.randomUnit() - 0.5f) * 10.0f;
            y = fingerPath(c, age_ + 12 + c.random(0, 20), false) + (c.randomUnit() - 0.5f) * 10.0f;
        }
        const float r = (5.0f + 6.0f * c.randomUnit()) * n / 200.0f;
        const kit::Rgb colour = kit::hsv(c.randomUnit(), 0.9f, c.randomUnit() < 0.2f ? 0.15f : 1.0f);
        kit::fillDisc(c, x, y, r, colour);
        kit::drawRing(c, x, y, r + 0.5f, 1.0f, kit::shade(colour, 0.6f));
    }

    // A ribbon of paint squeezed across the picture: a thick wavy stroke.
    void ribbon(EffectContext& c) {
        const float n = static_cast<float>(c.n);
        const kit::Rgb colour = kit::hsv(c.randomUnit(), 0.85f, 0.95f);
        const bool across = c.random(0, 1) == 0;
        const float at = n * (0.15f + 0.7f * c.randomUnit()), wave = c.randomUnit() * kit::twoPi;
        float px = 0.0f, py = 0.0f;
        for (int k = 0; k <= 40; ++k) {
            const float u = n * static_cast<float>(k) / 40.0f;
            const float v = at + n * 0.06f * fastSin(u * 0.05f + wave);
            const float x = across ? u : v, y = across ? v : u;
            if (k > 0) {
                kit::drawThickLine(c, px, py, x, y, 3.0f * n / 200.0f, colour);
            }
            px = x;
            py = y;
        }
    }

    // Wet sheen, shown but not kept: each cell lit by the slope of the paint's brightness towards a light at
    // the top left, so every ridge a smear leaves catches a highlight on one side and a shadow on the other.
    void gloss(EffectContext& c) {
        const int n = c.n;
        for (int x = 0; x < n; ++x) {
            for (int y = 0; y < n; ++y) {
                const float slope = luma(paint_.at(x + 1, y)) - luma(paint_.at(x - 1, y)) +
                                    luma(paint_.at(x, y + 1)) - luma(paint_.at(x, y - 1));
                // Facing the light (brightness rising away from it) shines; facing away shades a little.
                const float lit = slope > 0.0f ? slope * 0.9f : slope * 0.35f;
                const float add = kit::clampf(lit, -40.0f, 90.0f);
                const int cell = cellAt(x, y);
                c.planes.red[cell] += add;
                c.planes.green[cell] += add;
                c.planes.blue[cell] += add;
            }
        }
    }

    static float luma(kit::Rgb v) { return 0.3f * v.r + 0.59f * v.g + 0.11f * v.b; }

    kit::HeldPicture paint_;
    std::vector<kit::Rgb> patch_;
    float fingerX_ = 0.0f, fingerY_ = 0.0f;
    int age_ = 0;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Drag);

} // namespace glowfield
