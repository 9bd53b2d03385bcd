// Crayon: four crayons scribble zig-zag hatching across a sheet of paper. Each pen wanders, hatching back and
// forth across its path, and a stroke only marks the cells that pass a grain test, so the wax shows gaps;
// the page is slowly lightened back towards paper so old scribbles fade as new ones land.
#include <cmath>

#include "effects/kit/held_picture.h"
#include "effects/kit/kit.h"

namespace glowfield {

namespace {

constexpr int penCount = 4;

struct Pen {
    float x = 0.0f; // centre of the hatching
    float y = 0.0f;
    float heading = 0.0f; // direction the hatching travels
    float phase = 0.0f;   // position in the zig-zag
    float width = 10.0f;  // half the zig-zag's span
    float tipX = 0.0f;
    float tipY = 0.0f;
    int colour = 0;
};

const kit::Rgb crayonBox[8] = {kit::fromLevels(214, 40, 40),  kit::fromLevels(30, 90, 200),
                               kit::fromLevels(40, 160, 60),  kit::fromLevels(250, 190, 20),
                               kit::fromLevels(240, 110, 20), kit::fromLevels(130, 50, 170),
                               kit::fromLevels(90, 60, 40),   kit::fromLevels(230, 80, 150)};

const kit::Rgb paperColour = kit::fromLevels(246, 242, 228);

class Crayon : public Effect {
  public:
    void start(EffectContext& c) override {
        paper_.reset(c, paperColour);
        for (int i = 0; i < penCount; ++i) {
            respawn(c, pens_[i]);
            pens_[i].colour = (i * 2 + c.random(0, 1)) % 8;
        }
    }

    void step(EffectContext& c) override {
        paper_.restore(c);
        kit::pullColours(c, paperColour, 0.004f);
        for (Pen& pen : pens_) {
            scribble(c, pen);
        }
        paper_.keep(c);
    }

  private:
    void respawn(EffectContext& c, Pen& pen) {
        const float n = static_cast<float>(c.n);
        pen.x = n * (0.15f + 0.7f * c.randomUnit());
        pen.y = n * (0.15f + 0.7f * c.randomUnit());
        pen.heading = kit::twoPi * c.randomUnit();
        pen.width = 5.0f + 9.0f * c.randomUnit();
        pen.colour = c.random(0, 7);
        tip(pen, pen.tipX, pen.tipY);
    }

    static void tip(const Pen& pen, float& x, float& y) {
        // A triangle wave across the heading gives the zig-zag.
        const float f = pen.phase - static_cast<float>(kit::toCell(pen.phase));
        const float across = (f < 0.5f ? 4.0f * f - 1.0f : 3.0f - 4.0f * f) * pen.width;
        x = pen.x - fastSin(pen.heading) * across;
        y = pen.y + fastCos(pen.heading) * across;
    }

    void scribble(EffectContext& c, Pen& pen) {
        const float n = static_cast<float>(c.n);
        for (int k = 0; k < 3; ++k) {
            pen.phase += 0.17f;
            pen.x += fastCos(pen.heading) * 0.55f;
            pen.y += fastSin(pen.heading) * 0.55f;
            pen.heading += 0.05f * (c.randomUnit() - 0.5f) + 0.01f;
            float x = 0.0f, y = 0.0f;
            tip(pen, x, y);
            stroke(c, pen.tipX, pen.tipY, x, y, crayonBox[pen.colour]);
            pen.tipX = x;
            pen.tipY = y;
        }
        // Off the page, or a while spent on one patch: pick the crayon up and start elsewhere.
        if (!(pen.x > 4.0f && pen.y > 4.0f && pen.x < n - 4.0f && pen.y < n - 4.0f) ||
            c.random(0, 499) == 0) {
            respawn(c, pen);
        }
    }

    // A waxy stroke two cells wide: each cell along it is marked only if it passes the grain test.
    static void stroke(EffectContext& c, float x0, float y0, float x1, float y1, kit::Rgb colour) {
        const float dx = x1 - x0, dy = y1 - y0;
        const float length = std::sqrt(dx * dx + dy * dy);
        const int steps = 1 + kit::toCell(length * 1.5f > 60.0f ? 60.0f : length * 1.5f);
        for (int s = 0; s <= steps; ++s) {
            const float f = static_cast<float>(s) / static_cast<float>(steps);
            const int cx = kit::toCell(x0 + dx * f), cy = kit::toCell(y0 + dy * f);
            for (int ox = 0; ox <= 1; ++ox) {
                for (int oy = 0; oy <= 1; ++oy) {
                    if (c.random(0, 99) < 45) {
                        kit::blendCell(c, cx + ox, cy + oy, colour, 0.8f);
                    }
                }
            }
        }
    }

    kit::HeldPicture paper_;
    Pen pens_[penCount];
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Crayon);

} // namespace glowfield
