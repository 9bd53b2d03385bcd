// Velour: a length of velvet in soft, slowly shifting folds. Invisible hands brush across it, and the pile
// keeps their strokes: brushed one way it lies pale, the other way deep, so trails of light and dark build up
// and cross; now and then a sheen sweeps over the cloth, rippling over the folds.
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

constexpr int brushCount = 3;
constexpr uint32_t sheenFrames = 230;
constexpr float rowScale = 0.75f; // a cell is 4 pixels wide and 3 tall

class Velour : public Effect {
  public:
    void start(EffectContext& c) override {
        n_ = c.n;
        nap_.assign(static_cast<size_t>(n_) * n_, 0.0f);
        // The cloth arrives already crushed: patches of pile lying this way and that.
        const float pa = c.randomUnit() * kit::twoPi, pb = c.randomUnit() * kit::twoPi;
        for (int x = 0; x < n_; ++x) {
            for (int y = 0; y < n_; ++y) {
                nap_[static_cast<size_t>(x) * n_ + y] =
                    0.6f * fastSin(x * 0.06f + pa + 1.5f * fastSin(y * 0.05f)) * fastCos(y * 0.045f + pb);
            }
        }
        for (Brush& b : brushes_) {
            enter(c, b);
            b.x += (c.randomUnit() - 0.2f) * n_ * 0.8f * fastCos(b.heading);
            b.y += (c.randomUnit() - 0.2f) * n_ * 0.8f * fastSin(b.heading);
        }
        hue_ = c.randomUnit();
    }

    void step(EffectContext& c) override {
        const float n = static_cast<float>(n_);
        const float t = static_cast<float>(c.frame % 200000u);
        for (Brush& b : brushes_) {
            brush(c, b, t);
        }
        // Folds: two slow waves; their slopes shade the cloth (see kit/axis_wave.h for the split sines).
        fold1_.make(
            n_, [&](float i) { return i * 0.034f + t * 0.007f; }, [&](float i) { return i * 0.022f; });
        fold2_.make(
            n_, [&](float i) { return -i * 0.016f; }, [&](float i) { return i * 0.05f - t * 0.009f; });
        const float hue = hue_ + static_cast<float>(c.frame % 30000u) / 30000.0f;
        const kit::Rgb deep = kit::hsv(hue, 0.95f, 0.42f), pale = kit::hsv(hue + 0.03f, 0.7f, 0.95f);
        const kit::Rgb sheenColour = kit::hsv(hue - 0.04f, 0.3f, 1.0f);
        // The sheen: a broad band crossing diagonally, once per run.
        const float run = static_cast<float>(c.frame % sheenFrames) / sheenFrames;
        const float sheenAt = -0.35f * n + run * 2.4f * n;
        for (int x = 0; x < n_; ++x) {
            for (int y = 0; y < n_; ++y) {
                const float s1 = fold1_.cosAt(x, y);
                const float s2 = fold2_.cosAt(x, y);
                const float slope = 0.6f * s1 + 0.4f * s2; // -1..1
                const float nap = nap_[static_cast<size_t>(x) * n_ + y];
                kit::Rgb col =
                    kit::mix(deep, pale, kit::clampf(0.32f + 0.4f * nap + 0.2f * slope, 0.0f, 1.0f));
                col = kit::shade(col, 0.7f + 0.3f * slope);
                const float across = (static_cast<float>(x) + static_cast<float>(y) * rowScale) * 0.7f -
                                     sheenAt - 6.0f * fold1_.at(x, y);
                const float band = 1.0f - across * across * (1.0f / 700.0f);
                if (band > 0.0f) {
                    col = kit::mix(col, sheenColour, band * (0.55f + 0.2f * nap + 0.25f * slope));
                }
                kit::paintSolid(c, x, y, col);
            }
        }
    }

  private:
    struct Brush {
        float x, y, heading, turn, phase;
    };

    // A brush comes in from a random edge, heading across.
    void enter(EffectContext& c, Brush& b) {
        const float n = static_cast<float>(n_);
        const int side = c.random(0, 3);
        const float along = (0.15f + 0.7f * c.randomUnit()) * n;
        const float spread = (c.randomUnit() - 0.5f) * 1.2f;
        b.x = side == 0 ? -8.0f : side == 1 ? n + 8.0f : along;
        b.y = side == 2 ? -8.0f : side == 3 ? n + 8.0f : along;
        b.heading = (side == 0   ? 0.0f
                     : side == 1 ? kit::pi
                     : side == 2 ? kit::pi * 0.5f
                                 : -kit::pi * 0.5f) +
                    spread;
        b.turn = (c.randomUnit() - 0.5f) * 0.03f;
        b.phase = c.randomUnit() * kit::twoPi;
    }

    // The brush sweeps on a gently curving path and lays the pile under it: stroked rightwards it lies pale,
    // leftwards deep; the middle of the stroke presses hardest.
    void brush(EffectContext& c, Brush& b, float t) {
        const float n = static_cast<float>(n_);
        b.heading += b.turn + 0.02f * fastSin(t * 0.03f + b.phase);
        const float dx = fastCos(b.heading), dy = fastSin(b.heading);
        b.x += dx * 2.6f;
        b.y += dy * 2.6f / rowScale;
        if (b.x < -12.0f || b.y < -12.0f || b.x > n + 12.0f || b.y > n + 12.0f) {
            enter(c, b);
            return;
        }
        const float target = dx + 0.4f * dy > 0.0f ? 1.0f : -1.0f;
        const float r = 11.0f, ry = r / rowScale;
        const int x0 = kit::toCell(b.x - r), x1 = kit::toCell(b.x + r), y0 = kit::toCell(b.y - ry),
                  y1 = kit::toCell(b.y + ry);
        for (int x = x0 < 0 ? 0 : x0; x <= x1 && x < n_; ++x) {
            for (int y = y0 < 0 ? 0 : y0; y <= y1 && y < n_; ++y) {
                const float u = (x - b.x) / r, v = (y - b.y) / ry;
                const float d2 = u * u + v * v;
                if (d2 < 1.0f) {
                    float& p = nap_[static_cast<size_t>(x) * n_ + y];
                    p += (target - p) * 0.35f * (1.0f - d2);
                }
            }
        }
    }

    int n_ = 0;
    float hue_ = 0.0f;
    std::vector<float> nap_;
    Brush brushes_[brushCount]{};
    kit::SplitSine fold1_, fold2_;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Velour);

} // namespace glowfield
