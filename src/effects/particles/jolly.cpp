// Jolly: a party. Confetti flakes flip as they flutter down (their width follows the cosine of a spin, darker
// on the back), and curly streamers unroll from the corners and are thrown again.
#include "effects/kit/kit.h"

namespace glowfield {

namespace {

struct Flake {
    float x, y, vy, sway, spin, rate, angle, size;
    kit::Rgb colour;
};

class Jolly : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::tameField(c);
        for (Flake& f : flakes_) {
            spawn(c, f);
            f.y = c.randomUnit() * static_cast<float>(c.n);
        }
        for (int k = 0; k < streamers; ++k) {
            streamerHue_[k] = c.randomUnit();
        }
    }

    void step(EffectContext& c) override {
        const float n = static_cast<float>(c.n);
        const float s = c.scale;
        const int time = static_cast<int>(c.framesSinceStart) + 1;
        const float t = static_cast<float>(time);
        kit::pullColours(c, kit::fromLevels(40, 20, 60), 0.4f);
        kit::scaleVelocities(c, 0.0f);

        // Streamers: a corner throws a curl every 300 frames, which unrolls then hangs and waves.
        for (int k = 0; k < streamers; ++k) {
            const int local = (time + k * 75) % 300;
            if (local == 0) {
                streamerHue_[k] = c.randomUnit();
            }
            const float length = n * 0.9f * kit::smoothstep(0.0f, 120.0f, static_cast<float>(local));
            const bool right = k % 2 == 1, bottom = k >= 2;
            const float ox = right ? n : 0.0f, oy = bottom ? n : 0.0f;
            const float dirA = (right ? kit::pi - 0.7f : 0.7f) * (bottom ? -1.0f : 1.0f);
            const float dx = fastCos(dirA), dy = fastSin(dirA);
            float lx = ox, ly = oy;
            const kit::Rgb colour = kit::hsv(streamerHue_[k], 0.8f, 1.0f);
            for (float u = 2.0f; u < length; u += 2.0f) {
                const float curl = 6.0f * s * fastSin(u * 0.12f / s - t * 0.15f) * (1.0f + u / n);
                const float x = ox + dx * u - dy * curl, y = oy + dy * u + dx * curl;
                const float twist = fastCos(u * 0.2f / s - t * 0.1f);
                kit::drawThickLine(c, lx, ly, x, y, (0.6f + 0.9f * (twist < 0.0f ? -twist : twist)) * s,
                                   kit::shade(colour, twist < 0.0f ? 0.65f : 1.0f));
                lx = x;
                ly = y;
            }
        }

        for (Flake& f : flakes_) {
            f.y += f.vy * s;
            f.x += 0.7f * s * fastSin(f.sway + t * 0.05f);
            f.spin += f.rate;
            f.angle += 0.01f;
            if (!(f.y < n + 6.0f && f.x > -10.0f && f.x < n + 10.0f)) {
                spawn(c, f);
                continue;
            }
            const float w = fastCos(f.spin);
            const float half = f.size * (w < 0.0f ? -w : w) + 0.4f;
            const float ca = fastCos(f.angle), sa = fastSin(f.angle);
            const float hl = f.size * 0.6f;
            const float xs[4] = {f.x - ca * half - sa * hl, f.x + ca * half - sa * hl,
                                 f.x + ca * half + sa * hl, f.x - ca * half + sa * hl};
            const float ys[4] = {f.y - sa * half + ca * hl, f.y + sa * half + ca * hl,
                                 f.y + sa * half - ca * hl, f.y - sa * half - ca * hl};
            const kit::Rgb face = w < 0.0f ? kit::shade(f.colour, 0.55f) : f.colour;
            kit::fillPolygon(c, xs, ys, 4, face);
            if (w > 0.9f) { // a glint as it faces the light
                kit::paint(c, kit::roundCell(f.x), kit::roundCell(f.y), kit::white);
            }
        }
    }

  private:
    static constexpr int flakeCount = 260;
    static constexpr int streamers = 4;

    static void spawn(EffectContext& c, Flake& f) {
        const float n = static_cast<float>(c.n);
        f.x = c.randomUnit() * n;
        f.y = -4.0f;
        f.vy = 0.4f + 0.5f * c.randomUnit();
        f.sway = c.randomUnit() * kit::twoPi;
        f.spin = c.randomUnit() * kit::twoPi;
        f.rate = 0.08f + 0.15f * c.randomUnit();
        f.angle = c.randomUnit() * kit::pi;
        f.size = (1.6f + 1.4f * c.randomUnit()) * n / 200.0f;
        const int pick = c.random(0, 5);
        const kit::Rgb palette[6] = {kit::fromLevels(255, 60, 80),   kit::fromLevels(255, 210, 40),
                                     kit::fromLevels(60, 200, 255),  kit::fromLevels(120, 255, 100),
                                     kit::fromLevels(255, 120, 230), kit::fromLevels(255, 255, 255)};
        f.colour = palette[pick];
    }

    Flake flakes_[flakeCount] = {};
    float streamerHue_[streamers] = {};
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Jolly);

} // namespace glowfield
