// Glass Stain: a rose window. A tracery of a six-petal rosette, twelve pointed petals and a ring of roundels
// is laid out once in lead; each pane holds saturated glass, and its brightness follows a sun moving behind
// the window, so light sweeps across the glass while the stone around it stays dim.
#include <cmath>
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

constexpr int zones = 8;

class GlassStain : public Effect {
  public:
    void start(EffectContext& c) override {
        n_ = c.n;
        const float n = static_cast<float>(c.n);
        const float half = n * 0.5f, big = n * 0.47f;
        pane_.assign(static_cast<size_t>(n_ * n_), -1);
        grain_.assign(static_cast<size_t>(n_ * n_), 1.0f);
        for (int x = 0; x < n_; ++x) {
            for (int y = 0; y < n_; ++y) {
                const float dx =
                    (static_cast<float>(x) + 0.5f - half) * 4.0f / 3.0f; // cells show 4 wide, 3 tall
                const float dy = static_cast<float>(y) + 0.5f - half;
                pane_[index(x, y)] =
                    paneAt(std::sqrt(dx * dx + dy * dy) / big, kit::angleOf(dx, dy) + kit::pi);
                grain_[index(x, y)] = 0.82f + 0.18f * c.randomUnit();
            }
        }
        // Glass colours: one per zone and sector parity, so the window keeps its symmetry.
        const kit::Rgb glass[7] = {kit::fromLevels(200, 20, 30),  kit::fromLevels(20, 50, 200),
                                   kit::fromLevels(20, 160, 60),  kit::fromLevels(240, 170, 20),
                                   kit::fromLevels(130, 30, 180), kit::fromLevels(20, 170, 190),
                                   kit::fromLevels(230, 90, 20)};
        for (int z = 0; z < zones; ++z) {
            for (int p = 0; p < 2; ++p) {
                colours_[z][p] = glass[c.random(0, 6)];
            }
        }
    }

    void step(EffectContext& c) override {
        const float n = static_cast<float>(c.n);
        const float t = static_cast<float>(c.frame % 400000u) * 0.02f;
        const float sunX = n * (0.5f + 0.55f * fastCos(t * 0.9f)),
                    sunY = n * (0.5f + 0.4f * fastSin(t * 1.2f));
        const float spread = 1.0f / (n * n * 0.035f);
        for (int x = 0; x < n_; ++x) {
            for (int y = 0; y < n_; ++y) {
                const int id = pane_[index(x, y)];
                const float fx = static_cast<float>(x), fy = static_cast<float>(y);
                kit::Rgb colour;
                if (id < 0) {
                    // Stone: courses of blocks, dimly lit.
                    const int course = y / 8;
                    const bool joint = y % 8 == 0 || (x + (course % 2) * 7) % 14 == 0;
                    colour = joint ? kit::fromLevels(38, 34, 32) : kit::fromLevels(82, 76, 70);
                    colour = kit::shade(colour, 0.8f + 0.2f * grain_[index(x, y)]);
                } else if (lead(x, y, id)) {
                    colour = kit::fromLevels(24, 22, 26);
                } else {
                    const float dx = fx - sunX, dy = fy - sunY;
                    const float light = 0.28f + 1.0f / (1.0f + (dx * dx + dy * dy) * spread);
                    colour = kit::shade(colours_[id / 64][id % 2],
                                        kit::clampf(light * grain_[index(x, y)], 0.0f, 1.3f));
                    if (light > 1.0f) {
                        colour = kit::mix(colour, kit::white, (light - 1.0f) * 0.8f);
                    }
                }
                kit::paintSolid(c, x, y, colour);
            }
        }
    }

  private:
    // Zone * 64 + sector of the pane at radius r (1 = the window's rim) and angle a (0..2pi); -1 for stone.
    static int paneAt(float r, float a) {
        if (r >= 1.0f) {
            return -1;
        }
        if (r > 0.965f) {
            return 7 * 64; // the rim band
        }
        const auto sector = [a](int count, float& u) {
            const float s = a / kit::twoPi * static_cast<float>(count);
            const int k = kit::toCell(s);
            u = s - static_cast<float>(k) - 0.5f; // -0.5..0.5 across the sector
            return k < 0 ? 0 : k >= count ? count - 1 : k;
        };
        float u = 0.0f;
        if (r < 0.07f) {
            return 0;
        }
        if (r < 0.2f) {
            const int k = sector(6, u);
            const float petal = 0.2f * (0.45f + 0.55f * (1.0f - 4.0f * u * u));
            return r < petal ? 64 + k : 2 * 64 + k;
        }
        if (r < 0.62f) {
            const int k = sector(12, u);
            const float q = (r - 0.2f) / 0.42f; // 0..1 along the petal
            const float width =
                0.48f * (q < 0.5f ? 1.0f : std::sqrt(1.0f - (2.0f * q - 1.0f) * (2.0f * q - 1.0f)));
            return absf(u) < width && q < 0.97f ? 3 * 64 + k : 4 * 64 + k;
        }
        const int k = sector(24, u);
        const float du = u * kit::twoPi / 24.0f * 0.81f, dr = r - 0.81f;
        if (du * du + dr * dr < 0.11f * 0.11f) {
            return 5 * 64 + k;
        }
        return (r > 0.81f ? 6 : 7) * 64 + k; // between the roundels, outer and inner
    }

    bool lead(int x, int y, int id) const {
        const int right = x + 1 < n_ ? pane_[index(x + 1, y)] : id;
        const int down = y + 1 < n_ ? pane_[index(x, y + 1)] : id;
        const int left = x > 0 ? pane_[index(x - 1, y)] : id;
        return right != id || down != id || (left != id && left < 0);
    }

    size_t index(int x, int y) const { return static_cast<size_t>(x) * n_ + y; }

    int n_ = 0;
    std::vector<int> pane_;
    std::vector<float> grain_;
    kit::Rgb colours_[zones][2];
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(GlassStain);

} // namespace glowfield
