// River: a river seen from above. A meandering channel runs between grassy banks; inside it the water is
// carried downstream, faster mid-stream than near the banks, bearing foam streaks and floating leaves, and
// fresh rippled water enters at the top.
#include <utility>
#include <vector>

#include "effects/kit/kit.h"
#include "effects/warps/colour_image.h"

namespace glowfield {

namespace {

struct Leaf {
    float x = 0.0f, y = -1.0f;
    kit::Rgb colour;
};

class River : public Effect {
  public:
    void start(EffectContext& c) override {
        n_ = c.n;
        water_.resize(n_);
        next_.resize(n_);
        rowCentre_.resize(static_cast<size_t>(n_));
        rowHalf_.resize(static_cast<size_t>(n_));
        banks_.resize(static_cast<size_t>(n_) * n_);
        for (int y = 0; y < n_; ++y) {
            rowCentre_[y] = centre(static_cast<float>(y));
            rowHalf_[y] = halfWidth(static_cast<float>(y));
        }
        // The banks never change: a sandy shore strip, then tufted grass.
        for (int x = 0; x < n_; ++x) {
            for (int y = 0; y < n_; ++y) {
                const float d = absf(x - rowCentre_[y]) - rowHalf_[y];
                const float tuft = fastSin(x * 1.3f + fastSin(y * 0.7f) * 2.0f) * fastSin(y * 1.1f);
                banks_[static_cast<size_t>(x) * n_ + y] =
                    d < 3.0f ? kit::fromLevels(190, 170, 120)
                             : kit::shade(kit::fromLevels(70, 150, 60),
                                          0.75f + 0.15f * tuft + 0.1f * fastSin(x * 0.05f + y * 0.04f));
            }
        }
        for (int y = n_ - 1; y >= 0; --y) {
            feedRow(c, y, 0);
        }
        for (Leaf& l : leaves_) {
            spawn(c, l, static_cast<float>(c.random(0, n_ - 1)));
        }
    }

    void step(EffectContext& c) override {
        const int age = static_cast<int>(c.framesSinceStart) + 1;
        const float fn = static_cast<float>(n_);
        // Water moves down in its own image: speed by distance from mid-stream, shifted with the bends.
        for (int y = 0; y < n_; ++y) {
            const float mid = rowCentre_[y], half = rowHalf_[y];
            const int from = kit::clampCell(c, kit::toCell(mid - half - 2.0f)),
                      to = kit::clampCell(c, kit::toCell(mid + half + 2.0f));
            for (int x = from; x <= to; ++x) {
                const float u = (x - mid) / half;
                const float speed = 1.6f * (1.0f - kit::clampf(u * u, 0.0f, 1.0f)) + 0.15f;
                const float sy = y - speed;
                // The channel's centre at sy, between this row's and the row above's.
                const float above = y > 0 ? rowCentre_[y - 1] : mid;
                const float sx = x - (mid - above) * speed;
                next_.set(x, y, water_.sample(sx, sy));
            }
        }
        std::swap(water_, next_);
        for (int y = 0; y < 3; ++y) {
            feedRow(c, y, age);
        }
        kit::scaleVelocities(c, 0.0f);
        for (int x = 0; x < n_; ++x) {
            for (int y = 0; y < n_; ++y) {
                const size_t k = static_cast<size_t>(x) * n_ + y;
                const float d = absf(x - rowCentre_[y]) - rowHalf_[y];
                if (d < 0.0f) {
                    // Water, shallower and browner near the banks.
                    kit::paint(c, x, y,
                               kit::mix(water_.at(x, y), kit::fromLevels(120, 120, 80),
                                        kit::clampf((d + 5.0f) / 5.0f, 0.0f, 0.6f)));
                } else {
                    kit::paint(c, x, y, banks_[k]);
                }
            }
        }
        for (Leaf& l : leaves_) {
            const float u = (l.x - centre(l.y)) / halfWidth(l.y);
            const float speed = 1.6f * (1.0f - kit::clampf(u * u, 0.0f, 1.0f)) + 0.15f;
            const float ny = l.y + speed;
            l.x += centre(ny) - centre(l.y);
            l.y = ny;
            if (!(l.y < fn) || !(l.x == l.x)) {
                spawn(c, l, 0.0f);
                continue;
            }
            kit::fillDisc(c, l.x, l.y, 1.6f, l.colour);
            kit::paint(c, kit::toCell(l.x), kit::toCell(l.y - 2.0f), kit::shade(l.colour, 0.6f));
        }
    }

  private:
    static constexpr int leafCount = 14;

    float centre(float y) const {
        const float fn = static_cast<float>(n_);
        return fn * 0.5f + fn * 0.2f * fastSin(y * 0.025f) + fn * 0.07f * fastSin(y * 0.061f + 1.0f);
    }
    float halfWidth(float y) const {
        return static_cast<float>(n_) * (0.16f + 0.03f * fastSin(y * 0.04f + 2.0f));
    }

    void feedRow(EffectContext& c, int y, int frame) {
        // Rippled blue with a fleck of foam now and then.
        for (int x = 0; x < n_; ++x) {
            const float ripple = fastSin(x * 0.5f + frame * 0.3f) * fastSin(x * 0.17f - frame * 0.11f + y);
            kit::Rgb col =
                kit::mix(kit::fromLevels(25, 70, 130), kit::fromLevels(60, 130, 180), 0.5f + 0.5f * ripple);
            if (c.random() % 23 == 0) {
                col = kit::fromLevels(235, 245, 250);
            }
            water_.set(x, y, col);
        }
    }

    void spawn(EffectContext& c, Leaf& l, float y) {
        l.y = y;
        l.x = centre(y) + (c.randomUnit() - 0.5f) * halfWidth(y) * 1.4f;
        l.colour = c.random() & 1 ? kit::fromLevels(220, 130, 30) : kit::fromLevels(160, 200, 50);
    }

    int n_ = 0;
    Leaf leaves_[leafCount];
    warps::ColourImage water_, next_;
    std::vector<float> rowCentre_, rowHalf_;
    std::vector<kit::Rgb> banks_;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(River);

} // namespace glowfield
