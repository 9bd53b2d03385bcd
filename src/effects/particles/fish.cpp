// Fish: a shoal in three depths of water. Far fish are small, pale and slow, near ones large and quick; each
// swims on a gentle sine path with a wagging tail, bubbles rise, and a moving mouse is bait they turn to.
#include <cmath>
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Fish : public Effect {
  public:
    void start(EffectContext& c) override {
        fish_.resize(fishCount);
        for (int i = 0; i < fishCount; ++i) {
            spawn(c, fish_[i], i, true);
        }
        bubbles_.assign(maxBubbles, Bubble{});
    }

    void step(EffectContext& c) override {
        kit::clearVelocities(c);
        const float n = static_cast<float>(c.n);
        const float s = kit::gridScale(c);
        const float t = static_cast<float>(c.frame % 200000u);
        // Water: lighter near the surface, with slow bands of light.
        // Per row, the water as still + ray * glint in field units, and the ray's phase split by the
        // angle-sum rule, so each cell costs a few products.
        if (still_.size() != static_cast<size_t>(c.n)) {
            still_.resize(static_cast<size_t>(c.n));
            glint_.resize(static_cast<size_t>(c.n));
            rowSin_.resize(static_cast<size_t>(c.n));
            rowCos_.resize(static_cast<size_t>(c.n));
            for (int y = 0; y < c.n; ++y) {
                const float k = static_cast<float>(y) / n;
                const kit::Rgb hue = kit::hsv(0.55f + 0.05f * k, 0.85f, 1.0f);
                const kit::Rgb level{hue.r + 127.0f, hue.g + 127.0f, hue.b + 127.0f};
                const float v = 0.55f - 0.4f * k, g = 0.05f * (1.0f - k);
                still_[static_cast<size_t>(y)] = {level.r * v - 127.0f, level.g * v - 127.0f,
                                                  level.b * v - 127.0f};
                glint_[static_cast<size_t>(y)] = {level.r * g, level.g * g, level.b * g};
                rowSin_[static_cast<size_t>(y)] = fastSin(static_cast<float>(y) * 0.02f);
                rowCos_[static_cast<size_t>(y)] = fastCos(static_cast<float>(y) * 0.02f);
            }
        }
        for (int x = 0; x < c.n; ++x) {
            const float phase = static_cast<float>(x) * 0.05f + t * 0.01f;
            const float sx = fastSin(phase), cx = fastCos(phase);
            for (int y = 0; y < c.n; ++y) {
                const size_t row = static_cast<size_t>(y);
                const float ray = sx * rowCos_[row] + cx * rowSin_[row];
                const kit::Rgb a = still_[row], g = glint_[row];
                kit::setCell(c, x, y, {a.r + g.r * ray, a.g + g.g * ray, a.b + g.b * ray});
            }
        }
        // Sand at the bottom with a few weeds swaying.
        kit::fillRect(c, 0.0f, n * 0.93f, n, n, kit::fromLevels(120, 100, 60));
        for (int w = 0; w < 7; ++w) {
            const float bx = n * (0.07f + 0.14f * static_cast<float>(w));
            const float sway = 6.0f * s * fastSin(t * 0.03f + static_cast<float>(w));
            kit::drawThickLine(c, bx, n * 0.95f, bx + sway, n * (0.7f + 0.03f * static_cast<float>(w % 3)),
                               1.2f * s, kit::fromLevels(30, 110, 60));
        }
        if (c.framesSinceMouseMoved < 150) {
            kit::drawLine(c, static_cast<float>(c.mouseX), 0.0f, static_cast<float>(c.mouseX),
                          static_cast<float>(c.mouseY), kit::fromLevels(200, 200, 200));
            kit::fillDisc(c, static_cast<float>(c.mouseX), static_cast<float>(c.mouseY), 2.0f * s,
                          kit::fromLevels(200, 80, 60));
        }
        // Far layers first, so nearer fish pass in front.
        for (int layer = 0; layer < 3; ++layer) {
            for (int i = 0; i < fishCount; ++i) {
                Swimmer& f = fish_[i];
                if (f.layer != layer) {
                    continue;
                }
                swim(c, f, i, t);
                drawFish(c, f, t);
            }
        }
        for (Bubble& b : bubbles_) {
            if (!b.live) {
                continue;
            }
            b.y -= b.speed;
            b.x += 0.3f * fastSin(b.y * 0.2f);
            if (!kit::onGrid(c, b.x, b.y, -1.0f)) {
                b.live = false;
                continue;
            }
            kit::drawRing(c, b.x, b.y, b.r, 0.8f, kit::fromLevels(190, 230, 255));
        }
    }

  private:
    struct Swimmer {
        float x = 0.0f, y = 0.0f, baseY = 0.0f, speed = 0.0f, size = 0.0f, phase = 0.0f, heading = 0.0f;
        float hue = 0.0f;
        int layer = 0;
    };
    struct Bubble {
        float x = 0.0f, y = 0.0f, r = 0.0f, speed = 0.0f;
        bool live = false;
    };
    static constexpr int fishCount = 18;
    static constexpr int maxBubbles = 60;

    static void spawn(EffectContext& c, Swimmer& f, int i, bool anywhere) {
        const float n = static_cast<float>(c.n);
        const float s = kit::gridScale(c);
        f.layer = i % 3;
        const float depth = 0.5f + 0.5f * static_cast<float>(f.layer);
        f.size = (4.0f + 5.0f * depth + 2.0f * c.randomUnit()) * s;
        f.speed = (0.35f + 0.6f * depth) * s * (0.8f + 0.4f * c.randomUnit());
        if (c.random(0, 1) == 0) {
            f.speed = -f.speed;
        }
        f.baseY = n * (0.1f + 0.75f * c.randomUnit());
        f.x = anywhere ? n * c.randomUnit() : (f.speed > 0.0f ? -f.size * 2.0f : n + f.size * 2.0f);
        f.y = f.baseY;
        f.phase = c.randomUnit() * kit::twoPi;
        f.heading = f.speed > 0.0f ? 0.0f : kit::pi;
        const float hues[4] = {0.08f, 0.13f, 0.95f, 0.5f};
        f.hue = hues[c.random(0, 3)];
    }

    void swim(EffectContext& c, Swimmer& f, int i, float t) {
        const float s = kit::gridScale(c);
        float vx = f.speed,
              vy = 0.25f * f.speed * fastCos(t * 0.03f + f.phase) * (f.speed > 0 ? 1.0f : -1.0f);
        vy += (f.baseY - f.y) * 0.01f;
        // The fish give up the bait on the frame before it is lifted.
        if (c.framesSinceMouseMoved < 149) {
            const float dx = static_cast<float>(c.mouseX) - f.x, dy = static_cast<float>(c.mouseY) - f.y;
            const float d = std::sqrt(dx * dx + dy * dy);
            if (d < 70.0f * s && d > 1.0f) {
                const float speed = absf(f.speed) * 1.3f;
                vx = dx / d * speed;
                vy = dy / d * speed;
            }
        }
        f.x += vx;
        f.y += vy;
        const float target = kit::angleOf(vx, vy);
        float d = target - f.heading;
        d -= kit::twoPi * static_cast<float>(kit::toCell(d / kit::twoPi + 0.5f));
        f.heading += d * 0.15f;
        if (!kit::onGrid(c, f.x, f.y, f.size * 3.0f)) {
            spawn(c, f, i, false);
        }
        // Now and then a fish lets out a bubble.
        if (c.random(0, 90) == 0) {
            Bubble& b = bubbles_[nextBubble_];
            nextBubble_ = (nextBubble_ + 1) % maxBubbles;
            b = {f.x + fastCos(f.heading) * f.size, f.y - f.size * 0.3f, (0.8f + c.randomUnit()) * s,
                 (0.3f + 0.4f * c.randomUnit()) * s, true};
        }
    }

    // A body ellipse along the heading with a lit back, an eye, and a tail that wags behind.
    static void drawFish(const EffectContext& c, const Swimmer& f, float t) {
        const float L = f.size, W = f.size * 0.45f;
        const float ch = fastCos(f.heading), sh = fastSin(f.heading);
        const float depthLight = 1.0f - 0.25f * static_cast<float>(2 - f.layer);
        const float wag = 0.5f * fastSin(t * (0.25f + 0.1f * static_cast<float>(f.layer)) + f.phase);
        // The tail: a triangle behind the body, its fork swinging with the wag.
        const float bx = f.x - ch * L * 0.9f, by = f.y - sh * L * 0.9f;
        const float ta = f.heading + kit::pi + wag;
        const float tx = bx + fastCos(ta) * L * 0.7f, ty = by + fastSin(ta) * L * 0.7f;
        const float px = -fastSin(ta) * L * 0.4f, py = fastCos(ta) * L * 0.4f;
        const float xs[3] = {bx, tx + px, tx - px}, ys[3] = {by, ty + py, ty - py};
        kit::fillPolygon(c, xs, ys, 3, kit::hsv(f.hue, 0.9f, 0.55f * depthLight));
        const float reach = L + 1.0f;
        const kit::Rgb body = kit::hsv(f.hue, 0.85f, 1.0f), belly = kit::hsv(f.hue, 0.6f, 1.0f);
        const int x0 = kit::clampCell(c, kit::toCell(f.x - reach)),
                  x1 = kit::clampCell(c, kit::toCell(f.x + reach));
        const int y0 = kit::clampCell(c, kit::toCell(f.y - reach)),
                  y1 = kit::clampCell(c, kit::toCell(f.y + reach));
        for (int x = x0; x <= x1; ++x) {
            for (int y = y0; y <= y1; ++y) {
                const float dx = static_cast<float>(x) + 0.5f - f.x, dy = static_cast<float>(y) + 0.5f - f.y;
                const float u = (dx * ch + dy * sh) / L, v = (dy * ch - dx * sh) / W;
                const float d2 = u * u + v * v;
                if (d2 > 1.0f) {
                    continue;
                }
                // Darker towards the edge and along the belly side, a stripe across the middle.
                float value = (0.95f - 0.4f * d2) * depthLight;
                if (u > -0.1f && u < 0.1f) {
                    value *= 0.6f;
                }
                if (d2 > 0.75f) {
                    value *= 0.55f;
                }
                kit::setCell(c, x, y, kit::shade(v < -0.3f ? belly : body, value));
            }
        }
        const float ex = f.x + ch * L * 0.55f - sh * W * 0.25f, ey = f.y + sh * L * 0.55f + ch * W * 0.25f;
        kit::paint(c, kit::toCell(ex), kit::toCell(ey), kit::black);
    }

    std::vector<Swimmer> fish_;
    std::vector<kit::Rgb> still_, glint_; // the water by depth, and how much a ray of light lifts it
    std::vector<float> rowSin_, rowCos_;  // the ray's phase by depth
    std::vector<Bubble> bubbles_;
    int nextBubble_ = 0;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Fish);

} // namespace glowfield
