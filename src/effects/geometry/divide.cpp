// Divide: a painting made by division. From a blank canvas, every few frames the largest panel is split by a
// thick black bar that slides into place and one side takes red, blue, yellow or stays white; when the panels
// get small a white wipe clears the canvas and it starts again. With each split another panel is repainted,
// so a finished-looking canvas keeps changing until the wipe.
#include "effects/kit/kit.h"

namespace glowfield {

namespace {

struct Panel {
    float x0, y0, x1, y1;
    kit::Rgb colour, from;
    int age; // frames since its colour changed, for the fade-in
};

class Divide : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::tameField(c);
        reset(c);
    }

    void step(EffectContext& c) override {
        const float n = static_cast<float>(c.n);
        const float s = c.scale;
        kit::scaleVelocities(c, 0.0f);
        const float bar = 1.6f * s;

        if (wipe_ > 0) {
            // The wipe: a white edge sweeps across, leaving a fresh canvas behind it.
            const float edge = n * static_cast<float>(40 - wipe_) / 40.0f;
            draw(c, bar);
            kit::fillRect(c, 0.0f, 0.0f, edge, n, kit::fromLevels(245, 240, 228));
            kit::fillRect(c, edge, 0.0f, edge + 2.0f * s, n, kit::fromLevels(20, 20, 20));
            if (--wipe_ == 0) {
                reset(c);
            }
            return;
        }

        ++clock_;
        if (clock_ >= 12) {
            clock_ = 0;
            if (splitting_) {
                finishSplit(c);
            }
            beginSplit(c, s);
        }
        draw(c, bar);
        if (splitting_) {
            // The new bar slides in from one end.
            const Panel& p = panels_[target_];
            const float u = kit::smoothstep(0.0f, 11.0f, static_cast<float>(clock_));
            if (vertical_) {
                kit::fillRect(c, at_ - bar, p.y0, at_ + bar, p.y0 + (p.y1 - p.y0) * u,
                              kit::fromLevels(15, 15, 15));
            } else {
                kit::fillRect(c, p.x0, at_ - bar, p.x0 + (p.x1 - p.x0) * u, at_ + bar,
                              kit::fromLevels(15, 15, 15));
            }
        }
    }

  private:
    static constexpr int maxPanels = 64;

    void reset(const EffectContext& c) {
        const float n = static_cast<float>(c.n);
        count_ = 1;
        panels_[0] = {0.0f, 0.0f, n, n, kit::fromLevels(245, 240, 228), kit::fromLevels(245, 240, 228), 100};
        splitting_ = false;
        clock_ = 0;
        wipe_ = 0;
    }

    void beginSplit(EffectContext& c, float s) {
        int best = 0;
        float bestArea = -1.0f;
        for (int i = 0; i < count_; ++i) {
            const Panel& p = panels_[i];
            const float area = (p.x1 - p.x0) * (p.y1 - p.y0) * (0.6f + 0.8f * c.randomUnit());
            if (area > bestArea) {
                bestArea = area;
                best = i;
            }
        }
        const Panel& p = panels_[best];
        const float w = p.x1 - p.x0, h = p.y1 - p.y0;
        if (count_ >= maxPanels - 1 || (w < 18.0f * s && h < 18.0f * s) || count_ > 26) {
            wipe_ = 40;
            splitting_ = false;
            return;
        }
        target_ = best;
        vertical_ = w > h ? c.random() % 4 != 0 : c.random() % 4 == 0;
        if ((vertical_ ? w : h) < 14.0f * s) {
            vertical_ = !vertical_;
        }
        const float u = 0.3f + 0.4f * c.randomUnit();
        at_ = vertical_ ? p.x0 + w * u : p.y0 + h * u;
        splitting_ = true;
    }

    void finishSplit(EffectContext& c) {
        Panel& p = panels_[target_];
        Panel q = p;
        if (vertical_) {
            p.x1 = at_;
            q.x0 = at_;
        } else {
            p.y1 = at_;
            q.y0 = at_;
        }
        // One side takes a colour: mostly white, sometimes one of the three primaries.
        const kit::Rgb palette[5] = {kit::fromLevels(205, 30, 35), kit::fromLevels(25, 55, 160),
                                     kit::fromLevels(245, 200, 30), kit::fromLevels(245, 240, 228),
                                     kit::fromLevels(245, 240, 228)};
        Panel& coloured = c.random() % 2 ? p : q;
        repaint(coloured, palette[c.random(0, 4)]);
        panels_[count_++] = q;
        // The painter also changes their mind about one other panel: it takes a colour it does not have.
        if (count_ > 2) {
            Panel& other = panels_[c.random(0, count_ - 1)];
            if (other.age >= 20) {
                kit::Rgb fresh = palette[c.random(0, 4)];
                for (int tries = 0; tries < 4 && same(fresh, other.colour); ++tries) {
                    fresh = palette[c.random(0, 4)];
                }
                repaint(other, fresh);
            }
        }
        splitting_ = false;
    }

    static bool same(const kit::Rgb& a, const kit::Rgb& b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

    static void repaint(Panel& p, const kit::Rgb& colour) {
        p.from = kit::mix(p.from, p.colour, kit::smoothstep(0.0f, 20.0f, static_cast<float>(p.age)));
        p.colour = colour;
        p.age = 0;
    }

    void draw(const EffectContext& c, float bar) {
        for (int i = 0; i < count_; ++i) {
            Panel& p = panels_[i];
            if (p.age < 100) {
                ++p.age;
            }
            const float k = kit::smoothstep(0.0f, 20.0f, static_cast<float>(p.age));
            kit::fillRect(c, p.x0, p.y0, p.x1, p.y1, kit::mix(p.from, p.colour, k));
            const kit::Rgb bars = kit::fromLevels(15, 15, 15);
            kit::fillRect(c, p.x0 - bar, p.y0 - bar, p.x0 + bar, p.y1 + bar, bars);
            kit::fillRect(c, p.x1 - bar, p.y0 - bar, p.x1 + bar, p.y1 + bar, bars);
            kit::fillRect(c, p.x0 - bar, p.y0 - bar, p.x1 + bar, p.y0 + bar, bars);
            kit::fillRect(c, p.x0 - bar, p.y1 - bar, p.x1 + bar, p.y1 + bar, bars);
        }
    }

    Panel panels_[maxPanels] = {};
    int count_ = 0;
    int target_ = 0;
    bool vertical_ = false;
    bool splitting_ = false;
    float at_ = 0.0f;
    int clock_ = 0;
    int wipe_ = 0;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Divide);

} // namespace glowfield
