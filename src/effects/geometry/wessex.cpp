// Wessex: rolling downland. Layers of green hills scroll sideways at parallax speeds, patchworked into fields
// by dark hedgerows, with a white chalk horse cut into one slope and clouds drifting over.
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Wessex : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::tameField(c);
        ridge_.assign(static_cast<size_t>(c.n) * layers, 0.0f);
    }

    void step(EffectContext& c) override {
        const int n = c.n;
        const float nf = static_cast<float>(n);
        const float s = c.scale;
        const int time = static_cast<int>(c.framesSinceStart) + 1;
        const float t = static_cast<float>(time);
        kit::scaleVelocities(c, 0.0f);

        // Each layer's skyline from sums of sines in its own scrolled coordinate; nearer layers move faster.
        for (int l = 0; l < layers; ++l) {
            const float speed = 0.08f + 0.22f * static_cast<float>(l);
            const float base = nf * (0.42f + 0.14f * static_cast<float>(l));
            for (int x = 0; x < n; ++x) {
                const float u = (static_cast<float>(x) + t * speed) / s;
                const float fl = static_cast<float>(l);
                const float h = 14.0f * fastSin(u * 0.011f + fl * 1.3f) +
                                8.0f * fastSin(u * 0.027f + fl * 2.1f) + 3.0f * fastSin(u * 0.063f + fl);
                ridge_[static_cast<size_t>(l * n + x)] = base - h * s;
            }
        }
        Look looks[layers];
        for (int l = 0; l < layers; ++l) {
            looks[l] = look(l, t, s);
        }
        for (int x = 0; x < n; ++x) {
            const kit::Column col = kit::column(c, x);
            for (int y = 0; y < n; ++y) {
                const float fy = static_cast<float>(y);
                int layer = -1;
                for (int l = layers - 1; l >= 0; --l) {
                    if (fy >= ridge_[static_cast<size_t>(l * n + x)]) {
                        layer = l;
                        break;
                    }
                }
                kit::Rgb colour;
                if (layer < 0) {
                    const float k = fy / nf;
                    colour = kit::fromLevels(120 + truncToInt(100.0f * k), 170 + truncToInt(60.0f * k), 235);
                } else {
                    colour = field(looks[layer], layer, x, fy - ridge_[static_cast<size_t>(layer * n + x)]);
                }
                col.set(y, colour);
            }
        }

        // The chalk horse rides on the second layer's slope, scrolling with it.
        const int horseLayer = 1;
        const float speed = 0.08f + 0.22f * static_cast<float>(horseLayer);
        const float span = nf * 2.2f;
        float hx =
            nf * 1.3f - kit::wrap(kit::toCell(t * speed), kit::toCell(span) > 0 ? kit::toCell(span) : 1);
        const int col = kit::clampCell(c, kit::toCell(hx));
        const float hy = ridge_[static_cast<size_t>(horseLayer * n + col)] + 10.0f * s;
        drawHorse(c, hx, hy, s);

        // Clouds.
        for (int k = 0; k < 4; ++k) {
            const float span2 = nf + 60.0f * s;
            const float cx =
                static_cast<float>(kit::wrap(kit::toCell(t * (0.15f + 0.05f * static_cast<float>(k)) +
                                                         static_cast<float>(k) * 71.0f * s),
                                             kit::toCell(span2))) -
                30.0f * s;
            const float cy = nf * (0.08f + 0.07f * static_cast<float>(k % 3));
            for (int p = 0; p < 4; ++p) {
                kit::softDisc(c, cx + static_cast<float>(p - 2) * 6.0f * s, cy + (p % 2 ? -2.0f : 1.0f) * s,
                              (8.0f + 2.0f * static_cast<float>(p % 2)) * s, {70.0f, 70.0f, 70.0f}, 1.2f);
            }
        }
    }

  private:
    static constexpr int layers = 4;

    // Patchwork: fields in world coordinates of the layer, alternating greens and wheat, with hedges between;
    // distant layers paler and bluer. Everything but the cell's own position is worked out once per frame.
    struct Look {
        float shift, invS, slant, invWidth, invHeight;
        kit::Rgb hedge;
        kit::Rgb crops[5];
    };

    static Look look(int layer, float t, float s) {
        const float fl = static_cast<float>(layer);
        const float fade = 0.55f + 0.15f * fl;
        const kit::Rgb palette[5] = {kit::fromLevels(90, 170, 60), kit::fromLevels(120, 190, 70),
                                     kit::fromLevels(215, 195, 100), kit::fromLevels(70, 140, 55),
                                     kit::fromLevels(160, 180, 80)};
        const kit::Rgb haze = kit::fromLevels(170, 200, 220);
        Look l{};
        l.shift = t * (0.08f + 0.22f * fl);
        l.invS = 1.0f / s;
        l.slant = 0.8f - 0.3f * fl;
        l.invWidth = 1.0f / (26.0f + 8.0f * fl);
        l.invHeight = 1.0f / (9.0f + 5.0f * fl);
        l.hedge = kit::shade(kit::fromLevels(30, 70, 25), fade);
        for (int k = 0; k < 5; ++k) {
            l.crops[k] = kit::mix(haze, palette[k], fade);
        }
        return l;
    }

    static kit::Rgb field(const Look& l, int layer, int x, float depth) {
        const float u = (static_cast<float>(x) + l.shift) * l.invS;
        const float v = depth * l.invS;
        const float across = (u + v * l.slant) * l.invWidth, down = v * l.invHeight;
        const int fieldU = kit::toCell(across), fieldV = kit::toCell(down);
        const float fu = across - static_cast<float>(fieldU), fv = down - static_cast<float>(fieldV);
        if (v < 1.2f || fu < 0.06f || fv < 0.1f) {
            return l.hedge;
        }
        return l.crops[kit::wrap(fieldU * 7 + fieldV * 3 + layer, 5)];
    }

    // A stylised galloping horse of thick white strokes.
    static void drawHorse(const EffectContext& c, float x, float y, float s) {
        const kit::Rgb chalk = kit::fromLevels(245, 245, 235);
        const float k = 2.0f * s;
        const float pts[][4] = {{-10, 0, 8, -1},    {8, -1, 13, -7}, {13, -7, 17, -5}, {-10, 0, -16, 6},
                                {-8, 1, -12, 9},    {-6, 1, -3, 9},  {5, 0, 9, 8},     {7, 0, 3, 8},
                                {-10, -1, -15, -2}, {11, -6, 12, -9}};
        for (const auto& p : pts) {
            kit::drawThickLine(c, x + p[0] * k, y + p[1] * k, x + p[2] * k, y + p[3] * k, 1.3f * s, chalk);
        }
        kit::drawThickLine(c, x - 8.0f * k, y - 1.0f * k, x + 6.0f * k, y - 1.0f * k, 3.0f * s, chalk);
    }

    std::vector<float> ridge_;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Wessex);

} // namespace glowfield
