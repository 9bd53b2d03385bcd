// AnotherOne: picture in picture. Every second the whole field is copied, shrunk to 70 % and turned a little,
// and slides into a corner over a fresh background with a new shape; the corner moves round each time, so
// copies nest inside copies in a spiral.
#include <vector>

#include "effects/kit/kit.h"
#include "effects/warps/colour_copy.h"

namespace glowfield {

namespace {

constexpr int period = 50;
constexpr int slideFrames = 18;

class AnotherOne : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::tameField(c, 128.0f, 0.0f);
        fresh(c);
    }

    void step(EffectContext& c) override {
        if (age_ >= period) {
            fresh(c);
        }
        const float n = static_cast<float>(c.n);
        const float f = kit::smoothstep(0.0f, static_cast<float>(slideFrames), static_cast<float>(age_));
        ++age_;
        const float scale = kit::lerp(1.0f, 0.7f, f);
        const float angle = kit::lerp(0.0f, 0.1f, f);
        // Target: the copy's centre in corner 0..3, taken in turn.
        const float cornerX = (corner_ == 0 || corner_ == 3) ? 0.35f : 0.65f;
        const float cornerY = corner_ < 2 ? 0.35f : 0.65f;
        const float px = n * kit::lerp(0.5f, cornerX, f), py = n * kit::lerp(0.5f, cornerY, f);
        const float cs = fastCos(-angle), sn = fastSin(-angle);
        const float inv = 1.0f / scale;
        const float edge = n - 1.0f;
        const float t = static_cast<float>(c.frame % 400000u) * 0.02f;
        rowWave_.resize(static_cast<size_t>(c.n));
        for (int y = 0; y < c.n; ++y) {
            rowWave_[static_cast<size_t>(y)] = 0.1f * fastSin(static_cast<float>(y) * 0.1f + t);
        }
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                // Into the copy: undo the placement, the turn (round on screen) and the shrink.
                const float dx = (static_cast<float>(x) - px) * 4.0f / 3.0f, dy = static_cast<float>(y) - py;
                const float qx = (dx * cs - dy * sn) * inv * 0.75f + n * 0.5f;
                const float qy = (dx * sn + dy * cs) * inv + n * 0.5f;
                kit::Rgb colour;
                if (qx >= 0.0f && qy >= 0.0f && qx <= edge && qy <= edge) {
                    float rgb[3];
                    copy_.sample(qx, qy, rgb);
                    colour = {rgb[0], rgb[1], rgb[2]};
                    const float border = qx < qy ? qx : qy;
                    const float far = (edge - qx) < (edge - qy) ? edge - qx : edge - qy;
                    if ((border < far ? border : far) < 1.8f) {
                        colour = kit::fromLevels(250, 250, 250);
                    }
                } else {
                    const float g = (static_cast<float>(x) + static_cast<float>(y)) / (2.0f * n);
                    const float k = g + rowWave_[static_cast<size_t>(y)];
                    colour = {from_.r + (to_.r - from_.r) * k, from_.g + (to_.g - from_.g) * k,
                              from_.b + (to_.b - from_.b) * k};
                }
                const int cell = cellAt(x, y);
                c.planes.red[cell] = colour.r;
                c.planes.green[cell] = colour.g;
                c.planes.blue[cell] = colour.b;
                c.planes.redVelocity[cell] = 0.0f;
                c.planes.greenVelocity[cell] = 0.0f;
                c.planes.blueVelocity[cell] = 0.0f;
            }
        }
        drawShape(c, t);
    }

  private:
    void fresh(EffectContext& c) {
        copy_.capture(c);
        age_ = 0;
        corner_ = (corner_ + 1) % 4;
        const float hue = c.randomUnit();
        from_ = kit::hsv(hue, 0.7f, 0.35f);
        to_ = kit::hsv(hue + 0.15f, 0.8f, 0.75f);
        shape_ = c.random(0, 3);
        shapeColour_ = kit::hsv(hue + 0.5f, 0.9f, 1.0f);
    }

    // The new shape sits in the part of the screen the copy leaves free, opposite its corner.
    void drawShape(EffectContext& c, float t) const {
        const float n = static_cast<float>(c.n);
        const float cx = n * ((corner_ == 0 || corner_ == 3) ? 0.84f : 0.16f);
        const float cy = n * (corner_ < 2 ? 0.84f : 0.16f);
        const float r = n * 0.12f * (0.9f + 0.1f * fastSin(t * 3.0f));
        const int points = shape_ == 0 ? 5 : shape_ == 1 ? 3 : shape_ == 2 ? 6 : 4;
        float xs[12], ys[12];
        const int corners = shape_ == 0 ? 10 : points;
        for (int k = 0; k < corners; ++k) {
            const float a = t * 1.5f + kit::twoPi * static_cast<float>(k) / static_cast<float>(corners);
            const float radius = shape_ == 0 && k % 2 ? r * 0.45f : r;
            xs[k] = cx + fastCos(a) * radius * 0.75f;
            ys[k] = cy + fastSin(a) * radius;
        }
        kit::fillPolygon(c, xs, ys, corners, shapeColour_);
        kit::drawPolygon(c, xs, ys, corners, kit::shade(shapeColour_, 0.4f));
    }

    ColourCopy copy_;
    std::vector<float> rowWave_;
    int age_ = 0;
    int corner_ = 0;
    int shape_ = 0;
    kit::Rgb from_, to_, shapeColour_;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(AnotherOne);

} // namespace glowfield
