// Matmos: living goo under the microscope. Two chemicals react and diffuse on a half-resolution grid, several
// steps a frame, with feed and kill rates where blobs grow and pinch in two, while a slow current stirs the
// dish so that they drift past one another. The blobs are drawn as stained cells in bright-field
// light: a pale dish, dark membranes, a pink body and a deep violet nucleus. The mouse drops fresh seed.
#include <vector>

#include "effects/kit/kit.h"

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
        lineBuffer_.assign(static_cast<size_t>(side_), 0.0f);
        for (int i = 0; i < 40; ++i) {
            seed(c.random(3, side_ - 4), c.random(3, side_ - 4));
        }
    }

    void step(EffectContext& c) override {
        const int age = static_cast<int>(c.framesSinceStart) + 1;
        if (c.framesSinceMouseMoved == 0) {
            seed(c.mouseX / 2, c.mouseY / 2);
        }
        if (age % 90 == 0) {
            seed(c.random(3, side_ - 4), c.random(3, side_ - 4));
        }
        // Feed and kill wander through the regimes of spots, worms and mazes.
        const float t = static_cast<float>(age) * 0.004f;
        const float s1 = fastSin(t), s2 = fastSin(t * 1.7f + 1.0f);
        const float feed = 0.0367f + 0.0025f * s1;
        const float kill = 0.0645f + 0.0012f * s2;
        drift(static_cast<float>(age));
        for (int s = 0; s < stepsPerFrame; ++s) {
            react(feed, kill);
        }
        kit::scaleVelocities(c, 0.0f);
        // Each board cell's colour is worked out once, then spread over the grid with linear blending between
        // board cells so the edges stay soft. The slope across the board lights each cell's rim a little, as
        // a slightly defocused microscope does.
        const float hueDrift = 0.03f * fastSin(static_cast<float>(age) * 0.003f);
        const kit::Rgb dish = kit::fromLevels(236, 228, 214), body = kit::hsv(0.9f + hueDrift, 0.42f, 0.9f);
        const kit::Rgb membrane = kit::fromLevels(96, 52, 110),
                       nucleus = kit::hsv(0.76f + hueDrift, 0.7f, 0.45f);
        for (int i = 0; i < side_; ++i) {
            for (int j = 0; j < side_; ++j) {
                const float v = v_[index(i, j)];
                const float slope = v_[index(i + 1 < side_ ? i + 1 : i, j + 1 < side_ ? j + 1 : j)] -
                                    v_[index(i > 0 ? i - 1 : i, j > 0 ? j - 1 : j)];
                kit::Rgb col = kit::mix(dish, body, kit::smoothstep(0.08f, 0.22f, v));
                // The membrane: a dark ring where the cell's edge rises.
                const float edge = 1.0f - kit::clampf((v > 0.14f ? v - 0.14f : 0.14f - v) * 9.0f, 0.0f, 1.0f);
                col = kit::mix(col, membrane, 0.85f * edge * edge);
                col = kit::mix(col, nucleus, kit::smoothstep(0.3f, 0.42f, v));
                colours_[index(i, j)] = kit::shade(col, kit::clampf(1.0f + slope * 2.5f, 0.8f, 1.1f));
            }
        }
        for (int x = 0; x < c.n; ++x) {
            const int i = x / 2, i1 = (x & 1) && i + 1 < side_ ? i + 1 : i;
            for (int y = 0; y < c.n; ++y) {
                const int j = y / 2, j1 = (y & 1) && j + 1 < side_ ? j + 1 : j;
                const kit::Rgb a = colours_[index(i, j)], b = colours_[index(i1, j)];
                const kit::Rgb d = colours_[index(i, j1)], e = colours_[index(i1, j1)];
                kit::paint(c, x, y,
                           {(a.r + b.r + d.r + e.r) * 0.25f, (a.g + b.g + d.g + e.g) * 0.25f,
                            (a.b + b.b + d.b + e.b) * 0.25f});
            }
        }
    }

  private:
    static constexpr int stepsPerFrame = 4;
    static constexpr float flow = 0.3f; // board cells a frame at the current's fastest

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

    // The dish is stirred by a slow current: each row of the board slides along by an amount that varies
    // down the board, then each column up or down by an amount that varies across it, so the cells drift
    // past one another without the flow bunching them anywhere. Read between cells, wrapping at the edges.
    void drift(float t) {
        const float twoPiOverSide = kit::twoPi / static_cast<float>(side_);
        for (int y = 0; y < side_; ++y) {
            const float shift = flow * fastSin(static_cast<float>(y) * twoPiOverSide + t * 0.004f);
            slide(shift, y, true);
        }
        for (int x = 0; x < side_; ++x) {
            const float shift =
                flow * fastSin(static_cast<float>(x) * twoPiOverSide * 2.0f - t * 0.003f + 1.3f);
            slide(shift, x, false);
        }
    }

    // Moves one row (along x) or one column (along y) of both chemicals by shift cells, |shift| < 1.
    void slide(float shift, int line, bool row) {
        const int whole = kit::toCell(shift);
        const float f = shift - static_cast<float>(whole);
        for (std::vector<float>* plane : {&u_, &v_}) {
            std::vector<float>& p = *plane;
            for (int k = 0; k < side_; ++k) {
                // whole is -1 or 0, so one step round the board wraps every index.
                int a = k - whole;
                a = a >= side_ ? a - side_ : a;
                const int b = a == 0 ? side_ - 1 : a - 1;
                const size_t from = row ? index(a, line) : index(line, a);
                const size_t from1 = row ? index(b, line) : index(line, b);
                lineBuffer_[static_cast<size_t>(k)] = p[from] * (1.0f - f) + p[from1] * f;
            }
            for (int k = 0; k < side_; ++k) {
                p[row ? index(k, line) : index(line, k)] = lineBuffer_[static_cast<size_t>(k)];
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
    std::vector<float> u_, v_, nu_, nv_;
    std::vector<kit::Rgb> colours_;
    std::vector<float> lineBuffer_;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Matmos);

} // namespace glowfield
