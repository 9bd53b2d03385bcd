// Meltdown: the picture melts. Each column slides down at its own accelerating speed, neighbours dragging on
// each other so it looks gooey, and hot orange-white glow pours in at the top; once everything has run off,
// the speeds reset and the freshly poured glow melts in turn.
#include <utility>
#include <vector>

#include "effects/kit/kit.h"
#include "effects/warps/colour_image.h"

namespace glowfield {

namespace {

class Meltdown : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::tameField(c);
        n_ = c.n;
        image_.capture(c);
        next_.resize(n_);
        speed_.assign(static_cast<size_t>(n_), 0.0f);
        travel_.assign(static_cast<size_t>(n_), 0.0f);
        reset(c);
    }

    void step(EffectContext& c) override {
        if (c.n != n_) {
            start(c); // the grid was resized: begin again at the new size
        }
        ++age_;
        // Speeds grow at each column's own rate, then are eased towards their neighbours' so the goo drags.
        float slowest = 1e9f;
        for (int x = 0; x < n_; ++x) {
            speed_[x] = kit::clampf(speed_[x] + accel_[x], 0.0f, 4.0f);
        }
        for (int x = 1; x + 1 < n_; ++x) {
            speed_[x] = speed_[x] * 0.6f + (speed_[x - 1] + speed_[x + 1]) * 0.2f;
        }
        const float t = static_cast<float>(age_);
        for (int x = 0; x < n_; ++x) {
            const float v = speed_[x];
            travel_[x] += v;
            slowest = travel_[x] < slowest ? travel_[x] : slowest;
            // The whole column shifts by the same fraction of a cell, so one blend weight serves every row.
            const int whole = kit::toCell(v);
            const float part = v - static_cast<float>(whole);
            const int side = x % 2 ? x + 1 : x - 1;
            const float gloss = kit::clampf(v * 0.05f, 0.0f, 0.2f);
            for (int y = 0; y < n_; ++y) {
                const float sy = y - v;
                kit::Rgb col;
                if (sy < 0.0f) {
                    // The hot pour: banded orange to white, the bands shifting with time.
                    const float band = 0.5f + 0.5f * fastSin((travel_[x] - y) * 0.15f + t * 0.02f);
                    col = fx::mix(kit::fromLevels(230, 70, 10), kit::fromLevels(255, 240, 190), band);
                } else {
                    const int from = y - whole; // sy lies between from - 1 and from
                    const kit::Rgb self = fx::mix(image_.at(x, from), image_.at(x, from - 1), part);
                    col = fx::mix(self, image_.at(side, from), 0.1f);
                }
                next_.set(x, y, col);
                // Drips shine: the faster a column runs, the glossier it looks.
                fx::put(c, x, y, fx::mix(col, kit::white, gloss));
            }
        }
        std::swap(image_, next_);
        kit::scaleVelocities(c, 0.0f);
        if (slowest > static_cast<float>(n_) * 1.2f) {
            reset(c);
        }
    }

  private:
    void reset(EffectContext& c) {
        // A tiled wall laid over what is there, so every round has edges to melt, even on a flat field.
        const float hue = c.randomUnit();
        for (int x = 0; x < n_; ++x) {
            for (int y = 0; y < n_; ++y) {
                const bool grout = x % 20 < 2 || y % 20 < 2;
                const kit::Rgb tile =
                    fx::hsv(static_cast<float>((x / 20 + y / 20) % 4) * 0.08f + hue, 0.55f, 0.85f);
                image_.set(x, y, fx::mix(image_.at(x, y), grout ? kit::fromLevels(40, 40, 45) : tile, 0.7f));
            }
        }
        accel_.assign(static_cast<size_t>(n_), 0.0f);
        for (int x = 0; x < n_; ++x) {
            speed_[x] = 0.0f;
            travel_[x] = 0.0f;
            accel_[x] = 0.003f + 0.02f * c.randomUnit() * c.randomUnit();
        }
    }

    int n_ = 0;
    int age_ = 0;
    std::vector<float> speed_, travel_, accel_;
    warps::ColourImage image_, next_;
};

} // namespace

std::unique_ptr<Effect> makeMeltdown() {
    return std::make_unique<Meltdown>();
}

} // namespace glowfield
