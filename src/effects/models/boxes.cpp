// Boxes: five cubes of tinted glass nested one inside another, each turning about its own axes at its own
// pace and breathing in size, so that their corners pass through each other's faces. Every face is a
// translucent pane lit by how it faces the light, with bright leading along the edges, and the panes are laid
// from the back of the outer box inwards and out again to its front, so the inner boxes glow through.
#include "effects/kit/kit.h"

namespace glowfield {

namespace {

constexpr int cubes = 5;

class Boxes : public Effect {
  public:
    void step(EffectContext& c) override {
        kit::settleGradient(c, kit::fromLevels(34, 36, 70), kit::fromLevels(60, 44, 74), 0.3f);
        const float t = static_cast<float>(c.frame % 200000u);
        const float n = static_cast<float>(c.n), half = n * 0.5f;
        for (int k = 0; k < cubes; ++k) {
            const float kf = static_cast<float>(k);
            const float size = half * (0.2f + 0.13f * kf) * (1.0f + 0.22f * fastSin(t * 0.021f + kf * 1.3f));
            const float ax = t * (0.006f + 0.004f * kf) * (k % 2 ? -1.0f : 1.0f);
            const float ay = t * (0.011f - 0.0015f * kf) + kf;
            const float az = t * 0.003f * (kf - 2.0f);
            Box& box = boxes_[k];
            box.centre = Vec3{0.0f, 0.0f, half * 1.55f};
            for (int i = 0; i < 8; ++i) {
                const Vec3 p{i & 1 ? size : -size, i & 2 ? size : -size, i & 4 ? size : -size};
                box.corner[i] = kit::turn(p, ax, ay, az) + box.centre;
                box.shown[i] = kit::project(c, box.corner[i]);
            }
            box.colour = kit::bright(kf * 0.2f + t * 0.0007f);
        }
        // Back panes from the outside in, then front panes from the inside out.
        for (int k = cubes - 1; k >= 0; --k) {
            drawPanes(c, boxes_[k], false);
        }
        for (int k = 0; k < cubes; ++k) {
            drawPanes(c, boxes_[k], true);
        }
        static constexpr int edges[12][2] = {{0, 1}, {1, 3}, {3, 2}, {2, 0}, {4, 5}, {5, 7},
                                             {7, 6}, {6, 4}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
        for (const Box& box : boxes_) {
            for (const auto& e : edges) {
                kit::modelLine(c, box.corner[e[0]], box.corner[e[1]], box.colour, 2);
            }
        }
    }

  private:
    using Vec3 = kit::Vec3;
    struct Box {
        Vec3 corner[8];
        kit::Projected shown[8];
        Vec3 centre;
        kit::Rgb colour;
    };

    // The faces that look towards the viewer (front true) or away from it, each blended in as a pane.
    void drawPanes(EffectContext& c, const Box& box, bool front) {
        static constexpr int faces[6][4] = {{0, 2, 6, 4}, {1, 5, 7, 3}, {0, 4, 5, 1},
                                            {2, 3, 7, 6}, {0, 1, 3, 2}, {4, 6, 7, 5}};
        const float eyeZ = -static_cast<float>(c.n);
        for (const auto& f : faces) {
            Vec3 mid{0.0f, 0.0f, 0.0f};
            bool visible = true;
            for (const int i : f) {
                mid = mid + box.corner[i] * 0.25f;
                visible = visible && box.shown[i].visible;
            }
            if (!visible) {
                continue;
            }
            const Vec3 out = mid - box.centre;
            const Vec3 toEye{-mid.x, -mid.y, eyeZ - mid.z};
            const bool facing = out.x * toEye.x + out.y * toEye.y + out.z * toEye.z > 0.0f;
            if (facing != front) {
                continue;
            }
            // Lit from the upper left and in front; back panes are seen through the glass, so dimmer.
            const float len = std::sqrt(out.x * out.x + out.y * out.y + out.z * out.z) + 1e-6f;
            const float light = kit::clampf(
                0.55f + 0.45f * (-0.5f * out.x - 0.6f * out.y - 0.62f * out.z) / len, 0.15f, 1.0f);
            const kit::Rgb tint = kit::shade(box.colour, front ? light : 0.6f * light);
            fillPane(c, box, f, tint, front ? 0.22f : 0.3f);
        }
    }

    // A convex projected quadrilateral, each cell inside moved towards tint by alpha.
    static void fillPane(EffectContext& c, const Box& box, const int (&f)[4], kit::Rgb tint, float alpha) {
        float xs[4], ys[4];
        float left = 1e9f, right = -1e9f, top = 1e9f, bottom = -1e9f;
        for (int k = 0; k < 4; ++k) {
            xs[k] = box.shown[f[k]].x;
            ys[k] = box.shown[f[k]].y;
            left = std::min(left, xs[k]);
            right = std::max(right, xs[k]);
            top = std::min(top, ys[k]);
            bottom = std::max(bottom, ys[k]);
        }
        float area = 0.0f;
        for (int k = 0; k < 4; ++k) {
            area += xs[k] * ys[(k + 1) % 4] - xs[(k + 1) % 4] * ys[k];
        }
        if (area == 0.0f || !(area == area)) {
            return;
        }
        const float sign = area > 0.0f ? 1.0f : -1.0f;
        const int x0 = kit::clampCell(c, kit::toCell(left)), x1 = kit::clampCell(c, kit::toCell(right));
        const int y0 = kit::clampCell(c, kit::toCell(top)), y1 = kit::clampCell(c, kit::toCell(bottom));
        // Column by column: each edge's inside half-plane bounds y from above or below, and the cells
        // between the tightest bounds are inside.
        for (int x = x0; x <= x1; ++x) {
            const float px = static_cast<float>(x) + 0.5f;
            float low = static_cast<float>(y0), high = static_cast<float>(y1) + 1.0f;
            for (int k = 0; k < 4; ++k) {
                const int j = (k + 1) % 4;
                // sign * (a * (py - ys[k]) - b) >= 0
                const float a = sign * (xs[j] - xs[k]), b = sign * (ys[j] - ys[k]) * (px - xs[k]);
                if (a > 0.0f) {
                    low = std::max(low, ys[k] + b / a);
                } else if (a < 0.0f) {
                    high = std::min(high, ys[k] + b / a);
                } else if (b > 0.0f) {
                    high = low - 1.0f; // a vertical edge with this column outside it
                }
            }
            // Cell centres py = y + 0.5 within [low, high].
            const int first = std::max(y0, kit::toCell(low + 0.5f) - 1),
                      last = std::min(y1, kit::toCell(high));
            for (int y = first; y <= last; ++y) {
                const float py = static_cast<float>(y) + 0.5f;
                if (py >= low && py <= high) {
                    kit::blendCell(c, x, y, tint, alpha);
                }
            }
        }
    }

    Box boxes_[cubes];
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Boxes);

} // namespace glowfield
