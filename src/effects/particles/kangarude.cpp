// Kangarude: stick-figure kangaroos with long tails bound along the ground in high arcs, leapfrogging each
// other; every landing thumps a dent into the ground that ripples outwards. A new hopper enters on the left
// whenever one leaves on the right.
#include "effects/kit/kit.h"

namespace glowfield {

namespace {

struct Hopper {
    float x;      // feet position along the ground
    float stride; // cells per hop
    float height; // peak of the hop
    float phase;  // 0..1 through the current hop
    float rate;   // phase per frame
    float size;
};

class Kangarude : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::tameField(c);
        for (int i = 0; i < hoppers; ++i) {
            enter(c, hoppers_[i]);
            hoppers_[i].x = static_cast<float>(c.n) * (0.1f + 0.22f * static_cast<float>(i));
        }
    }

    void step(EffectContext& c) override {
        const int n = c.n;
        const float nf = static_cast<float>(n);
        const float s = c.scale;
        const int time = static_cast<int>(c.framesSinceStart) + 1;
        const float ground = nf * 0.78f;
        kit::scaleVelocities(c, 0.985f);
        for (int y = 0; y < n; ++y) {
            rowStripe_[y] = fastSin(static_cast<float>(y) * 0.9f); // furrows in the earth
        }
        // Outback sky over red earth; the earth is only nudged back, so the landing dents ripple through it.
        for (int x = 0; x < n; ++x) {
            const kit::Column col = kit::column(c, x);
            for (int y = 0; y < n; ++y) {
                const float fy = static_cast<float>(y);
                if (fy < ground) {
                    const float k = fy / ground;
                    col.blend(y,
                              kit::fromLevels(250 - truncToInt(30.0f * k), 140 + truncToInt(60.0f * k),
                                              60 + truncToInt(80.0f * (1.0f - k))),
                              0.35f);
                } else {
                    const float stripe = rowStripe_[y];
                    col.blend(y, kit::fromLevels(160 + truncToInt(20.0f * stripe), 70, 35),
                              time < 40 ? 0.15f : 0.04f);
                }
            }
        }
        // A sun low in the sky.
        kit::fillDisc(c, nf * 0.8f, nf * 0.3f, nf * 0.08f, kit::fromLevels(255, 235, 170));
        kit::drawLine(c, 0.0f, ground, nf, ground, kit::fromLevels(90, 40, 20));

        for (Hopper& h : hoppers_) {
            const float before = h.phase;
            h.phase += h.rate;
            float y = ground;
            float lean = 0.0f;
            if (h.phase < 0.7f) {
                // In the air: a parabola over 70% of the cycle.
                const float u = h.phase / 0.7f;
                h.x += h.stride / 0.7f * h.rate;
                y = ground - 4.0f * h.height * u * (1.0f - u);
                lean = 0.6f - u * 0.9f;
            } else {
                lean = -0.3f;
                if (before < 0.7f) {
                    kit::balancedPush(c, h.x, ground + 3.0f * s, 7.0f * s, -25.0f);
                }
            }
            if (h.phase >= 1.0f) {
                h.phase -= 1.0f;
            }
            if (h.x > nf + 25.0f * s) {
                enter(c, h);
            }
            drawHopper(c, h, y, lean, h.phase);
        }
    }

  private:
    static constexpr int hoppers = 4;

    static void enter(EffectContext& c, Hopper& h) {
        const float s = c.scale;
        h.x = -25.0f * s;
        h.size = (0.8f + 0.4f * c.randomUnit()) * s;
        h.stride = (22.0f + 18.0f * c.randomUnit()) * s;
        h.height = (18.0f + 22.0f * c.randomUnit()) * s;
        h.phase = c.randomUnit();
        h.rate = 0.018f + 0.012f * c.randomUnit();
    }

    // A kangaroo facing right, feet at (x, y): big feet, bent legs, a leaning body, a small head with ears,
    // and a thick tail that swings with the hop.
    static void drawHopper(const EffectContext& c, const Hopper& h, float y, float lean, float phase) {
        const float k = h.size;
        const kit::Rgb fur = kit::fromLevels(120, 55, 25), dark = kit::fromLevels(60, 25, 10);
        const float ca = fastCos(lean), sa = fastSin(lean);
        auto px = [&](float u, float v) { return h.x + (u * ca - v * sa) * k; };
        auto py = [&](float u, float v) { return y + (u * sa + v * ca) * k; };
        const float tuck = phase < 0.7f ? fastSin(phase / 0.7f * kit::pi) : 0.0f;
        // Feet and legs.
        kit::drawThickLine(c, px(-2, 0), py(-2, 0), px(7, 0), py(7, 0), 1.2f * k, dark);
        kit::drawThickLine(c, px(-2, 0), py(-2, 0), px(4 - 4 * tuck, -7), py(4 - 4 * tuck, -7), 1.5f * k,
                           fur);
        kit::drawThickLine(c, px(4 - 4 * tuck, -7), py(4 - 4 * tuck, -7), px(-1, -13), py(-1, -13), 2.4f * k,
                           fur);
        // Body up to the shoulders, and the tail down behind.
        kit::drawThickLine(c, px(-1, -13), py(-1, -13), px(5, -25), py(5, -25), 3.2f * k, fur);
        kit::drawThickLine(c, px(-2, -12), py(-2, -12), px(-18, -4 + 6 * tuck), py(-18, -4 + 6 * tuck),
                           1.6f * k, fur);
        kit::drawThickLine(c, px(-18, -4 + 6 * tuck), py(-18, -4 + 6 * tuck), px(-24, 0 + 8 * tuck),
                           py(-24, 0 + 8 * tuck), 0.9f * k, fur);
        // Arms, neck, head, ears, eye.
        kit::drawThickLine(c, px(5, -21), py(5, -21), px(9, -17), py(9, -17), 0.7f * k, dark);
        kit::drawThickLine(c, px(5, -25), py(5, -25), px(8, -30), py(8, -30), 1.6f * k, fur);
        kit::drawThickLine(c, px(8, -30), py(8, -30), px(13, -29), py(13, -29), 1.9f * k, fur);
        kit::drawThickLine(c, px(7, -31), py(7, -31), px(5, -37), py(5, -37), 0.8f * k, dark);
        kit::drawThickLine(c, px(9, -31), py(9, -31), px(8, -37), py(8, -37), 0.8f * k, dark);
        kit::paint(c, kit::roundCell(px(10, -31)), kit::roundCell(py(10, -31)), kit::black);
    }

    Hopper hoppers_[hoppers] = {};
    float rowStripe_[planeStride] = {};
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Kangarude);

} // namespace glowfield
