// Holy Shit: three backlit plates of tinted glass, cyan, magenta and yellow, each pierced by a lattice of
// large round holes. They turn and slide past each other at slightly different angles and sizes, so where
// holes line up white light breaks through and large slow moire rosettes bloom in every mixed colour.
#include <cmath>
#include <cstdint>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

constexpr int bins = 64;                 // openness samples across one lattice cell, each way
constexpr int binShift = 10;             // 16 fraction bits, the top 6 pick the bin
constexpr float fixedOne = 65536.0f;     //
constexpr float turnsOffset = 4096.0f;   // keeps the fixed-point values positive
constexpr float rowStretch = 1.7320508f; // a hexagonal lattice cell is 1 by sqrt 3
constexpr float holeRadius = 0.36f;      // in lattice spacings
constexpr float rimWidth = 0.07f;        //

struct Plate {
    float angle = 0.0f, spacing = 1.0f, slideU = 0.0f, slideV = 0.0f;
    float tint[3] = {1.0f, 1.0f, 1.0f}; // what the glass passes of red, green and blue
};

class HolyShit : public Effect {
    float open_[bins][bins]{};
    float columnLight_[planeStride]{}, rowLight_[planeStride]{};

  public:
    void start(EffectContext&) override {
        // One lattice cell of holes: one at the middle and a quarter at each corner.
        for (int i = 0; i < bins; ++i) {
            for (int j = 0; j < bins; ++j) {
                const float u = (static_cast<float>(i) + 0.5f) / bins;
                const float v = (static_cast<float>(j) + 0.5f) / bins * rowStretch;
                float nearest = 9.0f;
                const float cu[5] = {0.0f, 1.0f, 0.0f, 1.0f, 0.5f};
                const float cv[5] = {0.0f, 0.0f, rowStretch, rowStretch, rowStretch * 0.5f};
                for (int k = 0; k < 5; ++k) {
                    const float du = u - cu[k], dv = v - cv[k];
                    const float d = std::sqrt(du * du + dv * dv);
                    nearest = d < nearest ? d : nearest;
                }
                open_[i][j] =
                    kit::smoothstep(holeRadius + rimWidth * 0.5f, holeRadius - rimWidth * 0.5f, nearest);
            }
        }
    }

    void step(EffectContext& c) override {
        kit::scaleVelocities(c, 0.0f);
        const float t = static_cast<float>(c.frame % 400000u);
        const float n = static_cast<float>(c.n), half = n * 0.5f, s = c.scale;
        // The plates turn together, slowly, while their differences in angle and size breathe: the
        // difference sets the size of the rosettes, so they swell and shrink as they drift.
        const float base = t * 0.0012f;
        Plate plates[3];
        plates[0] = {base, 24.0f * s, t * 0.0031f, 0.0f, {0.12f, 0.80f, 0.95f}};
        plates[1] = {
            base + 0.13f + 0.06f * fastSin(t * 0.0037f), 24.0f * s, 0.3f, t * 0.0023f, {0.95f, 0.14f, 0.72f}};
        plates[2] = {base - 0.1f + 0.05f * fastSin(t * 0.0029f + 1.0f),
                     24.0f * s * (1.04f + 0.03f * fastSin(t * 0.0021f)),
                     -t * 0.0017f,
                     0.6f,
                     {0.98f, 0.86f, 0.10f}};
        // The light box behind: brightest in a slowly wandering middle.
        const float lx = half + n * 0.22f * fastSin(t * 0.0043f),
                    ly = half + n * 0.18f * fastSin(t * 0.0031f + 2.0f);
        for (int i = 0; i < c.n; ++i) {
            const float dx = (static_cast<float>(i) - lx) / n, dy = (static_cast<float>(i) - ly) / n;
            columnLight_[i] = 1.0f / (1.0f + 1.6f * dx * dx);
            rowLight_[i] = 1.0f / (1.0f + 1.6f * dy * dy);
        }
        int32_t u0[3], v0[3], stepU[3], stepV[3], alongU[3], alongV[3];
        for (int p = 0; p < 3; ++p) {
            const float ca = fastCos(plates[p].angle), sa = fastSin(plates[p].angle);
            const float inverse = 1.0f / plates[p].spacing, inverseV = inverse / rowStretch;
            // Cells are 4 x 3 pixels: rows step by three quarters of a column so holes come out round.
            const float px = -half, py = -half * 0.75f;
            u0[p] = truncToInt(((px * ca + py * sa) * inverse + plates[p].slideU + turnsOffset) * fixedOne);
            v0[p] = truncToInt(((py * ca - px * sa) * inverseV + plates[p].slideV + turnsOffset) * fixedOne);
            alongU[p] = truncToInt(ca * inverse * fixedOne);
            alongV[p] = truncToInt(-sa * inverseV * fixedOne);
            stepU[p] = truncToInt(0.75f * sa * inverse * fixedOne);
            stepV[p] = truncToInt(0.75f * ca * inverseV * fixedOne);
        }
        for (int x = 0; x < c.n; ++x) {
            int32_t fu[3], fv[3];
            for (int p = 0; p < 3; ++p) {
                fu[p] = u0[p] + alongU[p] * x;
                fv[p] = v0[p] + alongV[p] * x;
            }
            for (int y = 0; y < c.n; ++y) {
                float r = 255.0f * columnLight_[x] * rowLight_[y], g = r, b = r;
                for (int p = 0; p < 3; ++p) {
                    const float o = open_[(fu[p] >> binShift) & (bins - 1)][(fv[p] >> binShift) & (bins - 1)];
                    r *= plates[p].tint[0] + (1.0f - plates[p].tint[0]) * o;
                    g *= plates[p].tint[1] + (1.0f - plates[p].tint[1]) * o;
                    b *= plates[p].tint[2] + (1.0f - plates[p].tint[2]) * o;
                    fu[p] += stepU[p];
                    fv[p] += stepV[p];
                }
                kit::setCell(c, x, y, {r - 127.0f, g - 127.0f, b - 127.0f});
            }
        }
    }
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(HolyShit);

} // namespace glowfield
