// X-Sighting: a radar scope. A sweep turns over range rings, the cells in its wake glowing green and dying
// away; slow targets light up as blips when the beam passes, and an X crosshair locks onto one and tracks it.
#include <cmath>
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class XSighting : public Effect {
  public:
    static constexpr int targets = 8;

    void start(EffectContext& c) override {
        // Leftovers of an earlier entry are brought into range once, so blends never carry NaN along.
        kit::tameField(c);
        for (Target& tg : targets_) {
            place(c, tg);
        }
        lock_ = 0;
        // The scope's fixed geometry, once: each cell's bearing, its graticule brightness (negative outside
        // the glass: -1 the bezel, -2 the case) and the ground clutter the beam paints near the centre.
        const float n = static_cast<float>(c.n);
        const float cx = n * 0.5f, cy = n * 0.5f, R = n * 0.47f;
        const size_t cells = static_cast<size_t>(c.n) * c.n;
        angle_.assign(cells, 0.0f);
        base_.assign(cells, 0.0f);
        clutter_.assign(cells, 0.0f);
        size_t i = 0;
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y, ++i) {
                const float dx = x - cx, dy = (y - cy) * 0.75f;
                const float d = std::sqrt(dx * dx + dy * dy);
                angle_[i] = kit::angleOf(dx, dy);
                if (d > R) {
                    base_[i] = d > R + 2.0f ? -2.0f : -1.0f;
                    continue;
                }
                const float ringPos = d / (R / 4.0f);
                const bool line = std::fabs(ringPos - kit::floorOf(ringPos + 0.5f)) * (R / 4.0f) < 0.6f ||
                                  std::fabs(dx) < 0.5f || std::fabs(dy) < 0.4f;
                base_[i] = 0.12f + (line ? 0.22f : 0.0f);
                const float clutter = 0.5f + 0.5f * fastSin(dx * 0.31f + fastSin(dy * 0.23f) * 4.0f);
                clutter_[i] = 0.2f * clutter * kit::clampf(1.0f - d / (R * 0.6f), 0.0f, 1.0f);
            }
        }
        crossX_ = crossY_ = static_cast<float>(c.n) * 0.5f;
    }

    void step(EffectContext& c) override {
        kit::scaleVelocities(c, 0.0f);
        const float n = static_cast<float>(c.n);
        const float cx = n * 0.5f, cy = n * 0.5f, R = n * 0.47f;
        const float sweep =
            kit::wrap(static_cast<int>(c.frame % 200000u) * 3, 360) * (kit::twoPi / 360.0f) - kit::pi;
        const kit::Rgb dark = kit::fromLevels(0, 12, 4), glow = kit::fromLevels(120, 255, 140);
        size_t i = 0;
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y, ++i) {
                const float base = base_[i];
                if (base < 0.0f) {
                    kit::setCell(c, x, y,
                                 base < -1.5f ? kit::fromLevels(20, 22, 20) : kit::fromLevels(90, 110, 90));
                    continue;
                }
                // Wake: how far behind the beam this cell lies, in radians.
                float behind = sweep - angle_[i];
                if (behind < 0.0f) {
                    behind += kit::twoPi;
                }
                const float wake = behind < 2.2f ? (1.0f - behind / 2.2f) : 0.0f;
                const float g = base + wake * (0.75f * wake * wake + clutter_[i]);
                kit::setCell(c, x, y, kit::mix(dark, glow, g < 1.0f ? g : 1.0f));
            }
        }
        for (int i = 0; i < targets; ++i) {
            Target& tg = targets_[i];
            tg.x += tg.vx;
            tg.y += tg.vy;
            const float dx = tg.x - cx, dy = (tg.y - cy) * 0.75f;
            if (!(dx * dx + dy * dy < R * R * 0.85f)) {
                place(c, tg);
                continue;
            }
            float behind = sweep - kit::angleOf(dx, dy);
            if (behind < 0.0f) {
                behind += kit::twoPi;
            }
            if (behind < 0.06f) {
                tg.blip = 1.0f;
            }
            tg.blip *= 0.985f;
            if (tg.blip > 0.05f) {
                kit::softDisc(c, tg.x, tg.y, 4.0f, kit::fromLevels(200, 255, 200), tg.blip * 1.5f,
                              kit::Blend::add);
                kit::fillDisc(c, tg.x, tg.y, 1.2f, kit::mix(kit::fromLevels(0, 60, 20), kit::white, tg.blip));
            }
        }
        // The crosshair: every five seconds it switches to another target, gliding there and then tracking.
        if (c.frame % 250u == 0u) {
            lock_ = c.random(0, targets - 1);
        }
        const Target& aim = targets_[lock_];
        crossX_ += (aim.x - crossX_) * 0.08f;
        crossY_ += (aim.y - crossY_) * 0.08f;
        const float s = 7.0f, g = 2.5f;
        const kit::Rgb red = kit::fromLevels(255, 70, 50);
        kit::drawThickLine(c, crossX_ - s, crossY_ - s * 1.33f, crossX_ - g, crossY_ - g * 1.33f, 0.6f, red);
        kit::drawThickLine(c, crossX_ + s, crossY_ - s * 1.33f, crossX_ + g, crossY_ - g * 1.33f, 0.6f, red);
        kit::drawThickLine(c, crossX_ - s, crossY_ + s * 1.33f, crossX_ - g, crossY_ + g * 1.33f, 0.6f, red);
        kit::drawThickLine(c, crossX_ + s, crossY_ + s * 1.33f, crossX_ + g, crossY_ + g * 1.33f, 0.6f, red);
        const float dist = std::fabs(aim.x - crossX_) + std::fabs(aim.y - crossY_);
        if (dist < 2.0f && (c.frame / 8u) % 2u == 0u) {
            kit::drawRing(c, crossX_, crossY_, s + 3.0f, 1.0f, red); // locked
        }
    }

  private:
    struct Target {
        float x, y, vx, vy, blip;
    };

    void place(EffectContext& c, Target& tg) {
        const float n = static_cast<float>(c.n);
        const float a = c.randomUnit() * kit::twoPi, r = n * (0.1f + c.randomUnit() * 0.3f);
        tg.x = n * 0.5f + fastCos(a) * r;
        tg.y = n * 0.5f + fastSin(a) * r * 1.33f;
        const float h = c.randomUnit() * kit::twoPi, v = 0.05f + c.randomUnit() * 0.12f;
        tg.vx = fastCos(h) * v;
        tg.vy = fastSin(h) * v;
        tg.blip = 0.0f;
    }

    std::vector<float> angle_, base_, clutter_;
    Target targets_[targets]{};
    int lock_ = 0;
    float crossX_ = 0.0f, crossY_ = 0.0f;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(XSighting);

} // namespace glowfield
