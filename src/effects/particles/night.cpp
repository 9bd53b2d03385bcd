// Night: a sky deepening towards the top over a dark ridge of hills, four hundred twinkling stars, a crescent
// moon crossing slowly, and now and then a shooting star streaking down and fading.
#include "effects/kit/kit.h"

namespace glowfield {

namespace {

struct Star {
    float x, y, base, phase, rate;
};

class Night : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::tameField(c);
        const float n = static_cast<float>(c.n);
        for (Star& s : stars_) {
            s.x = c.randomUnit() * n;
            const float u = c.randomUnit();
            s.y = u * u * n * 0.8f; // more stars high up, where the sky is darkest
            s.base = 0.35f + 0.65f * c.randomUnit() * c.randomUnit();
            s.phase = c.randomUnit() * kit::twoPi;
            s.rate = 0.05f + 0.2f * c.randomUnit();
        }
        time_ = c.random(0, 900);
        meteorLife_ = 0;
        nextMeteor_ = 60;
    }

    void step(EffectContext& c) override {
        const int n = c.n;
        const float nf = static_cast<float>(n);
        const float sc = c.scale;
        ++time_;
        const float t = static_cast<float>(time_);
        kit::scaleVelocities(c, 0.0f);

        // Sky and hills, pulled rather than set so a shooting star's trail lingers a few frames.
        for (int x = 0; x < n; ++x) {
            const kit::Column col = kit::column(c, x);
            const float fx = static_cast<float>(x);
            const float ridge =
                nf * (0.84f + 0.05f * fastSin(fx * 0.031f + 1.0f) + 0.03f * fastSin(fx * 0.083f)) +
                1.5f * fastSin(fx * 0.6f) * fastSin(fx * 0.17f);
            for (int y = 0; y < n; ++y) {
                const float fy = static_cast<float>(y);
                kit::Rgb target;
                if (fy > ridge) {
                    target = kit::fromLevels(6, 8, 12);
                } else {
                    const float k = fy / nf;
                    target = kit::fromLevels(4 + truncToInt(k * 20.0f), 6 + truncToInt(k * 30.0f),
                                             28 + truncToInt(k * 70.0f));
                }
                col.blend(y, target, 0.25f);
            }
        }

        for (const Star& s : stars_) {
            const float tw =
                0.7f + 0.3f * fastSin(s.phase + t * s.rate) - 0.25f * c.randomUnit() * c.randomUnit();
            const float level = 40.0f + 215.0f * s.base * tw;
            const kit::Rgb col =
                kit::fromLevels(truncToInt(level * 0.9f), truncToInt(level * 0.95f), truncToInt(level));
            const int x = kit::toCell(s.x), y = kit::toCell(s.y);
            kit::paint(c, x, y, col, kit::Blend::max);
            if (s.base > 0.8f) {
                const kit::Rgb dim = kit::shade(col, 0.55f);
                kit::paint(c, x + 1, y, dim, kit::Blend::max);
                kit::paint(c, x - 1, y, dim, kit::Blend::max);
                kit::paint(c, x, y + 1, dim, kit::Blend::max);
                kit::paint(c, x, y - 1, dim, kit::Blend::max);
            }
        }

        // The moon crosses on a shallow arc once every 2400 frames.
        const float u = static_cast<float>(time_ % 2400) / 2400.0f;
        const float mx = -0.15f * nf + 1.3f * nf * u;
        const float my = nf * (0.5f - 0.38f * fastSin(u * kit::pi));
        const float r = 13.0f * sc;
        kit::softDisc(c, mx, my, r * 2.6f, {20.0f, 22.0f, 30.0f}, 1.0f);
        const float ox = mx + r * 0.45f, oy = my - r * 0.25f;
        const int x0 = kit::toCell(mx - r - 1.0f), x1 = kit::toCell(mx + r + 1.0f);
        const int y0 = kit::toCell(my - r - 1.0f), y1 = kit::toCell(my + r + 1.0f);
        for (int x = x0; x <= x1; ++x) {
            for (int y = y0; y <= y1; ++y) {
                const float dx = static_cast<float>(x) - mx, dy = static_cast<float>(y) - my;
                const float ex = static_cast<float>(x) - ox, ey = static_cast<float>(y) - oy;
                const float d2 = dx * dx + dy * dy, e2 = ex * ex + ey * ey;
                if (d2 <= r * r && e2 > r * r * 0.8f) {
                    // Brighter towards the lit rim, a few darker maria.
                    const float rim = kit::clampf((e2 - r * r * 0.8f) / (r * r * 0.9f), 0.0f, 1.0f);
                    const float mare =
                        fastSin(static_cast<float>(x) * 0.9f) * fastSin(static_cast<float>(y) * 1.3f);
                    const int level = 190 + truncToInt(55.0f * rim) - (mare > 0.6f ? 25 : 0);
                    kit::paint(c, x, y, kit::fromLevels(level, level, level - 25));
                }
            }
        }

        // Shooting stars.
        if (--nextMeteor_ <= 0) {
            meteorX_ = nf * (0.2f + 0.7f * c.randomUnit());
            meteorY_ = nf * 0.05f + nf * 0.3f * c.randomUnit();
            const float a = kit::pi * (0.7f + 0.25f * c.randomUnit());
            meteorVx_ = 3.0f * sc * fastCos(a);
            meteorVy_ = 3.0f * sc * fastSin(a);
            meteorLife_ = c.random(18, 34);
            nextMeteor_ = c.random(110, 260);
        }
        if (meteorLife_ > 0) {
            --meteorLife_;
            const float k = meteorLife_ > 8 ? 1.0f : static_cast<float>(meteorLife_) / 8.0f;
            kit::drawLine(c, meteorX_ - meteorVx_ * 4.0f, meteorY_ - meteorVy_ * 4.0f, meteorX_, meteorY_,
                          kit::shade(kit::fromLevels(200, 220, 255), k), kit::Blend::max);
            kit::fillDisc(c, meteorX_, meteorY_, 1.0f, kit::shade(kit::white, k), kit::Blend::max);
            meteorX_ += meteorVx_;
            meteorY_ += meteorVy_;
        }
    }

  private:
    Star stars_[400] = {};
    int time_ = 0;
    int meteorLife_ = 0, nextMeteor_ = 0;
    float meteorX_ = 0.0f, meteorY_ = 0.0f, meteorVx_ = 0.0f, meteorVy_ = 0.0f;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Night);

} // namespace glowfield
