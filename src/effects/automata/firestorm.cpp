// Firestorm: full-screen fire. The bottom row is fed random heat; every cell takes the heat of the cells
// below it, shifted sideways by a wind that sways row by row, less a flickering cooling. Now and then a gust
// twists a band of rows into a fire whirl.
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Firestorm : public Effect {
  public:
    void start(EffectContext& c) override {
        side_ = c.n;
        const size_t cells = static_cast<size_t>(c.n) * c.n;
        heat_.assign(cells, 0.0f);
        next_.assign(cells, 0.0f);
        cooling_.assign(cells, 0.0f);
        for (float& v : cooling_) {
            v = 0.7f + 3.8f * c.randomUnit() * c.randomUnit();
        }
        whirlLeft_ = 0;
    }

    void step(EffectContext& c) override {
        const uint32_t tick = c.framesSinceStart + 1;
        const int n = c.n;
        const float t = static_cast<float>(tick % 1000000u);
        // Fuel: random embers along the bottom two rows, in clumps so the flames have tongues.
        for (int x = 0; x < n; x += 3) {
            const float fuel = c.random() % 4 == 0 ? 0.0f : 230.0f + 60.0f * c.randomUnit();
            for (int k = 0; k < 3 && x + k < n; ++k) {
                heat_[index(x + k, n - 1)] = fuel;
                heat_[index(x + k, n - 2)] = fuel * 0.9f;
            }
        }
        if (whirlLeft_ == 0 && c.random() % 300 == 0) {
            whirlLeft_ = 150;
            whirlY_ = static_cast<float>(c.random(n / 4, n * 3 / 4));
        }
        const float whirl =
            whirlLeft_ > 0 ? kit::smoothstep(0.0f, 40.0f, static_cast<float>(whirlLeft_)) : 0.0f;
        if (whirlLeft_ > 0) {
            --whirlLeft_;
        }
        // The cooling map scrolls upwards with the flames so the flicker rises with them.
        const int scroll = static_cast<int>(tick % static_cast<uint32_t>(n));
        // With music the flames leap with the bass: the fire cools less as it grows, and sinks back slowly.
        const bool heard = c.sound.heard();
        if (heard) {
            const float bass = c.sound.bass;
            bass_ += (bass - bass_) * (bass > bass_ ? 0.35f : 0.06f);
        }
        const float coolness = 1.25f - 0.65f * bass_;
        for (int y = 0; y < n - 2; ++y) {
            // Wind: a sideways pull that sways with height and time.
            const float sway = 1.2f * fastSin(y * 0.045f + t * 0.03f) + 0.6f * fastSin(t * 0.011f);
            float shift = sway;
            const float dy = (y - whirlY_) / 18.0f;
            if (whirl > 0.0f && dy > -1.0f && dy < 1.0f) {
                shift += whirl * 3.0f * (1.0f - dy * dy) * fastSin(dy * 4.0f + t * 0.2f);
            }
            const int offset = kit::roundCell(kit::clampf(shift, -4.0f, 4.0f));
            const int coolRow = kit::wrap(y + scroll, n);
            for (int x = 0; x < n; ++x) {
                const int sx = kit::clampCell(c, x + offset);
                const float below = heat_[index(kit::clampCell(c, sx - 1), y + 1)] + heat_[index(sx, y + 1)] +
                                    heat_[index(kit::clampCell(c, sx + 1), y + 1)] + heat_[index(sx, y + 2)];
                const float cool = cooling_[index(x, coolRow)];
                const float h = below * 0.25f - (heard ? cool * coolness : cool);
                next_[index(x, y)] = h > 0.0f ? h : 0.0f;
            }
        }
        for (int y = 0; y < n - 2; ++y) {
            for (int x = 0; x < n; ++x) {
                heat_[index(x, y)] = next_[index(x, y)];
            }
        }
        // Heat to colour: red first, then green, then blue, so the core burns white.
        for (int x = 0; x < n; ++x) {
            for (int y = 0; y < n; ++y) {
                const float h = heat_[index(x, y)];
                const int cell = cellAt(x, y);
                c.planes.red[cell] = kit::clampf(h * 3.0f - 127.0f, -127.0f, 128.0f);
                c.planes.green[cell] = kit::clampf((h - 70.0f) * 2.6f - 127.0f, -127.0f, 128.0f);
                c.planes.blue[cell] = kit::clampf((h - 150.0f) * 3.0f - 127.0f, -127.0f, 128.0f);
                c.planes.redVelocity[cell] = 0.0f;
                c.planes.greenVelocity[cell] = 0.0f;
                c.planes.blueVelocity[cell] = 0.0f;
            }
        }
    }

  private:
    size_t index(int x, int y) const { return static_cast<size_t>(y) * side_ + x; }

    std::vector<float> heat_;
    std::vector<float> next_;
    std::vector<float> cooling_;
    int side_ = 0;
    int whirlLeft_ = 0;
    float whirlY_ = 0.0f;
    float bass_ = 0.0f; // the bass as the flames follow it
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Firestorm);

} // namespace glowfield
