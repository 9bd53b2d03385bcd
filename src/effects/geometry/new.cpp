// new: a fresh rosette every time. At its start the entry picks a symmetry order, a motif and a palette;
// rings of that motif grow out from the centre and turn, and every five seconds a new ring is born with a
// mutated motif, so even one visit keeps evolving.
#include "effects/kit/kit.h"

namespace glowfield {

namespace {

struct Ring {
    int motif;  // 0 petal, 1 spoke, 2 dot ring, 3 diamond
    int order;  // copies round the circle
    float born; // frame of birth
    float hue;
    float spin; // turn per frame
    bool live;
};

class New : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::tameField(c);
        order_ = c.random(3, 12);
        motif_ = c.random(0, 3);
        hue_ = c.randomUnit();
        for (Ring& r : rings_) {
            r.live = false;
        }
        time_ = 0;
        // A few rings already on their way, so the first frames are not empty.
        for (int k = 0; k < 4; ++k) {
            birth(c, -static_cast<float>(k) * 120.0f);
        }
    }

    void step(EffectContext& c) override {
        const float n = static_cast<float>(c.n);
        const float s = c.scale;
        ++time_;
        const float t = static_cast<float>(time_);
        kit::pullColours(c, kit::shade(kit::hsv(hue_ + 0.5f, 0.6f, 0.25f), 1.0f), 0.3f);
        kit::scaleVelocities(c, 0.0f);
        if (time_ % 120 == 0) {
            birth(c, t);
        }
        const float cx = n * 0.5f, cy = n * 0.5f;
        for (const Ring& r : rings_) {
            if (!r.live) {
                continue;
            }
            const float age = t - r.born;
            const float radius = age * 0.16f * s;
            const float size = (4.0f + radius * 0.22f) * kit::smoothstep(0.0f, 30.0f, age);
            const float turn = age * r.spin;
            const kit::Rgb colour = kit::hsv(r.hue, 0.75f, 1.0f), edge = kit::hsv(r.hue + 0.08f, 0.9f, 0.5f);
            for (int k = 0; k < r.order; ++k) {
                const float a = turn + kit::twoPi * static_cast<float>(k) / static_cast<float>(r.order);
                const float ca = fastCos(a), sa = fastSin(a);
                const float px = cx + radius * ca, py = cy + radius * sa;
                switch (r.motif) {
                case 0: { // a petal pointing outwards
                    float xs[12], ys[12];
                    for (int i = 0; i < 12; ++i) {
                        const float u = kit::twoPi * static_cast<float>(i) / 12.0f;
                        const float along = size * fastCos(u), across = size * 0.42f * fastSin(u);
                        xs[i] = px + along * ca - across * sa;
                        ys[i] = py + along * sa + across * ca;
                    }
                    kit::fillPolygon(c, xs, ys, 12, colour);
                    kit::drawPolygon(c, xs, ys, 12, edge);
                    break;
                }
                case 1: // a spoke with a bead at its end
                    kit::drawThickLine(c, px - ca * size, py - sa * size, px + ca * size, py + sa * size,
                                       0.9f * s, colour);
                    kit::fillDisc(c, px + ca * size, py + sa * size, size * 0.3f, edge);
                    break;
                case 2: // dots in a little arc
                    for (int i = -1; i <= 1; ++i) {
                        const float b = a + static_cast<float>(i) * 0.5f / static_cast<float>(r.order);
                        kit::fillDisc(c, cx + radius * fastCos(b), cy + radius * fastSin(b),
                                      size * (i == 0 ? 0.45f : 0.28f), i == 0 ? colour : edge);
                    }
                    break;
                default: { // a diamond
                    const float xs[4] = {px - ca * size, px - sa * size * 0.5f, px + ca * size,
                                         px + sa * size * 0.5f};
                    const float ys[4] = {py - sa * size, py + ca * size * 0.5f, py + sa * size,
                                         py - ca * size * 0.5f};
                    kit::fillPolygon(c, xs, ys, 4, colour);
                    kit::drawPolygon(c, xs, ys, 4, edge);
                    break;
                }
                }
            }
        }
        // The heart of the rosette.
        kit::fillDisc(c, cx, cy, 5.0f * s, kit::hsv(hue_ + 0.15f, 0.6f, 1.0f));
        kit::drawRing(c, cx, cy, 5.0f * s, 1.2f, kit::hsv(hue_ + 0.15f, 0.9f, 0.5f));
    }

  private:
    static constexpr int maxRings = 12;

    void birth(EffectContext& c, float when) {
        // Mutate: the motif sometimes changes, the order sometimes doubles or halves, the hue drifts.
        if (c.random() % 2 == 0) {
            motif_ = (motif_ + c.random(1, 3)) % 4;
        }
        int order = order_;
        const int roll = c.random(0, 3);
        if (roll == 0 && order * 2 <= 24) {
            order *= 2;
        } else if (roll == 1 && order % 2 == 0 && order >= 6) {
            order /= 2;
        }
        hue_ += 0.07f + 0.1f * c.randomUnit();
        for (Ring& r : rings_) {
            if (!r.live || static_cast<float>(time_) - r.born > 900.0f) {
                r = {motif_,
                     order,
                     when,
                     hue_,
                     (c.random() % 2 ? 1.0f : -1.0f) * (0.004f + 0.006f * c.randomUnit()),
                     true};
                return;
            }
        }
    }

    Ring rings_[maxRings] = {};
    int order_ = 6;
    int motif_ = 0;
    float hue_ = 0.0f;
    int time_ = 0;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(New);

} // namespace glowfield
