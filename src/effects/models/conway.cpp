// Conway: the game of life in 3-D. A 64 x 64 board lies tilted in perspective and slowly turns; each live
// cell stands as a pillar that grows taller the longer it lives, coloured by its height. When the board
// dies down or stalls, fresh soup is sown. The board is a slate-blue table under a dusk sky that warms
// towards the foot of the screen.
#include <array>
#include <cstdint>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

constexpr int board = 64;

class Conway : public Effect {
  public:
    void start(EffectContext& c) override { sow(c); }

    void step(EffectContext& c) override {
        kit::settleGradient(c, kit::fromLevels(14, 16, 60), kit::fromLevels(70, 40, 76), 0.55f);
        if (c.frame % 4u == 0u) {
            generation(c);
        }
        const float n = static_cast<float>(c.n);
        const float t = static_cast<float>(c.frame % 200000u);
        const float pitch = n * 0.0135f, half = pitch * board * 0.5f;
        const float spin = t * 0.004f, tilt = 0.95f + 0.1f * fastSin(t * 0.006f);
        const auto view = [&](Vec3 p) {
            return kit::rotateX(kit::rotateY(p, spin), tilt) + Vec3{0.0f, n * 0.05f, n * 0.3f};
        };
        // The board's top, then its edge and a faint grid every eight cells.
        const kit::Projected corners[4] = {
            kit::project(c, view(Vec3{-half, 0.0f, -half})), kit::project(c, view(Vec3{half, 0.0f, -half})),
            kit::project(c, view(Vec3{half, 0.0f, half})), kit::project(c, view(Vec3{-half, 0.0f, half}))};
        if (corners[0].visible && corners[1].visible && corners[2].visible && corners[3].visible) {
            const float xs[4] = {corners[0].x, corners[1].x, corners[2].x, corners[3].x};
            const float ys[4] = {corners[0].y, corners[1].y, corners[2].y, corners[3].y};
            kit::fillPolygon(c, xs, ys, 4, kit::fromLevels(30, 40, 84));
        }
        const kit::Rgb line = kit::fromLevels(50, 60, 110);
        for (int k = 0; k <= board; k += 8) {
            const float w = static_cast<float>(k) * pitch - half;
            kit::fastLine(c, view(Vec3{w, 0.0f, -half}), view(Vec3{w, 0.0f, half}), line);
            kit::fastLine(c, view(Vec3{-half, 0.0f, w}), view(Vec3{half, 0.0f, w}), line);
        }
        // Pillars: rows drawn in an order that puts nearer ones last, so they cover those behind.
        const Vec3 probe = view(Vec3{0.0f, 0.0f, half}) - view(Vec3{0.0f, 0.0f, -half});
        const Vec3 probeX = view(Vec3{half, 0.0f, 0.0f}) - view(Vec3{-half, 0.0f, 0.0f});
        const bool zFar = probe.z > 0.0f, xFar = probeX.z > 0.0f;
        for (int a = 0; a < board; ++a) {
            const int j = zFar ? board - 1 - a : a;
            for (int b = 0; b < board; ++b) {
                const int i = xFar ? board - 1 - b : b;
                const uint8_t age = age_[static_cast<size_t>(i * board + j)];
                if (age == 0) {
                    continue;
                }
                const float height = pitch * (1.0f + 0.8f * static_cast<float>(age < 12 ? age : 12));
                const float x = (static_cast<float>(i) + 0.5f) * pitch - half,
                            z = (static_cast<float>(j) + 0.5f) * pitch - half;
                const kit::Rgb colour =
                    kit::hsv(0.62f - static_cast<float>(age < 12 ? age : 12) * 0.05f, 0.8f, 1.0f);
                kit::fastLine(c, view(Vec3{x, 0.0f, z}), view(Vec3{x, -height, z}), kit::shade(colour, 0.7f),
                              true);
                const kit::Projected top = kit::project(c, view(Vec3{x, -height, z}));
                if (top.visible) {
                    kit::fillDisc(c, top.x, top.y, 0.9f * top.scale, colour, kit::Blend::max);
                }
            }
        }
    }

  private:
    using Vec3 = kit::Vec3;

    void sow(EffectContext& c) {
        for (uint8_t& a : age_) {
            a = c.random(0, 99) < 30 ? 1 : 0;
        }
        generations_ = 0;
        stall_ = 0;
    }

    void generation(EffectContext& c) {
        std::array<uint8_t, board * board> next{};
        int alive = 0, changed = 0;
        for (int i = 0; i < board; ++i) {
            for (int j = 0; j < board; ++j) {
                int count = 0;
                for (int di = -1; di <= 1; ++di) {
                    for (int dj = -1; dj <= 1; ++dj) {
                        if ((di || dj) && age_[static_cast<size_t>(kit::wrap(i + di, board) * board +
                                                                   kit::wrap(j + dj, board))]) {
                            ++count;
                        }
                    }
                }
                const uint8_t was = age_[static_cast<size_t>(i * board + j)];
                const bool lives = was ? (count == 2 || count == 3) : count == 3;
                next[static_cast<size_t>(i * board + j)] =
                    lives ? static_cast<uint8_t>(was < 250 ? was + 1 : 250) : 0;
                alive += lives ? 1 : 0;
                changed += (lives != (was != 0)) ? 1 : 0;
            }
        }
        age_ = next;
        ++generations_;
        // Stalled: few changes for a while (still lifes and blinkers only), or almost empty.
        stall_ = changed < 12 ? stall_ + 1 : 0;
        if (alive < 60 || stall_ > 40 || generations_ > 1500) {
            sow(c);
        }
    }

    std::array<uint8_t, board * board> age_{};
    int generations_ = 0;
    int stall_ = 0;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Conway);

} // namespace glowfield
