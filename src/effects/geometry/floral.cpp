// Floral: a wreath of rose-curve flowers. Five blooms, each with its own number of petals, turn slowly and
// open and close in pastels on a ring of leafy vine.
#include <cmath>
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Floral : public Effect {
  public:
    void start(EffectContext& c) override {
        // Leftovers of an earlier entry are brought into range once, so blends never carry NaN along.
        kit::tameField(c);
        const int petals[5] = {3, 4, 5, 6, 7};
        int order[5] = {0, 1, 2, 3, 4};
        for (int i = 4; i > 0; --i) {
            const int j = c.random(0, i);
            const int s = order[i];
            order[i] = order[j];
            order[j] = s;
        }
        for (int i = 0; i < 5; ++i) {
            Bloom& b = blooms_[i];
            b.k = static_cast<float>(petals[order[i]]);
            b.hue = c.randomUnit();
            b.phase = c.randomUnit() * kit::twoPi;
            b.spin = (c.random() % 2 ? 1.0f : -1.0f) * (0.004f + c.randomUnit() * 0.006f);
        }
        // A deep green-grey with the vine's ring and a soft light in the middle.
        const float n = static_cast<float>(c.n);
        const float cx = n * 0.5f, cy = n * 0.5f, ring = n * 0.3f;
        backdrop_.assign(static_cast<size_t>(c.n) * c.n, kit::Rgb{});
        size_t i = 0;
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y, ++i) {
                const float dx = x - cx, dy = (y - cy) * 0.75f;
                const float d = std::sqrt(dx * dx + dy * dy);
                const float k = kit::clampf(1.0f - d / (n * 0.7f), 0.0f, 1.0f);
                kit::Rgb col = kit::mix(kit::fromLevels(15, 25, 25), kit::fromLevels(50, 60, 70), k);
                const float vine = std::fabs(d - ring) - 1.2f - 0.8f * fastSin(kit::angleOf(dx, dy) * 24.0f);
                if (vine < 0.0f) {
                    col = kit::fromLevels(50, 110, 50);
                }
                backdrop_[i] = col;
            }
        }
    }

    void step(EffectContext& c) override {
        kit::scaleVelocities(c, 0.0f);
        const float n = static_cast<float>(c.n);
        const float t = static_cast<float>(c.frame % 200000u);
        const float cx = n * 0.5f, cy = n * 0.5f, ring = n * 0.3f;
        const float turn = t * 0.0015f;
        // Backdrop: made once at start, copied each frame.
        size_t i = 0;
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y, ++i) {
                kit::setCell(c, x, y, backdrop_[i]);
            }
        }
        for (int i = 0; i < 5; ++i) {
            const Bloom& b = blooms_[i];
            const float a = turn + kit::twoPi * i / 5.0f;
            const float bx = cx + fastCos(a) * ring, by = cy + fastSin(a) * ring * (4.0f / 3.0f);
            // Leaves: pairs of pointed ellipses along the vine on both sides of each bloom.
            for (int side = -1; side <= 1; side += 2) {
                const float la = a + side * 0.32f;
                const float lx = cx + fastCos(la) * ring, ly = cy + fastSin(la) * ring * (4.0f / 3.0f);
                const float dir = la + side * 1.2f;
                const float ex = lx + fastCos(dir) * 12.0f, ey = ly + fastSin(dir) * 12.0f * (4.0f / 3.0f);
                kit::drawThickLine(c, lx, ly, ex, ey, 2.3f, kit::fromLevels(70, 150, 70));
                kit::drawLine(c, lx, ly, ex, ey, kit::fromLevels(140, 200, 110));
            }
            const float open = 0.65f + 0.35f * fastSin(t * 0.02f + b.phase);
            const float radius = n * 0.13f * open;
            const float rot = t * b.spin + b.phase;
            const kit::Rgb petal = kit::hsv(b.hue, 0.45f, 1.0f), heart = kit::hsv(b.hue + 0.1f, 0.7f, 0.75f);
            const int x0 = kit::clampCell(c, kit::toCell(bx - radius - 1.0f)),
                      x1 = kit::clampCell(c, kit::toCell(bx + radius + 1.0f));
            const int y0 = kit::clampCell(c, kit::toCell(by - radius * 1.34f - 1.0f)),
                      y1 = kit::clampCell(c, kit::toCell(by + radius * 1.34f + 1.0f));
            for (int x = x0; x <= x1; ++x) {
                for (int y = y0; y <= y1; ++y) {
                    const float dx = x - bx, dy = (y - by) * 0.75f;
                    const float d = std::sqrt(dx * dx + dy * dy);
                    // A rose curve r = |cos(k / 2 * theta)|: k petals for any whole k, filled inside.
                    const float th = kit::angleOf(dx, dy) - rot;
                    const float petals = b.k * 0.5f;
                    const float reach = radius * (0.25f + 0.75f * std::fabs(fastCos(petals * th)));
                    if (d > reach + 0.8f) {
                        continue;
                    }
                    const float k = d / reach;
                    kit::Rgb col = kit::mix(heart, petal, kit::smoothstep(0.0f, 0.6f, k));
                    col = kit::mix(col, kit::white, 0.3f * kit::smoothstep(0.6f, 1.0f, k));
                    if (d > reach - 0.8f) {
                        col = kit::shade(petal, 0.55f); // outline
                    }
                    kit::setCell(c, x, y, col);
                }
            }
            kit::fillDisc(c, bx, by, 2.5f, kit::fromLevels(250, 210, 80));
        }
    }

  private:
    struct Bloom {
        float k, hue, phase, spin;
    };
    Bloom blooms_[5]{};
    std::vector<kit::Rgb> backdrop_;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Floral);

} // namespace glowfield
