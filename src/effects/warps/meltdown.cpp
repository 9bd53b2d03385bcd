// Meltdown: white-hot metal sags from the top of a furnace wall in rounded drips. Each drip stretches, grows
// a bulb at its tip, snaps and falls as a glowing drop into a molten pool at the bottom, whose surface
// ripples where the drops land; glow bands flow down the running metal and the bricks are lit from below.
#include <cmath>
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

constexpr int dripCount = 13;
constexpr int dropCount = 24;
constexpr float rowStretch = 1.333f; // rows per cell width for round shapes (cells are 4 x 3 pixels)

// Heat to colour: dark red, orange, yellow, white.
kit::Rgb heat(float k) {
    k = kit::clampf(k, 0.0f, 1.0f);
    if (k < 0.4f) {
        return kit::mix(kit::fromLevels(110, 18, 8), kit::fromLevels(240, 105, 20), k / 0.4f);
    }
    if (k < 0.75f) {
        return kit::mix(kit::fromLevels(240, 105, 20), kit::fromLevels(255, 205, 70), (k - 0.4f) / 0.35f);
    }
    return kit::mix(kit::fromLevels(255, 205, 70), kit::fromLevels(255, 250, 215), (k - 0.75f) / 0.25f);
}

class Meltdown : public Effect {
  public:
    void start(EffectContext& c) override {
        n_ = c.n;
        const float n = static_cast<float>(n_);
        const size_t cols = static_cast<size_t>(n_);
        top_.assign(cols, 0.0f);
        surface_.assign(cols, 0.0f);
        surfaceSpeed_.assign(cols, 0.0f);
        for (int i = 0; i < bulbSlots; ++i) {
            bulbTop_[i].assign(cols, 0.0f);
            bulbBottom_[i].assign(cols, 0.0f);
        }
        for (int i = 0; i < dripCount; ++i) {
            Drip& d = drips_[i];
            d.x = (static_cast<float>(i) + 0.3f + 0.4f * c.randomUnit()) * n / dripCount;
            newDrip(c, d);
            d.len = c.randomUnit() * d.maxLen * 0.8f; // already running when the entry starts
        }
        for (Drop& d : drops_) {
            d.live = false;
        }
        level_ = n * 0.13f;
    }

    void step(EffectContext& c) override {
        const float n = static_cast<float>(n_);
        const float t = static_cast<float>(c.frame % 100000u);
        moveDrips(c, t);
        moveDrops();
        movePool();
        const kit::Rgb brick = kit::fromLevels(92, 50, 40), mortar = kit::fromLevels(48, 30, 28);
        // Glow bands flowing down the metal: sin(a(x) + b(y)) from tables by column and row.
        flow_.make(
            n_, [&](float i) { return i * 0.045f; }, [&](float i) { return i * 0.16f - t * 0.12f; });
        const float invGlow = 1.0f / (n * 0.5f);
        for (int x = 0; x < n_; ++x) {
            const float poolY = n - level_ + surface_[x];
            for (int y = 0; y < n_; ++y) {
                const float fy = static_cast<float>(y);
                kit::Rgb col;
                const float flow = 0.08f * flow_.at(x, y);
                if (fy < top_[x]) {
                    // The sagging mass: hottest deep inside, a darker skin at its edge, bands flowing down.
                    col = heat(0.45f + 0.025f * (top_[x] - fy) + flow);
                } else if (fy >= poolY) {
                    const float depth = fy - poolY;
                    col = heat(0.95f - 0.02f * depth + flow * 0.3f + 0.1f * surface_[x]);
                } else {
                    col = kit::Rgb{};
                    bool hot = false;
                    for (int b = 0; b < bulbSlots; ++b) {
                        if (fy >= bulbTop_[b][x] && fy < bulbBottom_[b][x]) {
                            // A bulb: bright through the middle, a rounded, darker rim.
                            const float mid = 0.5f * (bulbTop_[b][x] + bulbBottom_[b][x]);
                            const float half = 0.5f * (bulbBottom_[b][x] - bulbTop_[b][x]) + 0.5f;
                            const float r = (fy - mid) / half;
                            col = heat(0.95f - 0.45f * r * r + flow);
                            hot = true;
                            break;
                        }
                    }
                    if (!hot) {
                        // Bricks, lit from the pool below and the metal above.
                        const int row = y / 9, shift = (row % 2) * 8;
                        const bool joint = y % 9 == 0 || (x + shift) % 16 == 0;
                        const float lit =
                            0.45f + 0.7f * kit::clampf(1.0f - (poolY - fy) * invGlow, 0.0f, 1.0f) +
                            0.3f * kit::clampf(1.0f - (fy - top_[x]) * (1.0f / 30.0f), 0.0f, 1.0f);
                        col = kit::shade(joint ? mortar : brick, lit);
                    }
                }
                kit::setCell(c, x, y, col);
            }
        }
        kit::scaleVelocities(c, 0.0f); // the picture is repainted whole: no ripples of the wave step's own
        for (const Drop& d : drops_) {
            if (d.live) {
                drawBulb(c, d.x, d.y, d.r, t);
            }
        }
    }

  private:
    static constexpr int bulbSlots = 3;

    struct Drip {
        float x, len, speed, accel, maxLen, r;
    };
    struct Drop {
        bool live;
        float x, y, vy, r;
    };

    void newDrip(EffectContext& c, Drip& d) {
        d.len = 0.0f;
        d.speed = 0.02f;
        d.accel = 0.002f + 0.004f * c.randomUnit();
        d.maxLen = static_cast<float>(n_) * (0.3f + 0.35f * c.randomUnit());
        d.r = 3.5f + 3.5f * c.randomUnit();
    }

    // The mass's lower edge sags slowly; every drip hangs from it as a neck ending in a round bulb, the
    // neck thinning as the drip stretches, until the bulb snaps off as a drop.
    void moveDrips(EffectContext& c, float t) {
        const float n = static_cast<float>(n_);
        for (int x = 0; x < n_; ++x) {
            const float fx = static_cast<float>(x);
            top_[x] = n * 0.14f + 5.0f * fastSin(fx * 0.047f + t * 0.006f) +
                      3.0f * fastSin(fx * 0.13f - t * 0.011f);
            for (int b = 0; b < bulbSlots; ++b) {
                bulbTop_[b][x] = bulbBottom_[b][x] = 0.0f;
            }
        }
        for (Drip& d : drips_) {
            d.speed = kit::clampf(d.speed + d.accel, 0.0f, 1.0f);
            d.len += d.speed;
            const float base = n * 0.14f;
            if (d.len > d.maxLen) {
                release(d.x, base + d.len, d.r, d.speed);
                const float keepX = d.x;
                newDrip(c, d);
                d.x = keepX;
                d.len = d.maxLen * 0.15f; // what stays behind springs back up
            }
            const float stretch = d.len / d.maxLen;
            const float neck = kit::greater(1.3f, d.r * (0.85f - 0.45f * stretch)); // never a hairline
            const float tipY = base + d.len;
            const int x0 = kit::toCell(d.x - 2.0f * d.r), x1 = kit::toCell(d.x + 2.0f * d.r);
            for (int x = x0 < 0 ? 0 : x0; x <= x1 && x < n_; ++x) {
                const float u = (static_cast<float>(x) + 0.5f - d.x) / d.r;
                const float au = u < 0.0f ? -u : u;
                if (au < 1.0f) {
                    const float half = d.r * rowStretch * std::sqrt(1.0f - au * au);
                    if (au * d.r < neck) {
                        // The neck runs down into the bulb and ends in its round bottom.
                        top_[x] = kit::greater(top_[x], tipY + half);
                    } else {
                        addBulb(x, tipY - half, tipY + half);
                    }
                }
                // A smooth fillet where the neck leaves the mass.
                const float fillet = 1.0f - au * 0.5f;
                if (fillet > 0.0f) {
                    top_[x] = kit::greater(top_[x], base + d.r * fillet * fillet * (1.5f + 2.0f * stretch));
                }
            }
        }
        // A notch a column or two wide between two fillets would show as a hairline of wall: metal fills it.
        for (int x = 2; x + 2 < n_; ++x) {
            const float left = kit::greater(top_[x - 1], top_[x - 2]);
            const float right = kit::greater(top_[x + 1], top_[x + 2]);
            top_[x] = kit::greater(top_[x], kit::lesser(left, right) - 1.0f);
        }
    }

    void addBulb(int x, float a, float b) {
        for (int s = 0; s < bulbSlots; ++s) {
            if (bulbBottom_[s][x] <= bulbTop_[s][x]) {
                bulbTop_[s][x] = a;
                bulbBottom_[s][x] = b;
                return;
            }
        }
    }

    void release(float x, float y, float r, float speed) {
        for (Drop& d : drops_) {
            if (!d.live) {
                d = Drop{true, x, y, speed, r * 0.9f};
                return;
            }
        }
    }

    void moveDrops() {
        const float n = static_cast<float>(n_);
        for (Drop& d : drops_) {
            if (!d.live) {
                continue;
            }
            d.vy += 0.12f;
            d.y += d.vy;
            const int cx = d.x < 0.0f ? 0 : d.x >= n ? n_ - 1 : kit::toCell(d.x);
            if (d.y + d.r > n - level_ + surface_[cx]) {
                // The splash: a dent in the surface that runs off as ripples, and the pool rises a little.
                d.live = false;
                for (int k = -4; k <= 4; ++k) {
                    const int sx = cx + k;
                    if (sx >= 0 && sx < n_) {
                        surfaceSpeed_[sx] += d.vy * 0.35f * (1.0f - (k < 0 ? -k : k) / 5.0f);
                    }
                }
                level_ += d.r * d.r * 0.012f;
            }
        }
    }

    void movePool() {
        const float n = static_cast<float>(n_);
        for (int x = 0; x < n_; ++x) {
            const float left = surface_[x > 0 ? x - 1 : x], right = surface_[x + 1 < n_ ? x + 1 : x];
            surfaceSpeed_[x] += (left + right - 2.0f * surface_[x]) * 0.25f - surface_[x] * 0.01f;
            surfaceSpeed_[x] *= 0.985f;
        }
        for (int x = 0; x < n_; ++x) {
            surface_[x] = kit::clampf(surface_[x] + surfaceSpeed_[x], -12.0f, 12.0f);
        }
        // The pool drains slowly through the grate, faster the fuller it is.
        level_ -= (level_ - n * 0.1f) * 0.0025f;
        level_ = kit::clampf(level_, n * 0.08f, n * 0.4f);
    }

    void drawBulb(const EffectContext& c, float cx, float cy, float r, float t) const {
        const float ry = r * rowStretch * 1.15f; // a falling drop stretches a little
        const int x0 = kit::toCell(cx - r), x1 = kit::toCell(cx + r) + 1;
        const int y0 = kit::toCell(cy - ry), y1 = kit::toCell(cy + ry) + 1;
        for (int x = x0 < 0 ? 0 : x0; x <= x1 && x < c.n; ++x) {
            for (int y = y0 < 0 ? 0 : y0; y <= y1 && y < c.n; ++y) {
                const float u = (x + 0.5f - cx) / r, v = (y + 0.5f - cy) / ry;
                const float d2 = u * u + v * v;
                if (d2 < 1.0f) {
                    kit::setCell(c, x, y, heat(1.0f - 0.5f * d2 + 0.05f * fastSin(t * 0.3f)));
                }
            }
        }
    }

    int n_ = 0;
    float level_ = 0.0f;
    std::vector<float> top_, surface_, surfaceSpeed_;
    std::vector<float> bulbTop_[bulbSlots], bulbBottom_[bulbSlots];
    Drip drips_[dripCount]{};
    Drop drops_[dropCount]{};
    kit::SplitSine flow_;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Meltdown);

} // namespace glowfield
