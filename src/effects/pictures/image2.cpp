// Image2: a photo under water. Raindrops fall on a pond whose bed is the wallpaper picture; the photo is seen
// through the surface, bent by the local slope of the ripples and lit where the slope faces the sky, and
// heals as the rings spread and die away. Unlike Image, the photo is never still. Without a picture it looks
// down into a koi pond of its own: pebbles, fish and lily pads.
#include <cmath>
#include <vector>

#include "effects/kit/kit.h"
#include "effects/pictures/wallpaper.h"

namespace glowfield {

namespace {

// The pond seen from above, in screen units (u across, v down, 0..1; the screen is 4:3, so u distances count
// a third more).
void pond(EffectContext& c, std::vector<kit::Rgb>& samples) {
    constexpr int side = pictures::Wallpaper::side;
    // Pebbles: the nearest of a jittered grid of stones, its own shade of sand, grey or rust, darker at the
    // rims where two stones meet.
    constexpr int grid = 22;
    float stoneU[grid][grid], stoneV[grid][grid];
    kit::Rgb stone[grid][grid];
    for (int a = 0; a < grid; ++a) {
        for (int b = 0; b < grid; ++b) {
            stoneU[a][b] = (a + 0.2f + 0.6f * c.randomUnit()) / grid;
            stoneV[a][b] = (b + 0.2f + 0.6f * c.randomUnit()) / grid;
            const float tone = c.randomUnit();
            stone[a][b] = tone < 0.45f  ? kit::fromLevels(150, 140, 110)
                          : tone < 0.8f ? kit::fromLevels(110, 115, 112)
                                        : kit::fromLevels(150, 100, 70);
            stone[a][b] = kit::shade(stone[a][b], 0.75f + 0.3f * c.randomUnit());
        }
    }
    struct Koi {
        float u, v, angle, length, bend;
        bool white;
        float ca = 0.0f, sa = 0.0f;
    };
    Koi koi[5];
    for (Koi& k : koi) {
        k = {0.12f + 0.76f * c.randomUnit(), 0.12f + 0.76f * c.randomUnit(), c.randomUnit() * kit::twoPi,
             0.11f + 0.05f * c.randomUnit(), (c.randomUnit() - 0.5f) * 3.0f, c.random() % 3 == 0};
        k.ca = fastCos(k.angle);
        k.sa = fastSin(k.angle);
    }
    struct Pad {
        float u, v, r, notch;
    };
    Pad pads[6];
    for (Pad& p : pads) {
        p = {c.randomUnit(), c.randomUnit(), 0.05f + 0.05f * c.randomUnit(), c.randomUnit() * kit::twoPi};
    }
    const kit::Rgb deep = kit::fromLevels(12, 50, 62);
    for (int i = 0; i < side; ++i) {
        const float u = (i + 0.5f) / side;
        const int a0 = kit::toCell(u * grid);
        for (int j = 0; j < side; ++j) {
            const float v = (j + 0.5f) / side;
            const int b0 = kit::toCell(v * grid);
            float best = 1e9f, second = 1e9f;
            kit::Rgb colour = deep;
            for (int a = a0 - 1; a <= a0 + 1; ++a) {
                for (int b = b0 - 1; b <= b0 + 1; ++b) {
                    if (a < 0 || b < 0 || a >= grid || b >= grid) {
                        continue;
                    }
                    const float du = (u - stoneU[a][b]) * 1.33f, dv = v - stoneV[a][b];
                    const float d = du * du + dv * dv;
                    if (d < best) {
                        second = best;
                        best = d;
                        colour = stone[a][b];
                    } else if (d < second) {
                        second = d;
                    }
                }
            }
            // Water over the bed: stones fade into the green-blue deep, more so further down the screen.
            const float rim = kit::clampf((std::sqrt(second) - std::sqrt(best)) * 90.0f, 0.0f, 1.0f);
            // Each stone is domed: lit in its middle.
            const float dome = kit::clampf(1.0f - std::sqrt(best) * grid * 1.1f, 0.0f, 1.0f);
            colour = kit::mix(deep, kit::shade(colour, (0.4f + 0.6f * rim) * (0.6f + 0.55f * dome)),
                              0.6f - 0.2f * v);
            for (const Koi& k : koi) {
                // Along and across the fish, its spine bent into a gentle curve.
                const float du = (u - k.u) * 1.33f, dv = v - k.v;
                if (std::fabs(du) > k.length * 1.6f || std::fabs(dv) > k.length * 1.6f) {
                    continue;
                }
                const float ca = k.ca, sa = k.sa;
                const float along = (du * ca + dv * sa) / k.length;
                float across = (-du * sa + dv * ca) / k.length;
                across -= k.bend * 0.12f * along * along;
                // The shadow, cast down and to the right on the bed.
                const float su = du - 0.012f, sv = dv - 0.018f;
                const float sAlong = (su * ca + sv * sa) / k.length,
                            sAcross = (-su * sa + sv * ca) / k.length;
                const float width = 0.22f * (1.0f - along * along);
                if (sAlong > -1.0f && sAlong < 1.0f &&
                    std::fabs(sAcross) < 0.22f * (1.0f - sAlong * sAlong)) {
                    colour = kit::shade(colour, 0.6f);
                }
                const bool body = along > -1.0f && along < 1.0f && std::fabs(across) < width;
                const bool tail =
                    along < -0.85f && along > -1.4f && std::fabs(across) < (-0.85f - along) * 0.6f;
                const bool fins =
                    along > 0.2f && along < 0.45f && std::fabs(across) < 0.34f && std::fabs(across) > 0.1f;
                if (body || tail || fins) {
                    const float patch =
                        fastSin(along * 7.0f + k.angle * 3.0f) + fastSin(across * 19.0f + k.u * 20.0f);
                    kit::Rgb skin = k.white ? kit::fromLevels(245, 240, 230) : kit::fromLevels(245, 110, 25);
                    if (patch > 0.6f) {
                        skin = k.white ? kit::fromLevels(235, 80, 20) : kit::fromLevels(250, 245, 235);
                    }
                    if (tail || fins) {
                        skin = kit::mix(skin, kit::fromLevels(250, 150, 80), 0.4f);
                    }
                    // Rounded back: lighter along the spine.
                    colour = kit::shade(skin, 0.75f + 0.35f * (1.0f - std::fabs(across) / 0.34f));
                    if (along > 0.72f && along < 0.8f && std::fabs(std::fabs(across) - 0.07f) < 0.03f) {
                        colour = kit::fromLevels(20, 20, 20); // eyes
                    }
                }
            }
            for (const Pad& p : pads) {
                const float du = (u - p.u) * 1.33f, dv = v - p.v;
                if (std::fabs(du) > p.r || std::fabs(dv) > p.r) {
                    continue;
                }
                const float d = std::sqrt(du * du + dv * dv) / p.r;
                if (d < 1.0f) {
                    const float angle = kit::angleOf(du, dv);
                    float off = angle - p.notch;
                    off = off - kit::twoPi * static_cast<float>(kit::toCell(off / kit::twoPi + 0.5f));
                    if (std::fabs(off) < 0.25f) {
                        continue; // the notch of the pad
                    }
                    const float veins = 0.5f + 0.5f * fastCos(angle * 11.0f);
                    colour = kit::shade(kit::fromLevels(70, 150, 60), 0.8f + 0.25f * d + 0.12f * veins * d);
                    if (d > 0.93f) {
                        colour = kit::fromLevels(40, 90, 40);
                    }
                    if (d < 0.3f && &p == &pads[0]) {
                        // A water lily on the first pad.
                        const float petal = 0.5f + 0.5f * fastCos(angle * 8.0f);
                        colour = d < 0.1f ? kit::fromLevels(250, 210, 60)
                                          : kit::mix(kit::fromLevels(240, 140, 190),
                                                     kit::fromLevels(255, 235, 245), petal);
                    }
                }
            }
            samples[static_cast<size_t>(i) * side + j] = colour;
        }
    }
}

class Image2 : public Effect {
  public:
    void start(EffectContext& c) override {
        wallpaper_.load(c, pond);
        side_ = c.n;
        height_.assign(static_cast<size_t>(side_) * side_, 0.0f);
        speed_.assign(height_.size(), 0.0f);
    }

    void step(EffectContext& c) override {
        const int n = side_;
        // Rain: a drop or two a frame, now and then a heavy one, pushed into the surface's own ripple field
        // (kept apart from the colour planes, so that the photo's edges do not stir the water).
        const int drops = c.random() % 25 == 0 ? 3 : 1 + c.random() % 2;
        for (int k = 0; k < drops; ++k) {
            const int x = c.random(3, n - 4), y = c.random(3, n - 4);
            const float amount = 6.0f + 8.0f * c.randomUnit();
            for (int dx = -2; dx <= 2; ++dx) {
                for (int dy = -2; dy <= 2; ++dy) {
                    const float w = 1.0f - (dx * dx + dy * dy) / 9.0f;
                    if (w > 0.0f) {
                        speed_[at(x + dx, y + dy)] -= amount * w;
                    }
                }
            }
        }
        for (int x = 1; x < n - 1; ++x) {
            for (int y = 1; y < n - 1; ++y) {
                const float lap = height_[at(x + 1, y)] + height_[at(x - 1, y)] + height_[at(x, y + 1)] +
                                  height_[at(x, y - 1)] - 4.0f * height_[at(x, y)];
                speed_[at(x, y)] = (speed_[at(x, y)] + 0.25f * lap) * 0.995f;
            }
        }
        for (size_t i = 0; i < height_.size(); ++i) {
            height_[i] = kit::clampf(height_[i] * 0.995f + speed_[i], -200.0f, 200.0f);
        }
        for (int x = 0; x < n; ++x) {
            const int xl = x > 0 ? x - 1 : x, xr = x < n - 1 ? x + 1 : x;
            for (int y = 0; y < n; ++y) {
                const int yu = y > 0 ? y - 1 : y, yd = y < n - 1 ? y + 1 : y;
                const float sx = height_[at(xr, y)] - height_[at(xl, y)];
                const float sy = height_[at(x, yd)] - height_[at(x, yu)];
                const float bx = kit::clampf(sx * 0.5f, -8.0f, 8.0f),
                            by = kit::clampf(sy * 0.5f, -8.0f, 8.0f);
                kit::Rgb seen = wallpaper_.at((x + 0.5f + bx) / n, (y + 0.5f + by) / n);
                // Slopes facing the sky glint; the others darken a little.
                const float light = kit::clampf((sx + sy) * 2.5f, -40.0f, 90.0f);
                seen.r += light;
                seen.g += light;
                seen.b += light;
                kit::setSolidCell(c, x, y, seen);
            }
        }
    }

  private:
    size_t at(int x, int y) const { return static_cast<size_t>(x) * side_ + y; }

    pictures::Wallpaper wallpaper_;
    std::vector<float> height_;
    std::vector<float> speed_;
    int side_ = 0;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Image2);

} // namespace glowfield
