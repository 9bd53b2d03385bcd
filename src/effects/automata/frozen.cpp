// Frozen: frost creeping in from the border. A cell freezes when a neighbour froze before it and a draw
// agrees, more readily at the tips of thin fingers, so the fronts grow feathered; ice stops the ripples of
// the open water dead and glints, and after a while it thaws back from the centre outwards.
#include <algorithm>
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Frozen : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::tameField(c);
        n_ = c.n;
        frozeAt_.assign(static_cast<size_t>(n_) * n_, never);
        seedBorder(c);
    }

    void step(EffectContext& c) override {
        ++age_;
        const int phase = age_ % cycle;
        if (phase == 0) {
            std::fill(frozeAt_.begin(), frozeAt_.end(), never);
            seedBorder(c);
        }
        // Open water: dark blue, stirred by pulsed pushes that make ripples.
        if (age_ % 12 == 0) {
            const float x = static_cast<float>(c.random(n_ / 4, n_ * 3 / 4));
            const float y = static_cast<float>(c.random(n_ / 4, n_ * 3 / 4));
            if (frozeAt_[index(kit::toCell(x), kit::toCell(y))] == never) {
                kit::balancedPush(c, x, y, 4.0f, 9.0f);
            }
        }
        waterLight(c);
        if (phase < thawStart) {
            grow(c);
        } else {
            thaw(phase - thawStart);
        }
        const float sweep = static_cast<float>(age_ % 160) * 2.0f - 40.0f;
        for (int x = 0; x < n_; ++x) {
            for (int y = 0; y < n_; ++y) {
                const int t = frozeAt_[index(x, y)];
                if (t == never) {
                    continue;
                }
                const int cell = cellAt(x, y);
                c.planes.redVelocity[cell] = c.planes.greenVelocity[cell] = c.planes.blueVelocity[cell] = 0.0f;
                // Fresh ice is bright white; older ice settles to pale blue, with a glint band sweeping.
                const float fresh = kit::clampf(1.0f - static_cast<float>(age_ - t) / 40.0f, 0.0f, 1.0f);
                const float band = 1.0f - kit::clampf(absf(static_cast<float>(x + y) * 0.5f - sweep) / 6.0f,
                                                      0.0f, 1.0f);
                const float grain = 0.06f * fastSin(static_cast<float>(x * 7 + y * 13) * 0.9f);
                kit::Rgb ice = kit::mix(kit::fromLevels(150, 195, 235), kit::white, fresh * 0.8f + band * 0.6f);
                ice = kit::shade(ice, 0.9f + grain);
                kit::blendCell(c, x, y, ice, 0.35f);
            }
        }
    }

  private:
    static constexpr int never = -1000000;
    static constexpr int cycle = 760;
    static constexpr int thawStart = 600;

    size_t index(int x, int y) const { return static_cast<size_t>(x) * n_ + y; }

    void waterLight(EffectContext& c) {
        // Open water: deep blue with slow caustic bands, pulled towards gently so ripples still show.
        const float t = static_cast<float>(age_) * 0.03f;
        for (int x = 0; x < n_; ++x) {
            for (int y = 0; y < n_; ++y) {
                const float a = fastSin(x * 0.09f + fastSin(y * 0.05f + t) * 1.5f + t);
                const float b = fastSin(y * 0.08f - fastSin(x * 0.06f - t) * 1.5f + t * 0.7f);
                const float light = kit::clampf(1.0f - absf(a + b) * 0.8f, 0.0f, 1.0f);
                kit::blendCell(c, x, y, kit::mix(kit::fromLevels(8, 28, 70), kit::fromLevels(60, 140, 190), light * light),
                               0.08f);
            }
        }
    }

    void seedBorder(EffectContext& c) {
        for (int i = 0; i < n_; i += 1) {
            if (c.random() % 3 == 0) {
                frozeAt_[index(i, 0)] = age_;
                frozeAt_[index(i, n_ - 1)] = age_;
                frozeAt_[index(0, i)] = age_;
                frozeAt_[index(n_ - 1, i)] = age_;
            }
        }
    }

    void grow(EffectContext& c) {
        for (int x = 0; x < n_; ++x) {
            for (int y = 0; y < n_; ++y) {
                if (frozeAt_[index(x, y)] != never) {
                    continue;
                }
                int frozen = 0;
                for (int dx = -1; dx <= 1; ++dx) {
                    for (int dy = -1; dy <= 1; ++dy) {
                        const int u = x + dx, v = y + dy;
                        if (u >= 0 && v >= 0 && u < n_ && v < n_ && frozeAt_[index(u, v)] < age_ &&
                            frozeAt_[index(u, v)] != never) {
                            ++frozen;
                        }
                    }
                }
                // A lone frozen neighbour is a finger tip: grow there fastest, so the frost branches.
                if (frozen == 0) {
                    continue;
                }
                const int odds = frozen == 1 ? 9 : frozen == 2 ? 3 : frozen >= 5 ? 40 : 1;
                if (c.random() % 100 < odds) {
                    frozeAt_[index(x, y)] = age_;
                }
            }
        }
    }

    void thaw(int step) {
        // The thaw eats the ice from the centre outwards, melting a widening disc.
        const float r = static_cast<float>(step) * static_cast<float>(n_) / 240.0f;
        const float h = static_cast<float>(n_) * 0.5f;
        for (int x = 0; x < n_; ++x) {
            for (int y = 0; y < n_; ++y) {
                const float dx = x - h, dy = y - h;
                const float wobble = 6.0f * fastSin(static_cast<float>(x) * 0.3f) * fastCos(y * 0.27f);
                if (dx * dx + dy * dy < (r + wobble) * (r + wobble)) {
                    frozeAt_[index(x, y)] = never;
                }
            }
        }
    }

    int n_ = 0;
    int age_ = 0;
    std::vector<int> frozeAt_;
};

} // namespace

std::unique_ptr<Effect> makeFrozen() {
    return std::make_unique<Frozen>();
}

} // namespace glowfield
