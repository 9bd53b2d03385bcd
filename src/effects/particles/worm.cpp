// Worm: earthworms in a cut-away of soil. Five segmented worms wriggle through the layers, eating dark
// tunnels behind their heads; the tunnels slowly crumble in again.
#include <cmath>
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Worm : public Effect {
  public:
    void start(EffectContext& c) override {
        const int n = c.n;
        const float fn = static_cast<float>(n);
        soil_.assign(static_cast<size_t>(n) * static_cast<size_t>(n), kit::Rgb{});
        tunnel_.assign(static_cast<size_t>(n) * static_cast<size_t>(n), 0);
        // Strata with wavy boundaries, and scattered pebbles.
        for (int x = 0; x < n; ++x) {
            for (int y = 0; y < n; ++y) {
                const float fx = static_cast<float>(x), fy = static_cast<float>(y);
                const float band =
                    fy / fn * 5.0f + 0.3f * fastSin(fx * 0.04f) + 0.15f * fastSin(fx * 0.13f + fy * 0.05f);
                const int layer = kit::toCell(band);
                const float hues[5] = {0.07f, 0.06f, 0.09f, 0.05f, 0.08f};
                const float vals[5] = {0.45f, 0.6f, 0.5f, 0.65f, 0.42f};
                const int l = layer < 0 ? 0 : layer > 4 ? 4 : layer;
                const unsigned h =
                    (static_cast<unsigned>(x) * 2654435761u) ^ (static_cast<unsigned>(y) * 2246822519u);
                const float grain = static_cast<float>((h >> 11) % 100u) / 100.0f;
                kit::Rgb colour = kit::hsv(hues[l], 0.7f, vals[l] * (0.85f + 0.2f * grain));
                if ((h >> 5) % 500u == 0u) {
                    colour = kit::fromLevels(170, 160, 150);
                }
                soil_[static_cast<size_t>(x) * static_cast<size_t>(n) + static_cast<size_t>(y)] = colour;
                kit::setCell(c, x, y, colour);
            }
        }
        worms_.resize(wormCount);
        for (Body& w : worms_) {
            w.heading = c.randomUnit() * kit::twoPi;
            w.phase = c.randomUnit() * kit::twoPi;
            const float x = fn * (0.2f + 0.6f * c.randomUnit()), y = fn * (0.2f + 0.6f * c.randomUnit());
            for (int k = 0; k < segments; ++k) {
                w.xs[k] = x;
                w.ys[k] = y;
            }
        }
    }

    void step(EffectContext& c) override {
        kit::clearVelocities(c);
        const int n = c.n;
        const float fn = static_cast<float>(n);
        const float s = kit::gridScale(c);
        const float t = static_cast<float>(c.frame % 100000u);
        // The soil, with the tunnels crumbling back into it as they age.
        const kit::Rgb bore = kit::fromLevels(22, 14, 10);
        for (int x = 0; x < n; ++x) {
            for (int y = 0; y < n; ++y) {
                const size_t i = static_cast<size_t>(x) * static_cast<size_t>(n) + static_cast<size_t>(y);
                if (tunnel_[i] > 0) {
                    --tunnel_[i];
                }
                const float k = static_cast<float>(tunnel_[i]) / static_cast<float>(tunnelLife);
                kit::setCell(c, x, y, kit::mix(soil_[i], bore, k * (2.0f - k)));
            }
        }
        for (Body& w : worms_) {
            // Heading: a random walk plus a wiggle, bent back towards the middle near the edges.
            w.turn = w.turn * 0.95f + (c.randomUnit() - 0.5f) * 0.04f;
            w.heading += w.turn + 0.12f * fastSin(t * 0.15f + w.phase);
            const float hx = w.xs[0], hy = w.ys[0];
            if (hx < fn * 0.08f || hy < fn * 0.08f || hx > fn * 0.92f || hy > fn * 0.92f) {
                float d = kit::angleOf(fn * 0.5f - hx, fn * 0.5f - hy) - w.heading;
                d -= kit::twoPi * static_cast<float>(kit::toCell(d / kit::twoPi + 0.5f));
                w.heading += d * 0.1f;
            }
            const float speed = 0.6f * s;
            float nx = hx + fastCos(w.heading) * speed, ny = hy + fastSin(w.heading) * speed;
            if (!kit::onGrid(c, nx, ny)) {
                nx = fn * 0.5f;
                ny = fn * 0.5f;
            }
            // Segments follow the one before at a fixed spacing.
            w.xs[0] = nx;
            w.ys[0] = ny;
            const float spacing = 2.2f * s;
            for (int k = 1; k < segments; ++k) {
                const float dx = w.xs[k] - w.xs[k - 1], dy = w.ys[k] - w.ys[k - 1];
                const float d = std::sqrt(dx * dx + dy * dy);
                if (d > spacing) {
                    w.xs[k] = w.xs[k - 1] + dx * spacing / d;
                    w.ys[k] = w.ys[k - 1] + dy * spacing / d;
                }
            }
            // The tunnel: a bore around the head.
            const float bore = 3.4f * s + 0.6f;
            for (int x = kit::toCell(nx - bore); x <= kit::toCell(nx + bore); ++x) {
                for (int y = kit::toCell(ny - bore); y <= kit::toCell(ny + bore); ++y) {
                    const float dx = static_cast<float>(x) + 0.5f - nx,
                                dy = static_cast<float>(y) + 0.5f - ny;
                    if (kit::inside(c, x, y) && dx * dx + dy * dy <= bore * bore) {
                        tunnel_[static_cast<size_t>(x) * static_cast<size_t>(n) + static_cast<size_t>(y)] =
                            tunnelLife;
                    }
                }
            }
        }
        for (const Body& w : worms_) {
            for (int k = segments - 1; k >= 0; --k) {
                const float u = static_cast<float>(k) / segments;
                // Thicker at the saddle a third of the way back, thinning to the tail.
                const float r = (1.6f + 1.0f * (1.0f - absf(u - 0.3f) * 1.4f)) * s + 0.4f;
                const bool saddle = k > segments / 4 && k < segments / 4 + 4;
                const kit::Rgb body =
                    saddle ? kit::fromLevels(230, 120, 120) : kit::fromLevels(240, 150, 160);
                const kit::Rgb ring = kit::fromLevels(160, 80, 90);
                kit::fillDisc(c, w.xs[k], w.ys[k], r + 0.5f, ring);
                kit::fillDisc(c, w.xs[k], w.ys[k], r - 0.3f, k % 2 == 0 ? body : kit::shade(body, 0.9f));
            }
            // A glint on the head.
            kit::paint(c, kit::toCell(w.xs[0]), kit::toCell(w.ys[0]), kit::fromLevels(255, 220, 220));
        }
    }

  private:
    static constexpr int wormCount = 5;
    static constexpr int segments = 26;
    struct Body {
        float xs[segments] = {};
        float ys[segments] = {};
        float heading = 0.0f, turn = 0.0f, phase = 0.0f;
    };
    std::vector<Body> worms_;
    std::vector<kit::Rgb> soil_;
    std::vector<uint16_t> tunnel_; // frames until a dug cell has filled in again
    static constexpr int tunnelLife = 900;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Worm);

} // namespace glowfield
