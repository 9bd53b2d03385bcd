// Gravity: a binary star and its planets. Two suns whirl round each other at the centre while forty-odd
// planets in ice, gold and rose swing round them on arcs with short fading tails; close passes sling them
// out, and those lost are sent back in from the rim. Faint stars twinkle far behind.
#include <cmath>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

constexpr int planetCount = 44;
constexpr float sunPull = 45.0f;      // G * M of each sun, in cells^3 / frame^2 on a 200-cell grid
constexpr float binaryRadius = 15.0f; // each sun's distance from the centre
constexpr int subSteps = 3;

class Gravity : public Effect {
  public:
    void start(EffectContext& c) override {
        const float n = static_cast<float>(c.n);
        for (Star& star : stars_) {
            star = {c.randomUnit() * n, c.randomUnit() * n, c.randomUnit() * kit::twoPi};
        }
        for (int i = 0; i < planetCount; ++i) {
            launch(c, i);
        }
    }

    void step(EffectContext& c) override {
        const uint32_t age = c.framesSinceStart + 1;
        const float n = static_cast<float>(c.n);
        const float s = c.scale;
        // A deep-blue sky with a violet floor; the quick pull gives the planets tails a few frames long.
        kit::settleGradient(c, kit::fromLevels(12, 18, 56), kit::fromLevels(42, 20, 62), 0.1f, 0.0f);
        kit::scaleVelocities(c, 0.0f);
        // Faint far stars, twinkling slowly.
        for (const Star& star : stars_) {
            const float k = 0.5f + 0.5f * fastSin(static_cast<float>(age % 100000u) * 0.04f + star.phase);
            kit::paint(c, kit::toCell(star.x), kit::toCell(star.y),
                       kit::shade(kit::fromLevels(200, 210, 255), 0.35f + 0.35f * k), kit::Blend::max);
        }

        float sx[2], sy[2];
        const float now = static_cast<float>(age % 1000000u);
        suns(c, now, sx, sy);
        const float pull = sunPull * s * s * s;
        const float h = 1.0f / subSteps;
        for (int i = 0; i < planetCount; ++i) {
            Planet& p = planets_[i];
            const float ox = p.x, oy = p.y;
            bool swallowed = false;
            for (int k = 0; k < subSteps; ++k) {
                float tx[2], ty[2];
                suns(c, now - 1.0f + h * static_cast<float>(k + 1), tx, ty);
                float ax = 0.0f, ay = 0.0f;
                for (int b = 0; b < 2; ++b) {
                    const float dx = tx[b] - p.x, dy = ty[b] - p.y;
                    const float d2 = dx * dx + dy * dy + 4.0f * s * s;
                    swallowed = swallowed || d2 < 12.0f * s * s;
                    const float inv = pull / (d2 * std::sqrt(d2));
                    ax += dx * inv;
                    ay += dy * inv;
                }
                p.vx += ax * h;
                p.vy += ay * h;
                // A planet flung very fast is reined in, so it cannot jump across the screen in one frame.
                const float v2 = p.vx * p.vx + p.vy * p.vy;
                if (v2 > 9.0f * s * s) {
                    p.vx *= 0.9f;
                    p.vy *= 0.9f;
                }
                p.x += p.vx * h;
                p.y += p.vy * h;
            }
            const float rx = p.x - n * 0.5f, ry = p.y - n * 0.5f;
            if (swallowed || !(rx * rx + ry * ry < n * n * 0.64f)) {
                launch(c, i);
                continue;
            }
            const kit::Rgb tail = palette(p.colour);
            kit::drawLine(c, ox, oy, p.x, p.y, tail, kit::Blend::max);
            kit::fillDisc(c, p.x, p.y, p.size * s, kit::mix(tail, kit::white, 0.35f), kit::Blend::max);
        }

        // The suns: a warm one and a blue-white one, each in a wide glow that breathes slowly.
        const float breathe = 1.0f + 0.08f * fastSin(now * 0.05f);
        const kit::Rgb glow[2] = {kit::fromLevels(255, 170, 70), kit::fromLevels(120, 170, 255)};
        const kit::Rgb core[2] = {kit::fromLevels(255, 245, 200), kit::fromLevels(225, 240, 255)};
        for (int b = 0; b < 2; ++b) {
            kit::softDisc(c, sx[b], sy[b], 26.0f * s * breathe,
                          {glow[b].r * 0.5f + 60.0f, glow[b].g * 0.5f + 60.0f, glow[b].b * 0.5f + 60.0f},
                          0.55f);
            kit::fillDisc(c, sx[b], sy[b], 4.5f * s, core[b], kit::Blend::max);
        }
    }

  private:
    struct Star {
        float x = 0.0f, y = 0.0f, phase = 0.0f;
    };
    struct Planet {
        float x = 0.0f, y = 0.0f, vx = 0.0f, vy = 0.0f, size = 1.0f;
        int colour = 0;
    };

    // The binary: both suns on one circle about the centre, opposite each other, a turn every 2.2 s.
    static void suns(const EffectContext& c, float t, float* xs, float* ys) {
        const float n = static_cast<float>(c.n), s = c.scale;
        const float a = t * 0.057f;
        const float r = binaryRadius * s;
        xs[0] = n * 0.5f + r * fastCos(a);
        ys[0] = n * 0.5f + r * fastSin(a);
        xs[1] = n * 0.5f - r * fastCos(a);
        ys[1] = n * 0.5f - r * fastSin(a);
    }

    // Ice, gold and rose: three colours only, so the arcs read as families of orbits.
    static kit::Rgb palette(int k) {
        switch (k) {
        case 0:
            return kit::fromLevels(140, 215, 255);
        case 1:
            return kit::fromLevels(255, 205, 90);
        default:
            return kit::fromLevels(255, 120, 165);
        }
    }

    // A planet on a near-circular orbit round the pair, most of them the pair's way round.
    void launch(EffectContext& c, int i) {
        const float n = static_cast<float>(c.n), s = c.scale;
        Planet& p = planets_[i];
        const float a = c.randomUnit() * kit::twoPi;
        const float r = s * (32.0f + 62.0f * c.randomUnit());
        p.x = n * 0.5f + r * fastCos(a);
        p.y = n * 0.5f + r * fastSin(a);
        const float v = std::sqrt(2.0f * sunPull * s * s * s / r) * (0.85f + 0.3f * c.randomUnit());
        const float way = c.random(0, 5) == 0 ? -1.0f : 1.0f;
        p.vx = -way * v * fastSin(a);
        p.vy = way * v * fastCos(a);
        p.colour = c.random(0, 2);
        p.size = 1.0f + 0.8f * c.randomUnit();
    }

    Planet planets_[planetCount];
    Star stars_[70];
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Gravity);

} // namespace glowfield
