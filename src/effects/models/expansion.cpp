// Expansion: the universe stretching, seen from inside. The viewer floats within a lattice of galaxies,
// joined by faint filaments, that grows about a point ahead, so every galaxy streams away from that point
// and past the viewer, reddening as it recedes faster; new galaxies kindle in the gaps as the spacing
// doubles, and the glow of space itself flows outwards in rings, so the growth never runs out.
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

constexpr int reach = 7; // lattice steps either side of the centre of expansion
constexpr uint32_t loopFrames = 260;

// 2^f for f in 0..1 by a polynomial, scaled to be exact at both ends, so the loop joins without a jump.
inline float doubling(float f) {
    const float p = 1.0f + f * (0.693147f + f * (0.240227f + f * (0.0555041f + f * 0.0096181f)));
    return 1.0f + (p - 1.0f) / 0.9984493f;
}

// The natural logarithm of v > 0 from exact operations only (frexp and a short series), the same bits on
// every build.
inline float logOf(float v) {
    int e = 0;
    const float m = std::frexp(v, &e) * 2.0f; // 1..2
    const float z = (m - 1.0f) / (m + 1.0f), z2 = z * z;
    const float series =
        2.0f * z * (1.0f + z2 * (1.0f / 3.0f + z2 * (0.2f + z2 * (1.0f / 7.0f + z2 / 9.0f))));
    return static_cast<float>(e - 1) * 0.693147f + series;
}

class Expansion : public Effect {
  public:
    void start(EffectContext& c) override { layout(c); }

    void step(EffectContext& c) override {
        if (radius_.size() != static_cast<size_t>(c.n) * c.n) {
            layout(c);
        }
        kit::scaleVelocities(c, 0.0f);
        const float n = static_cast<float>(c.n);
        const float f = static_cast<float>(c.frame % loopFrames) / loopFrames;
        const float s = doubling(f), before = doubling(f > 0.01f ? f - 0.012f : 0.0f);
        const float t = static_cast<float>(c.frame % 200000u);
        paintSpace(c, f);
        // s runs 1 -> 2; at 2 the lattice with its newborn points equals the one at 1.
        const float spacing = n * 0.22f, step = spacing * s * 0.5f, stepBefore = spacing * before * 0.5f;
        const float fadeTo = spacing * 5.0f;
        const float newborn = kit::smoothstep(1.0f, 1.8f, s);
        const float ax = 0.45f + 0.15f * fastSin(t * 0.003f), ay = 0.6f + 0.2f * fastSin(t * 0.0021f + 1.0f);
        const kit::Rgb near = kit::fromLevels(200, 225, 255), far = kit::fromLevels(255, 80, 40);
        // The view's turn as the images of the three axes, so each point turns with a few multiply-adds.
        const Vec3 ex = kit::turn(Vec3{1.0f, 0.0f, 0.0f}, ax, ay),
                   ey = kit::turn(Vec3{0.0f, 1.0f, 0.0f}, ax, ay),
                   ez = kit::turn(Vec3{0.0f, 0.0f, 1.0f}, ax, ay);
        const auto turned = [&](Vec3 v) { return ex * v.x + ey * v.y + ez * v.z; };
        constexpr int side = 2 * reach + 1;
        // Every lattice place, projected, with its strength and red shift.
        for (int i = 0; i < side; ++i) {
            for (int j = 0; j < side; ++j) {
                for (int k = 0; k < side; ++k) {
                    Place& pl = places_[i][j][k];
                    pl.alpha = 0.0f;
                    const bool old = ((i | j | k) & 1) == 0;
                    const Vec3 unit{static_cast<float>(i - reach), static_cast<float>(j - reach),
                                    static_cast<float>(k - reach)};
                    const Vec3 p = unit * step;
                    const float dist = std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z);
                    const float alpha =
                        (old ? 1.0f : newborn) * (1.0f - kit::smoothstep(fadeTo * 0.7f, fadeTo, dist));
                    if (alpha <= 0.02f) {
                        continue;
                    }
                    pl.at = kit::project(c, turned(p));
                    pl.was = kit::project(c, turned(unit * stepBefore));
                    if (!pl.at.visible || !pl.was.visible || pl.at.scale > 12.0f) {
                        continue;
                    }
                    pl.alpha = alpha;
                    // Red shift: the farther from the centre of expansion, the faster it recedes, the redder.
                    pl.colour = kit::mix(near, far, kit::clampf(dist / fadeTo, 0.0f, 1.0f));
                }
            }
        }
        // The cosmic web: faint filaments between neighbouring galaxies of the coarse lattice, stretching
        // with it (the fine lattice's filaments would be the same ones again once its galaxies are born).
        for (int i = 0; i < side; i += 2) {
            for (int j = 0; j < side; j += 2) {
                for (int k = 0; k < side; k += 2) {
                    const Place& a = places_[i][j][k];
                    if (a.alpha <= 0.02f) {
                        continue;
                    }
                    const Place* next[3] = {i + 2 < side ? &places_[i + 2][j][k] : nullptr,
                                            j + 2 < side ? &places_[i][j + 2][k] : nullptr,
                                            k + 2 < side ? &places_[i][j][k + 2] : nullptr};
                    for (const Place* b : next) {
                        if (b != nullptr && b->alpha > 0.02f && a.at.scale < 4.0f && b->at.scale < 4.0f) {
                            const float w = 0.45f * (a.alpha < b->alpha ? a.alpha : b->alpha);
                            kit::drawLine(c, a.at.x, a.at.y, b->at.x, b->at.y,
                                          kit::shade(kit::mix(a.colour, b->colour, 0.5f), w),
                                          kit::Blend::max);
                        }
                    }
                }
            }
        }
        for (int i = 0; i < side; ++i) {
            for (int j = 0; j < side; ++j) {
                for (int k = 0; k < side; ++k) {
                    const Place& pl = places_[i][j][k];
                    if (pl.alpha <= 0.02f) {
                        continue;
                    }
                    const kit::Rgb colour = kit::shade(pl.colour, pl.alpha);
                    // A streak from where it was a moment ago: the faster it goes across, the longer.
                    kit::drawLine(c, pl.was.x, pl.was.y, pl.at.x, pl.at.y, kit::shade(colour, 0.6f),
                                  kit::Blend::max);
                    const float r = kit::clampf(1.6f * pl.at.scale, 0.6f, 4.5f);
                    if (r < 0.9f) {
                        kit::paint(c, kit::toCell(pl.at.x), kit::toCell(pl.at.y), colour, kit::Blend::max);
                    } else {
                        if (pl.alpha > 0.5f) { // a halo only round the galaxies fully there
                            kit::softDisc(c, pl.at.x, pl.at.y, r * 2.2f, pl.colour, 0.5f * pl.alpha,
                                          kit::Blend::set);
                        }
                        kit::fillDisc(c, pl.at.x, pl.at.y, r * 0.7f, colour, kit::Blend::max);
                    }
                }
            }
        }
    }

  private:
    using Vec3 = kit::Vec3;

    // Each cell's distance from the middle of the screen, as a logarithm, so that rings which scale outwards
    // at a steady rate are a steady drift in it.
    void layout(const EffectContext& c) {
        const size_t cells = static_cast<size_t>(c.n) * c.n;
        radius_.assign(cells, 0.0f);
        logRadius_.assign(cells, 0.0f);
        const float half = static_cast<float>(c.n) * 0.5f;
        size_t i = 0;
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y, ++i) {
                const float dx = (static_cast<float>(x) - half) / half,
                            dy = (static_cast<float>(y) - half) * 0.75f / half;
                const float r = std::sqrt(dx * dx + dy * dy);
                radius_[i] = r;
                logRadius_[i] = logOf(r + 0.12f);
            }
        }
    }

    // The glow of space: blue-violet at the centre of expansion, deep red towards the edges, with faint rings
    // that widen outwards for ever (one ring width per doubling).
    void paintSpace(const EffectContext& c, float f) {
        const kit::Rgb centre = kit::fromLevels(70, 80, 150), edge = kit::fromLevels(95, 25, 40);
        const float phase = f * kit::twoPi;
        size_t i = 0;
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y, ++i) {
                const float r = radius_[i];
                const float ring = fastSin(logRadius_[i] * 9.0647f - phase); // 9.06 = 2 pi / ln 2
                kit::Rgb col = kit::mix(centre, edge, kit::clampf(r * 0.9f, 0.0f, 1.0f));
                col = kit::shade(col, 0.85f + 0.15f * ring);
                kit::setCell(c, x, y, col);
            }
        }
    }

    struct Place {
        kit::Projected at, was;
        kit::Rgb colour;
        float alpha = 0.0f;
    };
    std::vector<float> radius_, logRadius_;
    Place places_[2 * reach + 1][2 * reach + 1][2 * reach + 1];
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Expansion);

} // namespace glowfield
