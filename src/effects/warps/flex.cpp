// Flex: the screen as a rubber sheet. A snapshot of the picture it finds is resampled each frame through a
// smooth shear, bend, twist and pinch whose amounts swing back and forth; reading the snapshot means the
// picture never blurs. A screen too plain to show the stretching gets a sheet of the effect's own, big polka
// dots printed on coloured rubber, and a mostly dark one gets the dots beneath what is lit.
#include <algorithm>
#include <vector>

#include "effects/kit/kit.h"
#include "effects/warps/colour_image.h"

namespace glowfield {

namespace {

class Flex : public Effect {
  public:
    void start(EffectContext& c) override {
        n_ = c.n;
        snap(c);
    }

    void step(EffectContext& c) override {
        const int age = static_cast<int>(c.framesSinceStart) + 1;
        const float fn = static_cast<float>(n_), h = (fn - 1.0f) * 0.5f;
        const float t = static_cast<float>(age);
        const float shear = 0.35f * fastSin(t * 0.031f);
        const float bend = 18.0f * fastSin(t * 0.023f + 1.0f);
        const float pinch = 0.45f * fastSin(t * 0.041f + 2.0f);
        const float twist = 0.5f * fastSin(t * 0.017f);
        kit::scaleVelocities(c, 0.0f);
        // The warp is smooth, so it is worked out for every other column and halfway between for the rest;
        // every cell is still read from the snapshot each frame (alternating columns between frames combed
        // the moving edges).
        mapX_.resize(static_cast<size_t>(2 * n_));
        mapY_.resize(mapX_.size());
        shade_.resize(mapX_.size());
        for (int x = 0; x < n_; x += 2) {
            const size_t now = static_cast<size_t>((x / 2) % 2) * n_, before = static_cast<size_t>(n_) - now;
            for (int y = 0; y < n_; ++y) {
                float u = (x - h) / h, v = (y - h) / h;
                // Pinch towards (or bulge from) the middle, strongest there, none at the corners.
                const float r2 = u * u + v * v;
                const float p = 1.0f + pinch * kit::clampf(1.0f - r2, 0.0f, 1.0f);
                u *= p;
                v *= p;
                // A twist that fades outwards, then a shear and a bow.
                const float a = twist * kit::clampf(1.0f - r2 * 0.5f, 0.0f, 1.0f);
                // |a| <= 0.5: short series are within 0.003 of the cosine and sine.
                const float a2 = a * a;
                const float cs = 1.0f - a2 * 0.5f + a2 * a2 * (1.0f / 24.0f),
                            sn = a * (1.0f - a2 * (1.0f / 6.0f));
                const float ru = u * cs - v * sn, rv = u * sn + v * cs;
                mapX_[now + y] = h + ru * h + shear * rv * h;
                mapY_[now + y] = h + rv * h + bend * (1.0f - ru * ru);
                // Stretched rubber pales a little, squeezed rubber darkens.
                shade_[now + y] = kit::clampf(1.1f - (p - 1.0f) * 0.4f, 0.7f, 1.3f);
            }
            put(c, x, now, now);
            if (x > 0) {
                put(c, x - 1, now, before);
            }
            if (x + 2 == n_) {
                put(c, x + 1, now, now); // an even grid's last column: the warp of its neighbour, moved over
            }
        }
    }

  private:
    // Writes column x from the warp of map columns a and b averaged (the same column for an exact one),
    // shifted by (x - the map column's x) cells when the column is the last of an even grid.
    void put(EffectContext& c, int x, size_t a, size_t b) {
        const float shift = (x % 2 == 1 && x + 1 == n_) ? 1.0f : 0.0f;
        for (int y = 0; y < n_; ++y) {
            const size_t i = a + static_cast<size_t>(y), j = b + static_cast<size_t>(y);
            const float sx = (mapX_[i] + mapX_[j]) * 0.5f + shift, sy = (mapY_[i] + mapY_[j]) * 0.5f;
            kit::paint(c, x, y, kit::shade(image_.sample(sx, sy), (shade_[i] + shade_[j]) * 0.5f));
        }
    }

    void snap(EffectContext& c) {
        kit::tameField(c);
        image_.capture(c);
        double sum = 0.0, squares = 0.0;
        int dark = 0;
        for (int x = 0; x < n_; ++x) {
            for (int y = 0; y < n_; ++y) {
                const kit::Rgb v = image_.at(x, y);
                const double l = (v.r + v.g + v.b) / 3.0;
                sum += l;
                squares += l * l;
                dark += v.r < -90.0f && v.g < -90.0f && v.b < -90.0f;
            }
        }
        const double count = static_cast<double>(n_) * n_;
        const double mean = sum / count;
        const bool plain = squares / count - mean * mean < 14.0 * 14.0;
        if (!plain && dark <= n_ * n_ / 2) {
            return;
        }
        // Dots on a staggered lattice, each with a pale highlight, so every stretch and squeeze shows.
        const float hue = c.randomUnit();
        const kit::Rgb sheet = kit::hsv(hue, 0.75f, 0.85f), dot = kit::hsv(hue + 0.45f, 0.55f, 0.95f);
        const float pitch = static_cast<float>(n_) / 7.0f, radius = pitch * 0.3f;
        for (int x = 0; x < n_; ++x) {
            for (int y = 0; y < n_; ++y) {
                const float fy = static_cast<float>(y) / pitch;
                const int row = kit::toCell(fy);
                const float fx = static_cast<float>(x) / pitch * 0.75f + (row % 2 ? 0.5f : 0.0f);
                const float du = (fx - static_cast<float>(kit::toCell(fx)) - 0.5f) * pitch / 0.75f;
                const float dv = (fy - static_cast<float>(row) - 0.5f) * pitch;
                const float d = (du * du + dv * dv) / (radius * radius);
                kit::Rgb own = sheet;
                if (d < 1.0f) {
                    own = kit::mix(dot, kit::white,
                                   kit::clampf(0.6f - ((du + radius * 0.35f) * (du + radius * 0.35f) +
                                                       (dv + radius * 0.35f) * (dv + radius * 0.35f)) /
                                                          (radius * radius) * 2.0f,
                                               0.0f, 1.0f));
                } else if (d < 1.35f) {
                    own = kit::shade(sheet, 0.6f); // the dot's shadow ring on the rubber
                }
                const kit::Rgb was = image_.at(x, y);
                const float keep =
                    plain
                        ? 0.0f
                        : kit::clampf((std::max(was.r, std::max(was.g, was.b)) + 90.0f) / 60.0f, 0.0f, 1.0f);
                image_.set(x, y, kit::mix(own, was, keep));
            }
        }
    }

    int n_ = 0;
    warps::ColourImage image_;
    std::vector<float> mapX_, mapY_, shade_; // the warp of the last two mapped columns
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Flex);

} // namespace glowfield
