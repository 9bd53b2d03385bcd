// Zanzibar: a carved lattice of eight-point stars and crosses, outlined in dark wood. The star fills cycle
// colour along the diagonals, a sheen of light sweeps across, and the whole tiling drifts slowly.
#include <cmath>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Zanzibar : public Effect {
    static constexpr int palette = 24;
    float tileU_[2 * planeStride]{};
    int tileIndex_[2 * planeStride]{};
    float grainSinY_[planeStride]{}, grainCosY_[planeStride]{}, grainSinX_[planeStride]{},
        grainCosX_[planeStride]{};

  public:
    // Leftovers of an earlier entry are brought into range once, so no NaN velocity lingers underneath.
    void start(EffectContext& c) override { kit::tameField(c); }

    void step(EffectContext& c) override {
        kit::scaleVelocities(c, 0.0f);
        const float t = static_cast<float>(c.frame % 200000u);
        const float size = 34.0f, half = size * 0.5f, inverse = 1.0f / size;
        const float driftX = t * 0.06f, driftY = 10.0f * fastSin(t * 0.004f);
        const float sweep =
            std::fmod(t * 0.9f, static_cast<float>(c.n) * 3.0f) - static_cast<float>(c.n) * 0.5f;
        const kit::Rgb wood = kit::fromLevels(70, 40, 20), carve = kit::fromLevels(20, 10, 5);
        // Fill colours by diagonal (stars) and anti-diagonal (crosses), made once a frame.
        kit::Rgb starFill[palette], crossFill[palette];
        // The tile a column or row falls in and the offset from that tile's centre: columns first, then rows.
        for (int i = 0; i < c.n; ++i) {
            for (int axis = 0; axis < 2; ++axis) {
                const float g = static_cast<float>(i) + (axis == 0 ? driftX : driftY);
                const float tile = kit::floorOf(g * inverse);
                tileU_[axis * planeStride + i] = g - (tile + 0.5f) * size;
                tileIndex_[axis * planeStride + i] = kit::toCell(tile);
            }
        }
        // Wood grain, sin(0.9 gy + 0.12 gx), from its separate row and column parts.
        for (int i = 0; i < c.n; ++i) {
            const float gy = static_cast<float>(i) + driftY, gx = static_cast<float>(i) + driftX;
            grainSinY_[i] = fastSin(gy * 0.9f);
            grainCosY_[i] = fastCos(gy * 0.9f);
            grainSinX_[i] = fastSin(gx * 0.12f);
            grainCosX_[i] = fastCos(gx * 0.12f);
        }
        for (int i = 0; i < palette; ++i) {
            starFill[i] = kit::hsv(i * 0.11f + t * 0.003f, 0.75f, 0.85f);
            crossFill[i] = kit::hsv(0.5f + (i - palette / 2) * 0.07f - t * 0.002f, 0.6f, 0.75f);
        }
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                const float u = tileU_[x], v = tileU_[planeStride + y];
                const float au = std::fabs(u), av = std::fabs(v);
                // Eight-point star: the union of a square and the same square turned 45 degrees.
                const float s = half * 0.62f;
                const float star = kit::lesser(kit::greater(au, av) - s, (au + av) * 0.70710678f - s);
                // Crosses sit on the tile corners, between four stars.
                const float cu = half - au, cv = half - av;
                const float arm = half * 0.16f, reach = half * 0.5f;
                const float cross =
                    kit::lesser(kit::greater(cu - arm, cv - reach), kit::greater(cu - reach, cv - arm));
                const int ix = tileIndex_[x], iy = tileIndex_[planeStride + y];
                kit::Rgb col;
                if (star < 0.0f) {
                    // Inset shading: darker towards the rim, as if carved into the panel.
                    col = kit::shade(starFill[kit::wrap(ix + iy, palette)],
                                     kit::clampf(0.55f - star * 0.06f, 0.55f, 1.0f));
                } else if (cross < 0.0f) {
                    col = kit::shade(crossFill[kit::wrap(ix - iy + palette / 2, palette)],
                                     kit::clampf(0.6f - cross * 0.1f, 0.6f, 1.0f));
                } else {
                    // Wood grain on the lattice.
                    col = kit::shade(wood, 0.85f + 0.15f * (grainSinY_[y] * grainCosX_[x] +
                                                            grainCosY_[y] * grainSinX_[x]));
                }
                const float edge = kit::lesser(std::fabs(star), std::fabs(cross));
                if (edge < 1.1f) {
                    col = carve;
                } else if (edge < 2.0f) {
                    col = kit::mix(col, carve, 0.4f);
                }
                // The sheen: a soft diagonal band of light.
                const float band = std::fabs(x + y * 0.6f - sweep);
                if (band < 18.0f) {
                    const float k = 1.0f - band / 18.0f;
                    col = kit::mix(col, kit::fromLevels(255, 245, 220), k * k * 0.45f);
                }
                kit::setCell(c, x, y, col);
            }
        }
    }
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Zanzibar);

} // namespace glowfield
