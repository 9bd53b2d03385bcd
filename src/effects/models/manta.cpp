// Manta: a manta ray gliding through deep water. Its wing mesh bends with a flap wave running out to the
// tips as it sweeps round a wide loop towards and away from the viewer, banking into the turn; the tips
// stir wakes in the water as they beat.
#include <algorithm>
#include <array>
#include <utility>

#include "effects/models/model_scene.h"

namespace glowfield {

namespace {

constexpr int spanSteps = 12; // mesh columns from tip to tip
constexpr int chordSteps = 5; // mesh rows from nose to trailing edge

class Manta : public Effect {
  public:
    void step(EffectContext& c) override {
        models::settleGradient(c, kit::fromLevels(0, 30, 70), kit::fromLevels(0, 8, 25), 0.25f, 0.97f);
        const float n = static_cast<float>(c.n);
        const float t = static_cast<float>(c.frame % 200000u);
        // The glide: a wide loop, near and far, with a rise and fall.
        const float a = t * 0.008f;
        const Vec3 centre{n * 0.28f * fastSin(a), n * 0.12f * fastSin(a * 2.0f),
                          n * 0.75f + n * 0.55f * fastCos(a)};
        const Vec3 ahead{n * 0.28f * fastCos(a), n * 0.24f * fastCos(a * 2.0f), -n * 0.55f * fastSin(a)};
        const float heading = kit::angleOf(-ahead.z, -ahead.x);
        const float bank = -0.5f * fastSin(a);
        const float climb = -0.3f * fastCos(a * 2.0f);
        const float flap = t * 0.11f;
        const float span = n * 0.5f, chord = n * 0.34f;
        Vec3 mesh[chordSteps + 1][spanSteps + 1];
        for (int i = 0; i <= chordSteps; ++i) {
            const float v = static_cast<float>(i) / chordSteps;
            for (int j = 0; j <= spanSteps; ++j) {
                const float u = static_cast<float>(j) / spanSteps * 2.0f - 1.0f;
                const float out = std::fabs(u);
                // A diamond outline: the chord narrows to the tips and the wing sweeps back.
                const float z = chord * (0.6f * out + v * (1.0f - out * 0.85f)) - chord * 0.5f;
                const float lift = n * 0.09f * out * out * fastSin(flap - out * 2.2f) + chord * 0.1f * v * v;
                const Vec3 p{u * span, lift, z};
                mesh[i][j] =
                    view(kit::rotateY(kit::rotateZ(kit::rotateX(p, climb), bank), heading) + centre, n);
            }
        }
        // The skin: quads far to near, darker on the back, paler where the wing turns its belly up.
        std::array<std::pair<float, int>, chordSteps * spanSteps> order{};
        for (int i = 0; i < chordSteps; ++i) {
            for (int j = 0; j < spanSteps; ++j) {
                const float z = mesh[i][j].z + mesh[i + 1][j + 1].z;
                order[static_cast<size_t>(i * spanSteps + j)] = {-z, i * spanSteps + j};
            }
        }
        std::sort(order.begin(), order.end());
        for (const auto& [depth, k] : order) {
            const int i = k / spanSteps, j = k % spanSteps;
            const Vec3 quad[4] = {mesh[i][j], mesh[i][j + 1], mesh[i + 1][j + 1], mesh[i + 1][j]};
            float xs[4], ys[4];
            bool ok = true;
            for (int q = 0; q < 4; ++q) {
                const kit::Projected pr = kit::project(c, quad[q]);
                ok = ok && pr.visible;
                xs[q] = pr.x;
                ys[q] = pr.y;
            }
            if (!ok) {
                continue;
            }
            const Vec3 e1 = quad[1] - quad[0], e2 = quad[3] - quad[0];
            const float nz = e1.x * e2.y - e1.y * e2.x;
            const float len = std::sqrt(e1.x * e1.x + e1.y * e1.y + e1.z * e1.z) *
                                  std::sqrt(e2.x * e2.x + e2.y * e2.y + e2.z * e2.z) +
                              1e-6f;
            const float lit = kit::clampf(0.35f + 0.65f * std::fabs(nz) / len, 0.0f, 1.0f);
            const kit::Rgb skin = nz < 0.0f ? kit::fromLevels(85, 110, 150) : kit::fromLevels(215, 220, 235);
            kit::fillPolygon(c, xs, ys, 4, kit::shade(skin, lit));
        }
        const kit::Rgb back = kit::fromLevels(90, 110, 150), rim = kit::fromLevels(210, 230, 255);
        for (int i = 0; i <= chordSteps; ++i) {
            for (int j = 0; j <= spanSteps; ++j) {
                const bool edge = i == 0 || i == chordSteps;
                if (j < spanSteps) {
                    models::fastLine(c, mesh[i][j], mesh[i][j + 1], edge ? rim : back, edge);
                }
                if (i < chordSteps) {
                    models::fastLine(c, mesh[i][j], mesh[i + 1][j], j == 0 || j == spanSteps ? rim : back);
                }
            }
        }
        // Tail and the two horn-like fins at the head.
        const Vec3 tailRoot = mesh[chordSteps][spanSteps / 2];
        const Vec3 tailTip =
            tailRoot +
            kit::rotateX(kit::rotateY(Vec3{n * 0.02f * fastSin(flap * 0.5f), 0.0f, chord * 1.4f}, heading),
                         tiltDown);
        models::fastLine(c, tailRoot, tailTip, rim);
        const Vec3 nose = mesh[0][spanSteps / 2];
        for (int side = -1; side <= 1; side += 2) {
            const Vec3 fin = kit::rotateX(
                kit::rotateY(Vec3{static_cast<float>(side) * chord * 0.2f, chord * 0.05f, -chord * 0.25f},
                             heading),
                tiltDown);
            models::fastLine(c, nose, nose + fin, rim, true);
        }
        // Wakes from the tips on the down-beat.
        if (c.frame % 6u == 0u) {
            for (int j : {0, spanSteps}) {
                const kit::Projected q = kit::project(c, mesh[chordSteps / 2][j]);
                if (q.visible) {
                    kit::balancedPush(c, q.x, q.y, 4.0f, 3.0f * fastSin(flap), kit::blue | kit::green);
                }
            }
        }
    }

  private:
    using Vec3 = kit::Vec3;
    static constexpr float tiltDown = 0.75f;

    // The viewer looks down on the loop from above, so the ray's back shows.
    static Vec3 view(Vec3 p, float n) {
        const Vec3 pivot{0.0f, 0.0f, n * 0.75f};
        return kit::rotateX(p - pivot, tiltDown) + pivot;
    }
};

} // namespace

std::unique_ptr<Effect> makeManta() {
    return std::make_unique<Manta>();
}

} // namespace glowfield
