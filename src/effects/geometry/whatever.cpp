// Whatever: a shrug of an effect. Every few frames a random small gesture starts somewhere and plays out over
// a second or so (a line drawn out, a ring spreading, a tap on the water, a band of rows sliding, a wash of
// colour, a spray of sparks), building an ever-changing collage.
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Whatever : public Effect {
  public:
    void start(EffectContext& c) override {
        // Leftovers of an earlier entry are brought into range once, so blends never carry NaN along.
        kit::tameField(c);
        row_.assign(static_cast<size_t>(c.n) * 6, 0.0f);
        for (Gesture& g : gestures_) {
            g.life = 0;
        }
        for (int i = 0; i < 6; ++i) {
            begin(c);
        }
    }

    void step(EffectContext& c) override {
        // A dusk-blue ground under the collage, so old gestures sink into dark rather than grey; ripples are
        // calmed quickly so the shapes keep their edges.
        kit::pullColours(c, kit::fromLevels(20, 25, 45), 0.045f);
        kit::scaleVelocities(c, 0.7f);
        if (c.frame % 3u == 0u) {
            begin(c);
        }
        for (Gesture& g : gestures_) {
            if (g.life > 0 && g.age < g.life) {
                play(c, g);
                ++g.age;
            }
        }
    }

  private:
    struct Gesture {
        int kind, age, life;
        float x, y, angle, size;
        kit::Rgb colour;
    };

    void begin(EffectContext& c) {
        for (Gesture& g : gestures_) {
            if (g.life > 0 && g.age < g.life) {
                continue;
            }
            const float n = static_cast<float>(c.n);
            g.kind = c.random(0, 5);
            g.age = 0;
            g.life = c.random(20, 60);
            g.x = c.randomUnit() * n;
            g.y = c.randomUnit() * n;
            g.angle = c.randomUnit() * kit::twoPi;
            g.size = 14.0f + c.randomUnit() * 36.0f;
            g.colour = kit::hsv(c.randomUnit(), 0.6f + c.randomUnit() * 0.4f, 0.8f + c.randomUnit() * 0.2f);
            return;
        }
    }

    void play(EffectContext& c, const Gesture& g) {
        const float p = static_cast<float>(g.age + 1) / static_cast<float>(g.life);
        switch (g.kind) {
        case 0: {
            // A stroke drawn out from its start.
            const float len = g.size * 1.6f * p;
            kit::drawThickLine(c, g.x, g.y, g.x + fastCos(g.angle) * len, g.y + fastSin(g.angle) * len, 2.2f,
                               g.colour);
            break;
        }
        case 1:
            // A ring that spreads and thins.
            kit::drawRing(c, g.x, g.y, g.size * p, 1.5f + 3.0f * (1.0f - p), g.colour);
            break;
        case 2:
            // A tap on the water: a pulse at the start, and a dot where it landed.
            if (g.age == 0) {
                kit::balancedPush(c, g.x, g.y, 4.0f, (g.angle < kit::pi ? 1.0f : -1.0f) * 30.0f);
            }
            kit::fillDisc(c, g.x, g.y, 2.0f, g.colour);
            break;
        case 3: {
            // A band of rows slides one cell a frame, wrapping round; the velocities slide with the colours,
            // or the wave step would pump the band into a growing checkerboard.
            const int y0 = kit::clampCell(c, kit::toCell(g.y));
            const int h = 3 + kit::toCell(g.size * 0.25f);
            const int shift = g.angle < kit::pi ? 1 : c.n - 1;
            float* planes[6] = {c.planes.red,         c.planes.green,         c.planes.blue,
                                c.planes.redVelocity, c.planes.greenVelocity, c.planes.blueVelocity};
            for (int yy = y0; yy < y0 + h && yy < c.n; ++yy) {
                for (int p3 = 0; p3 < 6; ++p3) {
                    float* row = &row_[static_cast<size_t>(p3) * c.n];
                    for (int xx = 0; xx < c.n; ++xx) {
                        row[xx] = planes[p3][cellAt(xx, yy)];
                    }
                    for (int xx = 0; xx < c.n; ++xx) {
                        planes[p3][cellAt(kit::wrap(xx + shift, c.n), yy)] = row[xx];
                    }
                }
            }
            break;
        }
        case 4:
            // A wash of colour soaking in.
            kit::softDisc(c, g.x, g.y, g.size, g.colour, 0.2f, kit::Blend::set);
            break;
        default:
            // Sparks flying out from a point.
            for (int i = 0; i < 10; ++i) {
                const float a = g.angle + i * 0.628f, r = g.size * p * (0.6f + 0.4f * fastSin(i * 2.3f));
                kit::fillDisc(c, g.x + fastCos(a) * r, g.y + fastSin(a) * r, 1.2f,
                              kit::mix(g.colour, kit::white, 0.6f));
            }
            break;
        }
    }

    Gesture gestures_[24]{};
    std::vector<float> row_;
};

} // namespace

std::unique_ptr<Effect> makeWhatever() {
    return std::make_unique<Whatever>();
}

} // namespace glowfield
