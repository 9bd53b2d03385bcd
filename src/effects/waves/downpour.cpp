// Downpour: rain on a dark pond under a grey sky. The water mirrors the pale sky and the black treeline of
// the far bank; slanted streaks of rain fall, each landing throws a bright ring that spreads and fades, and
// gusts sweep across as a band of heavier rain that ruffles the surface.
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Downpour : public Effect {
  public:
    void start(EffectContext& c) override {
        const float n = static_cast<float>(c.n);
        drops_.assign(dropCount, Drop{});
        for (Drop& d : drops_) {
            respawn(c, d);
            d.y = d.land * c.randomUnit();
        }
        rings_.assign(ringCount, Ring{});
        // The far bank: a ragged line of treetops, made once.
        bank_.assign(static_cast<size_t>(c.n), 0.0f);
        float h = n * 0.1f;
        for (int x = 0; x < c.n; ++x) {
            h += (c.randomUnit() - 0.5f) * 2.2f;
            h = kit::clampf(h, n * 0.05f, n * 0.16f);
            bank_[static_cast<size_t>(x)] = h;
        }
    }

    void step(EffectContext& c) override {
        kit::clearVelocities(c);
        const float n = static_cast<float>(c.n);
        const float t = static_cast<float>(c.frame % 400000u);
        const float shore = n * 0.2f; // the water's edge at the far bank
        // The gust: a slanted band that crosses the pond every few seconds.
        const float gustPos = static_cast<float>(c.frame % 360u) / 360.0f * n * 2.2f - n * 0.6f;
        const float gustWidth = n * 0.22f;
        const auto inGust = [&](float x, float y) {
            const float d = x + (y - n * 0.5f) * 0.5f - gustPos;
            return d > -gustWidth && d < gustWidth ? 1.0f - (d < 0.0f ? -d : d) / gustWidth : 0.0f;
        };

        const kit::Rgb skyTop = kit::fromLevels(70, 80, 96), skyLow = kit::fromLevels(150, 160, 170);
        const kit::Rgb trees = kit::fromLevels(14, 22, 20);
        const kit::Rgb nearWater = kit::fromLevels(12, 22, 32), farWater = kit::fromLevels(118, 132, 146);
        const kit::Rgb ruffle = kit::fromLevels(70, 90, 110);
        // What depends on the row alone: the sky's and the water's gradient and the reflection's waver.
        kit::Rgb row[planeStride];
        int waver[planeStride];
        for (int y = 0; y < c.n; ++y) {
            const float fy = static_cast<float>(y);
            if (fy < shore) {
                row[y] = kit::mix(skyTop, skyLow, fy / shore);
                waver[y] = 0;
            } else {
                row[y] =
                    kit::mix(farWater, nearWater, kit::smoothstep(0.0f, 0.8f, (fy - shore) / (n - shore)));
                waver[y] = kit::roundCell(1.2f * fastSin(fy * 0.7f + t * 0.05f));
            }
        }
        const int edge = kit::clampCell(c, kit::toCell(shore));
        for (int x = 0; x < c.n; ++x) {
            const float fx = static_cast<float>(x);
            const float top = n * 0.2f - bank_[static_cast<size_t>(x)];
            for (int y = 0; y < c.n; ++y) {
                const float fy = static_cast<float>(y);
                kit::Rgb colour = row[y];
                if (y < edge) {
                    if (fy >= top) {
                        colour = trees;
                    }
                } else {
                    // The mirror: the trees upside down and wavering, over the sky's reflection fading to
                    // black water towards the viewer.
                    const int mirrorX = x + waver[y] < 0 ? 0 : x + waver[y] >= c.n ? c.n - 1 : x + waver[y];
                    if (fy - shore < bank_[static_cast<size_t>(mirrorX)]) {
                        colour = kit::mix(colour, trees, 0.85f);
                    }
                    // Cat's paws where the gust ruffles the water: slanted ridges several cells wide.
                    const float g = inGust(fx, fy);
                    if (g > 0.0f) {
                        const float ridge = fastSin(fx * 0.35f - fy * 0.5f + t * 0.25f);
                        colour = kit::mix(colour, ruffle, g * 0.6f * (ridge > 0.3f ? 1.0f : 0.2f));
                    }
                }
                kit::setCell(c, x, y, colour);
            }
        }
        drawRings(c, n, shore);
        // The rain: slanted streaks, heavier in the gust; a drop that reaches its spot on the water rings it.
        const kit::Rgb streak = kit::fromLevels(180, 196, 214);
        for (Drop& d : drops_) {
            const float g = inGust(d.x, d.y);
            const float speed = 1.0f + 0.6f * g;
            d.x += d.vx * speed;
            d.y += d.vy * speed;
            if (d.y >= d.land) {
                if (d.land > shore + 2.0f && c.random(0, 2) == 0) {
                    startRing(d.x, d.land, g);
                }
                respawn(c, d);
                continue;
            }
            const float len = 2.5f;
            kit::drawLine(c, d.x - d.vx * len, d.y - d.vy * len, d.x, d.y, streak, kit::Blend::max);
        }
        // Extra drops in the gust band.
        for (int i = 0; i < 2; ++i) {
            const float y = shore + 4.0f + c.randomUnit() * (n - shore - 4.0f);
            const float x = gustPos - (y - n * 0.5f) * 0.5f + (c.randomUnit() - 0.5f) * gustWidth;
            if (x >= 0.0f && x < n) {
                startRing(x, y, 1.0f);
            }
        }
        if (c.random(0, 3) == 0) {
            startRing(c.randomUnit() * n, shore + 4.0f + c.randomUnit() * (n - shore - 4.0f), 0.0f);
        }
        if (c.sound.heard()) {
            // With music the rain grows heavy as it gets loud, and every onset throws a handful of drops
            // onto the pond at once.
            const int drops = kit::roundCell(4.0f * c.sound.level) +
                              (c.sound.onset ? 2 + kit::roundCell(8.0f * c.sound.onsetStrength) : 0);
            for (int i = 0; i < drops; ++i) {
                startRing(c.randomUnit() * n, shore + 4.0f + c.randomUnit() * (n - shore - 4.0f),
                          c.sound.onset ? 1.0f : 0.0f);
            }
        }
    }

  private:
    struct Drop {
        float x = 0.0f, y = 0.0f, vx = 0.0f, vy = 0.0f, land = 0.0f;
    };
    struct Ring {
        float x = 0.0f, y = 0.0f, age = 0.0f, size = 0.0f;
        bool live = false;
    };
    static constexpr int dropCount = 140;
    static constexpr int ringCount = 48;

    void respawn(EffectContext& c, Drop& d) const {
        const float n = static_cast<float>(c.n);
        d.vy = 5.0f + 2.0f * c.randomUnit();
        d.vx = d.vy * 0.35f;
        d.land = n * 0.22f + c.randomUnit() * n * 0.85f;
        d.y = -c.randomUnit() * n * 0.2f;
        d.x = c.randomUnit() * n * 1.3f - n * 0.35f;
    }

    void startRing(float x, float y, float gust) {
        Ring& r = rings_[next_];
        next_ = (next_ + 1) % ringCount;
        r = {x, y, 0.0f, 0.7f + 0.5f * gust, true};
    }

    // Each ring: a bright crest with a dark trough inside, flattened by the view across the water, growing
    // and fading; nearer rings are larger.
    void drawRings(const EffectContext& c, float n, float shore) {
        const kit::Rgb crest = kit::fromLevels(210, 222, 236), trough = kit::fromLevels(0, 6, 12);
        for (Ring& r : rings_) {
            if (!r.live) {
                continue;
            }
            r.age += 1.0f;
            const float life = 36.0f;
            if (r.age > life) {
                r.live = false;
                continue;
            }
            const float near = (r.y - shore) / (n - shore);
            const float radius = r.age * (0.25f + 0.45f * near) * r.size;
            const float squash = 0.25f + 0.5f * near; // rows per column of the ellipse, 4 x 3 cells included
            const float fade = 1.0f - r.age / life;
            const int x0 = kit::clampCell(c, kit::toCell(r.x - radius - 2.0f));
            const int x1 = kit::clampCell(c, kit::toCell(r.x + radius + 2.0f));
            const int y0 = kit::clampCell(c, kit::toCell(r.y - (radius + 2.0f) * squash));
            const int y1 = kit::clampCell(c, kit::toCell(r.y + (radius + 2.0f) * squash));
            const float width = 1.0f + 0.8f * near;
            for (int x = x0; x <= x1; ++x) {
                const float dx = static_cast<float>(x) - r.x;
                for (int y = y0; y <= y1; ++y) {
                    const float dy = (static_cast<float>(y) - r.y) / squash;
                    const float d2 = dx * dx + dy * dy;
                    const float outer = radius + width, inner = radius - width;
                    if (d2 < outer * outer && d2 >= radius * radius) {
                        kit::mixCell(c, x, y, crest, 0.85f * fade);
                    } else if (d2 < radius * radius && inner > 0.0f && d2 >= inner * inner) {
                        kit::mixCell(c, x, y, trough, 0.6f * fade);
                    }
                }
            }
        }
    }

    std::vector<Drop> drops_;
    std::vector<Ring> rings_;
    std::vector<float> bank_;
    int next_ = 0;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Downpour);

} // namespace glowfield
