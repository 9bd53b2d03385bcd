// Murder: a murder of crows against a sunset. Fifteen hundred birds flock by keeping apart, matching their
// neighbours' heading and closing on the crowd, found through a coarse grid; a hawk (or the mouse) cuts
// through and they fold away from it into shifting clouds.
#include <cmath>
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Murder : public Effect {
  public:
    void start(EffectContext& c) override {
        const float n = static_cast<float>(c.n);
        birds_.resize(birdCount);
        for (Bird& b : birds_) {
            const float a = c.randomUnit() * kit::twoPi;
            const float r = n * 0.2f * c.randomUnit();
            b = {n * 0.5f + fastCos(a) * r, n * 0.4f + fastSin(a) * r * 0.6f, fastCos(a + 1.5f),
                 fastSin(a + 1.5f), c.randomUnit() * kit::twoPi};
        }
        bins_ = (c.n + binSize - 1) / binSize;
        head_.assign(static_cast<size_t>(bins_) * static_cast<size_t>(bins_), -1);
        next_.assign(birdCount, -1);
        buildSky(c, n, c.scale);
    }

    void step(EffectContext& c) override {
        kit::clearVelocities(c);
        const float n = static_cast<float>(c.n);
        const float s = kit::gridScale(c);
        const float t = static_cast<float>(c.frame % 200000u);
        float hawkX = n * (0.5f + 0.45f * fastSin(t * 0.009f)),
              hawkY = n * (0.45f + 0.3f * fastSin(t * 0.017f + 1.0f));
        if (c.framesSinceMouseMoved < 150) {
            hawkX = static_cast<float>(c.mouseX);
            hawkY = static_cast<float>(c.mouseY);
        }
        // Bin the birds.
        for (int& h : head_) {
            h = -1;
        }
        for (int i = 0; i < birdCount; ++i) {
            const int b = bin(birds_[i].x, birds_[i].y);
            next_[i] = head_[b];
            head_[b] = i;
        }
        const float sep = 2.5f * s + 0.5f, sight = 9.0f * s + 1.0f;
        const float maxSpeed = 1.3f * s + 0.2f, minSpeed = 0.6f * s + 0.1f;
        for (int i = 0; i < birdCount; ++i) {
            Bird& b = birds_[i];
            float ax = 0.0f, ay = 0.0f, cx = 0.0f, cy = 0.0f, vx = 0.0f, vy = 0.0f;
            int seen = 0;
            int budget = 14; // neighbours looked at, at most: plenty for a flock, and a bound on the cost
            const int bx = clampBin(kit::toCell(b.x / binSize)), by = clampBin(kit::toCell(b.y / binSize));
            for (int gx = bx - 1; gx <= bx + 1; ++gx) {
                for (int gy = by - 1; gy <= by + 1; ++gy) {
                    if (gx < 0 || gy < 0 || gx >= bins_ || gy >= bins_) {
                        continue;
                    }
                    for (int j = head_[static_cast<size_t>(gx) * static_cast<size_t>(bins_) + gy];
                         j >= 0 && budget > 0; j = next_[j]) {
                        if (j == i) {
                            continue;
                        }
                        --budget;
                        const Bird& o = birds_[j];
                        const float dx = o.x - b.x, dy = o.y - b.y;
                        const float d2 = dx * dx + dy * dy;
                        if (d2 > sight * sight) {
                            continue;
                        }
                        if (d2 < sep * sep) {
                            ax -= dx / (d2 + 0.5f);
                            ay -= dy / (d2 + 0.5f);
                        }
                        cx += o.x;
                        cy += o.y;
                        vx += o.vx;
                        vy += o.vy;
                        ++seen;
                    }
                }
            }
            if (seen > 0) {
                const float inv = 1.0f / static_cast<float>(seen);
                ax += (cx * inv - b.x) * 0.004f + (vx * inv - b.vx) * 0.06f;
                ay += (cy * inv - b.y) * 0.004f + (vy * inv - b.vy) * 0.06f;
            }
            // Flee the hawk, and stay in the sky.
            const float hx = b.x - hawkX, hy = b.y - hawkY;
            const float h2 = hx * hx + hy * hy;
            const float fear = 30.0f * s + 4.0f;
            if (h2 < fear * fear) {
                ax += hx / (std::sqrt(h2) + 1.0f) * 0.25f;
                ay += hy / (std::sqrt(h2) + 1.0f) * 0.25f;
            }
            const float margin = n * 0.1f;
            ax += b.x < margin ? 0.05f : b.x > n - margin ? -0.05f : 0.0f;
            ay += b.y < margin ? 0.05f : b.y > n * 0.75f ? -0.06f : 0.0f;
            b.vx += ax;
            b.vy += ay;
            const float v = std::sqrt(b.vx * b.vx + b.vy * b.vy);
            if (v > maxSpeed) {
                b.vx *= maxSpeed / v;
                b.vy *= maxSpeed / v;
            } else if (v < minSpeed && v > 1e-6f) {
                b.vx *= minSpeed / v;
                b.vy *= minSpeed / v;
            }
            b.x += b.vx;
            b.y += b.vy;
            b.flap += 0.35f;
            if (!kit::onGrid(c, b.x, b.y) || !(v == v)) {
                b.x = kit::clampf(b.x, 1.0f, n - 2.0f);
                b.y = kit::clampf(b.y, 1.0f, n - 2.0f);
                if (!kit::onGrid(c, b.x, b.y) || !(b.vx == b.vx) || !(b.vy == b.vy)) {
                    b = {n * 0.5f, n * 0.4f, 1.0f, 0.0f, 0.0f};
                }
            }
        }
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                kit::setCell(
                    c, x, y,
                    sky_[static_cast<size_t>(x) * static_cast<size_t>(c.n) + static_cast<size_t>(y)]);
            }
        }
        const kit::Rgb crow = kit::fromLevels(14, 8, 16);
        for (const Bird& b : birds_) {
            const int x = kit::toCell(b.x), y = kit::toCell(b.y);
            kit::paint(c, x, y, crow);
            // Wings: the cells either side across the heading, raised or lowered with the flap.
            const float v = std::sqrt(b.vx * b.vx + b.vy * b.vy) + 1e-6f;
            const float px = -b.vy / v, py = b.vx / v;
            const float lift = fastSin(b.flap) > 0.0f ? -1.0f : 0.0f;
            kit::paint(c, kit::toCell(b.x + px * 1.2f), kit::toCell(b.y + py * 1.2f + lift), crow);
            kit::paint(c, kit::toCell(b.x - px * 1.2f), kit::toCell(b.y - py * 1.2f + lift), crow);
        }
        // The hawk: a broad dark V.
        const float span = 7.0f * s + 2.0f, beat = 2.0f * s * fastSin(t * 0.2f);
        kit::drawThickLine(c, hawkX - span, hawkY - beat, hawkX, hawkY + 1.5f * s, 0.9f * s + 0.3f,
                           kit::fromLevels(40, 20, 10));
        kit::drawThickLine(c, hawkX + span, hawkY - beat, hawkX, hawkY + 1.5f * s, 0.9f * s + 0.3f,
                           kit::fromLevels(40, 20, 10));
    }

  private:
    struct Bird {
        float x = 0.0f, y = 0.0f, vx = 0.0f, vy = 0.0f, flap = 0.0f;
    };
    static constexpr int birdCount = 1500;
    static constexpr int binSize = 10;

    int clampBin(int b) const { return b < 0 ? 0 : b >= bins_ ? bins_ - 1 : b; }
    size_t bin(float x, float y) const {
        return static_cast<size_t>(clampBin(kit::toCell(x / binSize))) * static_cast<size_t>(bins_) +
               static_cast<size_t>(clampBin(kit::toCell(y / binSize)));
    }

    // Sunset: gold at the horizon through orange and rose to violet, a low sun, and dark hills. Made once
    // and copied each frame.
    void buildSky(const EffectContext& c, float n, float s) {
        sky_.assign(static_cast<size_t>(c.n) * static_cast<size_t>(c.n), kit::Rgb{});
        const float sunX = n * 0.7f, sunY = n * 0.8f, sunR = 16.0f * s + 2.0f;
        for (int x = 0; x < c.n; ++x) {
            const float fx = static_cast<float>(x);
            const float hill = n * (0.86f + 0.04f * fastSin(fx * 0.025f) + 0.02f * fastSin(fx * 0.09f));
            for (int y = 0; y < c.n; ++y) {
                const float fy = static_cast<float>(y);
                kit::Rgb& out =
                    sky_[static_cast<size_t>(x) * static_cast<size_t>(c.n) + static_cast<size_t>(y)];
                if (fy > hill) {
                    out = kit::fromLevels(30, 14, 30);
                    continue;
                }
                const float k = fy / n;
                kit::Rgb colour =
                    k < 0.5f ? kit::mix(kit::fromLevels(70, 40, 110), kit::fromLevels(220, 90, 90), k * 2.0f)
                             : kit::mix(kit::fromLevels(220, 90, 90), kit::fromLevels(255, 190, 80),
                                        (k - 0.5f) * 2.0f);
                const float dx = fx - sunX, dy = fy - sunY;
                const float d2 = (dx * dx + dy * dy) / (sunR * sunR);
                if (d2 < 1.0f) {
                    colour = kit::fromLevels(255, 240, 170);
                } else if (d2 < 6.0f) {
                    colour = kit::mix(colour, kit::fromLevels(255, 220, 140), (6.0f - d2) / 5.0f * 0.6f);
                }
                out = colour;
            }
        }
    }

    std::vector<Bird> birds_;
    std::vector<kit::Rgb> sky_;
    std::vector<int> head_;
    std::vector<int> next_;
    int bins_ = 0;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Murder);

} // namespace glowfield
