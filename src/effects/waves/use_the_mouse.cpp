// Use The Mouse: finger-painting on water. The mouse paints bold strokes whose colour shifts with its speed;
// while it rests, a ghost pointer takes over and sweeps long brush strokes across the whole screen, lifting
// the brush now and then to change colour. Rings spread over the water from the brush, and old paint slowly
// dissolves into the pool.
#include <cmath>

#include "effects/kit/held_picture.h"
#include "effects/kit/kit.h"

namespace glowfield {

namespace {

constexpr int restBeforeGhost = 100; // two seconds of stillness
constexpr int rippleCount = 8;
constexpr float ghostSpeed = 3.4f; // cells per frame on a 200-cell grid
constexpr kit::Rgb water = kit::fromLevels(18, 62, 84);

class UseTheMouse : public Effect {
  public:
    void start(EffectContext& c) override {
        // The pool shows through whatever was there, darkened, so the first strokes stand out.
        canvas_.captureField(c);
        const int n = c.n;
        for (int x = 0; x < n; ++x) {
            for (int y = 0; y < n; ++y) {
                canvas_.set(x, y, kit::mix(canvas_.at(x, y), water, 0.75f));
            }
        }
        lastX_ = c.mouseX;
        lastY_ = c.mouseY;
        rest_ = restBeforeGhost; // the ghost paints at once until the mouse first moves
        const float fn = static_cast<float>(n);
        ghostX_ = fn * (0.2f + 0.6f * c.randomUnit());
        ghostY_ = fn * (0.2f + 0.6f * c.randomUnit());
        heading_ = c.randomUnit() * kit::twoPi;
        newStroke(c);
    }

    void step(EffectContext& c) override {
        const float s = c.scale;
        canvas_.restore(c);
        kit::pullColours(c, water, 0.0018f); // old paint dissolves over half a minute
        const int dx = c.mouseX - lastX_, dy = c.mouseY - lastY_;
        const float speed = std::sqrt(static_cast<float>(dx * dx + dy * dy));
        if (speed > 0.0f) {
            rest_ = 0;
            hue_ += 0.004f * speed;
            const float width = kit::clampf(5.0f - speed * 0.15f, 2.5f, 5.0f) * s;
            brush(c, static_cast<float>(lastX_), static_cast<float>(lastY_), static_cast<float>(c.mouseX),
                  static_cast<float>(c.mouseY), width, kit::hsv(hue_, 0.9f, 1.0f));
            if ((c.framesSinceStart + 1) % 6u == 0u) {
                ripple(static_cast<float>(c.mouseX), static_cast<float>(c.mouseY));
            }
            ghostX_ = static_cast<float>(c.mouseX);
            ghostY_ = static_cast<float>(c.mouseY);
        } else if (rest_ < restBeforeGhost) {
            ++rest_;
        }
        lastX_ = c.mouseX;
        lastY_ = c.mouseY;
        const bool ghost = rest_ >= restBeforeGhost;
        if (ghost) {
            moveGhost(c, s);
        }
        canvas_.keep(c);
        // Shown over the kept paint only: rings on the water and the pointer.
        drawRipples(c, s);
        if (ghost) {
            drawPointer(c, ghostX_, ghostY_, 0.55f);
        } else {
            drawPointer(c, static_cast<float>(c.mouseX), static_cast<float>(c.mouseY), 1.0f);
        }
    }

  private:
    struct Ripple {
        float x = 0.0f, y = 0.0f;
        int age = 1000;
    };

    // The ghost wanders in long sweeping curves, steering back from the edges; it paints for a stroke of a
    // second or two, then lifts the brush, glides on and puts it down again in a new colour.
    void moveGhost(EffectContext& c, float s) {
        const float n = static_cast<float>(c.n);
        turn_ = turn_ * 0.95f + (c.randomUnit() - 0.5f) * 0.02f;
        heading_ += turn_;
        const float margin = n * 0.12f;
        if (ghostX_ < margin || ghostY_ < margin || ghostX_ > n - margin || ghostY_ > n - margin) {
            float d = kit::angleOf(n * 0.5f - ghostX_, n * 0.5f - ghostY_) - heading_;
            d -= kit::twoPi * static_cast<float>(kit::toCell(d / kit::twoPi + 0.5f));
            heading_ += d * 0.08f;
        }
        const float x0 = ghostX_, y0 = ghostY_;
        const float v =
            ghostSpeed * s *
            (0.8f + 0.4f * fastSin(static_cast<float>((c.framesSinceStart + 1) % 100000u) * 0.05f));
        ghostX_ = kit::clampf(ghostX_ + fastCos(heading_) * v, 0.0f, n - 1.0f);
        ghostY_ = kit::clampf(ghostY_ + fastSin(heading_) * v, 0.0f, n - 1.0f);
        if (--strokeLeft_ <= 0) {
            if (painting_) {
                painting_ = false;
                strokeLeft_ = c.random(12, 30);
            } else {
                newStroke(c);
            }
        }
        if (painting_) {
            // Thick where the stroke starts and ends, like a brush pressed down and lifted.
            const float k = static_cast<float>(strokeLeft_) / static_cast<float>(strokeLength_);
            const float press = fastSin(kit::pi * kit::clampf(k, 0.0f, 1.0f));
            brush(c, x0, y0, ghostX_, ghostY_, (2.5f + 6.0f * press) * s, strokeColour_);
            if ((c.framesSinceStart + 1) % 7u == 0u) {
                ripple(ghostX_, ghostY_);
            }
        }
    }

    void newStroke(EffectContext& c) {
        static constexpr kit::Rgb paints[7] = {kit::fromLevels(240, 40, 60),  kit::fromLevels(255, 200, 30),
                                               kit::fromLevels(30, 120, 255), kit::fromLevels(250, 250, 240),
                                               kit::fromLevels(40, 210, 110), kit::fromLevels(255, 110, 20),
                                               kit::fromLevels(170, 60, 230)};
        int pick = c.random(0, 6);
        if (pick == paint_) {
            pick = (pick + 1) % 7;
        }
        paint_ = pick;
        strokeColour_ = paints[pick];
        painting_ = true;
        strokeLength_ = strokeLeft_ = c.random(50, 110);
    }

    static void brush(EffectContext& c, float x0, float y0, float x1, float y1, float width,
                      kit::Rgb colour) {
        kit::drawThickLine(c, x0, y0, x1, y1, width, colour);
    }

    void ripple(float x, float y) {
        ripples_[nextRipple_] = {x, y, 0};
        nextRipple_ = (nextRipple_ + 1) % rippleCount;
    }

    // Each ring brightens the water a little as it spreads and fades.
    void drawRipples(EffectContext& c, float s) {
        for (Ripple& r : ripples_) {
            if (r.age > 60) {
                continue;
            }
            ++r.age;
            const float k = static_cast<float>(r.age) / 60.0f;
            const float glint = 40.0f * (1.0f - k);
            kit::drawRing(c, r.x, r.y, (4.0f + 40.0f * k) * s, 1.5f, {glint, glint, glint}, kit::Blend::add);
            kit::drawRing(c, r.x, r.y, (1.0f + 28.0f * k) * s, 1.0f,
                          {glint * 0.6f, glint * 0.6f, glint * 0.6f}, kit::Blend::add);
        }
    }

    // An arrow pointer, outlined so it reads over any colour; the ghost's is translucent.
    static void drawPointer(EffectContext& c, float x, float y, float alpha) {
        const float xs[7] = {x, x, x + 3.5f, x + 6.0f, x + 8.0f, x + 5.5f, x + 10.0f};
        const float ys[7] = {y, y + 14.0f, y + 10.5f, y + 16.0f, y + 15.0f, y + 9.5f, y + 9.5f};
        if (alpha >= 1.0f) {
            kit::fillPolygon(c, xs, ys, 7, kit::white);
        } else {
            // Translucent: each cell of the arrow moved towards white.
            const int x0 = kit::toCell(x), y0 = kit::toCell(y);
            for (int ix = x0; ix <= x0 + 10; ++ix) {
                for (int iy = y0; iy <= y0 + 16; ++iy) {
                    if (insideArrow(static_cast<float>(ix) - x + 0.5f, static_cast<float>(iy) - y + 0.5f)) {
                        kit::blendCell(c, ix, iy, kit::white, alpha);
                    }
                }
            }
        }
        kit::drawPolygon(c, xs, ys, 7, kit::black);
    }

    // Whether a point (relative to the tip) lies inside the arrow's outline, by the even-odd rule.
    static bool insideArrow(float px, float py) {
        static constexpr float xs[7] = {0.0f, 0.0f, 3.5f, 6.0f, 8.0f, 5.5f, 10.0f};
        static constexpr float ys[7] = {0.0f, 14.0f, 10.5f, 16.0f, 15.0f, 9.5f, 9.5f};
        bool in = false;
        for (int i = 0, j = 6; i < 7; j = i++) {
            if ((ys[i] > py) != (ys[j] > py) &&
                px < (xs[j] - xs[i]) * (py - ys[i]) / (ys[j] - ys[i]) + xs[i]) {
                in = !in;
            }
        }
        return in;
    }

    kit::HeldPicture canvas_;
    Ripple ripples_[rippleCount]{};
    int nextRipple_ = 0;
    int lastX_ = 0, lastY_ = 0;
    int rest_ = 0;
    float hue_ = 0.0f;
    float ghostX_ = 0.0f, ghostY_ = 0.0f, heading_ = 0.0f, turn_ = 0.0f;
    bool painting_ = false;
    int strokeLeft_ = 0, strokeLength_ = 1, paint_ = -1;
    kit::Rgb strokeColour_ = kit::white;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(UseTheMouse);

} // namespace glowfield
