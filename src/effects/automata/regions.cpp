// Regions: a map of countries that will not sit still. Seeds drift and bounce; every cell takes the colour of
// its nearest seed, shaded towards its centre, with dark borders where two seeds are nearly equally near. Now
// and then a seed splits in two or two neighbours merge, so regions are born and swallowed.
#include <cmath>
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Regions : public Effect {
  public:
    void start(EffectContext& c) override {
        seeds_.clear();
        for (int i = 0; i < 20; ++i) {
            seeds_.push_back(newSeed(c, static_cast<float>(c.random(0, c.n - 1)),
                                     static_cast<float>(c.random(0, c.n - 1)), c.randomUnit()));
        }
    }

    void step(EffectContext& c) override {
        const uint32_t tick = c.framesSinceStart + 1;
        const float n = static_cast<float>(c.n);
        // With music the seeds hurry as it grows loud, and the map re-forms on the downbeat of each bar of
        // four beats instead of by the clock.
        const bool heard = c.sound.heard();
        const float hurry = 1.0f + 2.5f * c.sound.level;
        beats_ += heard && c.sound.beat ? 1u : 0u;
        for (Seed& s : seeds_) {
            s.x += heard ? s.vx * hurry : s.vx;
            s.y += heard ? s.vy * hurry : s.vy;
            if (s.x < 0.0f || s.x > n - 1.0f) {
                s.vx = -s.vx;
                s.x = kit::clampf(s.x, 0.0f, n - 1.0f);
            }
            if (s.y < 0.0f || s.y > n - 1.0f) {
                s.vy = -s.vy;
                s.y = kit::clampf(s.y, 0.0f, n - 1.0f);
            }
            s.age += 1.0f;
        }
        if (heard ? c.sound.beat && beats_ % 4u == 1u : tick % 90u == 0u) {
            if ((c.random() % 2 == 0 && seeds_.size() < maxSeeds) || seeds_.size() < minSeeds) {
                split(c);
            } else {
                merge();
            }
        }
        const kit::Rgb border = kit::fromLevels(16, 14, 20);
        const int count = static_cast<int>(seeds_.size());
        // Tiles of 8 x 8 cells: only the seeds that can be nearest or second nearest somewhere in a tile are
        // tried for its cells. A seed qualifies when its least possible distance to the tile does not exceed
        // the second smallest greatest distance of any seed.
        constexpr int tile = 8;
        const float halfDiagonal = tile * 0.5f * 1.25f * 1.001f + 0.5f;
        int candidates[maxSeeds];
        for (int tx = 0; tx < c.n; tx += tile) {
            for (int ty = 0; ty < c.n; ty += tile) {
                const float mx = tx + tile * 0.5f - 0.5f, my = ty + tile * 0.5f - 0.5f;
                float far1 = 1e30f, far2 = 1e30f;
                float centre[maxSeeds];
                for (int i = 0; i < count; ++i) {
                    const float dx = mx - seeds_[i].x, dy = (my - seeds_[i].y) * 0.75f;
                    centre[i] = std::sqrt(dx * dx + dy * dy);
                    const float far = centre[i] + halfDiagonal;
                    if (far < far1) {
                        far2 = far1;
                        far1 = far;
                    } else if (far < far2) {
                        far2 = far;
                    }
                }
                int tried = 0;
                for (int i = 0; i < count; ++i) {
                    if (centre[i] - halfDiagonal <= far2) {
                        candidates[tried++] = i;
                    }
                }
                for (int x = tx; x < tx + tile && x < c.n; ++x) {
                    for (int y = ty; y < ty + tile && y < c.n; ++y) {
                        float d1 = 1e30f, d2 = 1e30f;
                        int nearest = 0;
                        for (int k = 0; k < tried; ++k) {
                            const int i = candidates[k];
                            const float dx = x - seeds_[i].x, dy = (y - seeds_[i].y) * 0.75f;
                            const float d = dx * dx + dy * dy;
                            if (d < d1) {
                                d2 = d1;
                                d1 = d;
                                nearest = i;
                            } else if (d < d2) {
                                d2 = d;
                            }
                        }
                        const Seed& s = seeds_[nearest];
                        // The gap between the two distances, in cells: small near a border.
                        const float r1 = std::sqrt(d1);
                        const float gap = std::sqrt(d2) - r1;
                        // A newly born region fades in from white.
                        const float born = kit::clampf(s.age / 40.0f, 0.0f, 1.0f);
                        kit::Rgb colour = kit::shade(s.colour, 1.1f - kit::clampf(r1 / 70.0f, 0.0f, 0.5f));
                        if (born < 1.0f) {
                            colour = kit::mix(kit::white, colour, born);
                        }
                        if (gap < 2.5f) {
                            colour = kit::mix(border, colour, gap / 2.5f * 0.6f);
                        }
                        kit::setSolidCell(c, x, y, colour);
                    }
                }
            }
        }
        // Capitals: a bright dot at each seed.
        for (const Seed& s : seeds_) {
            kit::fillDisc(c, s.x, s.y, 1.5f, kit::fromLevels(250, 250, 240));
        }
    }

  private:
    struct Seed {
        float x = 0.0f, y = 0.0f, vx = 0.0f, vy = 0.0f;
        float hue = 0.0f;
        float age = 100.0f;
        kit::Rgb colour{};
    };
    static constexpr size_t minSeeds = 12;
    static constexpr size_t maxSeeds = 28;

    static Seed newSeed(EffectContext& c, float x, float y, float hue) {
        Seed s;
        s.x = x;
        s.y = y;
        const float a = c.randomUnit() * kit::twoPi, speed = 0.2f + 0.5f * c.randomUnit();
        s.vx = speed * fastCos(a);
        s.vy = speed * fastSin(a);
        s.hue = hue;
        s.colour = kit::hsv(hue, 0.55f + 0.3f * c.randomUnit(), 0.75f + 0.2f * c.randomUnit());
        return s;
    }

    void split(EffectContext& c) {
        const int i = c.random(0, static_cast<int>(seeds_.size()) - 1);
        Seed child = newSeed(c, seeds_[i].x, seeds_[i].y, seeds_[i].hue + 0.15f + 0.2f * c.randomUnit());
        child.age = 0.0f;
        child.vx = -seeds_[i].vx + child.vx * 0.3f;
        child.vy = -seeds_[i].vy + child.vy * 0.3f;
        seeds_.push_back(child);
    }

    // The closest pair merges: the younger is swallowed by the elder.
    void merge() {
        size_t a = 0, b = 1;
        float best = 1e30f;
        for (size_t i = 0; i < seeds_.size(); ++i) {
            for (size_t j = i + 1; j < seeds_.size(); ++j) {
                const float dx = seeds_[i].x - seeds_[j].x, dy = seeds_[i].y - seeds_[j].y;
                if (dx * dx + dy * dy < best) {
                    best = dx * dx + dy * dy;
                    a = i;
                    b = j;
                }
            }
        }
        const size_t gone = seeds_[a].age < seeds_[b].age ? a : b;
        seeds_.erase(seeds_.begin() + static_cast<long>(gone));
    }

    std::vector<Seed> seeds_;
    uint32_t beats_ = 0; // the music's beats heard so far
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Regions);

} // namespace glowfield
