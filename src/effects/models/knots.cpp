// Knots: a thick tube following a (p, q) torus knot, coloured along its length and turning; every five
// seconds it melts into the next coprime pair, the two curves blended point by point over a second. It lies
// on a sailcloth ground, warm canvas lit from the middle, so the rope reads like one laid out on deck.
#include <algorithm>
#include <array>

#include "effects/kit/backdrop.h"
#include "effects/kit/kit.h"

namespace glowfield {

namespace {

constexpr int segments = 120;
constexpr int runLength = 10;
constexpr int runs = segments / runLength;

class Knots : public Effect {
  public:
    void step(EffectContext& c) override {
        kit::tameNowAndThen(c, 300.0f, 40.0f);
        kit::scaleVelocities(c, 0.8f);
        const float n = static_cast<float>(c.n);
        const kit::Glow lamp{n * 0.5f, n * 0.45f, n * 0.6f, {34.0f, 30.0f, 18.0f}};
        kit::pullTowards(c, kit::fromLevels(84, 74, 56), kit::fromLevels(116, 102, 76), 0.45f, lamp);
        static constexpr int pairs[8][2] = {{2, 3}, {3, 5}, {2, 5}, {3, 4}, {5, 2}, {3, 7}, {4, 3}, {2, 7}};
        const uint32_t cycle = c.frame / 250u, within = c.frame % 250u;
        const int* from = pairs[cycle % 8u];
        const int* to = pairs[(cycle + 1u) % 8u];
        const float blend = kit::smoothstep(190.0f, 250.0f, static_cast<float>(within));
        const float t = static_cast<float>(c.frame % 200000u);
        const float half = static_cast<float>(c.n) * 0.5f;
        const float ax = t * 0.009f, ay = t * 0.013f;
        Vec3 last{};
        for (int i = 0; i <= segments; ++i) {
            const float phi = static_cast<float>(i) * (kit::twoPi / segments);
            const Vec3 p =
                kit::Vec3{} + onKnot(from, phi, half) * (1.0f - blend) + onKnot(to, phi, half) * blend;
            const Vec3 v = kit::turn(p, ax, ay) + Vec3{0.0f, 0.0f, half * 0.88f};
            if (i > 0) {
                tube_[static_cast<size_t>(i - 1)] = {last, v,
                                                     static_cast<float>(i) / segments * 2.0f + t * 0.002f};
            }
            last = v;
        }
        // A tube, drawn in runs of consecutive pieces, far runs first: within a run every rim goes down
        // before any colour, so the strand is smooth, and where the knot crosses itself the near run passes
        // visibly over the far one.
        std::array<std::pair<float, int>, runs> order{};
        for (int r = 0; r < runs; ++r) {
            float depth = 0.0f;
            for (int k = r * runLength; k < (r + 1) * runLength; ++k) {
                depth += tube_[static_cast<size_t>(k)].a.z;
            }
            order[static_cast<size_t>(r)] = {-depth, r};
        }
        std::sort(order.begin(), order.end());
        for (const auto& [depth, r] : order) {
            const int first = r * runLength, last = first + runLength;
            for (int k = first; k < last; ++k) {
                const Piece& piece = tube_[static_cast<size_t>(k)];
                kit::solidLine(c, piece.a, piece.b, kit::shade(colourOf(piece, half), 0.3f), 9.0f);
            }
            for (int k = first; k < last; ++k) {
                const Piece& piece = tube_[static_cast<size_t>(k)];
                kit::solidLine(c, piece.a, piece.b, colourOf(piece, half), 6.0f);
            }
            for (int k = first; k < last; ++k) {
                const Piece& piece = tube_[static_cast<size_t>(k)];
                const Vec3 up{0.0f, -1.2f, 0.0f};
                kit::solidLine(c, piece.a + up, piece.b + up,
                               kit::mix(colourOf(piece, half), kit::white, 0.5f), 1.5f);
            }
        }
    }

  private:
    using Vec3 = kit::Vec3;
    struct Piece {
        Vec3 a, b;
        float hue = 0.0f;
        int index = 0;
    };

    // Colour along the knot, shaded by depth.
    static kit::Rgb colourOf(const Piece& piece, float half) {
        const float near = kit::clampf(1.1f - (piece.a.z - half * 0.3f) / (half * 1.6f), 0.3f, 1.0f);
        return kit::shade(kit::bright(piece.hue), near);
    }

    std::array<Piece, segments> tube_{};

    static Vec3 onKnot(const int* pq, float phi, float half) {
        const float p = static_cast<float>(pq[0]), q = static_cast<float>(pq[1]);
        const float big = half * 0.55f, small = half * 0.28f;
        const float r = big + small * fastCos(q * phi);
        return {r * fastCos(p * phi), r * fastSin(p * phi), small * 1.3f * fastSin(q * phi)};
    }
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Knots);

} // namespace glowfield
