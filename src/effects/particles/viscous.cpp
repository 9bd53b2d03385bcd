// Viscous: honey poured from a drifting spout. The thin stream falls, coils where it lands like a rope of
// syrup, and builds an amber heap that oozes sideways where it is steep and slowly drains away; light slides
// over the honey as it settles, so the heap is never a still slab.
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Viscous : public Effect {
  public:
    void start(EffectContext& c) override {
        heap_.assign(static_cast<size_t>(c.n), 0.0f);
        for (int x = 0; x < c.n; ++x) {
            heap_[x] = static_cast<float>(c.n) * (0.08f + 0.03f * fastSin(static_cast<float>(x) * 0.05f));
        }
        drops_.assign(maxDrops, Drop{});
    }

    void step(EffectContext& c) override {
        kit::clearVelocities(c);
        const float n = static_cast<float>(c.n);
        const float s = kit::gridScale(c);
        const float t = static_cast<float>(c.frame % 200000u);
        const float spoutX = n * (0.5f + 0.3f * fastSin(t * 0.009f) * fastCos(t * 0.0023f));
        const float spoutY = n * 0.08f;
        const int column = kit::clampCell(c, kit::toCell(spoutX));
        const float floorY = n - heap_[column];
        // Rope coiling: the last stretch of the stream swings round in a circle as it lands.
        coil_ += 0.32f;
        const float coilR = 7.0f * s * (0.7f + 0.3f * fastSin(t * 0.013f));
        const float landX = spoutX + coilR * fastCos(coil_);

        // Drops: tagged bits of the stream that fall and join the heap where they land.
        Drop& d = drops_[next_];
        next_ = (next_ + 1) % maxDrops;
        d = {spoutX + (c.randomUnit() - 0.5f) * 0.6f, spoutY, 0.3f * s, true};
        for (Drop& p : drops_) {
            if (!p.live) {
                continue;
            }
            p.vy += 0.08f * s;
            p.y += p.vy;
            // Drops are drawn towards the coil as they near the heap.
            p.x += (landX - p.x) * 0.05f;
            if (!kit::onGrid(c, p.x, p.y)) {
                p.live = false;
                continue;
            }
            const int px = kit::clampCell(c, kit::toCell(p.x));
            if (p.y >= n - heap_[px] - 1.0f) {
                p.live = false;
                for (int dx = -2; dx <= 2; ++dx) {
                    const int x = kit::clampCell(c, px + dx);
                    heap_[x] += (dx == 0 ? 1.6f : dx == 1 || dx == -1 ? 0.8f : 0.3f) * s;
                }
            }
        }
        ooze(c);

        const kit::Rgb amberTop = kit::hsv(0.085f, 0.95f, 1.0f), amberDeep = kit::hsv(0.055f, 0.95f, 1.0f);
        // Background: a warm dim kitchen light, darker at the foot.
        for (int y = 0; y < c.n; ++y) {
            const float k = static_cast<float>(y) / n;
            const kit::Rgb bg =
                kit::fromLevels(60 - truncToInt(30 * k), 40 - truncToInt(25 * k), 36 - truncToInt(26 * k));
            for (int x = 0; x < c.n; ++x) {
                const float top = n - heap_[x];
                const float depth = static_cast<float>(y) - top;
                if (depth < 0.0f) {
                    kit::setCell(c, x, y, bg);
                } else {
                    // Amber, bright at the surface and deepening below, with glints sliding through it.
                    const float glint = fastSin(static_cast<float>(x) * 0.21f + depth * 0.35f - t * 0.1f);
                    const float v = 0.9f - kit::clampf(depth / (n * 0.5f), 0.0f, 0.6f) + 0.14f * glint;
                    const kit::Rgb tint =
                        kit::mix(amberTop, amberDeep, kit::clampf(depth / (n * 0.3f), 0.0f, 1.0f));
                    kit::setCell(c, x, y, kit::shade(tint, depth < 1.5f ? 1.0f : v));
                }
            }
        }
        // The spout and the stream: straight and thin, thickening and swinging into coils just above the
        // heap.
        kit::fillRect(c, spoutX - 4.0f * s, 0.0f, spoutX + 4.0f * s, spoutY, kit::fromLevels(90, 70, 60));
        kit::fillRect(c, spoutX - 2.0f * s, spoutY, spoutX + 2.0f * s, spoutY + 2.0f * s,
                      kit::fromLevels(70, 50, 40));
        const float coilTop = floorY - 14.0f * s;
        const kit::Rgb amber = kit::fromLevels(255, 180, 40);
        kit::drawThickLine(c, spoutX, spoutY, spoutX, coilTop, 0.7f * s, amber);
        float px = spoutX, py = coilTop;
        for (int k = 1; k <= 24; ++k) {
            const float u = static_cast<float>(k) / 24.0f;
            const float a = coil_ - (1.0f - u) * 5.0f;
            const float r = coilR * u;
            const float x = spoutX + r * fastCos(a);
            const float y = coilTop + u * (floorY - coilTop) + 1.5f * s * fastSin(a) * u;
            kit::drawThickLine(c, px, py, x, y, (1.0f + 1.2f * u) * s,
                               kit::hsv(0.09f, 0.9f, 0.75f + 0.25f * fastSin(a)));
            px = x;
            py = y;
        }
        for (const Drop& p : drops_) {
            if (p.live) {
                kit::plot(c, p.x, p.y, kit::fromLevels(255, 220, 120));
            }
        }
    }

  private:
    struct Drop {
        float x = 0.0f, y = 0.0f, vy = 0.0f;
        bool live = false;
    };
    static constexpr int maxDrops = 120;

    // Honey flows to lower neighbours where the slope is steep, and the whole heap drains slowly so the
    // pour never fills the screen.
    void ooze(const EffectContext& c) {
        const float n = static_cast<float>(c.n);
        for (int pass = 0; pass < 2; ++pass) {
            for (int x = 0; x + 1 < c.n; ++x) {
                const float d = heap_[x] - heap_[x + 1];
                if (d > 1.2f || d < -1.2f) {
                    const float move = d * 0.2f;
                    heap_[x] -= move;
                    heap_[x + 1] += move;
                }
            }
        }
        float total = 0.0f;
        for (float h : heap_) {
            total += h;
        }
        const float mean = total / n;
        const float drain = mean > n * 0.35f ? 0.996f : mean > n * 0.12f ? 0.9993f : 1.0f;
        for (float& h : heap_) {
            h = kit::clampf(h * drain, 0.0f, n * 0.8f);
        }
    }

    std::vector<float> heap_;
    std::vector<Drop> drops_;
    int next_ = 0;
    float coil_ = 0.0f;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Viscous);

} // namespace glowfield
