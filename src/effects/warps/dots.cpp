// Dots: halftone print. The picture is averaged over the cells of three dot screens, one per colour plane,
// each turned to its own angle as in colour print, and redrawn as dots sized by brightness; the screens turn
// slowly, so the picture becomes moving dot rosettes. Drifting colour clouds keep the picture changing.
#include <algorithm>
#include <cmath>
#include <vector>

#include "effects/kit/kit.h"
#include "effects/warps/colour_image.h"

namespace glowfield {

namespace {

class Dots : public Effect {
  public:
    void start(EffectContext& c) override {
        n_ = c.n;
        image_.capture(c);
        for (auto& s : screen_) {
            s.assign(static_cast<size_t>(lattice) * lattice, 0.0f);
        }
        // Until its screen is first drawn, a plane shows the picture as it was.
        const float* const planes[3] = {c.planes.red, c.planes.green, c.planes.blue};
        for (int q = 0; q < 3; ++q) {
            drawn_[q].resize(static_cast<size_t>(n_) * static_cast<size_t>(n_));
            for (int x = 0; x < n_; ++x) {
                for (int y = 0; y < n_; ++y) {
                    const float v = planes[q][cellAt(x, y)];
                    drawn_[q][static_cast<size_t>(x) * static_cast<size_t>(n_) + static_cast<size_t>(y)] =
                        v == v ? kit::clampf(v, -127.0f, 128.0f) : 0.0f;
                }
            }
        }
    }

    void step(EffectContext& c) override {
        const int age = static_cast<int>(c.framesSinceStart) + 1;
        const float fn = static_cast<float>(n_), h = fn * 0.5f;
        const float t = static_cast<float>(age);
        // The hidden picture: the captured field, slowly drifting colour clouds painted into it.
        for (int i = 0; i < 4; ++i) {
            const float cx = h + h * 0.7f * fastSin(t * 0.011f * (i + 1) + i * 1.7f);
            const float cy = h + h * 0.7f * fastCos(t * 0.008f * (i + 2) + i);
            const kit::Rgb col = kit::hsv(i * 0.25f + t * 0.001f, 0.9f, 1.0f);
            const int x0 = kit::clampCell(c, kit::toCell(cx - 30.0f)),
                      x1 = kit::clampCell(c, kit::toCell(cx + 30.0f));
            const int y0 = kit::clampCell(c, kit::toCell(cy - 30.0f)),
                      y1 = kit::clampCell(c, kit::toCell(cy + 30.0f));
            for (int x = x0; x <= x1; ++x) {
                for (int y = y0; y <= y1; ++y) {
                    const float d2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
                    const float w = 1.0f - d2 / 900.0f;
                    if (w > 0.0f) {
                        image_.set(x, y, kit::mix(image_.at(x, y), col, w * w * 0.06f));
                    }
                }
            }
        }
        // Screen angles: 15, 75 and 45 degrees, all turning slowly.
        const float spin = t * 0.002f;
        const float angles[3] = {0.26f + spin, 1.31f + spin, 0.79f - spin};
        float cs[3], sn[3];
        for (int p = 0; p < 3; ++p) {
            cs[p] = fastCos(angles[p]);
            sn[p] = fastSin(angles[p]);
            if (p != age % 3) {
                continue;
            }
            // Each screen cell's level, read at its centre.
            for (int i = 0; i < lattice; ++i) {
                for (int j = 0; j < lattice; ++j) {
                    const float u = (i - lattice / 2 + 0.5f) * pitch, v = (j - lattice / 2 + 0.5f) * pitch;
                    const float x = h + u * cs[p] - v * sn[p], y = h + u * sn[p] + v * cs[p];
                    const kit::Rgb s = image_.sample(x, y);
                    const float level = p == 0 ? s.r : p == 1 ? s.g : s.b;
                    screen_[p][static_cast<size_t>(i) * lattice + j] =
                        std::sqrt(kit::clampf((level + 127.0f) / 255.0f, 0.0f, 1.0f)) * pitch * 0.72f;
                }
            }
        }
        kit::scaleVelocities(c, 0.0f);
        // One over twice a typical dot radius, for the soft edge.
        const float edgeScale = 1.0f / (pitch * 0.6f);
        // One screen is redrawn each frame in turn: the screens move slowly, and the other two planes show
        // their dots as last drawn. (Left to the wave step, they would blur between redraws and sharpen again
        // every third frame: the whole picture would pulse at 17 Hz.)
        const int p = age % 3;
        float* const plane = drawn_[p].data();
        const float* const levels = screen_[p].data();
        const float cu = cs[p] / pitch, su = sn[p] / pitch;
        for (int x = 0; x < n_; ++x) {
            const float dx = x - h;
            for (int y = 0; y < n_; ++y) {
                const float dy = y - h;
                const float u = dx * cu + dy * su + lattice / 2;
                const float v = -dx * su + dy * cu + lattice / 2;
                const int i = kit::toCell(u), j = kit::toCell(v);
                const float fu = (u - i - 0.5f) * pitch, fv = (v - j - 0.5f) * pitch;
                const float radius = (i >= 0 && j >= 0 && i < lattice && j < lattice)
                                         ? levels[static_cast<size_t>(i) * lattice + j]
                                         : 0.0f;
                // Light where the dot covers the cell, with a soft edge about a cell wide: (r^2 - d^2) / 2r
                // is r - d near the rim, without a square root per cell.
                const float inside = (radius * radius - (fu * fu + fv * fv)) * edgeScale;
                plane[static_cast<size_t>(x) * static_cast<size_t>(n_) + static_cast<size_t>(y)] =
                    -127.0f + 250.0f * kit::clampf(inside + 0.5f, 0.0f, 1.0f);
            }
        }
        float* const planes[3] = {c.planes.red, c.planes.green, c.planes.blue};
        for (int q = 0; q < 3; ++q) {
            const float* from = drawn_[q].data();
            for (int x = 0; x < n_; ++x, from += n_) {
                std::copy(from, from + n_, planes[q] + cellAt(x, 0));
            }
        }
    }

  private:
    static constexpr int lattice = 46;
    static constexpr float pitch = 6.5f;

    int n_ = 0;
    std::vector<float> screen_[3];
    std::vector<float> drawn_[3]; // each plane's dots as last drawn, column by column
    warps::ColourImage image_;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Dots);

} // namespace glowfield
