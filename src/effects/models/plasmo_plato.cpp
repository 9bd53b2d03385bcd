// PlasmoPlato: a Platonic solid turning over a plasma. The plasma is a sum of waves spreading from three
// moving points, its palette cycling; the solid (cube, octahedron, dodecahedron, icosahedron in turn, five
// seconds each) is stroked over it in the opposite hue, outlined in black so it never drowns.
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

constexpr uint32_t solidFrames = 250;

struct Solid {
    std::vector<kit::Vec3> corners;
    std::vector<std::pair<int, int>> edges;
};

class PlasmoPlato : public Effect {
  public:
    void start(EffectContext&) override {
        const float g = 1.618034f, h = 1.0f / g;
        std::vector<kit::Vec3> cube, octa, dodeca, icosa;
        for (int i = 0; i < 8; ++i) {
            cube.push_back({i & 1 ? 1.0f : -1.0f, i & 2 ? 1.0f : -1.0f, i & 4 ? 1.0f : -1.0f});
        }
        dodeca = cube;
        for (float a : {-1.0f, 1.0f}) {
            octa.push_back({a * 1.5f, 0, 0});
            octa.push_back({0, a * 1.5f, 0});
            octa.push_back({0, 0, a * 1.5f});
            for (float b : {-1.0f, 1.0f}) {
                dodeca.push_back({0, a * h, b * g});
                dodeca.push_back({a * h, b * g, 0});
                dodeca.push_back({a * g, 0, b * h});
                icosa.push_back({0, a, b * g});
                icosa.push_back({a, b * g, 0});
                icosa.push_back({a * g, 0, b});
            }
        }
        solids_[0] = join(cube);
        solids_[1] = join(octa);
        solids_[2] = join(dodeca);
        solids_[3] = join(icosa);
    }

    void step(EffectContext& c) override {
        kit::settleField(c, kit::grey, 1.0f, 0.5f);
        const float n = static_cast<float>(c.n), half = n * 0.5f;
        const float t = static_cast<float>(c.frame % 200000u);
        const float phase = t * 0.002f;
        // Three wave sources on slow Lissajous paths.
        float sx[3], sy[3];
        for (int k = 0; k < 3; ++k) {
            const float kf = static_cast<float>(k);
            sx[k] = half + half * 0.8f * fastSin(t * (0.006f + 0.002f * kf) + kf * 2.0f);
            sy[k] = half + half * 0.8f * fastCos(t * (0.005f + 0.0013f * kf) + kf);
        }
        // This frame's palette: the plasma's sum (-3..3) in 128 steps.
        for (int i = 0; i < paletteSize; ++i) {
            const float v = static_cast<float>(i) * (6.0f / (paletteSize - 1)) - 3.0f;
            palette_[i] = kit::hsv(v * 0.12f + phase, 0.8f, 0.45f + 0.12f * v);
        }
        // The plasma at every other cell, each value set over a 2 x 2 block: it is smooth, and this quarters
        // the cost.
        for (int x = 0; x < c.n; x += 2) {
            const int x1 = x + 1 < c.n ? x + 1 : x;
            for (int y = 0; y < c.n; y += 2) {
                float v = 0.0f;
                for (int k = 0; k < 3; ++k) {
                    const float dx = static_cast<float>(x) - sx[k], dy = static_cast<float>(y) - sy[k];
                    v += fastSin(std::sqrt(dx * dx + dy * dy) * (0.07f + 0.02f * static_cast<float>(k)) -
                                 t * 0.05f);
                }
                const int raw = kit::roundCell((v + 3.0f) * ((paletteSize - 1) / 6.0f));
                const kit::Rgb colour = palette_[raw < 0 ? 0 : raw >= paletteSize ? paletteSize - 1 : raw];
                const int y1 = y + 1 < c.n ? y + 1 : y;
                for (const int cell : {cellAt(x, y), cellAt(x, y1), cellAt(x1, y), cellAt(x1, y1)}) {
                    c.planes.red[cell] = colour.r;
                    c.planes.green[cell] = colour.g;
                    c.planes.blue[cell] = colour.b;
                }
            }
        }
        const uint32_t which = (c.frame / solidFrames) % 4u;
        const float within = static_cast<float>(c.frame % solidFrames);
        // Each solid grows in and shrinks out, so the change of shape is a pulse rather than a jump.
        const float size = half * 0.42f * kit::smoothstep(0.0f, 30.0f, within) *
                           (1.0f - kit::smoothstep(solidFrames - 30.0f, solidFrames, within));
        const Solid& solid = solids_[which];
        const kit::Rgb ink = kit::bright(phase + 0.5f, 1.0f);
        const float ax = t * 0.013f, ay = t * 0.017f, az = t * 0.005f;
        std::vector<kit::Vec3>& placed = placed_;
        placed.clear();
        for (const kit::Vec3& p : solid.corners) {
            placed.push_back(kit::turn(p * size, ax, ay, az));
        }
        for (int pass = 0; pass < 2; ++pass) {
            for (const auto& [a, b] : solid.edges) {
                const kit::Vec3 pa = placed[static_cast<size_t>(a)], pb = placed[static_cast<size_t>(b)];
                // Far edges thinner and darker.
                const float near = kit::clampf(0.5f - (pa.z + pb.z) / (size * 4.0f + 1.0f), 0.0f, 1.0f);
                if (pass == 0) {
                    kit::solidLine(c, pa, pb, kit::black, 2.2f + 1.2f * near);
                } else {
                    kit::solidLine(c, pa, pb, kit::shade(ink, 0.5f + 0.5f * near), 0.9f + 1.2f * near);
                }
            }
        }
    }

  private:
    static Solid join(const std::vector<kit::Vec3>& corners) {
        Solid s;
        s.corners = corners;
        float shortest = 1e9f;
        const auto dist2 = [&](size_t i, size_t j) {
            const kit::Vec3 d = corners[i] - corners[j];
            return d.x * d.x + d.y * d.y + d.z * d.z;
        };
        for (size_t i = 0; i < corners.size(); ++i) {
            for (size_t j = i + 1; j < corners.size(); ++j) {
                shortest = std::min(shortest, dist2(i, j));
            }
        }
        for (size_t i = 0; i < corners.size(); ++i) {
            for (size_t j = i + 1; j < corners.size(); ++j) {
                if (dist2(i, j) < shortest * 1.01f) {
                    s.edges.emplace_back(static_cast<int>(i), static_cast<int>(j));
                }
            }
        }
        return s;
    }

    static constexpr int paletteSize = 128;
    Solid solids_[4];
    kit::Rgb palette_[paletteSize];
    std::vector<kit::Vec3> placed_;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(PlasmoPlato);

} // namespace glowfield
