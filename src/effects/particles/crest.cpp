// Crest: a breaking wave seen side-on. A swell rolls across deep water, steepens, and its lip curls forward
// throwing white foam that tumbles; when the curl closes the wave collapses into a wash of foam and a new
// swell rises behind it.
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

struct Foam {
    float x, y, vx, vy, life;
};

class Crest : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::tameField(c);
        foam_.clear();
        foam_.reserve(maxFoam);
        wash_.assign(static_cast<size_t>(c.n), 0.0f);
        time_ = cycle / 4; // open on a swell already rising
    }

    void step(EffectContext& c) override {
        const int n = c.n;
        const float nf = static_cast<float>(n);
        const float s = c.scale;
        ++time_;
        const float t = static_cast<float>(time_);
        kit::scaleVelocities(c, 0.0f);

        // The wave's life: 0..1 over 420 frames. The crest travels right, grows, then its lip curls over.
        const float life = static_cast<float>(time_ % cycle) / static_cast<float>(cycle);
        const float crestX = nf * (-0.1f + 1.0f * life);
        const float height = nf * (0.07f + 0.25f * kit::smoothstep(0.0f, 0.5f, life));
        const float curl = kit::smoothstep(0.45f, 0.9f, life);     // 0 = a swell, 1 = the lip has closed
        const float collapse = kit::smoothstep(0.88f, 1.0f, life); // the crest falls in
        const float sea = nf * 0.62f;

        // The surface per column: a long gentle back, a steep face, small chop, and the wash left behind.
        for (int x = 0; x < n; ++x) {
            const kit::Column col = kit::column(c, x);
            const float fx = static_cast<float>(x);
            const float d = fx - crestX;
            const float w = d < 0.0f ? nf * 0.28f : nf * (0.12f - 0.07f * curl);
            const float q = d / w;
            const float bump = height * (1.0f - collapse) / (1.0f + q * q * q * q);
            const size_t i = static_cast<size_t>(x);
            wash_[i] *= 0.985f;
            const float chop =
                1.5f * s * fastSin(fx * 0.13f - t * 0.11f) + 0.8f * s * fastSin(fx * 0.41f + t * 0.07f);
            const float top = sea - bump + chop - wash_[i] * fastSin(fx * 0.3f - t * 0.2f);
            for (int y = 0; y < n; ++y) {
                const float fy = static_cast<float>(y);
                kit::Rgb colour;
                if (fy < top) {
                    const float k = fy / nf;
                    colour = kit::fromLevels(150 + truncToInt(80.0f * k), 190 + truncToInt(50.0f * k), 235);
                } else {
                    // Below the resting sea level the water deepens to navy; the swell above it is lit glass.
                    const float depth = kit::clampf((fy - sea) / (nf * 0.4f), 0.0f, 1.0f);
                    const float glass = fy < sea ? kit::clampf((sea - fy) / (nf * 0.25f), 0.0f, 1.0f) : 0.0f;
                    colour = kit::fromLevels(15 + truncToInt(40.0f * glass),
                                             80 + truncToInt(110.0f * glass) - truncToInt(50.0f * depth),
                                             150 - truncToInt(100.0f * depth) + truncToInt(40.0f * glass));
                    const float surf = fy - top;
                    if (surf < 2.0f * s + wash_[i] * 0.5f) {
                        colour = kit::mix(colour, kit::white, 0.75f);
                    }
                }
                col.set(y, colour);
            }
        }

        // The lip: a spiral thrown forward from the crest, hollow underneath.
        const float peakY = sea - height * (1.0f - collapse);
        if (curl > 0.0f && collapse < 1.0f) {
            const float radius = height * 0.45f * (1.0f - collapse); // the lip falls in as the wave collapses
            float lx = crestX, ly = peakY;
            const int segments = 18;
            for (int k = 1; k <= segments; ++k) {
                const float a = curl * kit::pi * 1.25f * static_cast<float>(k) / segments;
                const float r = radius * (1.0f - 0.35f * static_cast<float>(k) / segments);
                const float nx = crestX + r * fastSin(a);
                const float ny = peakY + radius - r * fastCos(a);
                // The lip thins towards its end; lit water inside, a foam crest on its back.
                const float along = static_cast<float>(k) / segments;
                const float thick = 1.0f + height * 0.09f * (1.0f - 0.75f * along);
                kit::drawThickLine(c, lx, ly, nx, ny, thick,
                                   kit::fromLevels(40 + truncToInt(40.0f * along), 170, 190));
                kit::drawThickLine(c, lx, ly, nx, ny, thick * 0.45f, kit::fromLevels(70, 200, 200));
                kit::drawThickLine(c, lx, ly - thick * 0.7f, nx, ny - thick * 0.7f, thick * 0.3f + 0.5f,
                                   kit::fromLevels(235, 245, 250));
                lx = nx;
                ly = ny;
            }
            // Foam flies from the lip's end.
            for (int k = 0; k < 6 && foam_.size() < maxFoam; ++k) {
                foam_.push_back(
                    {lx, ly, (0.6f + 1.4f * c.randomUnit()) * s, -(0.3f + 1.3f * c.randomUnit()) * s, 1.0f});
            }
        }
        // The crash: foam everywhere along the face and a wash that runs on.
        if (time_ % cycle == truncToInt(cycle * 0.9f)) {
            for (int k = 0; k < 300 && foam_.size() < maxFoam; ++k) {
                const float a = -kit::pi * c.randomUnit();
                const float v = (0.5f + 2.5f * c.randomUnit()) * s;
                foam_.push_back({crestX + (c.randomUnit() - 0.3f) * nf * 0.2f, sea, v * fastCos(a),
                                 v * fastSin(a), 1.0f});
            }
            for (int x = 0; x < n; ++x) {
                const float d = (static_cast<float>(x) - crestX) / (nf * 0.3f);
                wash_[static_cast<size_t>(x)] += 6.0f * s / (1.0f + d * d);
            }
        }

        size_t kept = 0;
        for (size_t i = 0; i < foam_.size(); ++i) {
            Foam f = foam_[i];
            f.vy += 0.05f * s;
            f.x += f.vx;
            f.y += f.vy;
            f.life -= 0.015f;
            if (f.life <= 0.0f ||
                !(f.x >= 0.0f && f.x < nf && f.y < sea + 4.0f * s)) { // foam that sinks is gone
                continue;
            }
            kit::fillDisc(c, f.x, f.y, 0.6f + f.life, kit::shade(kit::white, 0.6f + 0.4f * f.life));
            foam_[kept++] = f;
        }
        foam_.resize(kept);
    }

  private:
    static constexpr int cycle = 420;
    static constexpr size_t maxFoam = 1500;
    std::vector<Foam> foam_;
    std::vector<float> wash_;
    int time_ = 0;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Crest);

} // namespace glowfield
