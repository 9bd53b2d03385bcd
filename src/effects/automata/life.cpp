// Life: four-colour tribes on a board of 2 x 2 cell squares. The classic birth-and-survival rule runs, and a
// newborn takes the majority colour of its three parents (the missing colour when all three differ), so the
// tribes compete for ground; a thin population gets a fresh sprinkle of soup.
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

const kit::Rgb tribeColours[4] = {kit::fromLevels(255, 70, 60), kit::fromLevels(60, 220, 90),
                                  kit::fromLevels(70, 120, 255), kit::fromLevels(250, 210, 50)};

class Life : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::tameField(c);
        side_ = (c.n + 1) / 2;
        board_.assign(static_cast<size_t>(side_) * side_, 0);
        next_ = board_;
        for (int q = 0; q < 4; ++q) {
            sprinkle(c, q, 0.35f);
        }
    }

    void step(EffectContext& c) override {
        const int age = static_cast<int>(c.framesSinceStart) + 1;
        const bool heard = c.sound.heard();
        // With music the tribes live faster as it grows loud, and every strong onset drops a blob of fresh
        // soup of one tribe somewhere on the board, as large as the onset is strong.
        if (heard ? age % 2 == 0 || c.sound.level > 0.6f : age % 2 == 0) {
            generation(c);
        }
        if (heard && c.sound.onset && c.sound.onsetStrength >= 0.5f) {
            const int radius = 3 + kit::roundCell(5.0f * c.sound.onsetStrength);
            const int bx = c.random(0, side_ - 1), by = c.random(0, side_ - 1);
            const uint8_t tribe = static_cast<uint8_t>(c.random(0, 3) + 1);
            for (int dx = -radius; dx <= radius; ++dx) {
                for (int dy = -radius; dy <= radius; ++dy) {
                    if (dx * dx + dy * dy <= radius * radius && c.random() % 5 < 2) {
                        board_[static_cast<size_t>(kit::wrap(bx + dx, side_)) * side_ +
                               kit::wrap(by + dy, side_)] = tribe;
                    }
                }
            }
        }
        kit::scaleVelocities(c, 0.5f);
        // Live squares in their tribe's colour with a lighter top-left corner; the dead leave a fading glow.
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                const uint8_t v = board_[static_cast<size_t>(x / 2) * side_ + y / 2];
                if (v != 0) {
                    const kit::Rgb base = tribeColours[(v - 1) & 3];
                    const float lift = ((x & 1) == 0 && (y & 1) == 0) ? 1.0f : 0.82f;
                    kit::paint(c, x, y, kit::shade(base, lift));
                } else {
                    const kit::Rgb here = kit::colourAt(c, x, y);
                    kit::paint(c, x, y, kit::mix(kit::fromLevels(10, 10, 22), here, 0.8f));
                }
            }
        }
    }

  private:
    void sprinkle(EffectContext& c, int quarter, float density) {
        const int h = side_ / 2;
        const int x0 = (quarter & 1) * h, y0 = (quarter >> 1) * h;
        const int tribe = c.random(0, 3);
        for (int x = x0 + 4; x < x0 + h - 4; ++x) {
            for (int y = y0 + 4; y < y0 + h - 4; ++y) {
                if (c.randomUnit() < density) {
                    board_[static_cast<size_t>(x) * side_ + y] = static_cast<uint8_t>(tribe + 1);
                }
            }
        }
    }

    void generation(EffectContext& c) {
        int population = 0;
        for (int x = 0; x < side_; ++x) {
            for (int y = 0; y < side_; ++y) {
                int count = 0;
                int tally[4] = {0, 0, 0, 0};
                for (int dx = -1; dx <= 1; ++dx) {
                    for (int dy = -1; dy <= 1; ++dy) {
                        if (dx == 0 && dy == 0) {
                            continue;
                        }
                        // The board wraps at its edges.
                        const int u = kit::wrap(x + dx, side_), v = kit::wrap(y + dy, side_);
                        const uint8_t s = board_[static_cast<size_t>(u) * side_ + v];
                        if (s != 0) {
                            ++count;
                            ++tally[(s - 1) & 3];
                        }
                    }
                }
                const uint8_t self = board_[static_cast<size_t>(x) * side_ + y];
                uint8_t out = 0;
                if (self != 0 && (count == 2 || count == 3)) {
                    out = self;
                } else if (self == 0 && count == 3) {
                    int best = -1, missing = 0;
                    for (int t = 0; t < 4; ++t) {
                        if (tally[t] >= 2) {
                            best = t;
                        }
                        if (tally[t] == 0) {
                            missing = t;
                        }
                    }
                    out = static_cast<uint8_t>((best >= 0 ? best : missing) + 1);
                }
                next_[static_cast<size_t>(x) * side_ + y] = out;
                population += out != 0;
            }
        }
        board_.swap(next_);
        if (population < side_ * side_ / 14) {
            sprinkle(c, c.random(0, 3), 0.3f);
        }
    }

    int side_ = 0;
    std::vector<uint8_t> board_, next_;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Life);

} // namespace glowfield
