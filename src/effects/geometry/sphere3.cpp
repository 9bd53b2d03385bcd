// Sphere3: a solid, lit ball bouncing on a chequered floor. It squashes on impact and stretches as it leaves,
// each cell shaded with diffuse and specular light from a lamp that follows the mouse, over an elliptical
// shadow that shrinks as the ball rises.
#include <cmath>
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Sphere3 : public Effect {
  public:
    void start(EffectContext& c) override {
        // Leftovers of an earlier entry are brought into range once, so blends never carry NaN along.
        kit::tameField(c);
        const float n = static_cast<float>(c.n);
        x_ = n * 0.3f;
        vx_ = 0.7f;
        height_ = n * 0.45f;
        vy_ = 0.0f;
        hue_ = c.randomUnit();
        // The wall and the chequered floor in perspective (tiles narrow towards the back edge), made once.
        const float floorY = n * 0.78f;
        scene_.assign(static_cast<size_t>(c.n) * c.n, kit::Rgb{});
        size_t i = 0;
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y, ++i) {
                const float fy = static_cast<float>(y);
                kit::Rgb col;
                if (fy < floorY - n * 0.02f) {
                    col = kit::mix(kit::fromLevels(30, 35, 60), kit::fromLevels(80, 90, 130), fy / floorY);
                } else {
                    const float depth = (fy - floorY + n * 0.02f) / (n - floorY + n * 0.02f);
                    const float scale = 0.35f + 0.65f * depth;
                    const float u = (x - n * 0.5f) / (12.0f * scale), v = depth * 6.0f;
                    const bool dark = (kit::toCell(u) + kit::toCell(v)) % 2 != 0;
                    col = dark ? kit::fromLevels(60, 50, 45) : kit::fromLevels(200, 190, 170);
                    col = kit::shade(col, 0.6f + 0.4f * depth);
                }
                scene_[i] = col;
            }
        }
    }

    void step(EffectContext& c) override {
        kit::scaleVelocities(c, 0.0f);
        const float n = static_cast<float>(c.n);
        const float floorY = n * 0.78f, r = n * 0.1f;
        // Motion: gravity, a lively bounce that is topped up so it never dies, walls at the sides.
        vy_ -= 0.09f;
        height_ += vy_;
        float squash = 0.0f;
        if (height_ < 0.0f) {
            squash = kit::clampf(-height_ / (r * 0.6f), 0.0f, 0.4f);
            if (vy_ < 0.0f && height_ < -r * 0.25f) {
                vy_ = 3.6f;
                hue_ += 0.13f;
            }
        }
        height_ = kit::clampf(height_, -r * 0.4f, n);
        x_ += vx_;
        if (x_ < r + 4.0f || x_ > n - r - 4.0f) {
            vx_ = -vx_;
            x_ = kit::clampf(x_, r + 4.0f, n - r - 4.0f);
        }
        const float stretch = squash > 0.0f ? 0.0f : kit::clampf(std::fabs(vy_) * 0.03f, 0.0f, 0.15f);
        // Semi-axes: wide and flat on the floor, tall and thin at speed; 4:3 cells make circles taller.
        const float ax = r * (1.0f + squash - stretch * 0.5f);
        const float ay = r * (1.0f - squash + stretch) * (4.0f / 3.0f);
        const float bx = x_, by = floorY - ay - (height_ > 0.0f ? height_ : 0.0f);
        // The lamp: the mouse position, raised in front of the scene.
        float lx = c.mouseX - bx, ly = c.mouseY - by;
        float lz = n * 0.5f;
        const float lm = std::sqrt(lx * lx + ly * ly + lz * lz);
        lx /= lm;
        ly /= lm;
        lz /= lm;
        const float rise = kit::clampf(height_ / (n * 0.5f), 0.0f, 1.0f);
        const float shadowW = r * (1.1f - 0.5f * rise) + squash * r, shadowH = shadowW * 0.35f;
        const kit::Rgb base = kit::hsv(hue_, 0.75f, 1.0f);
        size_t i = 0;
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y, ++i) {
                kit::setCell(c, x, y, scene_[i]);
            }
        }
        // The shadow darkens the floor under the ball, softer and smaller as it rises.
        const float floorTop = floorY - n * 0.02f;
        for (int x = kit::clampCell(c, kit::toCell(bx - shadowW));
             x <= kit::clampCell(c, kit::toCell(bx + shadowW)); ++x) {
            for (int y = kit::clampCell(c, kit::toCell(kit::greater(floorY - shadowH, floorTop)));
                 y <= kit::clampCell(c, kit::toCell(floorY + shadowH)); ++y) {
                const float sx = (x - bx) / shadowW, sy = (y - floorY) / shadowH;
                const float s = sx * sx + sy * sy;
                if (s < 1.0f && static_cast<float>(y) >= floorTop) {
                    const int cell = cellAt(x, y);
                    const kit::Rgb under{c.planes.red[cell], c.planes.green[cell], c.planes.blue[cell]};
                    kit::setCell(c, x, y, kit::shade(under, 0.35f + 0.65f * s * (0.5f + 0.5f * rise)));
                }
            }
        }
        for (int x = kit::clampCell(c, kit::toCell(bx - ax));
             x <= kit::clampCell(c, kit::toCell(bx + ax + 1.0f)); ++x) {
            for (int y = kit::clampCell(c, kit::toCell(by - ay));
                 y <= kit::clampCell(c, kit::toCell(by + ay + 1.0f)); ++y) {
                const float u = (x - bx) / ax, v = (y - by) / ay;
                const float d2 = u * u + v * v;
                if (d2 >= 1.0f) {
                    continue;
                }
                const float nz = std::sqrt(1.0f - d2);
                const float diffuse = kit::clampf(u * lx + v * ly + nz * lz, 0.0f, 1.0f);
                // Highlight: the light reflected about the normal, against a viewer straight in front.
                const float dotNL = u * lx + v * ly + nz * lz;
                const float rz = 2.0f * dotNL * nz - lz;
                float shine = kit::clampf(rz, 0.0f, 1.0f);
                shine *= shine;
                shine *= shine;
                shine *= shine;
                shine *= shine;
                kit::Rgb col = kit::shade(base, 0.12f + 0.88f * diffuse);
                col = kit::mix(col, kit::white, shine);
                if (d2 > 0.9f) {
                    col = kit::shade(col, 0.6f); // a darker limb for a clean edge
                }
                kit::setCell(c, x, y, col);
            }
        }
    }

  private:
    float x_ = 0.0f, vx_ = 0.0f, height_ = 0.0f, vy_ = 0.0f, hue_ = 0.0f;
    std::vector<kit::Rgb> scene_;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Sphere3);

} // namespace glowfield
