// Horlicks: a mug of malted milk stirred from above. Inside the rim the drink turns gently and swirls round a
// spoon (the mouse once it moves, a lazy stir otherwise); a dollop of white milk dropped in every few seconds
// winds into spirals before it blends into the brown.
#include <cmath>
#include <utility>
#include <vector>

#include "effects/kit/kit.h"
#include "effects/warps/colour_image.h"

namespace glowfield {

namespace {

class Horlicks : public Effect {
  public:
    void start(EffectContext& c) override {
        n_ = c.n;
        drink_.resize(n_);
        next_.resize(n_);
        for (int x = 0; x < n_; ++x) {
            for (int y = 0; y < n_; ++y) {
                // Whatever was on screen is stirred in as a tint, so the first swirls have something to show.
                const kit::Rgb base = kit::shade(brown, 0.9f + 0.1f * fastSin(x * 0.1f + y * 0.07f));
                drink_.set(x, y, base);
                drink_.set(x, y,
                           kit::mix(drink_.at(x, y), kit::mix(base, kit::colourAt(c, x, y), 0.5f), 0.5f));
            }
        }
        dollop(c);
        // What never changes: the drink's darkening towards the wall, the glazed rim and the wooden table.
        wallShade_.assign(static_cast<size_t>(n_) * n_, 0.0f);
        surround_.assign(wallShade_.size(), kit::grey);
        const float h = (n_ - 1.0f) * 0.5f, rim = n_ * 0.44f;
        for (int x = 0; x < n_; ++x) {
            for (int y = 0; y < n_; ++y) {
                const size_t k = static_cast<size_t>(x) * n_ + y;
                const float dx = x - h, dy = y - h;
                const float r = std::sqrt(dx * dx + dy * dy);
                if (r <= rim) {
                    wallShade_[k] = 1.0f - 0.25f * kit::smoothstep(rim * 0.8f, rim, r);
                } else if (r <= rim + 8.0f) {
                    const float lit = -(dx + dy) / (r * 1.414f); // lit from the top left
                    surround_[k] = kit::shade(kit::fromLevels(225, 225, 235), 0.8f + 0.2f * lit);
                } else {
                    surround_[k] = kit::shade(kit::fromLevels(120, 75, 45),
                                              0.8f + 0.1f * fastSin(y * 0.25f + fastSin(x * 0.03f) * 4.0f));
                }
            }
        }
    }

    void step(EffectContext& c) override {
        const int age = static_cast<int>(c.framesSinceStart) + 1;
        const float fn = static_cast<float>(n_), h = (fn - 1.0f) * 0.5f, rim = fn * 0.44f;
        const float t = static_cast<float>(age);
        const float orbit = rim * (0.45f + 0.2f * fastSin(t * 0.013f));
        float sx = h + orbit * fastCos(t * 0.035f), sy = h + orbit * fastSin(t * 0.035f);
        if (c.framesSinceMouseMoved < 200) {
            sx = static_cast<float>(c.mouseX);
            sy = static_cast<float>(c.mouseY);
        }
        if (age % 120 == 0) {
            dollop(c);
        }
        // Advection: each cell reads from where the flow brought it, a slow turn plus the spoon's vortex.
        for (int x = 0; x < n_; ++x) {
            for (int y = 0; y < n_; ++y) {
                const float dx = x - h, dy = y - h;
                if (dx * dx + dy * dy > rim * rim) {
                    continue;
                }
                // The drink turns faster near the middle than at the wall, which shears the milk into
                // spirals.
                const float spin = 0.03f / (1.0f + (dx * dx + dy * dy) / 900.0f);
                float vx = -dy * spin, vy = dx * spin;
                const float ex = x - sx, ey = y - sy;
                const float s = 60.0f / (ex * ex + ey * ey + 30.0f);
                vx += -ey * s * 0.35f;
                vy += ex * s * 0.35f;
                const kit::Rgb was = drink_.sample(x - vx, y - vy);
                next_.set(x, y, kit::mix(was, brown, 0.003f));
            }
        }
        std::swap(drink_, next_);
        kit::scaleVelocities(c, 0.0f);
        for (int x = 0; x < n_; ++x) {
            for (int y = 0; y < n_; ++y) {
                const size_t k = static_cast<size_t>(x) * n_ + y;
                const float wall = wallShade_[k];
                kit::paint(c, x, y, wall > 0.0f ? kit::shade(drink_.at(x, y), wall) : surround_[k]);
            }
        }
        // The spoon: a silver bowl with a handle over the rim.
        const float ha = kit::angleOf(sx - h, sy - h);
        kit::drawThickLine(c, sx, sy, h + (rim + 20.0f) * fastCos(ha), h + (rim + 20.0f) * fastSin(ha), 1.5f,
                           kit::fromLevels(190, 190, 200));
        kit::fillDisc(c, sx, sy, 5.0f, kit::fromLevels(200, 200, 210));
        kit::fillDisc(c, sx - 1.5f, sy - 1.5f, 2.0f, kit::fromLevels(245, 245, 250));
    }

  private:
    static constexpr kit::Rgb brown = kit::fromLevels(150, 100, 60);

    void dollop(EffectContext& c) {
        const float h = (n_ - 1.0f) * 0.5f;
        const float a = c.randomUnit() * kit::twoPi, r = c.randomUnit() * n_ * 0.25f;
        const float cx = h + r * fastCos(a), cy = h + r * fastSin(a);
        for (int x = 0; x < n_; ++x) {
            for (int y = 0; y < n_; ++y) {
                const float dx = x - cx, dy = y - cy;
                const float w = 1.0f - (dx * dx + dy * dy) / 220.0f;
                if (w > 0.0f) {
                    drink_.set(x, y,
                               kit::mix(drink_.at(x, y), kit::fromLevels(250, 245, 230),
                                        kit::clampf(w * 2.0f, 0.0f, 1.0f)));
                }
            }
        }
    }

    int n_ = 0;
    warps::ColourImage drink_, next_;
    std::vector<float> wallShade_; // inside the mug: the wall's shading of the drink; 0 outside
    std::vector<kit::Rgb> surround_;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Horlicks);

} // namespace glowfield
