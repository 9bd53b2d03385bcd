// Crackle: live electricity. Six glowing nodes wander, and every frame fresh jagged arcs jump between each
// node and its nearest neighbour, white-blue and fizzing, each end flicking the field; nothing lingers. They
// play through a storm-charged indigo air that glows faintly where the nodes gather.
#include <cmath>

#include "effects/kit/backdrop.h"
#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Crackle : public Effect {
  public:
    static constexpr int nodes = 6;

    void start(EffectContext& c) override {
        // Leftovers of an earlier entry are brought into range once, so blends never carry NaN along.
        kit::tameField(c);
        const float n = static_cast<float>(c.n);
        for (Node& nd : nodes_) {
            nd.x = n * (0.15f + c.randomUnit() * 0.7f);
            nd.y = n * (0.15f + c.randomUnit() * 0.7f);
            nd.vx = (c.randomUnit() - 0.5f) * 1.2f;
            nd.vy = (c.randomUnit() - 0.5f) * 1.2f;
        }
    }

    void step(EffectContext& c) override {
        const float n = static_cast<float>(c.n);
        float midX = 0.0f, midY = 0.0f;
        for (const Node& nd : nodes_) {
            midX += nd.x / nodes;
            midY += nd.y / nodes;
        }
        const kit::Glow charge{midX, midY, n * 0.6f, {14.0f, 24.0f, 50.0f}};
        kit::pullTowards(c, kit::fromLevels(14, 18, 66), kit::fromLevels(40, 16, 62), 0.55f, charge);
        kit::scaleVelocities(c, 0.85f);
        for (Node& nd : nodes_) {
            nd.vx += (c.randomUnit() - 0.5f) * 0.15f;
            nd.vy += (c.randomUnit() - 0.5f) * 0.15f;
            nd.vx = kit::clampf(nd.vx, -1.2f, 1.2f);
            nd.vy = kit::clampf(nd.vy, -1.2f, 1.2f);
            nd.x += nd.vx;
            nd.y += nd.vy;
            if (nd.x < 10.0f || nd.x > n - 10.0f) {
                nd.vx = -nd.vx;
                nd.x = kit::clampf(nd.x, 10.0f, n - 10.0f);
            }
            if (nd.y < 10.0f || nd.y > n - 10.0f) {
                nd.vy = -nd.vy;
                nd.y = kit::clampf(nd.y, 10.0f, n - 10.0f);
            }
        }
        for (int i = 0; i < nodes; ++i) {
            int best = -1;
            float bestD = 1e30f;
            for (int j = 0; j < nodes; ++j) {
                const float dx = nodes_[j].x - nodes_[i].x, dy = nodes_[j].y - nodes_[i].y;
                const float d = dx * dx + dy * dy;
                if (j != i && d < bestD) {
                    bestD = d;
                    best = j;
                }
            }
            // A mutual pair is drawn once; a one-sided link is its own arc.
            if (best < 0 || (best < i && nearest(best) == i)) {
                continue;
            }
            arc(c, nodes_[i].x, nodes_[i].y, nodes_[best].x, nodes_[best].y);
            // Each end flicks the field, sign alternating so the pushes stay balanced over time.
            const float flick = (c.frame % 2u ? 1.0f : -1.0f) * 2.0f;
            kit::pushVelocity(c, nodes_[i].x, nodes_[i].y, 4.0f, flick, kit::blue);
            kit::pushVelocity(c, nodes_[best].x, nodes_[best].y, 4.0f, -flick, kit::blue);
        }
        for (const Node& nd : nodes_) {
            const float flicker = 0.7f + 0.3f * c.randomUnit();
            kit::softDisc(c, nd.x, nd.y, 7.0f, kit::fromLevels(120, 160, 255), flicker, kit::Blend::add);
            kit::fillDisc(c, nd.x, nd.y, 1.8f, kit::white);
        }
    }

  private:
    struct Node {
        float x, y, vx, vy;
    };

    int nearest(int i) const {
        int best = -1;
        float bestD = 1e30f;
        for (int j = 0; j < nodes; ++j) {
            const float dx = nodes_[j].x - nodes_[i].x, dy = nodes_[j].y - nodes_[i].y;
            if (j != i && dx * dx + dy * dy < bestD) {
                bestD = dx * dx + dy * dy;
                best = j;
            }
        }
        return best;
    }

    // A jagged arc by midpoint displacement: each level splits every segment and pushes the new point
    // sideways by a random share of the segment's length.
    void arc(EffectContext& c, float x0, float y0, float x1, float y1) {
        static constexpr int levels = 5, points = (1 << levels) + 1;
        float xs[points], ys[points];
        xs[0] = x0;
        ys[0] = y0;
        xs[points - 1] = x1;
        ys[points - 1] = y1;
        for (int span = points - 1; span > 1; span /= 2) {
            for (int i = 0; i + span < points; i += span) {
                const float dx = xs[i + span] - xs[i], dy = ys[i + span] - ys[i];
                const float off = (c.randomUnit() - 0.5f) * 0.45f;
                xs[i + span / 2] = (xs[i] + xs[i + span]) * 0.5f - dy * off;
                ys[i + span / 2] = (ys[i] + ys[i + span]) * 0.5f + dx * off;
            }
        }
        for (int i = 0; i + 1 < points; ++i) {
            kit::drawThickLine(c, xs[i], ys[i], xs[i + 1], ys[i + 1], 1.3f, kit::fromLevels(60, 90, 255),
                               kit::Blend::max);
        }
        for (int i = 0; i + 1 < points; ++i) {
            kit::drawLine(c, xs[i], ys[i], xs[i + 1], ys[i + 1], kit::fromLevels(235, 245, 255));
        }
        // Now and then a short branch splits off the main arc.
        const int from = c.random(4, points - 5);
        if (c.random() % 3 == 0) {
            const float a = c.randomUnit() * kit::twoPi, len = 6.0f + c.randomUnit() * 10.0f;
            kit::drawLine(c, xs[from], ys[from], xs[from] + fastCos(a) * len, ys[from] + fastSin(a) * len,
                          kit::fromLevels(150, 180, 255));
        }
    }

    Node nodes_[nodes]{};
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Crackle);

} // namespace glowfield
