// What The: an impossible object. A three-beam triangle whose beams cannot meet the way they seem to turns in
// the screen plane with its face shading cycling, and every few seconds it folds away into a nest of smaller
// impossible triangles that turn against each other before the single one returns.
#include "effects/kit/kit.h"

namespace glowfield {

namespace {

// One face of the tribar in lattice units (outer side 9, each beam two faces of width 1) about its centroid:
// the outer face of one beam, carried round its far corner, and the inner face of the next beam. The other
// two faces are this one turned by a third and two thirds of a turn; together they close the impossible loop.
constexpr float root3 = 1.7320508f;
constexpr float faceX[6] = {1.0f, 9.0f, 8.5f, 2.5f, 4.5f, 4.0f};
constexpr float faceY[6] = {0.0f, 0.0f, root3 * 0.5f, root3 * 0.5f, root3 * 2.5f, root3 * 3.0f};
constexpr float centreX = 4.5f, centreY = root3 * 1.5f;

class WhatThe : public Effect {
  public:
    void start(EffectContext& c) override { kit::tameField(c); }

    void step(EffectContext& c) override {
        const float n = static_cast<float>(c.n);
        const int time = static_cast<int>(c.framesSinceStart) + 1;
        const float t = static_cast<float>(time);
        kit::scaleVelocities(c, 0.0f);
        // A dim paper background with a slow diagonal hatching.
        for (int x = 0; x < c.n; ++x) {
            const kit::Column col = kit::column(c, x);
            for (int y = 0; y < c.n; ++y) {
                const float h = fastSin((static_cast<float>(x - y) + t * 0.2f) * 0.25f);
                col.set(y, h > 0.85f ? kit::fromLevels(60, 60, 75) : kit::fromLevels(35, 35, 48));
            }
        }
        // 0..1 through a 500-frame cycle: one big tribar, then the nest.
        const float cycle = static_cast<float>(time % 500) / 500.0f;
        const float nest =
            kit::smoothstep(0.55f, 0.65f, cycle) * (1.0f - kit::smoothstep(0.92f, 1.0f, cycle));
        const float shadeTurn = t * 0.01f;
        const float spin = t * 0.012f;
        const float big = n * 0.085f * (1.0f - 0.35f * nest);
        tribar(c, n * 0.5f, n * 0.52f, big, spin, shadeTurn, 1.0f);
        if (nest > 0.01f) {
            for (int k = 0; k < 3; ++k) {
                const float a = -spin * 1.5f + kit::twoPi * static_cast<float>(k) / 3.0f;
                const float r = n * 0.33f * nest;
                tribar(c, n * 0.5f + r * fastCos(a), n * 0.52f + r * fastSin(a), n * 0.032f * nest,
                       -spin * 2.0f, shadeTurn + static_cast<float>(k) * 0.33f, nest);
            }
        }
    }

  private:
    static void tribar(const EffectContext& c, float cx, float cy, float unit, float angle, float shadeTurn,
                       float strength) {
        for (int f = 0; f < 3; ++f) {
            const float a = angle + kit::twoPi * static_cast<float>(f) / 3.0f;
            const float ca = fastCos(a), sa = fastSin(a);
            float xs[6], ys[6];
            for (int k = 0; k < 6; ++k) {
                // Lattice y points up; the screen's y points down.
                const float lx = faceX[k] - centreX, ly = -(faceY[k] - centreY);
                xs[k] = cx + (lx * ca - ly * sa) * unit;
                ys[k] = cy + (lx * sa + ly * ca) * unit;
            }
            // Three tones, light, middle and dark, moving round the faces.
            const float tone =
                0.5f + 0.45f * fastSin(shadeTurn * kit::twoPi + kit::twoPi * static_cast<float>(f) / 3.0f);
            const kit::Rgb colour = kit::hsv(0.08f + 0.5f * static_cast<float>(f) / 3.0f + shadeTurn * 0.05f,
                                             0.45f, (0.35f + 0.65f * tone) * strength);
            kit::fillPolygon(c, xs, ys, 6, colour);
            kit::drawPolygon(c, xs, ys, 6, kit::fromLevels(10, 10, 15));
        }
    }
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(WhatThe);

} // namespace glowfield
