// InEdible: mould on a forgotten plate. Spores land and grow into round colonies that add random frontier
// cells, laid down in concentric age rings of greys, greens and blues; colonies halt where they meet, and
// once the plate is covered it is wiped paler and the spores start again.
#include <algorithm>
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

const kit::Rgb mouldColours[5] = {kit::fromLevels(90, 150, 80), kit::fromLevels(170, 175, 165),
                                  kit::fromLevels(60, 110, 150), kit::fromLevels(200, 210, 120),
                                  kit::fromLevels(40, 90, 70)};

class InEdible : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::tameField(c);
        n_ = c.n;
        owner_.assign(static_cast<size_t>(n_) * n_, -1);
        bornAt_.assign(static_cast<size_t>(n_) * n_, 0);
        // Agar: a pale, faintly mottled yellow.
        agar_.resize(bornAt_.size());
        for (int x = 0; x < n_; ++x) {
            for (int y = 0; y < n_; ++y) {
                const float mottle = 0.05f * fastSin(x * 0.37f + fastSin(y * 0.21f) * 2.0f);
                agar_[index(x, y)] = kit::shade(kit::fromLevels(205, 190, 140), 0.78f + mottle);
            }
        }
        wipe_ = 0.0f;
    }

    void step(EffectContext& c) override {
        ++age_;
        kit::scaleVelocities(c, 0.0f);
        if (age_ % 18 == 1 && colonies_ < 40) {
            land(c, c.random(0, n_ - 1), c.random(0, n_ - 1));
        }
        for (int i = 0; i < growthPerFrame && !frontier_.empty(); ++i) {
            grow(c);
        }
        if (covered_ > n_ * n_ * 97 / 100 && !frontier_.empty()) {
            frontier_.clear();
        }
        if (covered_ > n_ * n_ * 97 / 100 || (frontier_.empty() && colonies_ >= 40)) {
            // Wiped: the old growth stays as a pale stain that fades while new spores land.
            std::fill(owner_.begin(), owner_.end(), -1);
            frontier_.clear();
            covered_ = 0;
            colonies_ = 0;
            wipe_ = 1.0f;
        }
        wipe_ *= 0.99f;
        for (int x = 0; x < n_; ++x) {
            for (int y = 0; y < n_; ++y) {
                const size_t k = index(x, y);
                const int o = owner_[k];
                if (o < 0) {
                    // Agar: a pale, faintly mottled yellow; just after a wipe, paler still.
                    const kit::Rgb agar = agar_[k];
                    kit::blendCell(c, x, y, kit::mix(agar, kit::white, wipe_ * 0.5f), 0.12f + 0.2f * wipe_);
                    continue;
                }
                // Rings from the age at which each cell was claimed; the newest growth is fuzzy white.
                const int since = age_ - bornAt_[k];
                const int ring = (bornAt_[k] / 9) & 3;
                const float fresh = kit::clampf(1.0f - since / 25.0f, 0.0f, 1.0f);
                kit::Rgb col = kit::shade(mouldColours[o % 5], 0.6f + 0.13f * ring);
                col = kit::mix(col, kit::fromLevels(235, 240, 230), fresh * 0.7f);
                kit::blendCell(c, x, y, col, 0.5f);
            }
        }
    }

  private:
    static constexpr int growthPerFrame = 160;

    size_t index(int x, int y) const { return static_cast<size_t>(x) * n_ + y; }

    void land(EffectContext& c, int x, int y) {
        (void)c;
        if (owner_[index(x, y)] >= 0) {
            return;
        }
        owner_[index(x, y)] = colonyTag_++;
        bornAt_[index(x, y)] = age_;
        frontier_.push_back(static_cast<int>(index(x, y)));
        ++covered_;
        ++colonies_;
    }

    void grow(EffectContext& c) {
        // Eden growth: a random frontier cell claims a random free neighbour; it leaves the frontier once
        // boxed in. Random picks keep the colonies round.
        const size_t pick = static_cast<size_t>(c.random() * 32768 + c.random()) % frontier_.size();
        const int k = frontier_[pick];
        const int x = k / n_, y = k % n_;
        const int xs[4] = {x - 1, x + 1, x, x};
        const int ys[4] = {y, y, y - 1, y + 1};
        int free[4];
        int freeCount = 0;
        for (int d = 0; d < 4; ++d) {
            if (xs[d] >= 0 && ys[d] >= 0 && xs[d] < n_ && ys[d] < n_ && owner_[index(xs[d], ys[d])] < 0) {
                free[freeCount++] = d;
            }
        }
        if (freeCount == 0) {
            frontier_[pick] = frontier_.back();
            frontier_.pop_back();
            return;
        }
        const int d = free[c.random() % freeCount];
        const size_t target = index(xs[d], ys[d]);
        owner_[target] = owner_[static_cast<size_t>(k)];
        bornAt_[target] = age_;
        frontier_.push_back(static_cast<int>(target));
        ++covered_;
    }

    int n_ = 0;
    int age_ = 0;
    int colonyTag_ = 0;
    int colonies_ = 0;
    int covered_ = 0;
    float wipe_ = 0.0f;
    std::vector<int> owner_;
    std::vector<int> bornAt_;
    std::vector<kit::Rgb> agar_;
    std::vector<int> frontier_;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(InEdible);

} // namespace glowfield
