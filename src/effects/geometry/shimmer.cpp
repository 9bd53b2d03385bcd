// Shimmer: whatever is on the screen turns to shimmering foil. The picture the effect finds is held and shown
// through a heat haze that sways its rows and columns, a web of rippling light plays over it, a rainbow sheen
// sweeps across on the diagonal and glints flash up on its brighter parts. A screen too plain or too dark to
// hold a picture gets folded lamé of the effect's own beneath what little there is.
#include <cmath>
#include <vector>

#include "effects/kit/held_picture.h"
#include "effects/kit/kit.h"

namespace glowfield {

namespace {

constexpr int maxGlints = 360;
constexpr int glintsPerFrame = 45;
constexpr int glintLife = 9;
constexpr uint32_t sheenPeriod = 260; // frames for the sheen to cross the screen
constexpr float hazeAmount = 1.6f;    // cells of sideways sway at most
constexpr float rippleLight = 46.0f;  // levels added on the brightest lines of the ripple light

class Shimmer : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::tameField(c);
        glints_ = 0;
        hue_ = c.randomUnit();
        picture_.captureField(c);
        underlayIfPlain(c);
        const size_t cells = static_cast<size_t>(c.n) * c.n;
        red_.resize(cells);
        green_.resize(cells);
        blue_.resize(cells);
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                const kit::Rgb v = picture_.at(x, y);
                const size_t i = static_cast<size_t>(x) * c.n + y;
                red_[i] = v.r;
                green_[i] = v.g;
                blue_[i] = v.b;
            }
        }
    }

    void step(EffectContext& c) override {
        const uint32_t time = c.framesSinceStart + 1;
        const int n = c.n;
        const float s = c.scale;
        const float t = static_cast<float>(time);
        tables(n, s, t);
        const float sheen = static_cast<float>(time % sheenPeriod) / sheenPeriod * 2.8f - 0.9f;
        const float invSpan = 1.0f / (2.0f * static_cast<float>(n));
        const int last = n - 1;
        for (int x = 0; x < n; ++x) {
            const kit::Column col = kit::column(c, x);
            float* const rv = c.planes.redVelocity + cellAt(x, 0);
            float* const gv = c.planes.greenVelocity + cellAt(x, 0);
            float* const bv = c.planes.blueVelocity + cellAt(x, 0);
            const float fy = fracY_[x], gy = 1.0f - fy;
            for (int y = 0; y < n; ++y) {
                // The haze: each row sways sideways, each column up and down, by a little over a cell; the
                // held picture is read between cells, edges clamped.
                const int xa = x + shiftX_[y], ya = y + shiftY_[x];
                const int x0 = xa < 0      ? 0
                               : xa > last ? last
                                           : xa,
                          x1 = xa + 1 < 0      ? 0
                               : xa + 1 > last ? last
                                               : xa + 1;
                const int y0 = ya < 0      ? 0
                               : ya > last ? last
                                           : ya,
                          y1 = ya + 1 < 0      ? 0
                               : ya + 1 > last ? last
                                               : ya + 1;
                const size_t i00 = static_cast<size_t>(x0) * n + y0, i10 = static_cast<size_t>(x1) * n + y0;
                const size_t i01 = static_cast<size_t>(x0) * n + y1, i11 = static_cast<size_t>(x1) * n + y1;
                const float fx = fracX_[y], gx = 1.0f - fx;
                kit::Rgb colour{
                    (red_[i00] * gx + red_[i10] * fx) * gy + (red_[i01] * gx + red_[i11] * fx) * fy,
                    (green_[i00] * gx + green_[i10] * fx) * gy + (green_[i01] * gx + green_[i11] * fx) * fy,
                    (blue_[i00] * gx + blue_[i10] * fx) * gy + (blue_[i01] * gx + blue_[i11] * fx) * fy};
                rv[y] = 0.0f;
                gv[y] = 0.0f;
                bv[y] = 0.0f;
                // Ripple light: three travelling waves whose sum crosses zero along a moving web of lines.
                const float w = sinA_[x] * cosB_[y] + cosA_[x] * sinB_[y] + sinC_[x] * cosD_[y] +
                                cosC_[x] * sinD_[y] + sinE_[y];
                const float line = 1.0f - (w < 0.0f ? -w : w) * 2.2f;
                if (line > 0.0f) {
                    const float lift = rippleLight * line * line;
                    colour = {colour.r + lift, colour.g + lift, colour.b + lift * 0.9f};
                }
                // The sheen: a diagonal band that whitens the middle and fringes its edges with a rainbow.
                const float d = static_cast<float>(x + y) * invSpan - sheen;
                if (d > -0.07f && d < 0.07f) {
                    const float a = 1.0f - (d < 0.0f ? -d : d) / 0.07f;
                    const kit::Rgb tint = kit::hsv(hue_ + d * 7.0f, 0.55f, 1.0f);
                    colour = kit::mix(colour, kit::mix(tint, kit::white, a * a), 0.6f * a * (2.0f - a));
                }
                col.set(y, colour);
            }
        }
        // With music the glitter follows the treble, and every onset scatters a fistful of extra glints.
        glitter(c, c.sound.heard() ? kit::roundCell(glintsPerFrame * (0.3f + 2.0f * c.sound.treble)) +
                                         (c.sound.onset ? kit::roundCell(60.0f * c.sound.onsetStrength) : 0)
                                   : glintsPerFrame);
    }

  private:
    // The per-row and per-column halves of the haze and of the ripple waves (the angle-sum rule splits
    // each wave into a column factor and a row factor).
    void tables(int n, float s, float t) {
        for (int i = 0; i < n; ++i) {
            const float f = static_cast<float>(i) / s;
            const float swayX =
                hazeAmount * (0.7f * fastSin(f * 0.19f + t * 0.15f) + 0.3f * fastSin(f * 0.47f - t * 0.23f));
            const float swayY = hazeAmount * 0.6f * fastSin(f * 0.13f - t * 0.11f);
            shiftX_[i] = kit::toCell(swayX);
            fracX_[i] = swayX - static_cast<float>(shiftX_[i]);
            shiftY_[i] = kit::toCell(swayY);
            fracY_[i] = swayY - static_cast<float>(shiftY_[i]);
            // Each wave's strength sits in its row factor; the column factors are unit.
            sinA_[i] = fastSin(f * 0.081f);
            cosA_[i] = fastCos(f * 0.081f);
            sinB_[i] = 0.45f * fastSin(f * 0.047f + t * 0.061f);
            cosB_[i] = 0.45f * fastCos(f * 0.047f + t * 0.061f);
            sinC_[i] = fastSin(-f * 0.052f + t * 0.043f);
            cosC_[i] = fastCos(-f * 0.052f + t * 0.043f);
            sinD_[i] = 0.45f * fastSin(f * 0.074f);
            cosD_[i] = 0.45f * fastCos(f * 0.074f);
            sinE_[i] = 0.5f * fastSin(f * 0.09f - t * 0.07f);
        }
    }

    // Glints: four-point stars that flare and die over a few frames, born where the picture is bright.
    void glitter(EffectContext& c, int count) {
        const int n = c.n;
        for (int k = 0; k < count && glints_ < maxGlints; ++k) {
            const int x = c.random(0, n - 1), y = c.random(0, n - 1);
            const kit::Rgb under = picture_.at(x, y);
            const float level = (under.r + under.g + under.b) / 3.0f + 127.0f;
            if (static_cast<float>(c.random(0, 255)) > level + 60.0f) {
                continue;
            }
            Glint& g = glint_[glints_++];
            g.x = x;
            g.y = y;
            g.age = 0;
            g.reach = c.random() % 6 == 0 ? 3 : 1 + c.random() % 2;
            g.colour = kit::mix(under, kit::white, 0.8f);
        }
        int kept = 0;
        for (int i = 0; i < glints_; ++i) {
            Glint g = glint_[i];
            if (++g.age > glintLife) {
                continue;
            }
            glint_[kept++] = g;
            // Up fast, down slowly.
            const float a =
                g.age <= 2 ? g.age * 0.5f : 1.0f - static_cast<float>(g.age - 2) / (glintLife - 1);
            const kit::Rgb centre = kit::mix(picture_.at(g.x, g.y), g.colour, a);
            kit::paint(c, g.x, g.y, centre, kit::Blend::max);
            const int reach = a > 0.5f ? g.reach : (g.reach + 1) / 2;
            for (int r = 1; r <= reach; ++r) {
                const kit::Rgb ray = kit::mix(picture_.at(g.x, g.y), g.colour, a * (1.0f - 0.25f * r));
                kit::paint(c, g.x + r, g.y, ray, kit::Blend::max);
                kit::paint(c, g.x - r, g.y, ray, kit::Blend::max);
                kit::paint(c, g.x, g.y + r, ray, kit::Blend::max);
                kit::paint(c, g.x, g.y - r, ray, kit::Blend::max);
            }
        }
        glints_ = kept;
    }

    // When the screen is nearly uniform, or mostly dark, folded lamé of a random hue is laid in beneath it:
    // wholly where the screen is dark, not at all where it is lit, so what was there stays visible.
    void underlayIfPlain(const EffectContext& c) {
        const int n = c.n;
        const kit::HeldPicture::Survey survey = picture_.survey();
        const bool plain = survey.plain;
        const bool dim = survey.mostlyDark;
        if (!plain && !dim) {
            return;
        }
        const float s = c.scale;
        const kit::Rgb deep = kit::hsv(hue_, 0.8f, 0.3f), bright = kit::hsv(hue_ + 0.06f, 0.45f, 1.0f);
        for (int x = 0; x < n; ++x) {
            for (int y = 0; y < n; ++y) {
                const float fx = static_cast<float>(x) / s, fy = static_cast<float>(y) / s;
                const float fold = fastSin(fx * 0.045f + 1.8f * fastSin(fy * 0.021f)) +
                                   0.5f * fastSin(fy * 0.06f - fx * 0.02f);
                const float k = kit::clampf(fold * 0.4f + 0.5f, 0.0f, 1.0f);
                const kit::Rgb lame = kit::mix(deep, bright, k * k);
                const kit::Rgb was = picture_.at(x, y);
                float keep = 0.0f;
                if (!plain) {
                    // Lit cells keep their colour; dark ones take the lamé.
                    const float level =
                        (was.r > was.g ? (was.r > was.b ? was.r : was.b) : (was.g > was.b ? was.g : was.b));
                    keep = kit::clampf((level + 90.0f) / 60.0f, 0.0f, 1.0f);
                }
                picture_.set(x, y, kit::mix(lame, was, keep));
            }
        }
    }

    struct Glint {
        int x = 0, y = 0, age = 0, reach = 1;
        kit::Rgb colour;
    };

    kit::HeldPicture picture_;
    Glint glint_[maxGlints];
    int glints_ = 0;
    std::vector<float> red_, green_, blue_; // the held picture by channel, column by column
    int shiftX_[planeStride] = {}, shiftY_[planeStride] = {};
    float fracX_[planeStride] = {}, fracY_[planeStride] = {};
    float sinA_[planeStride] = {}, cosA_[planeStride] = {}, sinB_[planeStride] = {}, cosB_[planeStride] = {};
    float sinC_[planeStride] = {}, cosC_[planeStride] = {}, sinD_[planeStride] = {}, cosD_[planeStride] = {};
    float sinE_[planeStride] = {};
    float hue_ = 0.0f;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Shimmer);

} // namespace glowfield
