// The picture that the picture effects show: the wallpaper from the pictures folder, resampled to a square of
// samples that covers the screen; without one, the field as it was when the effect began, or when that is too
// plain to be a picture, a scene painted by the effect itself (a landscape at dusk unless it brings its own).
#pragma once

#include <cmath>
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield::pictures {

class Wallpaper {
  public:
    static constexpr int side = 320; // samples across and down

    // An effect's own scene: fills every sample, sample (i, j) at index i * side + j being i across and j
    // down the screen.
    using Scene = void (*)(EffectContext& c, std::vector<kit::Rgb>& samples);

    // Loads a random picture (one random draw when the folder has candidates) or falls back as above, to
    // scene when one is given. Returns true when it is a picture from the folder.
    bool load(EffectContext& c, Scene scene = nullptr) {
        samples_.assign(static_cast<size_t>(side) * side, kit::Rgb{});
        if (c.loadPicture()) {
            fromPicture(c);
            return true;
        }
        if (!fromField(c)) {
            if (scene != nullptr) {
                scene(c, samples_);
            } else {
                painted(c);
            }
        }
        return false;
    }

    // The colour at (u, v) in 0..1 across and down the screen, nearest sample; outside, the nearest edge.
    kit::Rgb at(float u, float v) const {
        const int i = clampIndex(kit::toCell(u * side)), j = clampIndex(kit::toCell(v * side));
        return samples_[static_cast<size_t>(i) * side + j];
    }

    // Bilinear: smoother for zooms and warps.
    kit::Rgb smooth(float u, float v) const {
        const float fu = kit::clampf(u * side - 0.5f, 0.0f, side - 1.001f);
        const float fv = kit::clampf(v * side - 0.5f, 0.0f, side - 1.001f);
        if (!(fu == fu) || !(fv == fv)) {
            return samples_.empty() ? kit::grey : samples_[0];
        }
        const int i = kit::toCell(fu), j = kit::toCell(fv);
        const float a = fu - i, b = fv - j;
        const kit::Rgb p = sample(i, j), q = sample(i + 1, j), r = sample(i, j + 1), s = sample(i + 1, j + 1);
        return kit::mix(kit::mix(p, q, a), kit::mix(r, s, a), b);
    }

    // The colour for grid cell (x, y) when the picture fills the screen.
    kit::Rgb atCell(const EffectContext& c, float x, float y) const {
        return at((x + 0.5f) / c.n, (y + 0.5f) / c.n);
    }

  private:
    static int clampIndex(int i) { return i < 0 ? 0 : i >= side ? side - 1 : i; }
    kit::Rgb sample(int i, int j) const {
        return samples_[static_cast<size_t>(clampIndex(i)) * side + clampIndex(j)];
    }

    // The picture planes keep the file's rows from the bottom up and its columns mirrored; the screen's
    // top left is the picture's top left.
    void fromPicture(const EffectContext& c) {
        const int w = c.picture.pictureWidth, h = c.picture.pictureHeight;
        for (int i = 0; i < side; ++i) {
            for (int j = 0; j < side; ++j) {
                const int px = w - 1 - (i * w) / side;
                const int py = h - 1 - (j * h) / side;
                const int sx = px < 0 ? 0 : px >= pictureColumns ? pictureColumns - 1 : px;
                const int sy = py < 0 ? 0 : py >= pictureRows ? pictureRows - 1 : py;
                const int at = pictureAt(sx, sy);
                samples_[static_cast<size_t>(i) * side + j] = kit::fromLevels(
                    c.picture.pictureRed[at], c.picture.pictureGreen[at], c.picture.pictureBlue[at]);
            }
        }
    }

    // The field as it stands, if it has enough contrast to be worth looking at.
    bool fromField(const EffectContext& c) {
        double sum = 0.0, sumSq = 0.0;
        for (int i = 0; i < side; ++i) {
            for (int j = 0; j < side; ++j) {
                const int x = (i * c.n) / side, y = (j * c.n) / side;
                kit::Rgb v = kit::colourAt(c, x, y);
                v.r = finiteLevel(v.r);
                v.g = finiteLevel(v.g);
                v.b = finiteLevel(v.b);
                samples_[static_cast<size_t>(i) * side + j] = v;
                const double l = (v.r + v.g + v.b) / 3.0;
                sum += l;
                sumSq += l * l;
            }
        }
        const double count = static_cast<double>(side) * side;
        const double mean = sum / count;
        return sumSq / count - mean * mean > 30.0 * 30.0;
    }

    static float finiteLevel(float v) { return v == v ? kit::clampf(v, -127.0f, 128.0f) : 0.0f; }

    // A landscape at dusk: a sky going from deep blue to orange, a low sun, two ranges of hills and a lake
    // that mirrors the sky in broken stripes.
    void painted(EffectContext& c) {
        const float sunU = 0.25f + 0.5f * c.randomUnit();
        const float hueShift = (c.randomUnit() - 0.5f) * 0.12f;
        const float phase = c.randomUnit() * kit::twoPi;
        const float horizon = 0.68f;
        for (int i = 0; i < side; ++i) {
            const float u = (i + 0.5f) / side;
            const float far =
                0.42f + 0.07f * fastSin(u * 9.0f + phase) + 0.04f * fastSin(u * 23.0f + phase * 2.0f);
            const float near = 0.55f + 0.06f * fastSin(u * 5.0f + phase * 3.0f) + 0.03f * fastSin(u * 31.0f);
            for (int j = 0; j < side; ++j) {
                const float v = (j + 0.5f) / side;
                kit::Rgb colour;
                const float skyV = v < horizon ? v : 2.0f * horizon - v; // the lake mirrors the sky
                const float du = (u - sunU) * 1.33f, dv = skyV - 0.3f;
                const float sun = 1.0f - std::sqrt(du * du + dv * dv) / 0.07f;
                colour =
                    kit::hsv(0.62f + hueShift + skyV / horizon * 0.48f, 0.7f, 0.3f + 0.7f * skyV / horizon);
                if (sun > 0.0f) {
                    colour =
                        kit::mix(colour, kit::fromLevels(255, 240, 190), kit::clampf(sun * 4.0f, 0.0f, 1.0f));
                }
                if (v < horizon && v > far) {
                    colour = kit::hsv(0.72f + hueShift, 0.45f, 0.35f - (v - far) * 0.3f);
                }
                if (v < horizon && v > near) {
                    colour = kit::hsv(0.3f + hueShift, 0.65f, 0.32f - (v - near) * 0.5f);
                }
                if (v >= horizon) {
                    // Broken reflections: stripes that darken with depth.
                    const float ripple = 0.5f + 0.5f * fastSin(v * 260.0f + fastSin(u * 40.0f) * 2.0f);
                    colour = kit::shade(colour, 0.45f + 0.35f * ripple);
                }
                samples_[static_cast<size_t>(i) * side + j] = colour;
            }
        }
    }

    std::vector<kit::Rgb> samples_;
};

} // namespace glowfield::pictures
