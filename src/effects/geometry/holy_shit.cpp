// Holy Shit: two perforated plates over a glowing field. One slides, the other slowly turns; light shows only
// where holes of both plates line up, so broad moire rosettes bloom and drift across the screen.
#include <cmath>
#include <cstdint>

#include "effects/geometry/direct_cells.h"
#include "effects/kit/kit.h"

namespace glowfield {

namespace {

// Openness 0..1 of a plate of round holes at (u, v): 1 inside a hole, 0 on the metal, with a soft rim.
inline float hole(float u, float v, float spacing, float inverse, float radius) {
    const float fu = u * inverse, fv = v * inverse;
    const float du = (fu - geometry::floorOf(fu) - 0.5f) * spacing,
                dv = (fv - geometry::floorOf(fv) - 0.5f) * spacing;
    // (r^2 - d^2) / 2r is close to r - d near the rim, without a square root.
    return kit::clampf((radius * radius - du * du - dv * dv) * (0.4f / radius), 0.0f, 1.0f);
}

class HolyShit : public Effect {
    kit::Rgb behind_[2 * planeStride];
    float colSq_[planeStride]{}, rowSq_[planeStride]{};
    static constexpr int cellBins = 32, binShift = 11; // 16 fraction bits, the top 5 pick the bin
    float turning_[cellBins][cellBins]{};

  public:
    // Leftovers of an earlier entry are brought into range once, so no NaN velocity lingers underneath.
    void start(EffectContext& c) override { kit::tameField(c); }

    void step(EffectContext& c) override {
        kit::scaleVelocities(c, 0.0f);
        const float t = static_cast<float>(c.frame % 200000u);
        const float n = static_cast<float>(c.n), half = n * 0.5f;
        const float spacing = 4.6f + 0.4f * fastSin(t * 0.004f);
        const float radius = spacing * 0.5f, inverse = 1.0f / spacing;
        const float slideX = t * 0.11f, slideY = 8.0f * fastSin(t * 0.007f);
        const float angle = 0.07f + 0.05f * fastSin(t * 0.0025f);
        const float ca = fastCos(angle), sa = fastSin(angle);
        const float hueBase = t * 0.0008f;
        // What lies behind: a slow colour wash along the diagonals, so the rosettes change hue as they drift.
        for (int d = 0; d < 2 * c.n - 1 && d < 2 * planeStride; ++d) {
            behind_[d] = kit::hsv(hueBase + (static_cast<float>(d) - 2.0f * half) * 0.002f, 0.7f, 1.0f);
        }
        // The sliding plate is square to the grid, so its hole offsets split into column and row parts.
        for (int i = 0; i < c.n; ++i) {
            const float u = (static_cast<float>(i) - half + slideX) * inverse;
            const float v = (static_cast<float>(i) - half + slideY) * inverse;
            const float du = (u - geometry::floorOf(u) - 0.5f) * spacing,
                        dv = (v - geometry::floorOf(v) - 0.5f) * spacing;
            colSq_[i] = du * du;
            rowSq_[i] = dv * dv;
        }
        const float rim = 0.4f / radius, r2 = radius * radius;
        // The turning plate: its openness over one hole's square, looked up by the position within the
        // square, which steps down each column in 16.16 fixed point.
        for (int i = 0; i < cellBins; ++i) {
            for (int j = 0; j < cellBins; ++j) {
                const float fu = (i + 0.5f) / cellBins, fv = (j + 0.5f) / cellBins;
                turning_[i][j] = hole(fu * spacing, fv * spacing, spacing, inverse, radius);
            }
        }
        constexpr float fixedOne = 65536.0f, turnsOffset = 4096.0f; // keeps the fixed-point values positive
        const int32_t stepU = truncToInt(-sa * inverse * fixedOne),
                      stepV = truncToInt(ca * inverse * fixedOne);
        for (int x = 0; x < c.n; ++x) {
            const float px = x - half, py = -half;
            int32_t fu = truncToInt(((px * ca - py * sa) * inverse + turnsOffset) * fixedOne);
            int32_t fv = truncToInt(((px * sa + py * ca) * inverse + turnsOffset) * fixedOne);
            for (int y = 0; y < c.n; ++y, fu += stepU, fv += stepV) {
                const float a = kit::clampf((r2 - colSq_[x] - rowSq_[y]) * rim, 0.0f, 1.0f);
                const float b =
                    turning_[(fu >> binShift) & (cellBins - 1)][(fv >> binShift) & (cellBins - 1)];
                const float light = a * b;
                // The front plate's metal is faintly visible, so the structure reads even where dark.
                const kit::Rgb metal{-105.0f, -103.0f, -97.0f + 20.0f * (1.0f - a)};
                geometry::putCell(c, x, y, geometry::blend(metal, behind_[x + y], light));
            }
        }
    }
};

} // namespace

std::unique_ptr<Effect> makeHolyShit() {
    return std::make_unique<HolyShit>();
}

} // namespace glowfield
