// Yuck: slime mould. Thousands of agents sniff a trail ahead of them, turn towards the strongest scent, step
// and lay more; the trails decay and spread, and a network of sickly veins forms, thickens and reorganises.
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Yuck : public Effect {
  public:
    void start(EffectContext& c) override {
        const size_t cells = static_cast<size_t>(c.n) * static_cast<size_t>(c.n);
        trail_.assign(cells, 0.0f);
        blurred_.assign(cells, 0.0f);
        // Colours by the trail's strength in steps of 1/32: a bruised purple-brown ground, olive cords,
        // yellow-green where the slime is thickest.
        const kit::Rgb ground = kit::fromLevels(40, 24, 38), olive = kit::fromLevels(110, 130, 30),
                       bile = kit::fromLevels(230, 255, 90);
        for (int k = 0; k < paletteSize; ++k) {
            const float v = static_cast<float>(k) / 32.0f;
            palette_[k] = kit::mix(kit::mix(ground, olive, kit::clampf(v * 0.9f, 0.0f, 1.0f)), bile,
                                   kit::clampf((v - 1.2f) * 0.5f, 0.0f, 1.0f));
        }
        agents_.resize(agentCount);
        for (Agent& a : agents_) {
            respawn(c, a);
        }
    }

    void step(EffectContext& c) override {
        kit::clearVelocities(c);
        const int n = c.n;
        const float s = kit::gridScale(c);
        const float senseDistance = 7.0f * s;
        const float t = static_cast<float>(c.frame % 100000u);
        // The sensing angle breathes, so the network keeps re-forming between fine mesh and thick cords.
        const float spread = 0.6f + 0.3f * fastSin(t * 0.004f);
        const float cs = fastCos(spread), ss = fastSin(spread);
        for (Agent& a : agents_) {
            // Ahead, and ahead turned left and right by the spread (by the angle-sum rule, one sine and
            // cosine an agent).
            const float ch = fastCos(a.heading) * senseDistance, sh = fastSin(a.heading) * senseDistance;
            const float f = senseAt(c, a.x + ch, a.y + sh);
            const float l = senseAt(c, a.x + ch * cs + sh * ss, a.y + sh * cs - ch * ss);
            const float r = senseAt(c, a.x + ch * cs - sh * ss, a.y + sh * cs + ch * ss);
            if (f >= l && f >= r) {
                a.heading += (c.randomUnit() - 0.5f) * 0.1f;
            } else if (l > r) {
                a.heading -= 0.5f;
            } else {
                a.heading += 0.5f;
            }
            a.x += fastCos(a.heading) * 0.9f * s;
            a.y += fastSin(a.heading) * 0.9f * s;
            if (!kit::onGrid(c, a.x, a.y)) {
                // Bounce back into the dish.
                a.x = kit::clampf(a.x, 0.5f, static_cast<float>(n) - 0.5f);
                a.y = kit::clampf(a.y, 0.5f, static_cast<float>(n) - 0.5f);
                a.heading += kit::pi;
                if (!kit::onGrid(c, a.x, a.y)) {
                    respawn(c, a);
                }
            }
            float& cell = trail_[index(kit::toCell(a.x), kit::toCell(a.y), n)];
            cell = cell + 0.6f < 5.0f ? cell + 0.6f : 5.0f;
        }
        // A few wanderers start afresh each frame, so the mould keeps exploring.
        for (int k = 0; k < 12; ++k) {
            respawn(c, agents_[static_cast<size_t>(c.random(0, agentCount - 1))]);
        }
        // Spread and decay: a 3 x 3 box blur (clamped at the rim), done as two passes of three, mixed with
        // the unblurred trail and times a keep factor.
        for (int x = 0; x < n; ++x) {
            const float* row = &trail_[index(x, 0, n)];
            float* out = &blurred_[index(x, 0, n)];
            for (int y = 0; y < n; ++y) {
                out[y] = row[y > 0 ? y - 1 : 0] + row[y] + row[y + 1 < n ? y + 1 : n - 1];
            }
        }
        for (int x = 0; x < n; ++x) {
            const float* left = &blurred_[index(x > 0 ? x - 1 : 0, 0, n)];
            const float* middle = &blurred_[index(x, 0, n)];
            const float* right = &blurred_[index(x + 1 < n ? x + 1 : n - 1, 0, n)];
            float* row = &trail_[index(x, 0, n)];
            for (int y = 0; y < n; ++y) {
                row[y] = ((left[y] + middle[y] + right[y]) * (0.4f / 9.0f) + row[y] * 0.6f) * 0.9f;
            }
        }
        // A now-and-then food drop draws the mould to a new place.
        if (c.frame % 150u == 0u) {
            const int fx = c.random(n / 8, n - 1 - n / 8), fy = c.random(n / 8, n - 1 - n / 8);
            const int r = 4 * n / 200 + 1;
            for (int x = fx - r; x <= fx + r; ++x) {
                for (int y = fy - r; y <= fy + r; ++y) {
                    if (kit::inside(c, x, y) && (x - fx) * (x - fx) + (y - fy) * (y - fy) <= r * r) {
                        trail_[index(x, y, n)] += 3.0f;
                    }
                }
            }
        }
        // Colour: a bruised purple-brown ground, olive cords, yellow-green where the slime is thickest; from
        // a table of the trail's strength in steps of 1/32.
        for (int x = 0; x < n; ++x) {
            for (int y = 0; y < n; ++y) {
                const int k = truncToInt(trail_[index(x, y, n)] * 32.0f);
                kit::setCell(c, x, y, palette_[k < 0 ? 0 : k >= paletteSize ? paletteSize - 1 : k]);
            }
        }
    }

  private:
    struct Agent {
        float x = 0.0f, y = 0.0f, heading = 0.0f;
    };
    static constexpr int agentCount = 4000;

    static size_t index(int x, int y, int n) { return static_cast<size_t>(x) * static_cast<size_t>(n) + y; }

    // The trail at a point, clamped to the grid.
    float senseAt(const EffectContext& c, float px, float py) const {
        const int x = kit::clampCell(c, kit::toCell(px));
        const int y = kit::clampCell(c, kit::toCell(py));
        return trail_[index(x, y, c.n)];
    }

    static void respawn(EffectContext& c, Agent& a) {
        // Agents start scattered with random headings, so a fine mesh forms at once and then coarsens.
        const float n = static_cast<float>(c.n);
        const float angle = c.randomUnit() * kit::twoPi;
        a.x = n * (0.05f + 0.9f * c.randomUnit());
        a.y = n * (0.05f + 0.9f * c.randomUnit());
        a.heading = angle;
    }

    static constexpr int paletteSize = 128;
    kit::Rgb palette_[paletteSize] = {};
    std::vector<Agent> agents_;
    std::vector<float> trail_;
    std::vector<float> blurred_;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Yuck);

} // namespace glowfield
