// UFO: a flying saucer hovers over a night landscape with chasing rim lights. Its tractor beam lifts the
// ground beneath it a row at a time while sparkles rise into it; every few seconds it zips off to a new
// spot, leaving a streak.
#include <vector>

#include "effects/kit/kit.h"
#include "effects/particles/particle_bounds.h"

namespace glowfield {

namespace {

class UFO : public Effect {
  public:
    void start(EffectContext& c) override {
        grid_ = c.n;
        const float n = static_cast<float>(c.n);
        x_ = fromX_ = toX_ = n * 0.5f;
        y_ = fromY_ = toY_ = n * 0.3f;
        motes_.assign(maxMotes, Mote{});
        started_ = c.frame;
        // The night scene appears at once, the beam then works on it.
        drawScene(c, 1.0f);
    }

    void step(EffectContext& c) override {
        if (grid_ != c.n) {
            start(c); // the grid changed size: lay everything out afresh for it
        }
        bounds::tameNowAndThen(c, 200.0f, 10.0f);
        const float n = static_cast<float>(c.n);
        const float s = bounds::gridScale(c);
        const uint32_t age = c.frame - started_;
        const uint32_t phase = age % 250u;
        // Slowly heal the scene, so lifted ground comes back and streaks fade.
        drawScene(c, 0.03f);
        if (phase == 0u && age > 0u) {
            fromX_ = x_;
            fromY_ = y_;
            toX_ = n * (0.2f + 0.6f * c.randomUnit());
            toY_ = n * (0.15f + 0.3f * c.randomUnit());
        }
        const float t = static_cast<float>(age);
        float hx = toX_, hy = toY_;
        if (phase < 12u) {
            // The zip: fast, with a bright streak behind.
            const float u = static_cast<float>(phase + 1u) / 12.0f;
            hx = kit::lerp(fromX_, toX_, u * u * (3.0f - 2.0f * u));
            hy = kit::lerp(fromY_, toY_, u * u * (3.0f - 2.0f * u));
            kit::drawThickLine(c, x_, y_, hx, hy, 1.5f * s, kit::fromLevels(200, 255, 230));
        }
        x_ = hx + 3.0f * s * fastSin(t * 0.07f);
        y_ = hy + 2.0f * s * fastSin(t * 0.11f);
        const bool beaming = phase > 30u && phase < 230u;
        const float w = 22.0f * s;
        if (beaming) {
            beam(c, w);
        }
        // Sparkles rise inside the beam.
        if (beaming) {
            for (int k = 0; k < 4; ++k) {
                Mote& m = motes_[next_];
                next_ = (next_ + 1) % maxMotes;
                const float u = c.randomUnit() - 0.5f;
                m = {x_ + u * w * 2.0f, n - 2.0f, -(0.6f + c.randomUnit()) * s, u, true};
            }
        }
        for (Mote& m : motes_) {
            if (!m.live) {
                continue;
            }
            m.y += m.vy;
            // Drawn in towards the beam's axis as they rise.
            m.x = x_ + m.u * w * 2.0f * kit::clampf((m.y - y_) / (n - y_), 0.2f, 1.0f);
            if (!bounds::onGrid(c, m.x, m.y) || m.y < y_ || !beaming) {
                m.live = false;
                continue;
            }
            bounds::plot(c, m.x, m.y, c.random(0, 3) == 0 ? kit::white : kit::fromLevels(140, 255, 200));
        }
        drawSaucer(c, t, s);
    }

  private:
    struct Mote {
        float x = 0.0f, y = 0.0f, vy = 0.0f, u = 0.0f;
        bool live = false;
    };
    static constexpr int maxMotes = 300;

    // A starry sky over dark hills; with alpha 1 it is painted, below 1 the field is pulled towards it.
    void drawScene(const EffectContext& c, float alpha) {
        const float n = static_cast<float>(c.n);
        if (scene_.size() != static_cast<size_t>(c.n) * static_cast<size_t>(c.n)) {
            scene_.assign(static_cast<size_t>(c.n) * static_cast<size_t>(c.n), kit::Rgb{});
            for (int x = 0; x < c.n; ++x) {
                const float fx = static_cast<float>(x);
                const float hill =
                    n * (0.78f + 0.05f * fastSin(fx * 0.031f) + 0.03f * fastSin(fx * 0.083f + 1.0f));
                for (int y = 0; y < c.n; ++y) {
                    const float fy = static_cast<float>(y);
                    kit::Rgb colour;
                    if (fy < hill) {
                        const float k = fy / n;
                        colour = kit::fromLevels(8 + truncToInt(20 * k), 10 + truncToInt(24 * k),
                                                 40 + truncToInt(40 * k));
                        // Fixed stars from a hash of the cell.
                        const unsigned h =
                            (static_cast<unsigned>(x) * 73856093u) ^ (static_cast<unsigned>(y) * 19349663u);
                        if (h % 131u == 0u) {
                            colour = kit::fromLevels(200, 200, 230);
                        }
                    } else {
                        const float stripe = fastSin(fx * 0.2f + fy * 0.5f);
                        colour =
                            kit::fromLevels(20 + truncToInt(10 * stripe), 50 + truncToInt(14 * stripe), 26);
                    }
                    scene_[static_cast<size_t>(x) * static_cast<size_t>(c.n) + static_cast<size_t>(y)] =
                        colour;
                }
            }
        }
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                const kit::Rgb colour =
                    scene_[static_cast<size_t>(x) * static_cast<size_t>(c.n) + static_cast<size_t>(y)];
                if (alpha >= 1.0f) {
                    bounds::setCell(c, x, y, colour);
                } else {
                    bounds::mixCell(c, x, y, colour, alpha);
                }
            }
        }
    }

    // The beam: a widening cone of pale green light, and inside it every cell takes the one below it.
    void beam(const EffectContext& c, float w) {
        const float n = static_cast<float>(c.n);
        const int top = kit::clampCell(c, kit::toCell(y_ + 3.0f));
        for (int y = top; y + 1 < c.n; ++y) {
            const float k = (static_cast<float>(y) - y_) / (n - y_);
            const float half = w * (0.35f + 0.65f * k);
            const int x0 = kit::clampCell(c, kit::toCell(x_ - half)),
                      x1 = kit::clampCell(c, kit::toCell(x_ + half));
            for (int x = x0; x <= x1; ++x) {
                const int from = cellAt(x, y + 1), to = cellAt(x, y);
                c.planes.red[to] = c.planes.red[from];
                c.planes.green[to] = c.planes.green[from];
                c.planes.blue[to] = c.planes.blue[from];
                const float edge = absf(static_cast<float>(x) - x_) / (half + 1.0f);
                bounds::mixCell(c, x, y, kit::fromLevels(150, 255, 190), 0.06f * (1.0f - edge * edge));
            }
        }
    }

    void drawSaucer(const EffectContext& c, float t, float s) {
        const int corners = 24;
        float xs[corners], ys[corners];
        for (int k = 0; k < corners; ++k) {
            const float a = kit::twoPi * static_cast<float>(k) / corners;
            xs[k] = x_ + fastCos(a) * 24.0f * s;
            ys[k] = y_ + fastSin(a) * 6.0f * s;
        }
        kit::fillPolygon(c, xs, ys, corners, kit::fromLevels(110, 115, 130));
        // Shading: a lit upper rim and a dark underside.
        kit::fillRect(c, x_ - 18.0f * s, y_ + 2.0f * s, x_ + 18.0f * s, y_ + 5.0f * s,
                      kit::fromLevels(50, 52, 64));
        kit::drawPolygon(c, xs, ys, corners, kit::fromLevels(200, 205, 220));
        kit::fillDisc(c, x_, y_ - 5.0f * s, 9.0f * s, kit::fromLevels(90, 200, 210));
        kit::fillDisc(c, x_ - 3.0f * s, y_ - 8.0f * s, 2.5f * s, kit::fromLevels(220, 255, 255));
        kit::fillRect(c, x_ - 10.0f * s, y_ - 2.0f * s, x_ + 10.0f * s, y_ + 1.0f * s,
                      kit::fromLevels(110, 115, 130));
        // Chasing rim lights: the lit one walks round the rim.
        for (int k = 0; k < 8; ++k) {
            const float a = kit::pi * (static_cast<float>(k) + 0.5f) / 8.0f;
            const float lx = x_ - fastCos(a) * 21.0f * s;
            const float ly = y_ + fastSin(a) * 3.0f * s;
            const bool lit = (truncToInt(t * 0.4f) + k) % 4 == 0;
            kit::fillDisc(c, lx, ly, 1.3f * s + 0.5f,
                          lit ? kit::fromLevels(255, 240, 120)
                              : kit::hsv(static_cast<float>(k) / 8.0f, 0.8f, 0.6f));
        }
    }

    std::vector<Mote> motes_;
    std::vector<kit::Rgb> scene_; // the night landscape, made on the first call
    int next_ = 0;
    float x_ = 0.0f, y_ = 0.0f, fromX_ = 0.0f, fromY_ = 0.0f, toX_ = 0.0f, toY_ = 0.0f;
    uint32_t started_ = 0;
    int grid_ = 0; // the grid side the state was laid out for
};

} // namespace

std::unique_ptr<Effect> makeUFO() {
    return std::make_unique<UFO>();
}

} // namespace glowfield
