// Loops: curly handwriting. Five pens cross the screen on prolate cycloids, each a different size, pace and
// slant, leaving looping ink trails that fade; a pen that leaves the page comes back in from another side.
// The pens themselves show, slanted as a hand holds them.
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Loops : public Effect {
  public:
    void start(EffectContext& c) override {
        page_.assign(static_cast<size_t>(c.n) * static_cast<size_t>(c.n), paper);
        for (int i = 0; i < penCount; ++i) {
            launch(c, pens_[i], true);
        }
    }

    void step(EffectContext& c) override {
        // The page is kept here, so the wave step cannot smudge the ink: it is laid down whole each frame,
        // the new strokes drawn on it, and the result read back with the old ink fading a little.
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                kit::setCell(
                    c, x, y,
                    page_[static_cast<size_t>(x) * static_cast<size_t>(c.n) + static_cast<size_t>(y)]);
            }
        }
        kit::clearVelocities(c);
        const float s = kit::gridScale(c);
        for (int i = 0; i < penCount; ++i) {
            Pen& p = pens_[i];
            // Several short strokes a frame keep the curls round; the pens write briskly, so the page is
            // always visibly being written on.
            for (int sub = 0; sub < 12; ++sub) {
                float ox = 0.0f, oy = 0.0f;
                position(p, ox, oy);
                p.t += 0.4f;
                float x = 0.0f, y = 0.0f;
                position(p, x, y);
                if (!kit::onGrid(c, x, y, 30.0f * s)) {
                    launch(c, p, false);
                    break;
                }
                kit::drawThickLine(c, ox, oy, x, y, 1.7f * s + 0.3f, p.ink);
            }
        }
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                const int cell = cellAt(x, y);
                const kit::Rgb here{c.planes.red[cell], c.planes.green[cell], c.planes.blue[cell]};
                page_[static_cast<size_t>(x) * static_cast<size_t>(c.n) + static_cast<size_t>(y)] =
                    kit::mix(here, paper, 0.01f);
            }
        }
        for (const Pen& p : pens_) {
            float x = 0.0f, y = 0.0f;
            position(p, x, y);
            // The pen itself, held slanted as a hand would hold it: a shaft in the pen's ink with a
            // dark nib, drawn over the page but never into it.
            kit::drawThickLine(c, x + 3.0f * s, y - 3.0f * s, x + 16.0f * s, y - 16.0f * s, 1.8f * s,
                               kit::mix(p.ink, kit::fromLevels(20, 20, 20), 0.4f));
            kit::drawThickLine(c, x, y, x + 4.0f * s, y - 4.0f * s, 1.0f * s, kit::fromLevels(200, 190, 150));
            kit::fillDisc(c, x, y, 1.6f * s + 0.4f, kit::fromLevels(30, 30, 30));
        }
    }

  private:
    struct Pen {
        float startX = 0.0f, startY = 0.0f, dirX = 1.0f, dirY = 0.0f;
        float speed = 0.0f, radius = 0.0f, spin = 0.0f, t = 0.0f, phase = 0.0f;
        kit::Rgb ink;
    };
    static constexpr int penCount = 5;

    // A prolate cycloid: steady travel along dir plus a circle of radius larger than speed / spin, which
    // is what makes the loops.
    static void position(const Pen& p, float& x, float& y) {
        const float a = p.t * p.spin + p.phase;
        const float along = p.speed * p.t - p.radius * fastSin(a);
        const float across = p.radius * fastCos(a);
        x = p.startX + p.dirX * along - p.dirY * across;
        y = p.startY + p.dirY * along + p.dirX * across;
    }

    static void launch(EffectContext& c, Pen& p, bool anywhere) {
        const float n = static_cast<float>(c.n);
        const float s = kit::gridScale(c);
        // Mostly across, sometimes slanted, in either direction.
        const float angle = (c.randomUnit() - 0.5f) * 0.8f + (c.random(0, 1) == 0 ? 0.0f : kit::pi);
        p.dirX = fastCos(angle);
        p.dirY = fastSin(angle);
        p.speed = (0.25f + 0.25f * c.randomUnit()) * s;
        p.spin = 0.03f + 0.035f * c.randomUnit();
        p.radius = (p.speed / p.spin) * (1.6f + 1.6f * c.randomUnit());
        p.t = 0.0f;
        p.phase = c.randomUnit() * kit::twoPi;
        const float across = n * (0.15f + 0.7f * c.randomUnit());
        const float back = anywhere ? n * c.randomUnit() : -p.radius;
        // Start on the line through the middle that crosses dir, pushed back so it enters from the edge.
        p.startX = n * 0.5f - p.dirX * (n * 0.5f - back) - p.dirY * (across - n * 0.5f);
        p.startY = n * 0.5f - p.dirY * (n * 0.5f - back) + p.dirX * (across - n * 0.5f);
        const kit::Rgb inks[5] = {kit::fromLevels(20, 40, 160), kit::fromLevels(170, 20, 40),
                                  kit::fromLevels(20, 110, 60), kit::fromLevels(110, 40, 140),
                                  kit::fromLevels(30, 30, 30)};
        p.ink = inks[c.random(0, 4)];
    }

    static constexpr kit::Rgb paper = kit::fromLevels(245, 238, 220);
    Pen pens_[penCount];
    std::vector<kit::Rgb> page_;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Loops);

} // namespace glowfield
