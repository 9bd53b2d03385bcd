// Ignition: a burning fuse. A winding fuse is laid across the dark, a spitting spark runs along it and burns
// it away, and where it ends a bloom bursts out through the field before a new fuse is laid.
#include <vector>

#include "effects/kit/kit.h"
#include "effects/particles/particle_bounds.h"

namespace glowfield {

namespace {

class Ignition : public Effect {
  public:
    void start(EffectContext& c) override {
        grid_ = c.n;
        sparks_.assign(maxSparks, Spark{});
        layFuse(c);
    }

    void step(EffectContext& c) override {
        if (grid_ != c.n) {
            start(c); // the grid changed size: lay everything out afresh for it
        }
        bounds::tameNowAndThen(c, 200.0f, 8.0f);
        kit::pullColours(c, kit::fromLevels(14, 10, 22), 0.06f);
        const float s = bounds::gridScale(c);
        if (burnt_ >= static_cast<float>(count_ - 1)) {
            bloom(c);
            layFuse(c);
        }
        // The unburnt fuse: a dark cord with a pale twist so it reads on any ground.
        const int from = truncToInt(burnt_);
        for (int i = from; i + 1 < count_; ++i) {
            kit::drawThickLine(c, xs_[i], ys_[i], xs_[i + 1], ys_[i + 1], 1.1f * s,
                               kit::fromLevels(70, 52, 40));
            if (i % 3 == 0) {
                kit::paint(c, kit::toCell(xs_[i]), kit::toCell(ys_[i]), kit::fromLevels(150, 130, 100));
            }
        }
        // The ash behind the spark glows and cools.
        for (int i = from - 30 < 0 ? 0 : from - 30; i < from && i + 1 < count_; ++i) {
            const float heat = static_cast<float>(i - from + 30) / 30.0f;
            kit::drawLine(c, xs_[i], ys_[i], xs_[i + 1], ys_[i + 1],
                          kit::hsv(0.02f + 0.08f * heat, 1.0f, heat), kit::Blend::max);
        }
        // The spark runs at an uneven pace, spitting now and then.
        burnt_ += 0.9f + 0.6f * c.randomUnit();
        const int at = truncToInt(burnt_) < count_ - 1 ? truncToInt(burnt_) : count_ - 1;
        const float sx = xs_[at], sy = ys_[at];
        const int spawn = c.random(0, 9) == 0 ? 40 : 8;
        for (int k = 0; k < spawn; ++k) {
            Spark& p = sparks_[next_];
            next_ = (next_ + 1) % maxSparks;
            const float a = c.randomUnit() * kit::twoPi;
            const float v = (0.4f + 1.6f * c.randomUnit()) * s;
            p = {sx, sy, fastCos(a) * v, fastSin(a) * v - 0.5f * s, 20 + c.random(0, 25)};
        }
        for (Spark& p : sparks_) {
            if (p.life <= 0) {
                continue;
            }
            const float ox = p.x, oy = p.y;
            p.vy += 0.05f * s;
            p.vx *= 0.97f;
            p.vy *= 0.97f;
            p.x += p.vx;
            p.y += p.vy;
            --p.life;
            if (!bounds::onGrid(c, p.x, p.y)) {
                p.life = 0;
                continue;
            }
            const float heat = static_cast<float>(p.life) / 45.0f;
            kit::drawLine(c, ox, oy, p.x, p.y,
                          kit::hsv(0.03f + 0.12f * heat, 1.0f - 0.6f * heat, 0.5f + heat), kit::Blend::max);
        }
        kit::softDisc(c, sx, sy, 7.0f * s, kit::fromLevels(255, 190, 110), 0.7f, kit::Blend::set);
        kit::fillDisc(c, sx, sy, 1.5f * s, kit::white);
    }

  private:
    struct Spark {
        float x = 0.0f, y = 0.0f, vx = 0.0f, vy = 0.0f;
        int life = 0;
    };
    static constexpr int maxSparks = 600;
    static constexpr int maxPoints = 420;

    // A smooth random walk that turns back from the edges, laid in steps of about one and a half cells.
    void layFuse(EffectContext& c) {
        const float n = static_cast<float>(c.n);
        const float margin = n * 0.1f;
        count_ = maxPoints;
        float x = margin, y = margin + c.randomUnit() * (n - 2.0f * margin);
        float heading = (c.randomUnit() - 0.5f) * 1.0f, turn = 0.0f;
        const float stepLength = 1.5f * bounds::gridScale(c);
        for (int i = 0; i < count_; ++i) {
            xs_[i] = x;
            ys_[i] = y;
            turn = turn * 0.9f + (c.randomUnit() - 0.5f) * 0.08f;
            heading += turn;
            // Steer away from the borders towards the middle.
            const float toMiddle = kit::angleOf(n * 0.5f - x, n * 0.5f - y);
            if (x < margin || y < margin || x > n - margin || y > n - margin) {
                float d = toMiddle - heading;
                d -= kit::twoPi * static_cast<float>(kit::toCell(d / kit::twoPi + 0.5f));
                heading += d * 0.15f;
            }
            x += fastCos(heading) * stepLength;
            y += fastSin(heading) * stepLength;
        }
        burnt_ = 0.0f;
    }

    void bloom(EffectContext& c) {
        const float s = bounds::gridScale(c);
        const float x = xs_[count_ - 1], y = ys_[count_ - 1];
        kit::balancedPush(c, x, y, 10.0f * s, 40.0f, kit::red);
        kit::balancedPush(c, x, y, 9.0f * s, 22.0f, kit::green);
        kit::softDisc(c, x, y, 30.0f * s, kit::fromLevels(255, 150, 40), 1.0f, kit::Blend::set);
        for (int k = 0; k < 200; ++k) {
            Spark& p = sparks_[next_];
            next_ = (next_ + 1) % maxSparks;
            const float a = c.randomUnit() * kit::twoPi;
            const float v = (1.0f + 3.0f * c.randomUnit()) * s;
            p = {x, y, fastCos(a) * v, fastSin(a) * v, 25 + c.random(0, 20)};
        }
    }

    std::vector<Spark> sparks_;
    int next_ = 0;
    float xs_[maxPoints] = {};
    float ys_[maxPoints] = {};
    int count_ = 0;
    float burnt_ = 0.0f;
    int grid_ = 0; // the grid side the state was laid out for
};

} // namespace

std::unique_ptr<Effect> makeIgnition() {
    return std::make_unique<Ignition>();
}

} // namespace glowfield
