// Womble: tidying up the common. Small furry litter-pickers wander the grass, pick up bright litter that lies
// alone, remember where they last saw a heap and carry their find there, so tidy piles grow out of the mess;
// now and then a gust scatters some of it again.
#include <vector>

#include "effects/kit/kit.h"
#include "effects/particles/particle_bounds.h"

namespace glowfield {

namespace {

class Womble : public Effect {
  public:
    void start(EffectContext& c) override {
        grid_ = c.n;
        // Litter lies on a grid of 2 x 2 cell plots, so each piece reads on the screen.
        m_ = c.n / 2 > 1 ? c.n / 2 : 1;
        litter_.assign(static_cast<size_t>(m_) * static_cast<size_t>(m_), 0);
        for (int x = 0; x < m_; ++x) {
            for (int y = 0; y < m_; ++y) {
                if (c.random(0, 99) < 8) {
                    litter_[at(x, y)] = static_cast<uint8_t>(c.random(1, kinds));
                }
            }
        }
        agents_.resize(agentCount);
        const float m = static_cast<float>(m_);
        for (Agent& a : agents_) {
            a = {m * c.randomUnit(), m * c.randomUnit(), c.randomUnit() * kit::twoPi,
                 m * c.randomUnit(), m * c.randomUnit(), 0};
        }
        started_ = c.frame;
        // Grass with tufts, from a hash of the cell.
        grass_.assign(static_cast<size_t>(c.n) * static_cast<size_t>(c.n), kit::Rgb{});
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                const unsigned h =
                    (static_cast<unsigned>(x) * 2654435761u) ^ (static_cast<unsigned>(y) * 40503u);
                const float tuft = static_cast<float>((h >> 12) % 10u) / 10.0f;
                grass_[static_cast<size_t>(x) * static_cast<size_t>(c.n) + static_cast<size_t>(y)] =
                    kit::hsv(0.27f + 0.03f * tuft, 0.7f, 0.3f + 0.1f * tuft);
            }
        }
    }

    void step(EffectContext& c) override {
        if (grid_ != c.n) {
            start(c); // the grid changed size: lay everything out afresh for it
        }
        bounds::clearVelocities(c);
        const float m = static_cast<float>(m_);
        for (int sub = 0; sub < 5; ++sub) {
            for (Agent& a : agents_) {
                if (a.carry) {
                    // Head for the remembered heap, with a little wander.
                    const float want = kit::angleOf(a.heapX - a.x, a.heapY - a.y);
                    float d = want - a.heading;
                    d -= kit::twoPi * static_cast<float>(kit::toCell(d / kit::twoPi + 0.5f));
                    a.heading += d * 0.3f;
                }
                a.heading += (c.randomUnit() - 0.5f) * 0.7f;
                a.x += fastCos(a.heading) * 0.45f;
                a.y += fastSin(a.heading) * 0.45f;
                if (!(a.x >= 0.0f && a.y >= 0.0f && a.x < m && a.y < m)) {
                    a.x = kit::clampf(a.x, 0.5f, m - 0.5f);
                    a.y = kit::clampf(a.y, 0.5f, m - 0.5f);
                    a.heading += kit::pi;
                    if (!(a.x >= 0.0f && a.y >= 0.0f && a.x < m && a.y < m)) {
                        a.x = a.y = m * 0.5f;
                    }
                }
                tidy(c, a);
            }
        }
        // A gust every so often lifts some litter and drops it anywhere, so the tidying never ends.
        if ((c.frame - started_) % 1500u == 1499u) {
            for (int k = 0; k < m_ * m_ / 12; ++k) {
                const int x = c.random(0, m_ - 1), y = c.random(0, m_ - 1);
                const int u = c.random(0, m_ - 1), v = c.random(0, m_ - 1);
                if (litter_[at(x, y)] && !litter_[at(u, v)]) {
                    litter_[at(u, v)] = litter_[at(x, y)];
                    litter_[at(x, y)] = 0;
                }
            }
        }
        const float t = static_cast<float>(c.frame % 100000u);
        // The breeze runs along the diagonals: one value for each x + y.
        breeze_.resize(static_cast<size_t>(2 * c.n));
        for (size_t d = 0; d < breeze_.size(); ++d) {
            breeze_[d] = 9.0f * fastSin(static_cast<float>(d) * 0.05f - t * 0.03f);
        }
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                const int lx = x / 2 < m_ ? x / 2 : m_ - 1, ly = y / 2 < m_ ? y / 2 : m_ - 1;
                const uint8_t kind = litter_[at(lx, ly)];
                if (kind) {
                    // A lit corner on each piece.
                    const bool lit = (x % 2 == 0) && (y % 2 == 0);
                    bounds::setCell(c, x, y, lit ? colourOf(kind) : kit::shade(colourOf(kind), 0.7f));
                    continue;
                }
                // Grass with a breeze moving over it.
                const float breeze = breeze_[static_cast<size_t>(x + y)];
                const kit::Rgb g =
                    grass_[static_cast<size_t>(x) * static_cast<size_t>(c.n) + static_cast<size_t>(y)];
                bounds::setCell(c, x, y, {g.r + breeze, g.g + breeze, g.b + breeze});
            }
        }
        for (const Agent& a : agents_) {
            // A round grey-brown body with a pale face on the side it walks to, brighter when loaded.
            const float x = a.x * 2.0f, y = a.y * 2.0f;
            const kit::Rgb fur = a.carry ? kit::fromLevels(200, 175, 145) : kit::fromLevels(110, 95, 85);
            kit::fillDisc(c, x, y, 3.4f, kit::fromLevels(40, 30, 25));
            kit::fillDisc(c, x, y, 2.7f, fur);
            kit::fillDisc(c, x + fastCos(a.heading) * 2.2f, y + fastSin(a.heading) * 2.2f, 1.3f,
                          kit::fromLevels(240, 230, 215));
            if (a.carry) {
                kit::fillRect(c, x - 1.5f, y - 5.0f, x + 1.5f, y - 2.5f, colourOf(a.carry));
            }
        }
    }

  private:
    struct Agent {
        float x = 0.0f, y = 0.0f, heading = 0.0f, heapX = 0.0f, heapY = 0.0f;
        uint8_t carry = 0;
    };
    static constexpr int agentCount = 60;
    static constexpr int kinds = 5;

    size_t at(int x, int y) const {
        return static_cast<size_t>(x) * static_cast<size_t>(m_) + static_cast<size_t>(y);
    }

    static kit::Rgb colourOf(uint8_t kind) {
        const kit::Rgb colours[kinds] = {kit::fromLevels(255, 60, 50), kit::fromLevels(255, 230, 70),
                                         kit::fromLevels(90, 200, 255), kit::fromLevels(250, 250, 250),
                                         kit::fromLevels(255, 140, 220)};
        return colours[(kind - 1) % kinds];
    }

    // Litter among the eight neighbours.
    int crowd(int x, int y) const {
        int count = 0;
        for (int dx = -1; dx <= 1; ++dx) {
            for (int dy = -1; dy <= 1; ++dy) {
                const int u = x + dx, v = y + dy;
                if ((dx || dy) && u >= 0 && v >= 0 && u < m_ && v < m_ && litter_[at(u, v)]) {
                    ++count;
                }
            }
        }
        return count;
    }

    // Lonely litter is picked up; a crowd is remembered as a heap; a carrier drops its find in the first free
    // spot beside a crowd, or at its heap.
    void tidy(EffectContext& c, Agent& a) {
        const int x = kit::toCell(a.x), y = kit::toCell(a.y);
        if (x < 0 || y < 0 || x >= m_ || y >= m_) {
            return;
        }
        const int f = crowd(x, y);
        if (f >= 4) {
            a.heapX = a.x;
            a.heapY = a.y;
        }
        uint8_t& cell = litter_[at(x, y)];
        if (!a.carry && cell && f <= 2 && c.random(0, 2) == 0) {
            a.carry = cell;
            cell = 0;
        } else if (a.carry && !cell && (f >= 3 || (f >= 1 && c.random(0, 7) == 0))) {
            cell = a.carry;
            a.carry = 0;
        }
    }

    std::vector<uint8_t> litter_;
    std::vector<kit::Rgb> grass_;
    std::vector<float> breeze_;
    std::vector<Agent> agents_;
    int m_ = 1;
    uint32_t started_ = 0;
    int grid_ = 0; // the grid side the state was laid out for
};

} // namespace

std::unique_ptr<Effect> makeWomble() {
    return std::make_unique<Womble>();
}

} // namespace glowfield
