// Y Do Birds: a tree in which every branch forks in a Y grows and sways in the wind; small birds fly in, land
// on the branch tips and hop about, and all take off together when a gust shakes the tree hard.
#include "effects/kit/kit.h"

namespace glowfield {

namespace {

struct Bird {
    float x, y;
    int tip;      // the tip it sits on or flies to
    int state;    // 0 away, 1 flying in, 2 perched, 3 fleeing
    float vx, vy; // while fleeing
    int wait;
};

class YDoBirds : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::tameField(c);
        const float n = static_cast<float>(c.n);
        for (Bird& b : birds_) {
            b.state = 0;
            b.wait = c.random(0, 200);
            b.x = -10.0f;
            b.y = n * 0.2f;
        }
        growth_ = 0.0f;
    }

    void step(EffectContext& c) override {
        const float n = static_cast<float>(c.n);
        const float s = c.scale;
        const int time = static_cast<int>(c.framesSinceStart) + 1;
        const float t = static_cast<float>(time);
        kit::scaleVelocities(c, 0.0f);
        for (int x = 0; x < c.n; ++x) {
            const kit::Column col = kit::column(c, x);
            for (int y = 0; y < c.n; ++y) {
                const float k = static_cast<float>(y) / n;
                col.blend(y, kit::fromLevels(110 + truncToInt(110.0f * k), 160 + truncToInt(70.0f * k), 230),
                          0.5f);
            }
        }
        kit::fillRect(c, 0.0f, n * 0.92f, n, n, kit::fromLevels(70, 120, 50));

        // Wind: a calm breeze with a strong gust every so often.
        const float gustPhase = static_cast<float>(time % 600) / 600.0f;
        const float gust = gustPhase > 0.8f ? fastSin((gustPhase - 0.8f) * 5.0f * kit::pi) : 0.0f;
        const float sway = 0.05f * fastSin(t * 0.04f) + 0.22f * gust * fastSin(t * 0.25f);
        growth_ = growth_ < 1.0f ? growth_ + 0.01f : 1.0f;

        tips_ = 0;
        branch(c, n * 0.5f, n * 0.92f, -kit::pi * 0.5f, n * 0.24f * (0.4f + 0.6f * growth_), depth, sway, s);

        const bool scare = gust > 0.6f;
        for (Bird& b : birds_) {
            switch (b.state) {
            case 0:
                if (--b.wait <= 0 && !scare && tips_ > 0) {
                    b.state = 1;
                    b.tip = c.random(0, tips_ - 1);
                    b.x = c.random() % 2 ? -5.0f : n + 5.0f;
                    b.y = n * (0.05f + 0.3f * c.randomUnit());
                }
                break;
            case 1: {
                const float tx = tipX_[b.tip % (tips_ > 0 ? tips_ : 1)],
                            ty = tipY_[b.tip % (tips_ > 0 ? tips_ : 1)] - 1.5f * s;
                b.x += (tx - b.x) * 0.05f;
                b.y += (ty - b.y) * 0.05f;
                if ((tx - b.x) * (tx - b.x) + (ty - b.y) * (ty - b.y) < 2.0f * s * s) {
                    b.state = 2;
                    b.wait = c.random(40, 160);
                }
                if (scare) {
                    flee(c, b, s);
                }
                break;
            }
            case 2:
                if (tips_ > 0) {
                    b.x = tipX_[b.tip % tips_];
                    b.y = tipY_[b.tip % tips_] - 1.5f * s;
                }
                if (--b.wait <= 0) { // hop to a neighbouring tip
                    b.tip = kit::wrap(b.tip + (c.random() % 2 ? 1 : -1), tips_ > 0 ? tips_ : 1);
                    b.state = 1;
                }
                if (scare) {
                    flee(c, b, s);
                }
                break;
            default:
                b.x += b.vx;
                b.y += b.vy;
                b.vy -= 0.02f * s;
                if (!(b.x > -20.0f && b.x < n + 20.0f && b.y > -20.0f)) {
                    b.state = 0;
                    b.wait = c.random(60, 200);
                }
                break;
            }
            if (b.state != 0) {
                const bool flying = b.state != 2;
                const float flap = flying ? 2.0f * s * fastSin(t * 0.6f + b.x) : 0.8f * s;
                const kit::Rgb ink = kit::fromLevels(30, 30, 40);
                kit::drawLine(c, b.x - 3.0f * s, b.y - flap, b.x, b.y, ink);
                kit::drawLine(c, b.x, b.y, b.x + 3.0f * s, b.y - flap, ink);
                kit::paint(c, kit::roundCell(b.x), kit::roundCell(b.y + 1.0f), ink);
            }
        }
    }

  private:
    static constexpr int depth = 7;
    static constexpr int maxTips = 1 << depth;
    static constexpr int flock = 16;

    static void flee(EffectContext& c, Bird& b, float s) {
        b.state = 3;
        const float a = -kit::pi * (0.15f + 0.7f * c.randomUnit());
        b.vx = 2.2f * s * fastCos(a);
        b.vy = 2.2f * s * fastSin(a);
    }

    // A Y: each branch splits into two, bent by the sway more towards the thin outer twigs.
    void branch(const EffectContext& c, float x, float y, float angle, float length, int level, float sway,
                float s) {
        const float bend = sway * static_cast<float>(depth + 1 - level) * 0.5f;
        const float a = angle + bend;
        const float ex = x + length * fastCos(a), ey = y + length * fastSin(a);
        const float width = (0.4f + 0.5f * static_cast<float>(level)) * s;
        kit::drawThickLine(c, x, y, ex, ey, width, kit::fromLevels(80 + level * 6, 55 + level * 4, 30));
        if (level <= 1) {
            kit::fillDisc(c, ex, ey, 2.0f * s, kit::fromLevels(90, 170, 70));
            if (tips_ < maxTips) {
                tipX_[tips_] = ex;
                tipY_[tips_] = ey;
                ++tips_;
            }
            return;
        }
        const float spread = 0.42f + 0.06f * fastSin(static_cast<float>(level) * 1.7f);
        branch(c, ex, ey, a - spread, length * 0.74f, level - 1, sway, s);
        branch(c, ex, ey, a + spread, length * 0.74f, level - 1, sway, s);
    }

    Bird birds_[flock] = {};
    float tipX_[maxTips] = {}, tipY_[maxTips] = {};
    int tips_ = 0;
    float growth_ = 0.0f;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(YDoBirds);

} // namespace glowfield
