// Outpour: a jug sways along the top and pours a stream that falls, splashes into short sprays and fills a
// puddle whose surface sloshes; when the puddle is deep the jug rights itself and the puddle drains away.
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

struct Drop {
    float x, y, vx, vy;
    bool spray;
};

class Outpour : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::tameField(c);
        drops_.clear();
        drops_.reserve(maxDrops);
        level_.assign(static_cast<size_t>(c.n), 0.0f);
        slosh_.assign(static_cast<size_t>(c.n), 0.0f);
        draining_ = false;
        hue_ = c.randomUnit();
    }

    void step(EffectContext& c) override {
        const int n = c.n;
        const float nf = static_cast<float>(n);
        const float s = c.scale;
        const int time = static_cast<int>(c.framesSinceStart) + 1;
        const float t = static_cast<float>(time);
        kit::pullColours(c, kit::fromLevels(30, 22, 40), 0.12f);
        kit::scaleVelocities(c, 0.92f);

        // The jug's place and tilt: it leans to pour and stands up while the puddle drains.
        const float jx = nf * 0.5f + nf * 0.3f * fastSin(t * 0.013f);
        const float jy = nf * 0.14f;
        const float targetTilt = draining_ ? 0.0f : 0.9f + 0.25f * fastSin(t * 0.031f);
        tilt_ += (targetTilt - tilt_) * 0.04f;
        const kit::Rgb liquid = kit::hsv(hue_, 0.65f, 0.95f);
        drawJug(c, jx, jy, s);

        const float spoutX = jx + 12.0f * s * fastCos(tilt_ * 0.6f);
        const float spoutY = jy - 6.0f * s + 10.0f * s * fastSin(tilt_ * 0.6f);
        if (tilt_ > 0.6f) {
            const int pour = tilt_ > 0.85f ? 4 : 2;
            for (int i = 0; i < pour && drops_.size() < maxDrops; ++i) {
                const float jiggle = (c.randomUnit() - 0.5f) * 0.3f;
                drops_.push_back(
                    {spoutX, spoutY, 0.5f * s + jiggle + 0.3f * s * fastCos(t * 0.013f), 0.2f, false});
            }
        }

        // Fall, splash, fill.
        size_t kept = 0;
        for (size_t i = 0; i < drops_.size(); ++i) {
            Drop d = drops_[i];
            d.vy += 0.09f * s;
            d.x += d.vx;
            d.y += d.vy;
            if (!(d.x >= 0.0f && d.x < nf && d.y < nf)) {
                continue;
            }
            const int col = kit::toCell(d.x);
            if (!kit::inside(c, col, 0)) {
                continue;
            }
            const float surface = nf - 1.0f - level_[static_cast<size_t>(col)];
            if (d.vy > 0.0f && d.y >= surface) {
                if (!d.spray) {
                    addLevel(col, 3.2f * s);
                    slosh_[static_cast<size_t>(col)] += 1.2f;
                    for (int k = 0; k < 2 && drops_.size() + 2 < maxDrops; ++k) {
                        drops_.push_back({d.x, surface - 1.0f, (c.randomUnit() - 0.5f) * 1.6f * s,
                                          -(0.6f + c.randomUnit() * 1.2f) * s, true});
                    }
                    if (c.random() % 6 == 0) {
                        kit::balancedPush(c, d.x, surface, 4.0f * s, -3.0f);
                    }
                }
                continue;
            }
            const kit::Rgb colour = d.spray ? kit::mix(liquid, kit::white, 0.6f) : liquid;
            kit::fillDisc(c, d.x, d.y, d.spray ? 0.5f : 1.1f * s, colour);
            drops_[kept++] = d;
        }
        drops_.resize(kept);

        // The surface relaxes sideways (the puddle spreads) and its slosh travels as a small wave.
        float total = 0.0f;
        for (int x = 1; x + 1 < n; ++x) {
            const size_t i = static_cast<size_t>(x);
            const float flow = (level_[i - 1] + level_[i + 1] - 2.0f * level_[i]) * 0.2f;
            level_[i] += flow;
        }
        for (int x = 0; x < n; ++x) {
            slosh_[static_cast<size_t>(x)] *= 0.9f;
            total += level_[static_cast<size_t>(x)];
        }
        const float mean = total / nf;
        if (mean > nf * 0.22f) {
            draining_ = true;
        }
        if (draining_) {
            for (float& v : level_) {
                v = v > 0.35f * s ? v - 0.35f * s : 0.0f;
            }
            if (mean < nf * 0.03f) {
                draining_ = false;
                hue_ += 0.27f;
            }
        }
        drawPuddle(c, liquid, t);
    }

  private:
    static constexpr size_t maxDrops = 1600;

    void addLevel(int col, float amount) {
        for (int k = -3; k <= 3; ++k) {
            const int x = col + k;
            if (x >= 0 && x < static_cast<int>(level_.size())) {
                level_[static_cast<size_t>(x)] +=
                    amount * (4.0f - static_cast<float>(k < 0 ? -k : k)) / 16.0f;
            }
        }
    }

    void drawJug(const EffectContext& c, float jx, float jy, float s) {
        // A body, a spout and a handle, turned by the tilt about the jug's centre.
        const float bodyX[7] = {-9, 9, 12, 15, 8, -8, -10};
        const float bodyY[7] = {-12, -12, -15, -14, 12, 12, -8};
        float xs[7], ys[7];
        const float ca = fastCos(tilt_ * 0.6f), sa = fastSin(tilt_ * 0.6f);
        for (int i = 0; i < 7; ++i) {
            xs[i] = jx + (bodyX[i] * ca - bodyY[i] * sa) * s;
            ys[i] = jy + (bodyX[i] * sa + bodyY[i] * ca) * s;
        }
        kit::fillPolygon(c, xs, ys, 7, kit::fromLevels(190, 110, 70));
        kit::drawPolygon(c, xs, ys, 7, kit::fromLevels(90, 40, 20));
        const float hx = jx + (-13.0f * ca) * s, hy = jy + (-13.0f * sa) * s;
        kit::drawRing(c, hx, hy, 5.0f * s, 1.6f, kit::fromLevels(160, 90, 55));
        // A highlight down the body.
        kit::drawThickLine(c, jx + (4.0f * ca + 6.0f * sa) * s, jy + (4.0f * sa - 6.0f * ca) * s,
                           jx + (3.0f * ca - 6.0f * sa) * s, jy + (3.0f * sa + 6.0f * ca) * s, 0.8f,
                           kit::fromLevels(240, 190, 150));
    }

    void drawPuddle(const EffectContext& c, kit::Rgb liquid, float t) {
        const int n = c.n;
        const float nf = static_cast<float>(n);
        for (int x = 0; x < n; ++x) {
            const size_t i = static_cast<size_t>(x);
            const float wave = 0.8f * fastSin(static_cast<float>(x) * 0.21f + t * 0.17f) + slosh_[i];
            const float top = nf - level_[i] - (level_[i] > 0.5f ? wave : 0.0f);
            const int y0 = kit::clampCell(c, kit::toCell(top));
            for (int y = y0; y < n; ++y) {
                const float depth = (static_cast<float>(y) - top) / (nf * 0.3f + 1.0f);
                kit::Rgb col = kit::shade(liquid, 1.0f - 0.6f * kit::clampf(depth, 0.0f, 1.0f));
                if (y - y0 < 2) {
                    col = kit::mix(liquid, kit::white, 0.7f);
                }
                kit::paint(c, x, y, col);
            }
        }
    }

    std::vector<Drop> drops_;
    std::vector<float> level_;
    std::vector<float> slosh_;
    float tilt_ = 0.0f;
    float hue_ = 0.0f;
    bool draining_ = false;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Outpour);

} // namespace glowfield
