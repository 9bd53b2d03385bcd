// Waffle: a golden waffle drifts diagonally under the light. Its square pits and ridges are shaded from a
// height map, the wave step wobbles the relief, and amber syrup pours into the pits and seeps from pit to
// pit.
#include <cmath>
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Waffle : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::fillColours(c, kit::fromLevels(150, 100, 40), true);
        height_.assign(static_cast<size_t>(c.n) * c.n, 0.0f);
        for (float& s : syrup_) {
            s = 0.0f;
        }
    }

    void step(EffectContext& c) override {
        const uint32_t tick = c.framesSinceStart + 1;
        kit::tameField(c, 300.0f, 20.0f);
        const float t = static_cast<float>(tick % 1000000u);
        const float drift = t * 0.12f;
        const int n = c.n;
        if (height_.size() != static_cast<size_t>(n) * n) {
            height_.assign(static_cast<size_t>(n) * n, 0.0f); // the grid changed size under us
        }
        // Height of the relief: 1 on the ridges, 0 at the bottom of each pit, with rounded walls. The lattice
        // is square, so height is the larger of a profile across x and one across y, and the pit numbers
        // split the same way: both are worked out once per row and column.
        if (ridge_.size() != static_cast<size_t>(n)) {
            ridge_.assign(static_cast<size_t>(n), 0.0f);
            pit_.assign(static_cast<size_t>(n), 0);
        }
        for (int k = 0; k < n; ++k) {
            const float u = (k + drift) / pitch;
            const float f = u - std::floor(u);
            const float d = f < 0.5f ? f : 1.0f - f;
            ridge_[static_cast<size_t>(k)] = 1.0f - kit::smoothstep(0.06f, 0.2f, d);
            pit_[static_cast<size_t>(k)] = kit::wrap(kit::toCell(u), lattice);
        }
        for (int x = 0; x < n; ++x) {
            for (int y = 0; y < n; ++y) {
                const float rx = ridge_[static_cast<size_t>(x)], ry = ridge_[static_cast<size_t>(y)];
                height_[static_cast<size_t>(x) * n + y] = rx > ry ? rx : ry;
            }
        }
        pourSyrup(c, t, drift);
        const kit::Rgb dough = kit::fromLevels(214, 150, 60);
        const kit::Rgb amber = kit::fromLevels(170, 70, 8);
        for (int x = 0; x < n; ++x) {
            for (int y = 0; y < n; ++y) {
                const float h = height_[static_cast<size_t>(x) * n + y];
                const float hl = height_[static_cast<size_t>(x > 0 ? x - 1 : x) * n + y];
                const float hu = height_[static_cast<size_t>(x) * n + (y > 0 ? y - 1 : y)];
                // Light from the top left: walls that face it shine, the others fall into shadow.
                const float light =
                    kit::clampf(0.62f + 0.25f * h + 0.9f * ((h - hl) + (h - hu)), 0.15f, 1.25f);
                kit::Rgb colour = kit::shade(dough, light);
                const int pu = pit_[static_cast<size_t>(x)], pv = pit_[static_cast<size_t>(y)];
                const float s = kit::clampf(syrup_[pu * lattice + pv], 0.0f, 1.0f) * (1.0f - h);
                if (s > 0.0f) {
                    kit::Rgb gloss = kit::shade(amber, 0.8f + 0.6f * light);
                    colour = kit::mix(colour, gloss, s * 0.85f);
                }
                const int cell = cellAt(x, y);
                c.planes.red[cell] += (colour.r - c.planes.red[cell]) * 0.3f;
                c.planes.green[cell] += (colour.g - c.planes.green[cell]) * 0.3f;
                c.planes.blue[cell] += (colour.b - c.planes.blue[cell]) * 0.3f;
            }
        }
        // The relief wobbles: a pulsed push every so often that the wave step rolls across the grid.
        if (tick % 30u == 0u) {
            wobble_ = {static_cast<float>(c.random(10, n - 10)), static_cast<float>(c.random(10, n - 10))};
            kit::pushVelocity(c, wobble_.r, wobble_.g, 10.0f, 4.0f);
        } else if (tick % 30u == 3u) {
            kit::pushVelocity(c, wobble_.r, wobble_.g, 10.0f, -4.0f);
        }
        kit::scaleVelocities(c, 0.9f);
    }

  private:
    static constexpr float pitch = 22.0f;
    static constexpr int lattice = 16; // pits are numbered in the drifting lattice, wrapped

    // A pour point wanders over the waffle and fills the pit below it; full pits overflow into their
    // neighbours, and the syrup soaks in slowly so the pattern never settles.
    void pourSyrup(EffectContext&, float t, float drift) {
        const float px = 100.0f + 70.0f * fastSin(t * 0.007f), py = 100.0f + 70.0f * fastCos(t * 0.0053f);
        const int pu = kit::wrap(kit::toCell((px + drift) / pitch), lattice);
        const int pv = kit::wrap(kit::toCell((py + drift) / pitch), lattice);
        syrup_[pu * lattice + pv] += 0.05f;
        float next[lattice * lattice];
        for (int i = 0; i < lattice; ++i) {
            for (int j = 0; j < lattice; ++j) {
                const float here = syrup_[i * lattice + j];
                float flow = 0.0f;
                const int ni[4] = {kit::wrap(i + 1, lattice), kit::wrap(i - 1, lattice), i, i};
                const int nj[4] = {j, j, kit::wrap(j + 1, lattice), kit::wrap(j - 1, lattice)};
                for (int k = 0; k < 4; ++k) {
                    const float there = syrup_[ni[k] * lattice + nj[k]];
                    flow += (there > 0.8f ? (there - 0.8f) * 0.12f : 0.0f) -
                            (here > 0.8f ? (here - 0.8f) * 0.12f : 0.0f);
                }
                next[i * lattice + j] = (here + flow) * 0.9985f;
            }
        }
        for (int k = 0; k < lattice * lattice; ++k) {
            syrup_[k] = next[k] > 1.6f ? 1.6f : next[k];
        }
    }

    std::vector<float> height_;
    std::vector<float> ridge_;
    std::vector<int> pit_;
    float syrup_[lattice * lattice] = {};
    kit::Rgb wobble_{};
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Waffle);

} // namespace glowfield
