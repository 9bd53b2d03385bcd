// Bubble: soap bubbles drift up and wobble. Each rim shimmers in thin-film colours that shift with angle and
// time, with a white window highlight; after a while each pops into a ripple and a spray of droplets.
#include <cmath>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Bubble : public Effect {
  public:
    void start(EffectContext& c) override {
        // Leftovers of an earlier entry are brought into range once, so blends never carry NaN along.
        kit::tameField(c);
        for (Soap& b : bubbles_) {
            blow(c, b);
            b.y = c.randomUnit() * static_cast<float>(c.n);
            b.age = c.random(0, b.life / 2);
        }
        for (Drop& d : drops_) {
            d.life = 0;
        }
        // Thin-film colours round the hue circle, looked up by the rim cells.
        for (int i = 0; i < filmSteps; ++i) {
            film_[i] = kit::hsv(static_cast<float>(i) / filmSteps, 0.6f, 1.0f);
        }
    }

    void step(EffectContext& c) override {
        const float n = static_cast<float>(c.n);
        const float t = static_cast<float>(c.frame % 100000u);
        kit::scaleVelocities(c, 0.96f);
        // A soft teal backdrop, lighter high up; the pull keeps the pop ripples brief.
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                const float k = static_cast<float>(y) / n;
                kit::blendCell(c, x, y, kit::mix(kit::fromLevels(30, 90, 110), kit::fromLevels(8, 25, 45), k),
                               0.2f);
            }
        }
        for (Drop& d : drops_) {
            if (d.life <= 0) {
                continue;
            }
            d.vy += 0.05f;
            d.x += d.vx;
            d.y += d.vy;
            if (--d.life <= 0 || !(d.x >= 0.0f && d.x < n && d.y >= 0.0f && d.y < n)) {
                d.life = 0;
                continue;
            }
            kit::paint(c, kit::toCell(d.x), kit::toCell(d.y), kit::fromLevels(220, 240, 255));
        }
        if (c.sound.heard() && c.sound.onset && c.sound.onsetStrength >= 0.5f) {
            // With music every strong onset bursts the oldest bubble and blows a new one from the bottom,
            // bigger and faster the stronger the onset.
            Soap* oldest = &bubbles_[0];
            for (Soap& b : bubbles_) {
                oldest = b.age * oldest->life > oldest->age * b.life ? &b : oldest;
            }
            if (oldest->y >= -oldest->r) {
                pop(c, *oldest);
            }
            blow(c, *oldest);
            oldest->r *= 0.7f + 0.5f * c.sound.onsetStrength;
            oldest->y = n - oldest->r;
            oldest->rise *= 1.0f + 2.0f * c.sound.onsetStrength;
        }
        for (Soap& b : bubbles_) {
            b.y -= b.rise;
            b.x += 0.3f * fastSin(t * 0.03f + b.phase);
            if (++b.age > b.life || b.y < -b.r) {
                if (b.y >= -b.r) {
                    pop(c, b);
                }
                blow(c, b);
                continue;
            }
            // Wobble: the radius breathes differently across and along.
            const float wob = 0.06f * fastSin(t * 0.15f + b.phase);
            const float swirl = fastSin(t * 0.02f + b.phase); // the film's colours swirl slowly
            const float rx = b.r * (1.0f + wob), ry = b.r * (1.0f - wob) * (4.0f / 3.0f);
            const int x0 = kit::clampCell(c, kit::toCell(b.x - rx - 2.0f)),
                      x1 = kit::clampCell(c, kit::toCell(b.x + rx + 2.0f));
            const int y0 = kit::clampCell(c, kit::toCell(b.y - ry - 2.0f)),
                      y1 = kit::clampCell(c, kit::toCell(b.y + ry + 2.0f));
            for (int x = x0; x <= x1; ++x) {
                for (int y = y0; y <= y1; ++y) {
                    const float u = (x - b.x) / rx, v = (y - b.y) / ry;
                    const float d = std::sqrt(u * u + v * v);
                    if (d > 1.0f + 1.5f / b.r) {
                        continue;
                    }
                    if (d < 0.55f) {
                        kit::mixCell(c, x, y, b.tint, 0.12f); // the clear middle, faintly tinted
                        continue;
                    }
                    // Thin film: hue from angle, depth and time; strongest at the rim.
                    const float a = kit::angleOf(u, v);
                    const float hue = b.phase + a * 0.2f + d * 0.8f + t * 0.006f + 0.3f * u * v * swirl;
                    const float rim =
                        kit::smoothstep(0.6f, 1.0f, d) * (d > 1.0f ? 1.0f - (d - 1.0f) * b.r / 1.5f : 1.0f);
                    const kit::Rgb film = film_[kit::wrap(kit::toCell(hue * filmSteps), filmSteps)];
                    kit::mixCell(c, x, y, film, 0.15f + 0.6f * rim);
                }
            }
            kit::softDisc(c, b.x - rx * 0.4f, b.y - ry * 0.45f, b.r * 0.28f, kit::white, 0.9f,
                          kit::Blend::set);
        }
    }

  private:
    static constexpr int filmSteps = 96;

    struct Soap {
        float x, y, r, rise, phase;
        int age, life;
        kit::Rgb tint;
    };
    struct Drop {
        float x, y, vx, vy;
        int life;
    };

    void blow(EffectContext& c, Soap& b) {
        const float n = static_cast<float>(c.n);
        b.r = 6.0f + c.randomUnit() * 14.0f;
        b.x = b.r + c.randomUnit() * (n - 2.0f * b.r);
        b.y = n + b.r;
        b.rise = 0.25f + c.randomUnit() * 0.35f;
        b.phase = c.randomUnit() * kit::twoPi;
        b.tint = kit::hsv(b.phase / kit::twoPi, 0.3f, 0.8f);
        b.age = 0;
        b.life = c.random(200, 500);
    }

    void pop(EffectContext& c, const Soap& b) {
        kit::drawRing(c, b.x, b.y, b.r, 1.0f, kit::white);
        kit::balancedPush(c, b.x, b.y, b.r * 0.6f, -6.0f);
        for (int i = 0; i < 14; ++i) {
            for (Drop& d : drops_) {
                if (d.life > 0) {
                    continue;
                }
                const float a = c.randomUnit() * kit::twoPi;
                d.x = b.x + fastCos(a) * b.r;
                d.y = b.y + fastSin(a) * b.r;
                d.vx = fastCos(a) * (0.4f + c.randomUnit());
                d.vy = fastSin(a) * (0.4f + c.randomUnit()) - 0.5f;
                d.life = c.random(15, 40);
                break;
            }
        }
    }

    Soap bubbles_[12]{};
    kit::Rgb film_[filmSteps]{};
    Drop drops_[120]{};
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Bubble);

} // namespace glowfield
