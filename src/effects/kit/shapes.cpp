#include "effects/kit/shapes.h"

#include <algorithm>
#include <cmath>

#include "field/trig.h"

namespace glowfield::kit {

namespace {

bool finite(float v) {
    return v == v && v < 3.0e38f && v > -3.0e38f;
}

// The range of cells lo..hi (inclusive) that the span [a, b] of cell centres covers, clipped to the grid;
// empty when hi < lo.
void spanCells(const EffectContext& c, float a, float b, int& lo, int& hi) {
    lo = std::max(0, toCell(std::ceil(a - 0.5)));
    hi = std::min(c.n - 1, toCell(std::floor(b - 0.5)));
}

// Clips the segment to the box [lo, hi]^2 (Liang-Barsky); false when nothing is left.
bool clipSegment(float& x0, float& y0, float& x1, float& y1, float lo, float hi) {
    double t0 = 0.0, t1 = 1.0;
    const double dx = static_cast<double>(x1) - x0, dy = static_cast<double>(y1) - y0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0 - static_cast<double>(lo), hi - static_cast<double>(x0),
                         y0 - static_cast<double>(lo), hi - static_cast<double>(y0)};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0) {
                return false;
            }
            continue;
        }
        const double r = q[i] / p[i];
        if (p[i] < 0.0) {
            t0 = std::max(t0, r);
        } else {
            t1 = std::min(t1, r);
        }
        if (t0 > t1) {
            return false;
        }
    }
    const float ax = x0, ay = y0;
    x0 = static_cast<float>(ax + t0 * dx);
    y0 = static_cast<float>(ay + t0 * dy);
    x1 = static_cast<float>(ax + t1 * dx);
    y1 = static_cast<float>(ay + t1 * dy);
    return true;
}

} // namespace

void drawLine(const EffectContext& c, float x0, float y0, float x1, float y1, Rgb colour, Blend blend) {
    if (!finite(x0) || !finite(y0) || !finite(x1) || !finite(y1)) {
        return;
    }
    if (!clipSegment(x0, y0, x1, y1, -1.0f, static_cast<float>(c.n))) {
        return;
    }
    const float dx = x1 - x0, dy = y1 - y0;
    const int steps = roundCell(std::max(std::fabs(dx), std::fabs(dy)));
    const float sx = steps > 0 ? dx / static_cast<float>(steps) : 0.0f;
    const float sy = steps > 0 ? dy / static_cast<float>(steps) : 0.0f;
    for (int i = 0; i <= steps; ++i) {
        paint(c, roundCell(x0 + sx * static_cast<float>(i)), roundCell(y0 + sy * static_cast<float>(i)),
              colour, blend);
    }
}

void drawThickLine(const EffectContext& c, float x0, float y0, float x1, float y1, float radius, Rgb colour,
                   Blend blend) {
    if (!finite(x0) || !finite(y0) || !finite(x1) || !finite(y1) || !finite(radius)) {
        return;
    }
    if (radius < 0.75f) {
        drawLine(c, x0, y0, x1, y1, colour, blend);
        return;
    }
    // Every cell within radius of the segment, each once (so that additive strokes stay even).
    const float r = std::min(radius, static_cast<float>(c.n));
    const float lx = std::max(std::min(x0, x1) - r, -1.0f), hx = std::min(std::max(x0, x1) + r, c.n + 1.0f);
    const float ly = std::max(std::min(y0, y1) - r, -1.0f), hy = std::min(std::max(y0, y1) + r, c.n + 1.0f);
    int xLo, xHi, yLo, yHi;
    spanCells(c, lx, hx, xLo, xHi);
    spanCells(c, ly, hy, yLo, yHi);
    const double dx = static_cast<double>(x1) - x0, dy = static_cast<double>(y1) - y0;
    const double length2 = dx * dx + dy * dy;
    const double r2 = static_cast<double>(r) * r;
    for (int x = xLo; x <= xHi; ++x) {
        for (int y = yLo; y <= yHi; ++y) {
            const double px = x + 0.5 - x0, py = y + 0.5 - y0;
            double t = length2 > 0.0 ? (px * dx + py * dy) / length2 : 0.0;
            t = t < 0.0 ? 0.0 : t > 1.0 ? 1.0 : t;
            const double ex = px - t * dx, ey = py - t * dy;
            if (ex * ex + ey * ey <= r2) {
                paint(c, x, y, colour, blend);
            }
        }
    }
}

void fillDisc(const EffectContext& c, float cx, float cy, float radius, Rgb colour, Blend blend) {
    drawRing(c, cx, cy, radius * 0.5f, radius, colour, blend);
}

void drawRing(const EffectContext& c, float cx, float cy, float radius, float width, Rgb colour,
              Blend blend) {
    if (!finite(cx) || !finite(cy) || !finite(radius) || !finite(width)) {
        return;
    }
    const float outer = radius + width * 0.5f;
    const float inner = std::max(0.0f, radius - width * 0.5f);
    if (outer <= 0.0f) {
        return;
    }
    int xLo, xHi, yLo, yHi;
    spanCells(c, std::max(cx - outer, -1.0f), std::min(cx + outer, c.n + 1.0f), xLo, xHi);
    spanCells(c, std::max(cy - outer, -1.0f), std::min(cy + outer, c.n + 1.0f), yLo, yHi);
    const double o2 = static_cast<double>(outer) * outer, i2 = static_cast<double>(inner) * inner;
    for (int x = xLo; x <= xHi; ++x) {
        const double dx = x + 0.5 - cx;
        for (int y = yLo; y <= yHi; ++y) {
            const double dy = y + 0.5 - cy;
            const double d2 = dx * dx + dy * dy;
            if (d2 <= o2 && (inner <= 0.0f || d2 >= i2)) {
                paint(c, x, y, colour, blend);
            }
        }
    }
}

void softDisc(const EffectContext& c, float cx, float cy, float radius, Rgb colour, float strength,
              Blend blend) {
    if (!finite(cx) || !finite(cy) || !finite(radius) || !(radius > 0.0f)) {
        return;
    }
    int xLo, xHi, yLo, yHi;
    spanCells(c, std::max(cx - radius, -1.0f), std::min(cx + radius, c.n + 1.0f), xLo, xHi);
    spanCells(c, std::max(cy - radius, -1.0f), std::min(cy + radius, c.n + 1.0f), yLo, yHi);
    const float inverse = 1.0f / (radius * radius);
    for (int x = xLo; x <= xHi; ++x) {
        const float dx = x + 0.5f - cx;
        for (int y = yLo; y <= yHi; ++y) {
            const float dy = y + 0.5f - cy;
            const float u = 1.0f - (dx * dx + dy * dy) * inverse;
            if (u <= 0.0f) {
                continue;
            }
            const float w = u * u * strength;
            if (blend == Blend::set) {
                blendCell(c, x, y, colour, std::min(w, 1.0f));
            } else {
                paint(c, x, y, {colour.r * w, colour.g * w, colour.b * w}, blend);
            }
        }
    }
}

void fillRect(const EffectContext& c, float x0, float y0, float x1, float y1, Rgb colour, Blend blend) {
    if (!finite(x0) || !finite(y0) || !finite(x1) || !finite(y1)) {
        return;
    }
    const int xLo = std::max(0, roundCell(std::max(x0, -1.0f))),
              xHi = std::min(c.n, roundCell(std::min(x1, c.n + 1.0f)));
    const int yLo = std::max(0, roundCell(std::max(y0, -1.0f))),
              yHi = std::min(c.n, roundCell(std::min(y1, c.n + 1.0f)));
    for (int x = xLo; x < xHi; ++x) {
        for (int y = yLo; y < yHi; ++y) {
            paint(c, x, y, colour, blend);
        }
    }
}

void fillPolygon(const EffectContext& c, const float* xs, const float* ys, int corners, Rgb colour,
                 Blend blend) {
    if (corners < 3 || corners > 64) {
        return;
    }
    float top = ys[0], bottom = ys[0];
    for (int i = 0; i < corners; ++i) {
        if (!finite(xs[i]) || !finite(ys[i])) {
            return;
        }
        top = std::min(top, ys[i]);
        bottom = std::max(bottom, ys[i]);
    }
    int yLo, yHi;
    spanCells(c, std::max(top, -1.0f), std::min(bottom, c.n + 1.0f), yLo, yHi);
    float crossings[64];
    for (int y = yLo; y <= yHi; ++y) {
        const float py = y + 0.5f;
        int count = 0;
        for (int i = 0, j = corners - 1; i < corners; j = i++) {
            if ((ys[i] > py) != (ys[j] > py)) {
                crossings[count++] = xs[i] + (py - ys[i]) / (ys[j] - ys[i]) * (xs[j] - xs[i]);
            }
        }
        std::sort(crossings, crossings + count);
        for (int k = 0; k + 1 < count; k += 2) {
            int xLo, xHi;
            spanCells(c, std::max(crossings[k], -1.0f), std::min(crossings[k + 1], c.n + 1.0f), xLo, xHi);
            for (int x = xLo; x <= xHi; ++x) {
                paint(c, x, y, colour, blend);
            }
        }
    }
}

void drawPolygon(const EffectContext& c, const float* xs, const float* ys, int corners, Rgb colour,
                 Blend blend) {
    for (int i = 0, j = corners - 1; i < corners; j = i++) {
        drawLine(c, xs[j], ys[j], xs[i], ys[i], colour, blend);
    }
}

void circleOutline(const EffectContext& c, float cx, float cy, float radius, Rgb colour, float width,
                   Blend blend, int segments) {
    float px = cx + radius, py = cy;
    for (int k = 1; k <= segments; ++k) {
        const float a = 6.28318531f * static_cast<float>(k) / static_cast<float>(segments);
        const float x = cx + radius * fastCos(a), y = cy + radius * fastSin(a);
        if (width > 1.0f) {
            drawThickLine(c, px, py, x, y, width * 0.5f, colour, blend);
        } else {
            drawLine(c, px, py, x, y, colour, blend);
        }
        px = x;
        py = y;
    }
}

} // namespace glowfield::kit
