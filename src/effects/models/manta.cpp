// Manta: a manta ray seen from below, gliding under the bright surface. Its broad wings with swept, pointed
// tips beat in a slow wave that runs out to the tips, the two horn-like fins at its head and its thin tail
// trail behind as it loops across the water; shafts of light slant down through the blue, and motes drift.
#include <cmath>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

constexpr int edgePoints = 12; // points along each half's leading and trailing edge
constexpr int moteCount = 90;

// The right half of the outline in the ray's own frame (x out to the tip at 1, y back from the head), nose
// to wingtip along the leading edge, then back along the trailing edge to the root of the tail.
constexpr float leading[edgePoints][2] = {{0.0f, -0.3f},  {0.1f, -0.3f},   {0.18f, -0.27f}, {0.28f, -0.2f},
                                          {0.4f, -0.12f}, {0.52f, -0.04f}, {0.64f, 0.04f},  {0.75f, 0.12f},
                                          {0.85f, 0.2f},  {0.93f, 0.28f},  {0.98f, 0.35f},  {1.0f, 0.42f}};
constexpr float trailing[edgePoints][2] = {{0.94f, 0.38f}, {0.86f, 0.32f}, {0.76f, 0.28f}, {0.66f, 0.26f},
                                           {0.56f, 0.26f}, {0.46f, 0.27f}, {0.37f, 0.29f}, {0.29f, 0.32f},
                                           {0.22f, 0.36f}, {0.15f, 0.41f}, {0.09f, 0.46f}, {0.04f, 0.5f}};

class Manta : public Effect {
  public:
    void start(EffectContext& c) override {
        const float n = static_cast<float>(c.n);
        for (Mote& m : motes_) {
            m.x = c.randomUnit() * n;
            m.y = c.randomUnit() * n;
            m.speed = 0.05f + 0.15f * c.randomUnit();
        }
    }

    void step(EffectContext& c) override {
        const float n = static_cast<float>(c.n);
        const float t = static_cast<float>(c.frame % 200000u);
        water(c, t);
        kit::scaleVelocities(c, 0.0f);
        for (Mote& m : motes_) {
            m.y -= m.speed;
            m.x += 0.1f * fastSin(m.y * 0.05f + t * 0.01f);
            if (!(m.y > 0.0f && m.x >= 0.0f && m.x < n)) {
                m.y = n - 1.0f;
                m.x = c.randomUnit() * n;
            }
            kit::blendCell(c, kit::toCell(m.x), kit::toCell(m.y), kit::fromLevels(200, 235, 240), 0.5f);
        }
        // The glide: a wide figure-of-eight, the ray facing along its path and banking into the turns.
        const float a = t * 0.006f;
        const float px = n * (0.5f + 0.2f * fastSin(a)), py = n * (0.5f + 0.13f * fastSin(a * 2.0f));
        const float vx = 0.2f * fastCos(a), vy = 0.26f * fastCos(a * 2.0f);
        const float heading = kit::angleOf(vx, vy) + kit::pi * 0.5f; // the ray's nose is its -y
        const float bank = 0.35f * fastSin(a * 2.0f + 0.5f);
        drawRay(c, px, py, heading, bank, t);
    }

  private:
    struct Mote {
        float x = 0.0f, y = 0.0f, speed = 0.1f;
    };

    // Bright turquoise under the surface fading to deep blue, with slanting shafts of light that sway and
    // fade with depth.
    void water(const EffectContext& c, float t) {
        const float n = static_cast<float>(c.n);
        shaftA_.make(
            c.n, [&](float x) { return x * 0.11f + t * 0.012f; }, [](float y) { return y * 0.044f; });
        shaftB_.make(
            c.n, [&](float x) { return x * 0.047f - t * 0.009f + 1.0f; }, [](float y) { return y * 0.019f; });
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                const float depth = static_cast<float>(y) / n;
                kit::Rgb col = kit::mix(kit::fromLevels(70, 190, 210), kit::fromLevels(8, 40, 95), depth);
                const float s = shaftA_.at(x, y) * 0.6f + shaftB_.at(x, y) * 0.4f;
                if (s > 0.2f) {
                    const float k = (s - 0.2f) * 1.25f;
                    col =
                        kit::mix(col, kit::fromLevels(190, 245, 240), k * k * 0.55f * (1.0f - depth * 0.8f));
                }
                kit::setCell(c, x, y, col);
            }
        }
    }

    // The outline, flapped and turned: each point lifts with a wave running out along the wing, and what
    // lifts is seen foreshortened and shifted, as from below and a little behind.
    void drawRay(EffectContext& c, float px, float py, float heading, float bank, float t) {
        const float n = static_cast<float>(c.n);
        const float span = n * 0.36f;
        const float flap = t * 0.09f;
        const float ch = fastCos(heading), sh = fastSin(heading);
        const auto place = [&](float u, float v, float side, float& x, float& y) {
            const float reach = u > 0.0f ? u : 0.0f;
            const float lift =
                0.32f * reach * reach * fastSin(flap - reach * 2.4f) + bank * side * reach * 0.5f;
            // A lifted tip draws in towards the body and slides back along the view.
            const float lx = side * u * span * (1.0f - 0.35f * lift * lift);
            const float ly = v * span + lift * span * 0.45f;
            x = px + lx * ch - ly * sh;
            y = py + lx * sh + ly * ch;
        };
        constexpr int corners = 4 * edgePoints + 2;
        float xs[corners], ys[corners];
        int k = 0;
        for (int i = 0; i < edgePoints; ++i) {
            place(leading[i][0], leading[i][1], 1.0f, xs[k], ys[k]);
            ++k;
        }
        for (int i = 0; i < edgePoints; ++i) {
            place(trailing[i][0], trailing[i][1], 1.0f, xs[k], ys[k]);
            ++k;
        }
        place(0.0f, 0.53f, 1.0f, xs[k], ys[k]);
        ++k;
        place(0.0f, 0.53f, -1.0f, xs[k], ys[k]);
        ++k;
        for (int i = edgePoints - 1; i >= 0; --i) {
            place(trailing[i][0], trailing[i][1], -1.0f, xs[k], ys[k]);
            ++k;
        }
        for (int i = edgePoints - 1; i >= 0; --i) {
            place(leading[i][0], leading[i][1], -1.0f, xs[k], ys[k]);
            ++k;
        }
        const kit::Rgb back = kit::fromLevels(22, 30, 52), belly = kit::fromLevels(170, 182, 196);
        // The tail: a long thin whip that sways behind.
        float tx0 = 0.0f, ty0 = 0.0f;
        place(0.0f, 0.5f, 1.0f, tx0, ty0);
        for (int s = 1; s <= 8; ++s) {
            float tx = 0.0f, ty = 0.0f;
            const float along = 0.5f + 0.11f * static_cast<float>(s);
            const float sway =
                0.06f * fastSin(flap * 0.7f - static_cast<float>(s) * 0.6f) * static_cast<float>(s) / 8.0f;
            place(sway, along, 1.0f, tx, ty);
            kit::drawThickLine(c, tx0, ty0, tx, ty, s < 4 ? 1.0f : 0.5f, back);
            tx0 = tx;
            ty0 = ty;
        }
        kit::fillPolygon(c, xs, ys, corners, back);
        // The pale belly: the middle of the body, its outline the body's own drawn in, with a soft margin
        // where it fades into the dark of the wings.
        for (const float inset : {0.6f, 0.46f}) {
            float bx[corners], by[corners];
            int b = 0;
            const auto add = [&](const float(*edge)[2], int i, float side) {
                place(edge[i][0] * inset, edge[i][1] * inset * 1.1f + 0.04f, side, bx[b], by[b]);
                ++b;
            };
            for (int i = 0; i < edgePoints; ++i) {
                add(leading, i, 1.0f);
            }
            for (int i = 0; i < edgePoints; ++i) {
                add(trailing, i, 1.0f);
            }
            place(0.0f, 0.5f * inset * 1.1f + 0.04f, 1.0f, bx[b], by[b]);
            ++b;
            place(0.0f, 0.5f * inset * 1.1f + 0.04f, -1.0f, bx[b], by[b]);
            ++b;
            for (int i = edgePoints - 1; i >= 0; --i) {
                add(trailing, i, -1.0f);
            }
            for (int i = edgePoints - 1; i >= 0; --i) {
                add(leading, i, -1.0f);
            }
            kit::fillPolygon(c, bx, by, corners, inset > 0.5f ? kit::mix(back, belly, 0.5f) : belly);
        }
        // Five gill slits each side of the belly.
        for (int side = -1; side <= 1; side += 2) {
            for (int g = 0; g < 5; ++g) {
                float x0 = 0.0f, y0 = 0.0f, x1 = 0.0f, y1 = 0.0f;
                const float v = -0.05f + 0.045f * static_cast<float>(g);
                place(0.09f, v, static_cast<float>(side), x0, y0);
                place(0.15f, v + 0.01f, static_cast<float>(side), x1, y1);
                kit::drawLine(c, x0, y0, x1, y1, kit::fromLevels(70, 80, 100));
            }
        }
        // The horn-like fins at the head, curling forward.
        for (int side = -1; side <= 1; side += 2) {
            const float sd = static_cast<float>(side);
            float x0 = 0.0f, y0 = 0.0f, x1 = 0.0f, y1 = 0.0f, x2 = 0.0f, y2 = 0.0f;
            place(0.1f, -0.28f, sd, x0, y0);
            place(0.12f, -0.38f, sd, x1, y1);
            place(0.08f + 0.02f * fastSin(flap * 0.5f), -0.45f, sd, x2, y2);
            kit::drawThickLine(c, x0, y0, x1, y1, 1.6f * n / 200.0f, back);
            kit::drawThickLine(c, x1, y1, x2, y2, 1.1f * n / 200.0f, back);
        }
        // Light catching the leading edges from the surface.
        for (int i = 0; i + 1 < edgePoints; ++i) {
            kit::drawLine(c, xs[i], ys[i], xs[i + 1], ys[i + 1], kit::fromLevels(120, 170, 200));
            const int j = corners - 1 - i;
            kit::drawLine(c, xs[j], ys[j], xs[j - 1], ys[j - 1], kit::fromLevels(120, 170, 200));
        }
    }

    Mote motes_[moteCount]{};
    kit::SplitSine shaftA_, shaftB_;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Manta);

} // namespace glowfield
