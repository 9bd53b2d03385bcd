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
        ++phaseAge_;
        if (phase_ == Phase::growing && (frozenCount_ > n_ * n_ * 94 / 100 || phaseAge_ > 520)) {
            phase_ = Phase::holding;
            phaseAge_ = 0;
        } else if (phase_ == Phase::holding && phaseAge_ > 60) {
            phase_ = Phase::thawing;
            phaseAge_ = 0;
        } else if (phase_ == Phase::thawing && phaseAge_ > 150) {
            std::fill(frozeAt_.begin(), frozeAt_.end(), never);
            frozenCount_ = 0;
            seedBorder(c);
            phase_ = Phase::growing;
            phaseAge_ = 0;
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
        if (phase_ == Phase::growing && age_ % 2 == 0) {
            grow(c);
        } else if (phase_ == Phase::thawing) {
            thaw(phaseAge_);
        }
        const float sweep = static_cast<float>(age_ % 160) * 2.0f - 40.0f;
        for (int x = 0; x < n_; ++x) {
            for (int y = 0; y < n_; ++y) {
                const int t = frozeAt_[index(x, y)];
                if (t == never) {
                    continue;
                }
                const int cell = cellAt(x, y);
                c.planes.redVelocity[cell] = c.planes.greenVelocity[cell] = c.planes.blueVelocity[cell] =
                    0.0f;
                // Fresh ice is bright white; older ice settles into bands of pale and deeper blue that trace
                // the shapes the front had as it grew, with a glint band sweeping over it and sparkling
                // grains.
                const float fresh = kit::clampf(1.0f - static_cast<float>(age_ - t) / 40.0f, 0.0f, 1.0f);
                const float band =
                    1.0f - kit::clampf(absf(static_cast<float>(x + y) * 0.5f - sweep) / 6.0f, 0.0f, 1.0f);
                const float res = resistance_[index(x, y)];
                const float growthBand =
                    static_cast<float>(absf(static_cast<float>(kit::wrap(t, 24) - 12))) / 12.0f;
                kit::Rgb ice =
                    kit::mix(kit::fromLevels(95, 140, 200), kit::fromLevels(215, 235, 250), growthBand);
                ice = kit::mix(ice, kit::white, fresh * 0.8f + band * 0.5f);
                ice = kit::shade(ice, 0.92f + 0.12f * res);
                if (res < 0.015f && ((age_ + x * 3 + y) % 50) < 4) {
                    ice = kit::white;
                }
                kit::blendCell(c, x, y, ice, 0.6f);
            }
        }
    }

  private:
    static constexpr int never = -1000000;
    enum class Phase { growing, holding, thawing };

    size_t index(int x, int y) const { return static_cast<size_t>(x) * n_ + y; }

    void waterLight(EffectContext& c) {
        // Open water: deep blue with slow caustic bands, pulled towards gently so ripples still show.
        // Two crossing wave trains, each a product of a column and a row table, so no sine per cell.
        const float t = static_cast<float>(age_) * 0.03f;
        colA_.resize(static_cast<size_t>(n_));
        colB_.resize(static_cast<size_t>(n_));
        rowA_.resize(static_cast<size_t>(n_));
        rowB_.resize(static_cast<size_t>(n_));
        for (int i = 0; i < n_; ++i) {
            colA_[i] = fastSin(i * 0.09f + t);
            colB_[i] = fastCos(i * 0.09f + t);
            rowA_[i] = fastCos(i * 0.07f - t * 0.7f);
            rowB_[i] = fastSin(i * 0.07f - t * 0.7f);
        }
        for (int x = 0; x < n_; ++x) {
            for (int y = 0; y < n_; ++y) {
                const float a = colA_[x] * rowA_[y] + colB_[x] * rowB_[y]; // sin(x-wave + y-wave)
                const float b = colB_[x] * rowA_[y] - colA_[x] * rowB_[y]; // cos(x-wave - y-wave)
                const float light = kit::clampf(1.0f - absf(a + b) * 0.8f, 0.0f, 1.0f);
                kit::blendCell(
                    c, x, y,
                    kit::mix(kit::fromLevels(8, 28, 70), kit::fromLevels(60, 140, 190), light * light),
                    0.08f);
            }
        }
    }

    void seedBorder(EffectContext& c) {
        resistance_.resize(frozeAt_.size());
        for (float& r : resistance_) {
            r = c.randomUnit();
        }
        for (int i = 0; i < n_; i += 1) {
            if (c.random() % 4 == 0) {
                for (const size_t k : {index(i, 0), index(i, n_ - 1), index(0, i), index(n_ - 1, i)}) {
                    frozenCount_ += frozeAt_[k] == never ? 1 : 0;
                    frozeAt_[k] = age_;
                }
            }
        }
    }

    void grow(EffectContext& c) {
        // Invasion through a random landscape: each cell has a fixed resistance, and a cell next to older ice
        // freezes once the cold has risen past its resistance. Near the percolation threshold of
        // four-neighbour contact the ice creeps along the easiest paths in branching fingers, and later fills
        // in between them.
        const float cold = 0.5f + static_cast<float>(phaseAge_) * 0.0004f;
        (void)c;
        for (int x = 0; x < n_; ++x) {
            for (int y = 0; y < n_; ++y) {
                const size_t k = index(x, y);
                if (frozeAt_[k] != never || resistance_[k] > cold) {
                    continue;
                }
                bool touching = false;
                const int xs[4] = {x - 1, x + 1, x, x};
                const int ys[4] = {y, y, y - 1, y + 1};
                for (int d = 0; d < 4; ++d) {
                    const int u = xs[d], v = ys[d];
                    if (u >= 0 && v >= 0 && u < n_ && v < n_ && frozeAt_[index(u, v)] != never &&
                        frozeAt_[index(u, v)] < age_) {
                        touching = true;
                        break;
                    }
                }
                if (touching) {
                    frozeAt_[k] = age_;
                    ++frozenCount_;
                }
            }
        }
    }

    void thaw(int step) {
        // The thaw eats the ice from the centre outwards, melting a widening disc.
        const float r = static_cast<float>(step) * static_cast<float>(n_) / 110.0f;
        const float h = static_cast<float>(n_) * 0.5f;
        for (int x = 0; x < n_; ++x) {
            for (int y = 0; y < n_; ++y) {
                const float dx = x - h, dy = y - h;
                const float wobble = 6.0f * fastSin(static_cast<float>(x) * 0.3f) * fastCos(y * 0.27f);
                if (dx * dx + dy * dy < (r + wobble) * (r + wobble) && frozeAt_[index(x, y)] != never) {
                    frozeAt_[index(x, y)] = never;
                    --frozenCount_;
                }
            }
        }
    }

    int n_ = 0;
    int age_ = 0;
    int phaseAge_ = 0;
    int frozenCount_ = 0;
    Phase phase_ = Phase::growing;
    std::vector<int> frozeAt_;
    std::vector<float> resistance_;
    std::vector<float> colA_, colB_, rowA_, rowB_;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Frozen);

} // namespace glowfield
