// Conetto: a soft-serve ice cream turning before candy stripes. A waffle cone, lit like a cylinder, holds a
// rising swirl of strawberry-and-vanilla cream built of round, shaded coils with a curl on top; sprinkles
// ride the coils round, and drips swell and slide down the wafer.
#include <algorithm>
#include <array>
#include <cmath>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

constexpr int ringCount = 24; // balls in the closed ring of cream on the rim
constexpr int coilCount = 92; // balls along the swirl's coil above it
constexpr int blobCount = ringCount + coilCount;
constexpr float turns = 3.6f; // coils from rim to curl
constexpr int sprinkleCount = 70;
constexpr int dripCount = 6;

// A fixed scramble of an index, for sprinkle places and colours.
inline uint32_t scramble(uint32_t v) {
    v ^= v >> 16;
    v *= 0x7feb352du;
    v ^= v >> 15;
    v *= 0x846ca68bu;
    v ^= v >> 16;
    return v;
}

class Conetto : public Effect {
  public:
    void step(EffectContext& c) override {
        const float n = static_cast<float>(c.n);
        const float t = static_cast<float>(c.frame % 200000u);
        kit::scaleVelocities(c, 0.0f);
        stripes(c, t);
        const float spin = t * 0.035f;
        const float cx = n * 0.5f + n * 0.02f * fastSin(t * 0.013f);
        const float rimY = n * 0.5f, rimR = n * 0.2f, tipY = n * 0.97f;
        cone(c, cx, rimY, rimR, tipY, spin);
        drips(c, cx, rimY, rimR, tipY, spin, t);
        swirl(c, cx, rimY, rimR, spin, t);
    }

  private:
    struct Blob {
        float x, y, r;
        float depth; // drawing order: near sides and higher coils later
        float front; // above 0 on the near side of the coil
        kit::Rgb colour;
    };

    // Broad candy stripes of mint and cream, drifting diagonally.
    void stripes(const EffectContext& c, float t) {
        stripe_.make(
            c.n, [&](float x) { return x * 0.06f - t * 0.02f; }, [](float y) { return y * 0.035f; });
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                const float s = stripe_.at(x, y);
                const float k = kit::smoothstep(-0.15f, 0.15f, s);
                kit::setCell(c, x, y,
                             kit::mix(kit::fromLevels(120, 205, 195), kit::fromLevels(235, 245, 225), k));
            }
        }
    }

    // The cone: a triangle tip down whose cells are mapped round it as a cylinder, so the waffle grooves turn
    // with it and the shading falls off towards its edges.
    static void cone(const EffectContext& c, float cx, float rimY, float rimR, float tipY, float spin) {
        const int y0 = kit::clampCell(c, kit::toCell(rimY)), y1 = kit::clampCell(c, kit::toCell(tipY));
        for (int y = y0; y <= y1; ++y) {
            const float down = (static_cast<float>(y) - rimY) / (tipY - rimY);
            const float half = rimR * (1.0f - down);
            if (half < 0.5f) {
                continue;
            }
            const int x0 = kit::clampCell(c, kit::toCell(cx - half)),
                      x1 = kit::clampCell(c, kit::toCell(cx + half));
            for (int x = x0; x <= x1; ++x) {
                const float across = kit::clampf((static_cast<float>(x) + 0.5f - cx) / half, -1.0f, 1.0f);
                // The angle round the cone from the cell's place across it: asin by a short series is plenty
                // for a groove pattern.
                const float a = across * (1.0f + across * across * (0.1667f + 0.075f * across * across));
                const float u = (a + spin) * 5.0f, v = down * 14.0f;
                const float g1 = fastSin(u + v), g2 = fastSin(u - v);
                const float groove = g1 > 0.82f || g2 > 0.82f ? 0.7f : 1.0f;
                const float light = std::sqrt(1.0f - across * across) * 0.75f + 0.25f - across * 0.12f;
                const kit::Rgb wafer = kit::fromLevels(222, 160, 80);
                kit::setCell(c, x, y, kit::shade(wafer, kit::clampf(light * groove, 0.15f, 1.05f)));
            }
        }
    }

    // Drips of cream slide down the front of the wafer, swelling and shrinking back, each with a round bead.
    static void drips(const EffectContext& c, float cx, float rimY, float rimR, float tipY, float spin,
                      float t) {
        const kit::Rgb cream = kit::fromLevels(250, 236, 220);
        for (int k = 0; k < dripCount; ++k) {
            const float a = static_cast<float>(k) * (kit::twoPi / dripCount) + 0.4f + spin;
            const float front = fastSin(a);
            if (front < 0.15f) {
                continue; // round the back of the cone
            }
            const float across = fastCos(a);
            const float grow = 0.5f + 0.5f * fastSin(t * 0.02f + static_cast<float>(k) * 2.1f);
            const float length = (tipY - rimY) * (0.2f + 0.35f * grow * grow);
            const float x0 = cx + across * rimR * 0.92f;
            const float y1 = rimY + length;
            const float x1 = cx + across * rimR * 0.92f * (1.0f - length / (tipY - rimY));
            const float w = (2.4f + 1.0f * front) * static_cast<float>(c.n) / 200.0f;
            kit::drawThickLine(c, x0, rimY, x1, y1, w, cream);
            kit::fillDisc(c, x1, y1 + 0.5f, w * 1.45f, cream);
            kit::fillDisc(c, x1 - w * 0.5f, y1 - w * 0.2f, w * 0.45f, kit::white);
            kit::drawLine(c, x0 - w * 0.5f, rimY, x1 - w * 0.5f, y1 - w, kit::fromLevels(255, 252, 245));
        }
    }

    // The swirl: balls along a coil that narrows and rises, sorted far to near and each shaded as a sphere,
    // so the coils read as round ropes of cream; the strawberry ribbon winds through the vanilla.
    void swirl(const EffectContext& c, float cx, float rimY, float rimR, float spin, float t) {
        const float n = static_cast<float>(c.n);
        const float height = n * 0.36f;
        const kit::Rgb vanilla = kit::fromLevels(255, 246, 228), strawberry = kit::fromLevels(255, 150, 185);
        for (int i = 0; i < blobCount; ++i) {
            // The ring first (s below 0, at the rim's height), then the coil rising from it.
            const bool ring = i < ringCount;
            const float s = ring ? 0.0f : static_cast<float>(i - ringCount) / (coilCount - 1);
            const float a = ring ? static_cast<float>(i) * (kit::twoPi / ringCount) + spin
                                 : s * turns * kit::twoPi + spin;
            const float coil = rimR * (ring ? 1.02f : 1.02f - 0.8f * s);
            const float depth = fastSin(a);
            Blob& b = blobs_[static_cast<size_t>(i)];
            b.x = cx + coil * fastCos(a);
            b.y = rimY - n * 0.015f - height * (ring ? -0.02f : s) + depth * coil * 0.28f;
            b.r = n * (0.066f - 0.034f * s) * (1.0f + 0.04f * fastSin(t * 0.05f + s * 9.0f));
            b.depth = depth * coil + s * n * 0.5f; // each coil sits on the one below it
            b.front = depth;
            b.colour = kit::mix(vanilla, strawberry, kit::smoothstep(0.35f, 0.75f, fastSin(s * 31.0f)));
        }
        std::array<Blob, blobCount> order = blobs_;
        std::sort(order.begin(), order.end(), [](const Blob& a, const Blob& b) { return a.depth < b.depth; });
        for (const Blob& b : order) {
            ball(c, b);
        }
        // The curl: a last small ball leaning over at the top.
        const Blob& last = blobs_[blobCount - 1];
        ball(c, {last.x + fastCos(spin) * last.r * 0.8f, last.y - last.r * 0.9f, last.r * 0.75f, 0.0f, 1.0f,
                 last.colour});
        // Sprinkles on the near side of the coils.
        static constexpr kit::Rgb colours[5] = {kit::fromLevels(255, 60, 60), kit::fromLevels(60, 170, 255),
                                                kit::fromLevels(255, 220, 30), kit::fromLevels(70, 210, 90),
                                                kit::fromLevels(180, 80, 255)};
        for (uint32_t k = 0; k < sprinkleCount; ++k) {
            const uint32_t h = scramble(k * 7u + 3u);
            const Blob& b = blobs_[static_cast<size_t>(ringCount / 2 + h % (blobCount - ringCount / 2 - 8))];
            if (b.front < 0.1f) {
                continue; // on the far side
            }
            const float ang = static_cast<float>((h >> 8) & 1023u) * (kit::twoPi / 1024.0f);
            const float off = b.r * (0.25f + 0.45f * static_cast<float>((h >> 18) & 63u) / 63.0f);
            const float sx = b.x + off * fastCos(ang), sy = b.y + off * fastSin(ang) - b.r * 0.2f;
            const float tilt = static_cast<float>((h >> 24) & 7u) * 0.4f;
            const float len = b.r * 0.3f;
            kit::drawThickLine(c, sx - len * fastCos(tilt), sy - len * fastSin(tilt),
                               sx + len * fastCos(tilt), sy + len * fastSin(tilt), 0.8f,
                               colours[(h >> 12) % 5u]);
        }
    }

    // One ball of cream, lit from the upper left with a soft highlight.
    static void ball(const EffectContext& c, const Blob& b) {
        if (!(b.r > 0.5f && b.r < 64.0f)) {
            return;
        }
        const int x0 = kit::clampCell(c, kit::toCell(b.x - b.r)),
                  x1 = kit::clampCell(c, kit::toCell(b.x + b.r));
        const float inv = 1.0f / b.r;
        for (int x = x0; x <= x1; ++x) {
            const float u = (static_cast<float>(x) + 0.5f - b.x) * inv;
            if (u * u >= 1.0f) {
                continue;
            }
            // Only the rows of this column that the ball covers.
            const float reach = b.r * std::sqrt(1.0f - u * u);
            const int y0 = kit::clampCell(c, kit::toCell(b.y - reach)),
                      y1 = kit::clampCell(c, kit::toCell(b.y + reach));
            for (int y = y0; y <= y1; ++y) {
                const float v = (static_cast<float>(y) + 0.5f - b.y) * inv;
                const float d = u * u + v * v;
                if (d >= 1.0f) {
                    continue;
                }
                const float z = std::sqrt(1.0f - d);
                const float diffuse = kit::clampf(-0.45f * u - 0.55f * v + 0.7f * z, 0.0f, 1.0f);
                float shine = diffuse * diffuse;
                shine *= shine;
                shine *= shine;
                const kit::Rgb lit = kit::shade(b.colour, 0.5f + 0.5f * diffuse);
                kit::setCell(c, x, y, kit::mix(lit, kit::white, shine * 0.7f));
            }
        }
    }

    std::array<Blob, blobCount> blobs_{};
    kit::SplitSine stripe_;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Conetto);

} // namespace glowfield
