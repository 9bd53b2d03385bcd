// Cluster: k-means at work. Points drift in clumps; each takes the colour of its nearest of five centres and
// is tied to it by a faint thread, and the centres walk to the means of their points. Every few seconds the
// clumps scatter to new places and the centres start again from wrong guesses. The graph paper underneath is
// tinted by territory: each cell in the dim colour of the centre nearest to it, so the partition the centres
// make is plain to see as they walk.
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Cluster : public Effect {
  public:
    void start(EffectContext& c) override {
        points_.resize(pointCount);
        scatter(c);
        for (Point& p : points_) {
            p.x = p.homeX;
            p.y = p.homeY;
        }
    }

    void step(EffectContext& c) override {
        kit::clearVelocities(c);
        const float n = static_cast<float>(c.n);
        const float s = kit::gridScale(c);
        const float t = static_cast<float>(c.frame % 100000u);
        if ((c.frame - scattered_) >= 300u) {
            scatter(c);
        }
        // The clumps themselves wander slowly.
        for (int k = 0; k < clumpCount; ++k) {
            clumpX_[k] += 0.25f * s * fastSin(t * 0.011f + static_cast<float>(k) * 1.7f);
            clumpY_[k] += 0.25f * s * fastCos(t * 0.013f + static_cast<float>(k) * 2.3f);
            clumpX_[k] = kit::clampf(clumpX_[k], n * 0.12f, n * 0.88f);
            clumpY_[k] = kit::clampf(clumpY_[k], n * 0.12f, n * 0.88f);
        }
        float sumX[centreCount] = {}, sumY[centreCount] = {};
        int count[centreCount] = {};
        for (Point& p : points_) {
            const float tx = clumpX_[p.clump] + p.homeX, ty = clumpY_[p.clump] + p.homeY;
            // Each point jiggles on its own small loop about its place in the clump.
            p.x += (tx - p.x) * 0.04f + 0.25f * s * fastSin(t * 0.09f + p.phase);
            p.y += (ty - p.y) * 0.04f + 0.25f * s * fastCos(t * 0.11f + p.phase * 1.7f);
            if (!kit::onGrid(c, p.x, p.y)) {
                p.x = tx;
                p.y = ty;
            }
            float best = 3.0e38f;
            for (int k = 0; k < centreCount; ++k) {
                const float dx = p.x - centreX_[k], dy = p.y - centreY_[k];
                const float d = dx * dx + dy * dy;
                if (d < best) {
                    best = d;
                    p.owner = k;
                }
            }
            sumX[p.owner] += p.x;
            sumY[p.owner] += p.y;
            ++count[p.owner];
        }
        // Lloyd's step, eased so the centres visibly walk; an empty centre jumps to a random point.
        for (int k = 0; k < centreCount; ++k) {
            if (count[k] > 0) {
                centreX_[k] += (sumX[k] / static_cast<float>(count[k]) - centreX_[k]) * 0.04f;
                centreY_[k] += (sumY[k] / static_cast<float>(count[k]) - centreY_[k]) * 0.04f;
            } else {
                const Point& p = points_[static_cast<size_t>(c.random(0, pointCount - 1))];
                centreX_[k] = p.x;
                centreY_[k] = p.y;
            }
        }
        // The territories: every cell in a dim shade of its nearest centre's colour.
        float tint[3][centreCount];
        for (int k = 0; k < centreCount; ++k) {
            const kit::Rgb t = shade(colourOf(k), 0.26f);
            tint[0][k] = t.r;
            tint[1][k] = t.g;
            tint[2][k] = t.b;
        }
        for (int x = 0; x < c.n; ++x) {
            const float fx = static_cast<float>(x);
            float dx2[centreCount];
            for (int k = 0; k < centreCount; ++k) {
                dx2[k] = (fx - centreX_[k]) * (fx - centreX_[k]);
            }
            const int column = cellAt(x, 0);
            for (int y = 0; y < c.n; ++y) {
                const float fy = static_cast<float>(y);
                int owner = 0;
                float best = 3.0e38f;
                for (int k = 0; k < centreCount; ++k) {
                    const float d = dx2[k] + (fy - centreY_[k]) * (fy - centreY_[k]);
                    if (d < best) {
                        best = d;
                        owner = k;
                    }
                }
                c.planes.red[column + y] = tint[0][owner];
                c.planes.green[column + y] = tint[1][owner];
                c.planes.blue[column + y] = tint[2][owner];
            }
        }
        // Faint grid lines, graph-paper style.
        const int step = c.n / 10 > 1 ? c.n / 10 : 2;
        for (int g = step; g < c.n; g += step) {
            const float fg = static_cast<float>(g);
            kit::drawLine(c, fg, 0.0f, fg, n, kit::Rgb{18.0f, 18.0f, 18.0f}, kit::Blend::add);
            kit::drawLine(c, 0.0f, fg, n, fg, kit::Rgb{18.0f, 18.0f, 18.0f}, kit::Blend::add);
        }
        for (size_t i = 0; i < points_.size(); i += 3) {
            const Point& p = points_[i];
            kit::drawLine(c, p.x, p.y, centreX_[p.owner], centreY_[p.owner], shade(colourOf(p.owner), 0.28f),
                          kit::Blend::max);
        }
        for (const Point& p : points_) {
            kit::plot(c, p.x, p.y, colourOf(p.owner));
        }
        for (int k = 0; k < centreCount; ++k) {
            const float r = 4.0f * s + 1.0f;
            kit::drawRing(c, centreX_[k], centreY_[k], r, 1.5f, kit::white);
            kit::drawLine(c, centreX_[k] - r * 1.6f, centreY_[k], centreX_[k] + r * 1.6f, centreY_[k],
                          kit::white);
            kit::drawLine(c, centreX_[k], centreY_[k] - r * 1.6f, centreX_[k], centreY_[k] + r * 1.6f,
                          kit::white);
            kit::fillDisc(c, centreX_[k], centreY_[k], r * 0.6f, colourOf(k));
        }
    }

  private:
    struct Point {
        float x = 0.0f, y = 0.0f, homeX = 0.0f, homeY = 0.0f, phase = 0.0f;
        int clump = 0, owner = 0;
    };
    static constexpr int pointCount = 1500;
    static constexpr int clumpCount = 6;
    static constexpr int centreCount = 5;

    static kit::Rgb colourOf(int k) {
        return kit::hsv(static_cast<float>(k) / centreCount + 0.05f, 0.75f, 1.0f);
    }
    static kit::Rgb shade(kit::Rgb colour, float k) { return kit::shade(colour, k); }

    // New clumps of different sizes, points given a place in one, and the centres put at random points.
    void scatter(EffectContext& c) {
        const float n = static_cast<float>(c.n);
        for (int k = 0; k < clumpCount; ++k) {
            clumpX_[k] = n * (0.15f + 0.7f * c.randomUnit());
            clumpY_[k] = n * (0.15f + 0.7f * c.randomUnit());
            clumpR_[k] = n * (0.04f + 0.08f * c.randomUnit());
        }
        for (Point& p : points_) {
            p.clump = c.random(0, clumpCount - 1);
            p.phase = c.randomUnit() * kit::twoPi;
            // A rough Gaussian: the sum of two uniform draws on each axis.
            const float r = clumpR_[p.clump];
            p.homeX = (c.randomUnit() + c.randomUnit() - 1.0f) * r * 1.5f;
            p.homeY = (c.randomUnit() + c.randomUnit() - 1.0f) * r * 1.5f;
        }
        for (int k = 0; k < centreCount; ++k) {
            centreX_[k] = n * (0.1f + 0.8f * c.randomUnit());
            centreY_[k] = n * (0.1f + 0.8f * c.randomUnit());
        }
        scattered_ = c.frame;
    }

    std::vector<Point> points_;
    float clumpX_[clumpCount] = {}, clumpY_[clumpCount] = {}, clumpR_[clumpCount] = {};
    float centreX_[centreCount] = {}, centreY_[centreCount] = {};
    uint32_t scattered_ = 0;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Cluster);

} // namespace glowfield
