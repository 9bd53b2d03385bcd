// Let It Snow: snow falls with a wobble on a night scene of fir trees and settles where it lands, on the
// ground, on the branches and on whatever bright shapes an earlier effect left, sliding off steep piles like
// sand. When the drifts grow deep, the top of random columns thaws, so the fall goes on for ever.
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class LetItSnow : public Effect {
  public:
    void start(EffectContext& c) override {
        const int n = c.n;
        side_ = n;
        const size_t cells = static_cast<size_t>(n) * static_cast<size_t>(n);
        snow_.assign(cells, 0);
        scenery_.assign(cells, 0);
        leftover_.assign(cells, 0);
        kept_.assign(cells, kit::Rgb{});
        kit::tameField(c, 300.0f, 20.0f);
        // What is bright now is kept as a picture that fades out, and something to settle on while it lasts.
        for (int x = 0; x < n; ++x) {
            for (int y = 0; y < n; ++y) {
                leftover_[at(x, y)] = brightness(c, x, y) > 40.0f ? 1 : 0;
                kept_[at(x, y)] = kit::colourAt(c, x, y);
            }
        }
        started_ = c.frame;
        layScenery(c);
        scene_.assign(cells, kit::Rgb{});
        for (int x = 0; x < n; ++x) {
            for (int y = 0; y < n; ++y) {
                const float k = static_cast<float>(y) / static_cast<float>(n);
                scene_[at(x, y)] = scenery_[at(x, y)]
                                       ? kit::fromLevels(16, 60 + 10 * ((x + y) % 3), 34)
                                       : kit::fromLevels(10 + truncToInt(30 * k), 14 + truncToInt(34 * k),
                                                         50 + truncToInt(40 * k));
            }
        }
        flakes_.resize(flakeCount);
        for (Flake& f : flakes_) {
            spawn(c, f, true);
        }
        snowCount_ = 0;
    }

    void step(EffectContext& c) override {
        kit::clearVelocities(c);
        const uint32_t age = c.frame - started_;
        keep_ = age < 400u ? 1.0f - static_cast<float>(age) / 400.0f : 0.0f;
        const int n = c.n;
        const float fn = static_cast<float>(n);
        const float t = static_cast<float>(c.frame % 100000u);
        // The night scene, with what was there before fading out of it.
        for (int x = 0; x < n; ++x) {
            for (int y = 0; y < n; ++y) {
                kit::Rgb sky = scene_[at(x, y)];
                if (keep_ > 0.0f && !scenery_[at(x, y)]) {
                    sky = kit::mix(sky, kept_[at(x, y)], keep_ * keep_);
                }
                kit::setCell(c, x, y, sky);
            }
        }
        const float wind = 0.3f * fastSin(t * 0.005f);
        for (Flake& f : flakes_) {
            const float ox = f.x;
            f.x += wind + 0.35f * fastSin(t * 0.05f * f.speed + f.phase);
            f.y += f.speed;
            if (!kit::onGrid(c, f.x, f.y)) {
                if (f.y >= fn) {
                    // Landed on the bottom row of the grid.
                    settle(c, kit::clampCell(c, kit::toCell(ox)), n - 1);
                }
                spawn(c, f, false);
                continue;
            }
            const int x = kit::toCell(f.x), y = kit::toCell(f.y);
            if (y + 1 >= n || solid(c, x, y + 1)) {
                settle(c, x, y);
                spawn(c, f, false);
            }
        }
        thaw(c);
        // Snow: white, a little blue in its depth, brightest on the surface.
        for (int x = 0; x < n; ++x) {
            for (int y = 0; y < n; ++y) {
                if (snow_[at(x, y)]) {
                    const bool surface = y == 0 || !snow_[at(x, y - 1)];
                    kit::setCell(c, x, y, surface ? kit::white : kit::fromLevels(205, 215, 240));
                }
            }
        }
        for (const Flake& f : flakes_) {
            const kit::Rgb colour = kit::shade(kit::white, 0.55f + 0.45f * f.speed);
            kit::plot(c, f.x, f.y, colour, kit::Blend::max);
            if (f.speed > 0.8f) {
                kit::plot(c, f.x + 1.0f, f.y, colour, kit::Blend::max);
            }
        }
    }

  private:
    struct Flake {
        float x = 0.0f, y = 0.0f, speed = 0.0f, phase = 0.0f;
    };
    static constexpr int flakeCount = 1000;

    size_t at(int x, int y) const {
        return static_cast<size_t>(x) * static_cast<size_t>(side_) + static_cast<size_t>(y);
    }

    static float brightness(const EffectContext& c, int x, int y) {
        // Only for the first frame's picture: the field is tamed first, so the sum is finite.
        const int cell = cellAt(x, y);
        return (c.planes.red[cell] + c.planes.green[cell] + c.planes.blue[cell]) / 3.0f;
    }

    bool solid(const EffectContext& c, int x, int y) const {
        if (!kit::inside(c, x, y)) {
            return true;
        }
        const size_t i = at(x, y);
        return snow_[i] || scenery_[i] || (leftover_[i] && keep_ > 0.3f);
    }

    // A flake that meets something slides down either side if it can, like sand, then stays.
    void settle(EffectContext& c, int x, int y) {
        for (int guard = 0; guard < 8; ++guard) {
            if (y + 1 >= c.n) {
                break;
            }
            const int first = c.random(0, 1) == 0 ? -1 : 1;
            if (!solid(c, x + first, y + 1) && !solid(c, x + first, y)) {
                x += first;
                ++y;
            } else if (!solid(c, x - first, y + 1) && !solid(c, x - first, y)) {
                x -= first;
                ++y;
            } else {
                break;
            }
        }
        if (kit::inside(c, x, y) && !solid(c, x, y)) {
            snow_[at(x, y)] = 1;
            ++snowCount_;
        }
    }

    // Deep drifts lose the top cell of some columns each frame.
    void thaw(EffectContext& c) {
        const int limit = c.n * c.n / 9;
        const int columns = snowCount_ > limit ? 40 : 3;
        for (int k = 0; k < columns; ++k) {
            const int x = c.random(0, c.n - 1);
            for (int y = 0; y < c.n; ++y) {
                if (snow_[at(x, y)]) {
                    snow_[at(x, y)] = 0;
                    --snowCount_;
                    break;
                }
            }
        }
    }

    void spawn(EffectContext& c, Flake& f, bool anywhere) {
        const float n = static_cast<float>(c.n);
        f.x = n * c.randomUnit();
        f.y = anywhere ? n * c.randomUnit() : 0.0f;
        f.speed = 0.25f + 0.75f * c.randomUnit();
        f.phase = c.randomUnit() * kit::twoPi;
    }

    // Three fir trees of stacked triangles and a fence: things for the snow to rest on.
    void layScenery(const EffectContext& c) {
        const float n = static_cast<float>(c.n);
        const float treeX[3] = {0.2f, 0.55f, 0.82f}, treeH[3] = {0.45f, 0.6f, 0.38f};
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                const float fx = static_cast<float>(x) / n, fy = static_cast<float>(y) / n;
                bool in = false;
                for (int k = 0; k < 3; ++k) {
                    const float top = 0.95f - treeH[k];
                    if (fy < top || fy > 0.95f) {
                        continue;
                    }
                    // Three tiers: each widens downwards, then steps back in.
                    const float u = (fy - top) / treeH[k];
                    const float tier = u * 3.0f - static_cast<float>(kit::toCell(u * 3.0f));
                    const float half = treeH[k] * (0.1f + 0.12f * u + 0.12f * tier);
                    const float dx = fx - treeX[k];
                    in = in || (dx < half && dx > -half && u < 0.88f) ||
                         (u >= 0.88f && dx < 0.015f && dx > -0.015f);
                }
                const bool fence =
                    fy > 0.86f && fy < 0.95f && (x % (c.n / 20 + 2) < 2 || (fy > 0.88f && fy < 0.9f));
                scenery_[at(x, y)] = (in || (fence && (fx < 0.1f || fx > 0.9f))) ? 1 : 0;
            }
        }
    }

    std::vector<uint8_t> snow_;
    std::vector<uint8_t> scenery_;
    std::vector<uint8_t> leftover_;
    std::vector<kit::Rgb> kept_;
    std::vector<kit::Rgb> scene_; // sky and scenery colours
    float keep_ = 1.0f;
    uint32_t started_ = 0;
    std::vector<Flake> flakes_;
    int snowCount_ = 0;
    int side_ = 0;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(LetItSnow);

} // namespace glowfield
