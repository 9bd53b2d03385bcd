// Matmos: living goo. Two chemicals react and diffuse on a half-resolution grid, several steps a frame, while
// the feed and kill rates drift slowly between spots, stripes and labyrinths; the chemicals are drawn as a
// glossy purple-and-green slime. The mouse drops fresh seed.
#include <vector>

#include "effects/kit/kit.h"
#include "effects/warps/cell_ops.h"

namespace glowfield {

namespace {

class Matmos : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::tameField(c);
        side_ = (c.n + 1) / 2;
        const size_t cells = static_cast<size_t>(side_) * side_;
        u_.assign(cells, 1.0f);
        v_.assign(cells, 0.0f);
        nu_ = u_;
        colours_.assign(cells, kit::grey);
        nv_ = v_;
        for (int i = 0; i < 40; ++i) {
            seed(c.random(3, side_ - 4), c.random(3, side_ - 4));
        }
        lastMouseX_ = c.mouseX;
        lastMouseY_ = c.mouseY;
    }

    void step(EffectContext& c) override {
        if ((c.n + 1) / 2 != side_) {
            start(c); // the grid was resized: begin again at the new size
        }
        ++age_;
        if (c.mouseX != lastMouseX_ || c.mouseY != lastMouseY_) {
            lastMouseX_ = c.mouseX;
            lastMouseY_ = c.mouseY;
            seed(c.mouseX / 2, c.mouseY / 2);
        }
        if (age_ % 90 == 0) {
            seed(c.random(3, side_ - 4), c.random(3, side_ - 4));
        }
        // Feed and kill wander through the regimes of spots, worms and mazes.
        const float t = static_cast<float>(age_) * 0.004f;
        const float s1 = fastSin(t), s2 = fastSin(t * 1.7f + 1.0f);
        const float feed = 0.035f + 0.008f * s1;
        const float kill = 0.0615f + 0.0015f * s1 + 0.001f * s2;
        for (int s = 0; s < stepsPerFrame; ++s) {
            react(feed, kill);
        }
        kit::scaleVelocities(c, 0.0f);
        // The goo's colour is worked out once per board cell, lit from the top left by its slope, then spread
        // over the grid with linear blending between board cells so the edges stay soft.
        for (int i = 0; i < side_; ++i) {
            for (int j = 0; j < side_; ++j) {
                const float v = v_[index(i, j)];
                const float slope = v_[index(i + 1 < side_ ? i + 1 : i, j + 1 < side_ ? j + 1 : j)] -
                                    v_[index(i > 0 ? i - 1 : i, j > 0 ? j - 1 : j)];
                const float k = kit::clampf(v * 3.2f, 0.0f, 1.0f);
                kit::Rgb col = fx::mix(kit::fromLevels(40, 10, 60), kit::fromLevels(120, 230, 60), k);
                col = fx::mix(col, kit::fromLevels(250, 255, 220), kit::clampf(-slope * 6.0f, 0.0f, 0.6f));
                colours_[index(i, j)] = fx::shade(col, kit::clampf(1.0f - slope * 3.0f, 0.5f, 1.0f));
            }
        }
        for (int x = 0; x < c.n; ++x) {
            const int i = x / 2, i1 = (x & 1) && i + 1 < side_ ? i + 1 : i;
            for (int y = 0; y < c.n; ++y) {
                const int j = y / 2, j1 = (y & 1) && j + 1 < side_ ? j + 1 : j;
                const kit::Rgb a = colours_[index(i, j)], b = colours_[index(i1, j)];
                const kit::Rgb d = colours_[index(i, j1)], e = colours_[index(i1, j1)];
                fx::put(c, x, y,
                        {(a.r + b.r + d.r + e.r) * 0.25f, (a.g + b.g + d.g + e.g) * 0.25f,
                         (a.b + b.b + d.b + e.b) * 0.25f});
            }
        }
    }

  private:
    static constexpr int stepsPerFrame = 4;

    size_t index(int x, int y) const { return static_cast<size_t>(x) * side_ + y; }

    void seed(int cx, int cy) {
        for (int dx = -2; dx <= 2; ++dx) {
            for (int dy = -2; dy <= 2; ++dy) {
                const int x = kit::wrap(cx + dx, side_), y = kit::wrap(cy + dy, side_);
                u_[index(x, y)] = 0.5f;
                v_[index(x, y)] = 0.25f;
            }
        }
    }

    void react(float feed, float kill) {
        for (int x = 0; x < side_; ++x) {
            const int xm = x == 0 ? side_ - 1 : x - 1, xp = x == side_ - 1 ? 0 : x + 1;
            for (int y = 0; y < side_; ++y) {
                const int ym = y == 0 ? side_ - 1 : y - 1, yp = y == side_ - 1 ? 0 : y + 1;
                const size_t k = index(x, y);
                const float u = u_[k], v = v_[k];
                const float lu =
                    u_[index(xm, y)] + u_[index(xp, y)] + u_[index(x, ym)] + u_[index(x, yp)] - 4 * u;
                const float lv =
                    v_[index(xm, y)] + v_[index(xp, y)] + v_[index(x, ym)] + v_[index(x, yp)] - 4 * v;
                const float uvv = u * v * v;
                nu_[k] = kit::clampf(u + 0.2097f * lu - uvv + feed * (1.0f - u), 0.0f, 1.0f);
                nv_[k] = kit::clampf(v + 0.105f * lv + uvv - (feed + kill) * v, 0.0f, 1.0f);
            }
        }
        u_.swap(nu_);
        v_.swap(nv_);
    }

    int side_ = 0;
    int age_ = 0;
    int lastMouseX_ = 0, lastMouseY_ = 0;
    std::vector<float> u_, v_, nu_, nv_;
    std::vector<kit::Rgb> colours_;
};

} // namespace

std::unique_ptr<Effect> makeMatmos() {
    return std::make_unique<Matmos>();
}

} // namespace glowfield
