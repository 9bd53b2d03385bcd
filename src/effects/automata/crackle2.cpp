// Crackle2: a crackle glaze. A fresh celadon glaze is poured, then crack walkers start at random points,
// wander forward, split now and then and stop where they meet another crack, dividing the glaze into tiles
// that take slightly different shades; a soft glint slides over the glazed surface.
#include <algorithm>
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

struct Walker {
    float x = 0.0f, y = 0.0f, angle = 0.0f;
    int steps = 0;
};

class Crackle2 : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::tameField(c);
        n_ = c.n;
        crack_.assign(static_cast<size_t>(n_) * n_, 0);
        tile_.assign(static_cast<size_t>(n_) * n_, 0.0f);
        stack_.reserve(static_cast<size_t>(n_) * n_);
        pour(c);
    }

    void step(EffectContext& c) override {
        ++age_;
        kit::scaleVelocities(c, 0.0f);
        if (age_ - pouredAt_ > 560) {
            pour(c);
        }
        if (age_ - pouredAt_ < 380 && age_ % 3 == 0 && walkers_.size() < 24) {
            spawn(c, c.randomUnit() * (n_ - 1), c.randomUnit() * (n_ - 1), c.randomUnit() * kit::twoPi);
        }
        for (size_t i = 0; i < walkers_.size();) {
            if (advance(c, walkers_[i])) {
                ++i;
            } else {
                walkers_[i] = walkers_.back();
                walkers_.pop_back();
            }
        }
        for (const Walker& w : pending_) {
            walkers_.push_back(w);
        }
        pending_.clear();
        if (age_ % 20 == 0) {
            shadeTiles();
        }
        const float since = static_cast<float>(age_ - pouredAt_);
        const float glint = static_cast<float>(age_ % 240) * 1.4f - 60.0f;
        for (int x = 0; x < n_; ++x) {
            for (int y = 0; y < n_; ++y) {
                const size_t k = index(x, y);
                // The glaze: a gentle vertical gradient, pooled deeper near the foot, then each tile's shade.
                const float pool = static_cast<float>(y) / n_;
                kit::Rgb glaze =
                    kit::mix(kit::fromLevels(185, 215, 190), kit::fromLevels(120, 170, 150), pool);
                glaze = kit::shade(glaze, 0.9f + tile_[k]);
                const float band = absf(static_cast<float>(x) * 0.6f + static_cast<float>(y) * 0.4f - glint);
                glaze = kit::mix(glaze, kit::white, 0.45f * (1.0f - kit::clampf(band / 10.0f, 0.0f, 1.0f)));
                if (crack_[k] != 0) {
                    // Cracks darken as the stain soaks in.
                    const float soak = kit::clampf((since - crack_[k]) / 120.0f, 0.3f, 0.75f);
                    glaze = kit::mix(glaze, kit::fromLevels(40, 45, 40), soak);
                }
                const float fill = kit::clampf(since / 30.0f, 0.1f, 1.0f);
                kit::blendCell(c, x, y, glaze, fill);
            }
        }
    }

  private:
    size_t index(int x, int y) const { return static_cast<size_t>(x) * n_ + y; }

    void pour(EffectContext& c) {
        pouredAt_ = age_;
        std::fill(crack_.begin(), crack_.end(), 0);
        std::fill(tile_.begin(), tile_.end(), 0.0f);
        walkers_.clear();
        for (int i = 0; i < 6; ++i) {
            spawn(c, c.randomUnit() * (n_ - 1), c.randomUnit() * (n_ - 1), c.randomUnit() * kit::twoPi);
        }
    }

    void spawn(EffectContext& c, float x, float y, float angle) {
        (void)c;
        Walker w;
        w.x = x;
        w.y = y;
        w.angle = angle;
        walkers_.push_back(w);
        // A crack opens both ways from where it starts.
        w.angle = angle + kit::pi;
        walkers_.push_back(w);
    }

    // Moves one walker two cells; false when it has met a crack or the rim.
    bool advance(EffectContext& c, Walker& w) {
        for (int s = 0; s < 2; ++s) {
            w.angle += (c.randomUnit() - 0.5f) * 0.35f;
            const int oldX = kit::toCell(w.x), oldY = kit::toCell(w.y);
            w.x += fastCos(w.angle);
            w.y += fastSin(w.angle);
            const int x = kit::toCell(w.x), y = kit::toCell(w.y);
            if (!(w.x == w.x) || !(w.y == w.y) || x < 0 || y < 0 || x >= n_ || y >= n_) {
                return false;
            }
            ++w.steps;
            if (x != oldX && y != oldY) {
                // A diagonal step also cracks the corner cell, so cracks stay closed walls for the tiles.
                const size_t corner = index(x, oldY);
                if (crack_[corner] != 0 && w.steps > 2) {
                    return false;
                }
                crack_[corner] = age_ - pouredAt_ + 1;
            }
            const size_t k = index(x, y);
            if (crack_[k] != 0 && (x != oldX || y != oldY) && w.steps > 2) {
                return false;
            }
            crack_[k] = age_ - pouredAt_ + 1;
            if (walkers_.size() < 60 && c.random() % 90 == 0) {
                const float turn = (c.random() & 1 ? 1.0f : -1.0f) * (0.9f + c.randomUnit() * 0.6f);
                Walker b = w;
                b.angle += turn;
                b.steps = 0;
                pending_.push_back(b);
            }
        }
        return true;
    }

    void shadeTiles() {
        // Flood-fills the regions between cracks and gives each its own small lift or shadow, taken from
        // where its scan starts so that a tile keeps its shade until a crack splits it.
        std::vector<uint8_t> seen(crack_.size(), 0);
        for (int x = 0; x < n_; ++x) {
            for (int y = 0; y < n_; ++y) {
                const size_t start = index(x, y);
                if (seen[start] || crack_[start] != 0) {
                    continue;
                }
                const float lift = 0.11f * fastSin(static_cast<float>(start) * 12.9898f);
                stack_.clear();
                stack_.push_back(static_cast<int>(start));
                seen[start] = 1;
                while (!stack_.empty()) {
                    const int k = stack_.back();
                    stack_.pop_back();
                    tile_[static_cast<size_t>(k)] = lift;
                    const int cx = k / n_, cy = k % n_;
                    const int xs[4] = {cx - 1, cx + 1, cx, cx};
                    const int ys[4] = {cy, cy, cy - 1, cy + 1};
                    for (int d = 0; d < 4; ++d) {
                        if (xs[d] < 0 || ys[d] < 0 || xs[d] >= n_ || ys[d] >= n_) {
                            continue;
                        }
                        const size_t m = index(xs[d], ys[d]);
                        if (!seen[m] && crack_[m] == 0) {
                            seen[m] = 1;
                            stack_.push_back(static_cast<int>(m));
                        }
                    }
                }
            }
        }
    }

    int n_ = 0;
    int age_ = 0;
    int pouredAt_ = 0;
    std::vector<int> crack_;
    std::vector<float> tile_;
    std::vector<int> stack_;
    std::vector<Walker> walkers_, pending_;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Crackle2);

} // namespace glowfield
