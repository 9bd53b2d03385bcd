// Oops: spilled paint. A pot tips over at a random spot and its colour floods outwards as a front that
// advances by chance, readily downhill and reluctantly up; then another pot of another colour spills over the
// first. Wet paint shines, with a darker rim where it meets what lies under it.
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

const kit::Rgb potColours[6] = {kit::fromLevels(230, 40, 40),   kit::fromLevels(250, 200, 30),
                                kit::fromLevels(40, 110, 230),  kit::fromLevels(40, 190, 90),
                                kit::fromLevels(240, 240, 235), kit::fromLevels(150, 60, 200)};

class Oops : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::tameField(c);
        n_ = c.n;
        owner_.assign(static_cast<size_t>(n_) * n_, -1);
        // The floor: pale boards with a wavy grain.
        floor_.resize(owner_.size());
        for (int x = 0; x < n_; ++x) {
            for (int y = 0; y < n_; ++y) {
                const float grainy = 0.08f * fastSin(y * 0.8f + fastSin(x * 0.05f) * 3.0f);
                const float seam = (x % 25 == 0) ? 0.7f : 1.0f;
                floor_[index(x, y)] = kit::shade(kit::fromLevels(200, 170, 130), (0.85f + grainy) * seam);
            }
        }
        sheenColSin_.resize(static_cast<size_t>(n_));
        sheenColCos_.resize(static_cast<size_t>(n_));
        sheenRowSin_.resize(static_cast<size_t>(n_));
        sheenRowCos_.resize(static_cast<size_t>(n_));
        wetAt_.assign(static_cast<size_t>(n_) * n_, 0);
        spill(c);
    }

    void step(EffectContext& c) override {
        ++age_;
        kit::scaleVelocities(c, 0.0f);
        advance(c);
        // The sheen is a sine of x * 0.11 + y * 0.07 + time, split into column and row tables.
        for (int i = 0; i < n_; ++i) {
            sheenColSin_[i] = fastSin(i * 0.11f + age_ * 0.05f);
            sheenColCos_[i] = fastCos(i * 0.11f + age_ * 0.05f);
            sheenRowSin_[i] = fastSin(i * 0.07f);
            sheenRowCos_[i] = fastCos(i * 0.07f);
        }
        if (front_.size() < 8 || age_ - spillAt_ > 260) {
            spill(c);
        }
        for (int x = 0; x < n_; ++x) {
            for (int y = 0; y < n_; ++y) {
                const size_t k = index(x, y);
                const int o = owner_[k];
                if (o < 0) {
                    // The floor: pale boards with a wavy grain.
                    kit::paint(c, x, y, floor_[k]);
                    continue;
                }
                // Gloss: a soft highlight that wanders over the wet surface; fresh paint is glossier.
                const float wet =
                    kit::clampf(1.0f - static_cast<float>(age_ - wetAt_[k]) / 300.0f, 0.2f, 1.0f);
                const float sheen = sheenColSin_[x] * sheenRowCos_[y] + sheenColCos_[x] * sheenRowSin_[y];
                const float gloss = sheen > 0.8f ? (sheen - 0.8f) * 5.0f * wet : 0.0f;
                const bool rim = edge(x, y, o);
                kit::Rgb col = kit::shade(potColours[o % 6], rim ? 0.6f : 0.92f + 0.08f * sheen);
                col = kit::mix(col, kit::white, gloss * 0.5f);
                kit::paint(c, x, y, col);
            }
        }
        // The tipped pot, lying at the spill for a while.
        if (age_ - spillAt_ < 120) {
            const float px = static_cast<float>(potX_), py = static_cast<float>(potY_) - 6.0f;
            kit::fillRect(c, px - 9.0f, py - 5.0f, px + 9.0f, py + 5.0f, kit::fromLevels(120, 125, 135));
            kit::fillRect(c, px - 9.0f, py - 5.0f, px + 9.0f, py - 3.0f, kit::fromLevels(200, 205, 215));
            kit::fillRect(c, px + 7.0f, py - 5.0f, px + 9.0f, py + 5.0f, potColours[colour_ % 6]);
        }
    }

  private:
    size_t index(int x, int y) const { return static_cast<size_t>(x) * n_ + y; }

    bool edge(int x, int y, int o) const {
        const int xs[4] = {x - 1, x + 1, x, x};
        const int ys[4] = {y, y, y - 1, y + 1};
        for (int i = 0; i < 4; ++i) {
            if (xs[i] >= 0 && ys[i] >= 0 && xs[i] < n_ && ys[i] < n_ && owner_[index(xs[i], ys[i])] != o) {
                return true;
            }
        }
        return false;
    }

    void spill(EffectContext& c) {
        ++colour_;
        if (colour_ % 6 == 0) {
            ++colour_;
        }
        spillAt_ = age_;
        potX_ = c.random(n_ / 6, n_ * 5 / 6);
        potY_ = c.random(n_ / 6, n_ * 2 / 3);
        front_.clear();
        for (int dx = -3; dx <= 3; ++dx) {
            for (int dy = -2; dy <= 2; ++dy) {
                claim(potX_ + dx, potY_ + dy);
            }
        }
    }

    void claim(int x, int y) {
        if (x < 0 || y < 0 || x >= n_ || y >= n_) {
            return;
        }
        const size_t k = index(x, y);
        if (owner_[k] == colour_) {
            return;
        }
        owner_[k] = colour_;
        wetAt_[k] = age_;
        front_.push_back(static_cast<int>(k));
    }

    void advance(EffectContext& c) {
        // Each front cell tries its neighbours once a frame: down 60 %, sideways 30 %, up 8 %; a cell that
        // spreads nowhere stays on the front for later tries, one that fails for long dries and leaves it.
        const size_t count = front_.size();
        std::vector<int>& next = spare_;
        next.clear();
        for (size_t i = 0; i < count; ++i) {
            const int k = front_[i];
            const int x = k / n_, y = k % n_;
            const int r = c.random();
            const int dirs[4][3] = {{0, 1, 60}, {-1, 0, 30}, {1, 0, 30}, {0, -1, 8}};
            bool alive = false;
            for (int d = 0; d < 4; ++d) {
                const int u = x + dirs[d][0], v = y + dirs[d][1];
                if (u < 0 || v < 0 || u >= n_ || v >= n_ || owner_[index(u, v)] == colour_) {
                    continue;
                }
                alive = true;
                if (((r >> (d * 3)) & 7) * 100 < dirs[d][2] * 8) {
                    owner_[index(u, v)] = colour_;
                    wetAt_[index(u, v)] = age_;
                    next.push_back(static_cast<int>(index(u, v)));
                }
            }
            // The paint thins out: far from the pot a stuck cell dries.
            if (alive && ((r >> 12) & 7) != 0) {
                next.push_back(k);
            }
        }
        front_.swap(next);
    }

    int n_ = 0;
    int age_ = 0;
    int colour_ = 0;
    int spillAt_ = 0;
    int potX_ = 0, potY_ = 0;
    std::vector<int> owner_;
    std::vector<kit::Rgb> floor_;
    std::vector<float> sheenColSin_, sheenColCos_, sheenRowSin_, sheenRowCos_;
    std::vector<int> wetAt_;
    std::vector<int> front_, spare_;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Oops);

} // namespace glowfield
