// Get Outta Here: everything flees. Each frame the field is resampled from points nearer a broom, so what
// lies near it is shoved away and a dark clearing opens behind it, with flecks scattering outwards; litter
// keeps landing to be swept. The broom follows the mouse once it moves and wanders on its own while the mouse
// rests.
#include "effects/kit/kit.h"
#include "effects/warps/cell_ops.h"
#include "effects/warps/colour_image.h"

namespace glowfield {

namespace {

struct Fleck {
    float x = -1.0f, y = -1.0f, vx = 0.0f, vy = 0.0f;
    int life = 0;
    kit::Rgb colour;
};

class GetOuttaHere : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::tameField(c);
        mouseX_ = c.mouseX;
        mouseY_ = c.mouseY;
        kit::pullColours(c, kit::fromLevels(40, 45, 35), 0.7f);
        for (int i = 0; i < 260; ++i) {
            litter(c);
        }
    }

    void step(EffectContext& c) override {
        ++age_;
        if (c.mouseX != mouseX_ || c.mouseY != mouseY_) {
            mouseX_ = c.mouseX;
            mouseY_ = c.mouseY;
            restAt_ = age_;
        }
        const float n = static_cast<float>(c.n);
        const float t = static_cast<float>(age_);
        float bx = n * (0.5f + 0.36f * fastSin(t * 0.021f) * fastCos(t * 0.007f));
        float by = n * (0.5f + 0.36f * fastSin(t * 0.016f + 1.3f));
        if (restAt_ >= 0 && age_ - restAt_ < 150) {
            bx = static_cast<float>(mouseX_);
            by = static_cast<float>(mouseY_);
        }
        image_.capture(c);
        const float reach = 34.0f;
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                const float dx = x - bx, dy = y - by;
                const float d2 = dx * dx + dy * dy;
                if (d2 >= reach * reach) {
                    continue;
                }
                // Read from nearer the broom: the nearer, the harder the shove.
                const float w = 1.0f - d2 / (reach * reach);
                const float k = 1.0f - 0.12f * w * w;
                fx::put(c, x, y, image_.sample(bx + dx * k, by + dy * k));
            }
        }
        kit::softDisc(c, bx, by, 12.0f, kit::fromLevels(8, 8, 12), 0.6f, kit::Blend::set);
        kit::scaleVelocities(c, 0.0f);
        litter(c);
        litter(c);
        // Flecks thrown off the broom's edge.
        for (int i = 0; i < 3; ++i) {
            Fleck& f = flecks_[next_];
            next_ = (next_ + 1) % fleckCount;
            const float a = c.randomUnit() * kit::twoPi;
            f.x = bx + 10.0f * fastCos(a);
            f.y = by + 10.0f * fastSin(a);
            f.vx = 2.5f * fastCos(a);
            f.vy = 2.5f * fastSin(a);
            f.life = 30;
            f.colour = fx::at(c, kit::clampCell(c, kit::toCell(f.x)), kit::clampCell(c, kit::toCell(f.y)));
            f.colour = fx::mix(f.colour, kit::white, 0.5f);
        }
        for (Fleck& f : flecks_) {
            if (f.life <= 0) {
                continue;
            }
            --f.life;
            f.x += f.vx;
            f.y += f.vy;
            f.vx *= 0.94f;
            f.vy *= 0.94f;
            if (!kit::inside(c, kit::toCell(f.x), kit::toCell(f.y))) {
                f.life = 0;
                continue;
            }
            kit::paint(c, kit::toCell(f.x), kit::toCell(f.y), f.colour);
        }
    }

  private:
    static constexpr int fleckCount = 96;

    void litter(EffectContext& c) {
        // Confetti and leaves: small discs and ringed discs in bright colours.
        const float x = static_cast<float>(c.random(4, c.n - 5)),
                    y = static_cast<float>(c.random(4, c.n - 5));
        const kit::Rgb col = fx::hsv(c.randomUnit(), 0.85f, 1.0f);
        const float r = 2.5f + c.randomUnit() * 4.5f;
        kit::fillDisc(c, x, y, r, col);
        kit::drawRing(c, x, y, r, 1.0f, fx::shade(col, 0.5f));
    }

    int age_ = 0;
    int mouseX_ = 0, mouseY_ = 0;
    int restAt_ = -1;
    int next_ = 0;
    Fleck flecks_[fleckCount];
    warps::ColourImage image_;
};

} // namespace

std::unique_ptr<Effect> makeGetOuttaHere() {
    return std::make_unique<GetOuttaHere>();
}

} // namespace glowfield
