// Conetto: an ice-cream cone turning in the air. A wafer cone, cross-hatched, stands tip down; soft-serve is
// piped onto it in a rising spiral of tapering loops with sprinkles; then the swirl melts down into the cone
// and the piping starts again.
#include <algorithm>
#include <array>

#include "effects/models/model_scene.h"

namespace glowfield {

namespace {

constexpr uint32_t cycleFrames = 500;

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
        models::settleGradient(c, kit::fromLevels(90, 170, 210), kit::fromLevels(250, 200, 215), 0.5f);
        const float n = static_cast<float>(c.n);
        const float t = static_cast<float>(c.frame % 200000u);
        const float age = static_cast<float>(c.frame % cycleFrames);
        const float spin = t * 0.02f, tilt = 0.35f + 0.1f * fastSin(t * 0.013f);
        const auto view = [&](Vec3 p) {
            return kit::rotateZ(kit::rotateX(kit::rotateY(p, spin), tilt), 0.15f * fastSin(t * 0.009f)) +
                   Vec3{0.0f, n * 0.02f, n * 0.12f};
        };
        const float rimY = -n * 0.02f, tipY = n * 0.5f, rimR = n * 0.17f;
        // The cone: a lattice of lines twisting one way and the other from rim to tip.
        const kit::Rgb wafer = kit::fromLevels(220, 160, 80), waferDark = kit::fromLevels(150, 95, 40);
        constexpr int lines = 14;
        for (int k = 0; k < lines; ++k) {
            const float a = static_cast<float>(k) * (kit::twoPi / lines);
            for (int dir = -1; dir <= 1; dir += 2) {
                Vec3 last = view(Vec3{rimR * fastCos(a), rimY, rimR * fastSin(a)});
                for (int s = 1; s <= 6; ++s) {
                    const float u = static_cast<float>(s) / 6.0f;
                    const float b = a + static_cast<float>(dir) * u * 1.4f;
                    const float r = rimR * (1.0f - u);
                    const Vec3 p = view(Vec3{r * fastCos(b), rimY + (tipY - rimY) * u, r * fastSin(b)});
                    models::solidLine(c, last, p, shadeFor(dir > 0 ? wafer : waferDark, p.z, n), 1.6f);
                    last = p;
                }
            }
        }
        Vec3 last = view(Vec3{rimR, rimY, 0.0f});
        for (int k = 1; k <= 24; ++k) {
            const float a = static_cast<float>(k) * (kit::twoPi / 24.0f);
            const Vec3 p = view(Vec3{rimR * fastCos(a), rimY, rimR * fastSin(a)});
            models::solidLine(c, last, p, shadeFor(kit::fromLevels(240, 190, 110), p.z, n), 3.0f);
            last = p;
        }
        // The swirl: piped for 300 frames, held, then melted down into the cone.
        const float piped = kit::clampf(age / 300.0f, 0.0f, 1.0f);
        const float melt = kit::smoothstep(380.0f, 480.0f, age);
        constexpr int loops = 4, per = 40, total = loops * per;
        const int shown = kit::toCell(piped * total);
        const float height = n * 0.3f;
        Vec3 previous{};
        int count = 0;
        for (int k = 0; k <= shown && k <= total; ++k) {
            const float u = static_cast<float>(k) / total;
            const float a = u * loops * kit::twoPi;
            const float r = rimR * 1.05f * (1.0f - u * 0.85f);
            const float y = rimY - height * u * (1.0f - melt) + melt * n * 0.04f;
            const Vec3 p =
                view(Vec3{r * fastCos(a) * (1.0f + melt * 0.2f), y, r * fastSin(a) * (1.0f + melt * 0.2f)});
            if (k > 0) {
                const kit::Rgb cream =
                    kit::mix(kit::fromLevels(255, 240, 225), kit::fromLevels(250, 170, 190), u);
                swirl_[static_cast<size_t>(count++)] = {previous, p, cream};
            }
            previous = p;
        }
        // Far segments first, so the near side of each loop covers the far side.
        std::sort(swirl_.begin(), swirl_.begin() + count,
                  [](const Segment& a, const Segment& b) { return a.a.z + a.b.z > b.a.z + b.b.z; });
        for (int k = 0; k < count; ++k) {
            const Segment& s = swirl_[static_cast<size_t>(k)];
            models::solidLine(c, s.a, s.b, shadeFor(kit::shade(s.colour, 0.75f), s.a.z, n), 11.0f);
            models::solidLine(c, s.a, s.b, shadeFor(s.colour, s.a.z, n), 7.0f);
        }
        // Sprinkles on the piped part.
        static constexpr kit::Rgb sprinkle[5] = {kit::fromLevels(255, 60, 60), kit::fromLevels(60, 200, 255),
                                                 kit::fromLevels(255, 230, 40), kit::fromLevels(80, 220, 90),
                                                 kit::fromLevels(200, 90, 255)};
        for (uint32_t s = 0; s < 40u; ++s) {
            const uint32_t h = scramble(s + 7u);
            const float u = static_cast<float>(h & 1023u) / 1024.0f;
            if (u > piped || melt > 0.6f) {
                continue;
            }
            const float a = u * loops * kit::twoPi;
            const float r = rimR * 1.05f * (1.0f - u * 0.85f) + n * 0.025f;
            const float y = rimY - height * u - n * 0.015f;
            const Vec3 p = view(Vec3{r * fastCos(a), y, r * fastSin(a)});
            const Vec3 q = p + Vec3{static_cast<float>((h >> 10) % 5u) - 2.0f,
                                    static_cast<float>((h >> 14) % 5u) - 2.0f, 0.0f};
            models::solidLine(c, p, q, shadeFor(sprinkle[(h >> 20) % 5u], p.z, n), 1.5f);
        }
    }

  private:
    using Vec3 = kit::Vec3;
    struct Segment {
        Vec3 a, b;
        kit::Rgb colour;
    };

    // Nearer parts full, the far side shaded down.
    static kit::Rgb shadeFor(kit::Rgb colour, float z, float n) {
        return kit::shade(colour, kit::clampf(1.0f - (z - n * 0.1f) / (n * 0.5f), 0.45f, 1.0f));
    }

    std::array<Segment, 170> swirl_{};
};

} // namespace

std::unique_ptr<Effect> makeConetto() {
    return std::make_unique<Conetto>();
}

} // namespace glowfield
