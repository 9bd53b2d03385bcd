// BreakUp: a signal breaking up. A station ident is steadily fed into the field; in bursts the picture tears:
// bands of rows jump sideways, the colour planes slide apart (red one way, blue the other) and square blocks
// are copied from elsewhere, then it stutters and settles back. Between bursts a slow bright scanline drifts.
#include <algorithm>
#include <vector>

#include "effects/kit/kit.h"
#include "effects/warps/colour_copy.h"

namespace glowfield {

namespace {

constexpr int maxBlocks = 12;

class BreakUp : public Effect {
  public:
    void start(EffectContext& c) override {
        shift_.assign(static_cast<size_t>(c.n), 0);
        calm_ = c.random(60, 120);
    }

    void step(EffectContext& c) override {
        kit::tameField(c, 200.0f, 20.0f);
        const float t = static_cast<float>(c.frame % 400000u) * 0.02f;
        feedIdent(c, t);

        // The burst clock: calm for a while, then a burst whose strength stutters frame by frame.
        float intensity = 0.0f;
        if (burst_ > 0) {
            --burst_;
            intensity = (c.random(0, 99) < 75 ? 0.4f + 0.6f * c.randomUnit() : 0.05f) *
                        kit::clampf(static_cast<float>(burst_) / 15.0f, 0.2f, 1.0f);
            if (burst_ == 0) {
                calm_ = c.random(40, 110);
            }
        } else if (--calm_ <= 0) {
            burst_ = c.random(30, 70);
        }

        // Row shifts: torn bands in a burst; a small wobble under the drifting scanline otherwise.
        const int scan = kit::toCell(static_cast<float>(c.frame % 100000u) * 0.6f) % c.n;
        std::fill(shift_.begin(), shift_.end(), 0);
        if (intensity > 0.0f) {
            int y = 0;
            while (y < c.n) {
                const int band = c.random(2, 18);
                const int jump =
                    c.random(0, 99) < 45 ? c.random(-24, 24) * kit::roundCell(intensity * 4.0f) / 4 : 0;
                for (int k = y; k < y + band && k < c.n; ++k) {
                    shift_[static_cast<size_t>(k)] = jump;
                }
                y += band;
            }
        }
        for (int k = -2; k <= 2; ++k) {
            const int row = kit::wrap(scan + k, c.n);
            shift_[static_cast<size_t>(row)] += 1;
        }
        const int split = kit::roundCell(intensity * 5.0f);

        copy_.capture(c, 200.0f);
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                const int sx = x - shift_[static_cast<size_t>(y)];
                const int cell = cellAt(x, y);
                c.planes.red[cell] = copy_.at(0, sx - split, y);
                c.planes.green[cell] = copy_.at(1, sx, y);
                c.planes.blue[cell] = copy_.at(2, sx + split, y);
            }
        }
        kit::scaleVelocities(c, 0.8f);
        // The scanline itself: a faint bright band.
        for (int x = 0; x < c.n; ++x) {
            for (int k = -1; k <= 1; ++k) {
                kit::blendCell(c, x, kit::wrap(scan + k, c.n), kit::fromLevels(220, 230, 220), 0.12f);
            }
        }
        // Blocks copied from elsewhere in the frame.
        if (intensity > 0.3f) {
            const int blocks = kit::toCell(intensity * maxBlocks);
            for (int b = 0; b < blocks; ++b) {
                const int dx = c.random(0, c.n - 8), dy = c.random(0, c.n - 8);
                const int sx = c.random(0, c.n - 8), sy = c.random(0, c.n - 8);
                for (int i = 0; i < 8; ++i) {
                    for (int j = 0; j < 8; ++j) {
                        copy_.sampleInto(c, dx + i, dy + j, static_cast<float>(sx + i),
                                         static_cast<float>(sy + j));
                    }
                }
            }
        }
    }

  private:
    // The ident: a colour wheel behind a ring and a turning bar, blended gently into the field so the picture
    // always returns after the break-up. The wheel and ring never change, so they are laid out once.
    void feedIdent(EffectContext& c, float t) {
        const float half = static_cast<float>(c.n) * 0.5f;
        if (ident_.size() != static_cast<size_t>(c.n * c.n)) {
            ident_.resize(static_cast<size_t>(c.n * c.n));
            for (int x = 0; x < c.n; ++x) {
                for (int y = 0; y < c.n; ++y) {
                    const float dx = (static_cast<float>(x) - half) * 4.0f / 3.0f,
                                dy = static_cast<float>(y) - half;
                    const float r2 = dx * dx + dy * dy;
                    kit::Rgb colour = kit::hsv(kit::angleOf(dx, dy) / kit::twoPi, 0.8f, 0.85f);
                    if (r2 < half * half * 0.36f) {
                        colour = kit::fromLevels(20, 20, 40);
                    } else if (r2 < half * half * 0.5f) {
                        colour = kit::white;
                    }
                    ident_[static_cast<size_t>(x * c.n + y)] =
                        (y / 6) % 2 == 0 ? colour : kit::shade(colour, 0.85f);
                }
            }
        }
        const float spin = t * 0.4f, cs = fastCos(spin), sn = fastSin(spin);
        const float bar = half * 0.1f, inner = half * half * 0.36f;
        for (int x = 0; x < c.n; ++x) {
            const float dx = (static_cast<float>(x) - half) * 4.0f / 3.0f;
            for (int y = 0; y < c.n; ++y) {
                const float dy = static_cast<float>(y) - half;
                kit::Rgb colour = ident_[static_cast<size_t>(x * c.n + y)];
                if (dx * dx + dy * dy < inner && absf(dx * cs + dy * sn) < bar) {
                    colour = kit::white;
                }
                const int cell = cellAt(x, y);
                c.planes.red[cell] += (colour.r - c.planes.red[cell]) * 0.12f;
                c.planes.green[cell] += (colour.g - c.planes.green[cell]) * 0.12f;
                c.planes.blue[cell] += (colour.b - c.planes.blue[cell]) * 0.12f;
            }
        }
    }

    std::vector<kit::Rgb> ident_;
    ColourCopy copy_;
    std::vector<int> shift_;
    int burst_ = 0;
    int calm_ = 0;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(BreakUp);

} // namespace glowfield
