// Kryptonight: a cluster of glowing green crystals adrift in the dark. Hexagonal prisms with pointed tips
// burst from a common heart in every direction, their faces lit and shaded as the cluster slowly tumbles; a
// green glow pulses out from them across the whole sky, rays turn round them, and sparkles run along edges.
#include <algorithm>
#include <array>
#include <cmath>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

constexpr int crystalCount = 15;
constexpr int facesPerCrystal = 12; // six sides and six tip triangles
constexpr int faceCount = crystalCount * facesPerCrystal;

class Kryptonight : public Effect {
  public:
    void start(EffectContext& c) override {
        const float n = static_cast<float>(c.n);
        for (int i = 0; i < crystalCount; ++i) {
            Crystal& k = crystals_[static_cast<size_t>(i)];
            // Directions spread over the sphere (a golden-angle spiral), jittered.
            const float u = (static_cast<float>(i) + 0.5f) / crystalCount * 2.0f - 1.0f;
            const float a = static_cast<float>(i) * 2.39996f + c.randomUnit() * 0.4f;
            const float r = std::sqrt(1.0f - u * u);
            k.axis = Vec3{r * fastCos(a), u, r * fastSin(a)};
            k.radius = n * (0.035f + 0.025f * c.randomUnit());
            k.length = n * (0.26f + 0.17f * c.randomUnit());
            k.phase = c.randomUnit() * kit::twoPi;
        }
    }

    void step(EffectContext& c) override {
        const float n = static_cast<float>(c.n);
        grid_ = n;
        const float t = static_cast<float>(c.frame % 200000u);
        const float pulse = 0.5f + 0.5f * fastSin(t * 0.06f);
        kit::settleGradient(c, kit::fromLevels(6, 22, 18), kit::fromLevels(10, 40, 26), 0.35f, 0.0f);
        kit::scaleVelocities(c, 0.0f);
        const float cx = n * 0.5f, cy = n * 0.5f;
        // The glow that bathes the sky, and slow rays turning round the heart.
        kit::softDisc(c, cx, cy, n * 0.75f, kit::fromLevels(60, 200, 90), 0.45f + 0.12f * pulse);
        rays(c, cx, cy, t);
        kit::softDisc(c, cx, cy, n * 0.32f, kit::fromLevels(150, 255, 160), 0.35f + 0.15f * pulse);

        const float spinY = t * 0.011f, spinX = 0.4f * fastSin(t * 0.004f) + 0.3f, spinZ = t * 0.004f;
        const auto view = [&](Vec3 p) {
            return kit::turn(p, spinX, spinY, spinZ) + Vec3{0.0f, 0.0f, n * 0.2f};
        };
        int count = 0;
        for (int i = 0; i < crystalCount; ++i) {
            const Crystal& k = crystals_[static_cast<size_t>(i)];
            // Two sides square to the axis.
            const Vec3 helper = std::fabs(k.axis.y) < 0.9f ? Vec3{0.0f, 1.0f, 0.0f} : Vec3{1.0f, 0.0f, 0.0f};
            const Vec3 side1 = normalised(cross(k.axis, helper)), side2 = cross(k.axis, side1);
            // Each crystal breathes a little in length, out of step with the others.
            const float length = k.length * (0.92f + 0.08f * fastSin(t * 0.03f + k.phase));
            const Vec3 base = k.axis * (n * 0.03f);
            Vec3 low[6], high[6];
            for (int s = 0; s < 6; ++s) {
                const float a = static_cast<float>(s) * (kit::twoPi / 6.0f);
                const Vec3 ring = side1 * (k.radius * fastCos(a)) + side2 * (k.radius * fastSin(a));
                low[s] = view(base + ring);
                high[s] = view(base + ring + k.axis * (length * 0.78f));
            }
            const Vec3 tip = view(base + k.axis * length);
            const Vec3 middle = view(base + k.axis * (length * 0.5f));
            for (int s = 0; s < 6; ++s) {
                const int e = (s + 1) % 6;
                faces_[static_cast<size_t>(count++)] =
                    makeFace({low[s], low[e], high[e], high[s]}, 4, middle);
                faces_[static_cast<size_t>(count++)] = makeFace({high[s], high[e], tip, tip}, 3, middle);
            }
        }
        std::sort(faces_.begin(), faces_.begin() + count,
                  [](const Face& a, const Face& b) { return a.depth > b.depth; });
        const Vec3 light = normalised(Vec3{-0.5f, -0.7f, -0.55f});
        for (int f = 0; f < count; ++f) {
            drawFace(c, faces_[static_cast<size_t>(f)], light, pulse);
        }
        // Sparkles: a white cross now and then on a crystal tip or edge.
        for (int s = 0; s < 3; ++s) {
            if (c.random(0, 3) != 0) {
                continue;
            }
            const Face& f = faces_[static_cast<size_t>(c.random(0, count - 1))];
            if (!f.facing) {
                continue;
            }
            const kit::Projected q = kit::project(c, f.corner[c.random(0, 2)]);
            if (q.visible) {
                const float r = 1.5f + 2.5f * c.randomUnit();
                kit::drawLine(c, q.x - r, q.y, q.x + r, q.y, kit::white, kit::Blend::max);
                kit::drawLine(c, q.x, q.y - r, q.x, q.y + r, kit::white, kit::Blend::max);
                kit::fillDisc(c, q.x, q.y, 0.8f, kit::white);
            }
        }
    }

  private:
    using Vec3 = kit::Vec3;
    struct Crystal {
        Vec3 axis;
        float radius = 0.0f, length = 0.0f, phase = 0.0f;
    };
    struct Face {
        Vec3 corner[4];
        int corners = 4;
        Vec3 normal;
        float depth = 0.0f;
        bool facing = false;
    };

    static Vec3 cross(Vec3 a, Vec3 b) {
        return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
    }
    static float dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
    static Vec3 normalised(Vec3 v) {
        const float l = std::sqrt(dot(v, v));
        return l > 1e-6f ? v * (1.0f / l) : Vec3{0.0f, 0.0f, -1.0f};
    }

    // A face with its outward normal (pointing away from the crystal's middle), its depth for sorting, and
    // whether it turns towards the viewer, who sits at z = -n.
    Face makeFace(std::array<Vec3, 4> p, int corners, Vec3 middle) const {
        Face f;
        for (int i = 0; i < 4; ++i) {
            f.corner[i] = p[static_cast<size_t>(i)];
        }
        f.corners = corners;
        Vec3 centre{};
        for (int i = 0; i < corners; ++i) {
            centre = centre + p[static_cast<size_t>(i)];
        }
        centre = centre * (1.0f / static_cast<float>(corners));
        Vec3 normal = normalised(cross(p[1] - p[0], p[2] - p[0]));
        if (dot(normal, centre - middle) < 0.0f) {
            normal = normal * -1.0f;
        }
        f.normal = normal;
        f.depth = centre.z;
        f.facing = dot(normal, centre - Vec3{0.0f, 0.0f, -grid_}) < 0.0f;
        return f;
    }

    // Lit faces glow from pale mint to deep emerald; each is outlined in bright green so the facets read.
    static void drawFace(EffectContext& c, const Face& f, Vec3 light, float pulse) {
        if (!f.facing) {
            return;
        }
        float xs[4], ys[4];
        for (int i = 0; i < f.corners; ++i) {
            const kit::Projected q = kit::project(c, f.corner[i]);
            if (!q.visible) {
                return;
            }
            xs[i] = q.x;
            ys[i] = q.y;
        }
        const float lit = kit::clampf(dot(f.normal, light), 0.0f, 1.0f);
        // A rim of light where the face turns edge-on to the viewer: the crystal's glow shining through.
        const float rim = 1.0f - std::fabs(f.normal.z);
        const float k = kit::clampf(0.3f + 0.6f * lit + 0.35f * rim * rim + 0.1f * pulse, 0.0f, 1.0f);
        const kit::Rgb face =
            k > 0.6f
                ? kit::mix(kit::fromLevels(40, 210, 80), kit::fromLevels(200, 255, 200), (k - 0.6f) / 0.4f)
                : kit::mix(kit::fromLevels(5, 55, 25), kit::fromLevels(40, 210, 80), k / 0.6f);
        kit::fillPolygon(c, xs, ys, f.corners, face);
        kit::drawPolygon(c, xs, ys, f.corners, kit::fromLevels(120, 255, 140), kit::Blend::max);
    }

    // Soft shafts of green light turning slowly round the heart, fading outwards.
    static void rays(EffectContext& c, float cx, float cy, float t) {
        const float n = static_cast<float>(c.n);
        for (int r = 0; r < 12; ++r) {
            const float a = static_cast<float>(r) * (kit::twoPi / 12.0f) + t * 0.005f;
            const float len = n * (0.5f + 0.2f * fastSin(t * 0.02f + static_cast<float>(r) * 1.7f));
            const float dx = fastCos(a), dy = fastSin(a);
            for (int k = 0; k < 4; ++k) {
                const float r0 = len * static_cast<float>(k) * 0.25f, r1 = r0 + len * 0.25f;
                const kit::Rgb glow = kit::mix(kit::fromLevels(90, 220, 120), kit::fromLevels(20, 70, 40),
                                               static_cast<float>(k) / 3.0f);
                kit::thickLine(c, cx + dx * r0, cy + dy * r0, cx + dx * r1, cy + dy * r1,
                               n * (0.016f - 0.003f * static_cast<float>(k)), glow, kit::Blend::max);
            }
        }
    }

    std::array<Crystal, crystalCount> crystals_{};
    std::array<Face, faceCount> faces_{};
    float grid_ = 200.0f;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Kryptonight);

} // namespace glowfield
