// Get Outta Here: everything flees. Whatever is on the screen, the last effect's picture included, is blasted
// outwards from a wandering point in steady shoves and harder gusts, streaming off the edges while rings of
// colour well up behind it; bold shapes fly in from the edges, streak towards the point and burst.
#include <algorithm>
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

struct Shape {
    float x = 0.0f, y = 0.0f, vx = 0.0f, vy = 0.0f, size = 0.0f, spin = 0.0f;
    int kind = 0; // 0 disc, 1 square, 2 star, 3 ring
    kit::Rgb colour;
    bool live = false;
};

class GetOuttaHere : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::tameField(c);
        for (Shape& s : shapes_) {
            s.live = false;
        }
    }

    void step(EffectContext& c) override {
        const int age = static_cast<int>(c.framesSinceStart) + 1;
        const float n = static_cast<float>(c.n), s = c.scale;
        const float t = static_cast<float>(age);
        float bx = n * (0.5f + 0.3f * fastSin(t * 0.013f) * fastCos(t * 0.005f));
        float by = n * (0.5f + 0.28f * fastSin(t * 0.011f + 1.3f));
        if (c.framesSinceMouseMoved < 150) {
            bx = static_cast<float>(c.mouseX);
            by = static_cast<float>(c.mouseY);
        }
        // A steady shove, and every two seconds a harder gust.
        const int beat = age % 100;
        const float gust = beat < 20 ? fastSin(static_cast<float>(beat) * kit::pi / 20.0f) : 0.0f;
        const float strength = 0.04f + 0.12f * gust;
        const float reach2 = n * n * 0.12f;
        capture(c);
        // Each cell reads from nearer the point; the point and every cell lie on the grid, so the read does
        // too, and only the far neighbour of the bilinear read needs holding at the last column or row.
        bx = kit::clampf(bx, 0.0f, n - 1.0f);
        by = kit::clampf(by, 0.0f, n - 1.0f);
        const int last = c.n - 1;
        const float fall = 1.0f / (reach2 * 5.0f); // the shove dies out beyond the corners
        const float* copyRed = copy_[0].data();
        const float* copyGreen = copy_[1].data();
        const float* copyBlue = copy_[2].data();
        for (int x = 0; x < c.n; ++x) {
            const float dx = static_cast<float>(x) - bx;
            float* red = c.planes.red + cellAt(x, 0);
            float* green = c.planes.green + cellAt(x, 0);
            float* blue = c.planes.blue + cellAt(x, 0);
            for (int y = 0; y < c.n; ++y) {
                // Rows count three quarters of a column, so the blast spreads in circles on the screen.
                const float dy = static_cast<float>(y) - by;
                const float q = 1.0f - (dx * dx + dy * dy * 0.5625f) * fall;
                const float k = q > 0.0f ? 1.0f - strength * q * q : 1.0f;
                const float sx = kit::clampf(bx + dx * k, 0.0f, n - 1.0f),
                            sy = kit::clampf(by + dy * k, 0.0f, n - 1.0f);
                const int x0 = static_cast<int>(sx), y0 = static_cast<int>(sy);
                const float fx = sx - static_cast<float>(x0), fy = sy - static_cast<float>(y0);
                const int a = x0 * c.n + y0;
                const int right = x0 < last ? c.n : 0, down = y0 < last ? 1 : 0;
                const float w00 = (1.0f - fx) * (1.0f - fy), w10 = fx * (1.0f - fy), w01 = (1.0f - fx) * fy,
                            w11 = fx * fy;
                const int b = a + right, d = a + down, e = a + right + down;
                red[y] = copyRed[a] * w00 + copyRed[b] * w10 + copyRed[d] * w01 + copyRed[e] * w11;
                green[y] = copyGreen[a] * w00 + copyGreen[b] * w10 + copyGreen[d] * w01 + copyGreen[e] * w11;
                blue[y] = copyBlue[a] * w00 + copyBlue[b] * w10 + copyBlue[d] * w01 + copyBlue[e] * w11;
            }
        }
        for (float* plane : {c.planes.redVelocity, c.planes.greenVelocity, c.planes.blueVelocity}) {
            for (int x = 0; x < c.n; ++x) {
                std::fill_n(plane + cellAt(x, 0), c.n, 0.0f);
            }
        }
        // What wells up at the point: rings of slowly changing colour that the blast carries outwards.
        const int band = age / 14;
        const kit::Rgb well =
            kit::hsv(static_cast<float>(band) * 0.137f, 0.85f, (band & 1) != 0 ? 0.9f : 0.3f);
        kit::fillDisc(c, bx, by, 7.0f * s, well);
        // Each gust sets off a bright shock ring that the blast itself carries outwards.
        if (beat < 6) {
            kit::drawRing(c, bx, by, (9.0f + 3.0f * static_cast<float>(beat)) * s, 2.0f * s,
                          kit::hsv(static_cast<float>(band) * 0.137f + 0.5f, 0.5f, 1.0f));
        }
        countDark(c);
        // Bold shapes come in from the edges, more of them when the screen has run empty.
        const int wanted = 2 + static_cast<int>(dark_ * 10.0f);
        int live = 0;
        for (const Shape& sh : shapes_) {
            live += sh.live ? 1 : 0;
        }
        if (live < wanted && c.random(0, 9) < 3) {
            launch(c, bx, by);
        }
        for (Shape& sh : shapes_) {
            if (!sh.live) {
                continue;
            }
            sh.x += sh.vx;
            sh.y += sh.vy;
            sh.spin += 0.08f;
            const float ex = sh.x - bx, ey = (sh.y - by) * 0.75f;
            if (ex * ex + ey * ey < 14.0f * s * 14.0f * s ||
                !(sh.x > -40.0f && sh.x < n + 40.0f && sh.y > -40.0f && sh.y < n + 40.0f)) {
                // It reached the point: a splash of its colour for the blast to fling out.
                kit::fillDisc(c, sh.x, sh.y, sh.size * 1.4f, sh.colour);
                sh.live = false;
                continue;
            }
            drawShape(c, sh);
        }
    }

  private:
    static constexpr int shapeCount = 14;

    // The colours as three planes of the grid's own size, each value brought into a sane range so that
    // extreme leftovers cannot take over.
    void capture(const EffectContext& c) {
        const size_t cells = static_cast<size_t>(c.n) * c.n;
        const float* planes[3] = {c.planes.red, c.planes.green, c.planes.blue};
        for (int p = 0; p < 3; ++p) {
            copy_[p].resize(cells);
            float* out = copy_[p].data();
            for (int x = 0; x < c.n; ++x) {
                const float* column = planes[p] + cellAt(x, 0);
                for (int y = 0; y < c.n; ++y) {
                    const float v = column[y];
                    out[x * c.n + y] = v == v ? kit::clampf(v, -200.0f, 200.0f) : 0.0f;
                }
            }
        }
    }

    void countDark(const EffectContext& c) {
        int darkCells = 0, all = 0;
        for (int x = 0; x < c.n; x += 8) {
            for (int y = 0; y < c.n; y += 8) {
                const kit::Rgb v = kit::colourAt(c, x, y);
                const float m = v.r > v.g ? (v.r > v.b ? v.r : v.b) : (v.g > v.b ? v.g : v.b);
                darkCells += m < -80.0f ? 1 : 0;
                ++all;
            }
        }
        dark_ = all > 0 ? static_cast<float>(darkCells) / static_cast<float>(all) : 0.0f;
    }

    void launch(EffectContext& c, float bx, float by) {
        for (Shape& sh : shapes_) {
            if (sh.live) {
                continue;
            }
            const float n = static_cast<float>(c.n), s = c.scale;
            const int side = c.random(0, 3);
            const float along = c.randomUnit() * n;
            sh.x = side == 0 ? -10.0f : side == 1 ? n + 10.0f : along;
            sh.y = side == 2 ? -10.0f : side == 3 ? n + 10.0f : along;
            const float dx = bx - sh.x, dy = by - sh.y;
            const float len =
                kit::clampf(dx < 0.0f ? -dx : dx, 1.0f, n) + kit::clampf(dy < 0.0f ? -dy : dy, 1.0f, n);
            const float speed = (1.6f + 1.2f * c.randomUnit()) * s;
            sh.vx = dx / len * speed * 1.4f;
            sh.vy = dy / len * speed * 1.4f;
            sh.size = (8.0f + 8.0f * c.randomUnit()) * s;
            sh.kind = c.random(0, 3);
            sh.spin = c.randomUnit() * kit::twoPi;
            sh.colour = kit::hsv(c.randomUnit(), 0.9f, 1.0f);
            sh.live = true;
            return;
        }
    }

    // A shape with a darker core mark, so it reads bold at the head of its own streak.
    static void drawShape(const EffectContext& c, const Shape& sh) {
        const float r = sh.size;
        const kit::Rgb core = kit::shade(sh.colour, 0.35f);
        if (sh.kind == 0 || sh.kind == 3) {
            kit::fillDisc(c, sh.x, sh.y, r, sh.colour);
            kit::fillDisc(c, sh.x, sh.y, r * (sh.kind == 3 ? 0.5f : 0.25f), sh.kind == 3 ? core : kit::white);
            return;
        }
        const int corners = sh.kind == 1 ? 4 : 10;
        float xs[10], ys[10];
        for (int i = 0; i < corners; ++i) {
            const float a = sh.spin + kit::twoPi * static_cast<float>(i) / static_cast<float>(corners);
            const float rr = sh.kind == 2 && (i & 1) ? r * 0.45f : r * (sh.kind == 1 ? 1.2f : 1.1f);
            xs[i] = sh.x + rr * fastCos(a);
            ys[i] = sh.y + rr * fastSin(a) * 4.0f / 3.0f;
        }
        kit::fillPolygon(c, xs, ys, corners, sh.colour);
        kit::fillDisc(c, sh.x, sh.y, r * 0.25f, kit::white);
    }

    float dark_ = 0.0f;
    Shape shapes_[shapeCount];
    std::vector<float> copy_[3];
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(GetOuttaHere);

} // namespace glowfield
