// Yum Yum: a sweet jar. Wrapped sweets (ovals with twisted ends, in bright wrappers) drop in, bounce and
// settle into a heap; when the jar is full the lid lifts and the sweets spring out over the rim.
#include <cmath>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

struct Sweet {
    float x, y, vx, vy, angle;
    kit::Rgb colour;
    bool resting;
    bool live;
};

class YumYum : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::tameField(c);
        for (Sweet& w : sweets_) {
            w.live = false;
        }
        for (float& h : heap_) {
            h = 0.0f;
        }
        lid_ = 0.0f;
        tipping_ = 0;
    }

    void step(EffectContext& c) override {
        const float n = static_cast<float>(c.n);
        const float s = c.scale;
        const int time = static_cast<int>(c.framesSinceStart) + 1;
        kit::scaleVelocities(c, 0.0f);
        kit::pullColours(c, kit::fromLevels(120, 60, 110), 0.35f);
        // Candy stripes in the background, slowly sliding; a stripe depends on x + y only.
        for (int d = 0; d < 2 * c.n - 1; ++d) {
            stripe_[d] =
                fastSin((static_cast<float>(d) - static_cast<float>(time) * 0.3f) * 0.12f / s) > 0.3f;
        }
        for (int x = 0; x < c.n; ++x) {
            const kit::Column col = kit::column(c, x);
            for (int y = 0; y < c.n; ++y) {
                if (stripe_[x + y]) {
                    col.blend(y, kit::fromLevels(170, 90, 150), 0.3f);
                }
            }
        }
        const float left = n * 0.27f, right = n * 0.73f, bottom = n * 0.9f, top = n * 0.3f;
        const float cellW = (right - left) / static_cast<float>(columns);

        // Drop a new sweet in now and then while the jar is filling.
        float highest = 0.0f;
        for (float h : heap_) {
            highest = h > highest ? h : highest;
        }
        if (tipping_ == 0 && highest > (bottom - top) * 0.8f) {
            tipping_ = 1;
        }
        if (tipping_ == 0 && time % 5 == 0) {
            bool dropped = false;
            for (Sweet& w : sweets_) {
                if (!w.live) {
                    w = {left + cellW + (right - left - 2.0f * cellW) * c.randomUnit(),
                         -6.0f * s,
                         (c.randomUnit() - 0.5f) * 0.6f,
                         0.5f,
                         c.randomUnit() * kit::pi,
                         kit::hsv(c.randomUnit(), 0.8f, 1.0f),
                         false,
                         true};
                    dropped = true;
                    break;
                }
            }
            if (!dropped) {
                tipping_ = 1; // every sweet is in the jar: out they come
            }
        }
        if (tipping_ > 0) {
            ++tipping_;
            lid_ = kit::clampf(static_cast<float>(tipping_) / 40.0f, 0.0f, 1.0f);
            if (tipping_ == 45) {
                // Out they spring.
                for (Sweet& w : sweets_) {
                    if (w.live) {
                        w.resting = false;
                        w.vx = (c.randomUnit() - 0.5f) * 4.0f * s;
                        w.vy = -(2.0f + 2.5f * c.randomUnit()) * s;
                    }
                }
                for (float& h : heap_) {
                    h = 0.0f;
                }
            }
            if (tipping_ > 200) {
                tipping_ = 0;
                lid_ = 0.0f;
            }
        }

        // The jar's glass behind the sweets.
        for (int x = kit::toCell(left); x <= kit::toCell(right); ++x) {
            for (int y = kit::toCell(top); y <= kit::toCell(bottom); ++y) {
                kit::blendCell(c, x, y, kit::fromLevels(200, 220, 235), 0.25f);
            }
        }

        for (Sweet& w : sweets_) {
            if (!w.live) {
                continue;
            }
            if (!w.resting) {
                w.vy += 0.08f * s;
                w.x += w.vx;
                w.y += w.vy;
                w.angle += w.vx * 0.1f;
                const bool escaping = tipping_ >= 45;
                if (!escaping) {
                    // Inside the jar: walls and the heap.
                    if (w.x < left + 4.0f * s) {
                        w.x = left + 4.0f * s;
                        w.vx = -w.vx * 0.5f;
                    } else if (w.x > right - 4.0f * s) {
                        w.x = right - 4.0f * s;
                        w.vx = -w.vx * 0.5f;
                    }
                    const int col = column(w.x, left, cellW);
                    const float floor = bottom - heap_[col] - 2.5f * s;
                    if (w.y >= floor) {
                        w.y = floor;
                        if (w.vy > 1.0f * s) {
                            w.vy = -w.vy * 0.35f;
                            w.vx += (c.randomUnit() - 0.5f) * 0.8f;
                        } else {
                            // Roll off a peak before settling.
                            const int l = col > 0 ? col - 1 : col, r = col + 1 < columns ? col + 1 : col;
                            if (heap_[l] + 3.0f * s < heap_[col]) {
                                w.x -= cellW;
                            } else if (heap_[r] + 3.0f * s < heap_[col]) {
                                w.x += cellW;
                            } else {
                                w.resting = true;
                                heap_[col] += 5.5f * s;
                                if (col > 0) {
                                    heap_[col - 1] += 1.5f * s;
                                }
                                if (col + 1 < columns) {
                                    heap_[col + 1] += 1.5f * s;
                                }
                            }
                        }
                    }
                }
                if (!(w.x > -20.0f && w.x < n + 20.0f && w.y < n + 20.0f && w.y > -n)) {
                    w.live = false;
                    continue;
                }
            }
            drawSweet(c, w, s);
        }

        // The jar: rim, sides and lid.
        const kit::Rgb glass = kit::fromLevels(235, 245, 255);
        kit::drawThickLine(c, left, top, left, bottom, 1.0f * s, glass);
        kit::drawThickLine(c, right, top, right, bottom, 1.0f * s, glass);
        kit::drawThickLine(c, left, bottom, right, bottom, 1.2f * s, glass);
        kit::drawThickLine(c, left + 3.0f * s, top + 4.0f * s, left + 3.0f * s, bottom - 10.0f * s, 0.6f,
                           kit::fromLevels(255, 255, 255));
        const float lidY = top - 3.0f * s - lid_ * n * 0.2f;
        const float lidTurn = lid_ * 0.5f;
        const float hw = (right - left) * 0.5f + 3.0f * s;
        const float mx = (left + right) * 0.5f + lid_ * n * 0.15f;
        const float lx0 = mx - hw * fastCos(lidTurn), ly0 = lidY + hw * fastSin(lidTurn);
        const float lx1 = mx + hw * fastCos(lidTurn), ly1 = lidY - hw * fastSin(lidTurn);
        kit::drawThickLine(c, lx0, ly0, lx1, ly1, 3.0f * s, kit::fromLevels(220, 40, 70));
        kit::drawThickLine(c, lx0, ly0 - 1.5f * s, lx1, ly1 - 1.5f * s, 1.0f * s,
                           kit::fromLevels(255, 140, 160));
        kit::fillDisc(c, mx + 4.0f * s * fastSin(lidTurn), lidY - 4.0f * s, 3.0f * s,
                      kit::fromLevels(250, 200, 60));
    }

  private:
    static constexpr int columns = 16;
    static constexpr int capacity = 180;

    static int column(float x, float left, float cellW) {
        const int col = kit::toCell((x - left) / cellW);
        return col < 0 ? 0 : col >= columns ? columns - 1 : col;
    }

    static void drawSweet(const EffectContext& c, const Sweet& w, float s) {
        const float ca = fastCos(w.angle), sa = fastSin(w.angle);
        const float a = 4.0f * s, b = 2.6f * s;
        // Twisted ends: small fans either side.
        for (int side = -1; side <= 1; side += 2) {
            const float ex = w.x + ca * a * 1.0f * static_cast<float>(side);
            const float ey = w.y + sa * a * 1.0f * static_cast<float>(side);
            const float tx = w.x + ca * a * 1.7f * static_cast<float>(side);
            const float ty = w.y + sa * a * 1.7f * static_cast<float>(side);
            const float xs[3] = {ex, tx - sa * b, tx + sa * b};
            const float ys[3] = {ey, ty + ca * b, ty - ca * b};
            kit::fillPolygon(c, xs, ys, 3, kit::shade(w.colour, 0.75f));
        }
        const int x0 = kit::toCell(w.x - a - 1.0f), x1 = kit::toCell(w.x + a + 1.0f);
        const int y0 = kit::toCell(w.y - a - 1.0f), y1 = kit::toCell(w.y + a + 1.0f);
        for (int x = x0; x <= x1; ++x) {
            for (int y = y0; y <= y1; ++y) {
                const float dx = static_cast<float>(x) - w.x, dy = static_cast<float>(y) - w.y;
                const float u = (dx * ca + dy * sa) / a, v = (-dx * sa + dy * ca) / b;
                const float d = u * u + v * v;
                if (d <= 1.0f) {
                    const float light = 1.0f - 0.45f * kit::clampf(d + v * 0.4f, 0.0f, 1.0f);
                    kit::paint(c, x, y, d < 0.12f && v < 0.0f ? kit::white : kit::shade(w.colour, light));
                }
            }
        }
    }

    Sweet sweets_[capacity] = {};
    float heap_[columns] = {};
    bool stripe_[2 * planeStride] = {};
    float lid_ = 0.0f;
    int tipping_ = 0;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(YumYum);

} // namespace glowfield
