// Easeall: a painting on an easel. The wallpaper picture is painted anew by short brush strokes, a few
// hundred a frame, each taking the picture's colour at a random point and laid along the picture's contours
// there; broad strokes come first and finer ones later. When the painting is done, the canvas is primed white
// and the next begins. Without a picture the painter sets up a still life of its own: sunflowers in a blue
// jug and a bowl of fruit on a draped table.
#include <cmath>
#include <vector>

#include "effects/kit/kit.h"
#include "effects/pictures/wallpaper.h"

namespace glowfield {

namespace {

// Shade of a sphere lit from the upper left: dx, dy from its centre in radii.
float sphereLight(float dx, float dy) {
    const float z = std::sqrt(kit::clampf(1.0f - dx * dx - dy * dy, 0.0f, 1.0f));
    return kit::clampf(0.35f + 0.75f * (-0.45f * dx - 0.55f * dy + 0.7f * z), 0.2f, 1.15f);
}

// The still life, in screen units (u across, v down, 0..1; u distances count a third more on the 4:3 screen).
void stillLife(EffectContext& c, std::vector<kit::Rgb>& samples) {
    constexpr int side = pictures::Wallpaper::side;
    constexpr float tableTop = 0.68f;
    const float jugU = 0.28f + 0.08f * c.randomUnit();
    struct Flower {
        float u, v, r, turn;
    };
    Flower flowers[5];
    for (int k = 0; k < 5; ++k) {
        flowers[k] = {jugU + (k - 2) * 0.09f + (c.randomUnit() - 0.5f) * 0.03f,
                      0.15f + 0.14f * c.randomUnit() + (k == 2 ? -0.05f : 0.0f),
                      0.07f + 0.025f * c.randomUnit(), c.randomUnit()};
    }
    struct Fruit {
        float u, v, r;
        kit::Rgb colour;
    };
    const float bowlU = 0.72f;
    Fruit fruit[6] = {{bowlU - 0.11f, 0.645f, 0.07f, kit::fromLevels(240, 140, 20)},
                      {bowlU + 0.01f, 0.62f, 0.075f, kit::fromLevels(200, 30, 30)},
                      {bowlU + 0.12f, 0.65f, 0.065f, kit::fromLevels(240, 140, 20)},
                      {bowlU - 0.05f, 0.57f, 0.06f, kit::fromLevels(150, 200, 50)},
                      {bowlU + 0.07f, 0.565f, 0.06f, kit::fromLevels(210, 180, 40)},
                      {0.5f, 0.8f, 0.06f, kit::fromLevels(200, 30, 30)}};
    for (int i = 0; i < side; ++i) {
        const float u = (i + 0.5f) / side;
        for (int j = 0; j < side; ++j) {
            const float v = (j + 0.5f) / side;
            // The wall: warm ochre, lit from the upper left, with a soft vertical texture of old plaster.
            const float wallLight = kit::clampf(1.05f - 0.5f * u - 0.3f * v, 0.45f, 1.0f);
            kit::Rgb colour =
                kit::shade(kit::fromLevels(190, 140, 80),
                           wallLight * (0.93f + 0.07f * fastSin(u * 53.0f + fastSin(v * 9.0f))));
            if (v > tableTop) {
                // A deep red cloth with folds over the table.
                const float fold = 0.75f + 0.25f * fastSin(u * 31.0f + v * 6.0f + fastSin(u * 7.0f) * 2.0f);
                colour = kit::shade(kit::fromLevels(150, 30, 40), fold * (1.1f - 0.4f * u));
                if (v < tableTop + 0.012f) {
                    colour = kit::fromLevels(120, 70, 40); // the table's edge showing behind
                }
            }
            // Stems from the jug's mouth to each flower head.
            for (const Flower& f : flowers) {
                const float t = (v - f.v) / (0.46f - f.v);
                if (t > 0.0f && t < 1.0f) {
                    const float stemU = f.u + (jugU - f.u) * t * t;
                    if (std::fabs(u - stemU) < 0.006f) {
                        colour = kit::fromLevels(60, 120, 40);
                    }
                }
            }
            // The jug: a rounded body and a neck, blue glaze with a highlight.
            const float ju = (u - jugU) * 1.33f;
            const float neck = v > 0.42f && v < 0.5f ? 0.065f : 0.0f;
            const float bodyV = (v - 0.585f) / 0.125f;
            const float body = v >= 0.46f && v < 0.71f
                                   ? 0.15f * std::sqrt(kit::clampf(1.0f - bodyV * bodyV, 0.0f, 1.0f))
                                   : 0.0f;
            const float half = neck > body ? neck : body;
            if (half > 0.0f && std::fabs(ju) < half) {
                const float dx = ju / half;
                colour = kit::shade(kit::fromLevels(50, 90, 190), sphereLight(dx, bodyV * 0.6f));
                if (std::fabs(dx + 0.45f) < 0.08f && bodyV < 0.2f && bodyV > -0.7f) {
                    colour = kit::fromLevels(220, 230, 250);
                }
            }
            for (const Flower& f : flowers) {
                const float du = (u - f.u) * 1.33f, dv = v - f.v;
                const float d = std::sqrt(du * du + dv * dv) / f.r;
                if (d < 1.0f) {
                    const float angle = kit::angleOf(du, dv);
                    const float petal =
                        0.62f + 0.38f * std::fabs(fastCos(angle * 6.5f + f.turn * kit::twoPi));
                    if (d < 0.42f) {
                        // The seed head: dark brown, speckled.
                        const float seeds = 0.8f + 0.2f * fastSin(d * 60.0f) * fastCos(angle * 13.0f);
                        colour = kit::shade(kit::fromLevels(90, 50, 20), seeds);
                    } else if (d < petal) {
                        colour = kit::shade(kit::fromLevels(250, 200, 30), 0.75f + 0.35f * (1.0f - d));
                    }
                }
            }
            // The bowl: a shallow half-ellipse, cream glaze, in front of the fruit it holds.
            const float bu = (u - bowlU) * 1.33f / 0.27f, bv = (v - 0.655f) / 0.11f;
            for (const Fruit& f : fruit) {
                const float du = (u - f.u) * 1.33f / f.r, dv = (v - f.v) / f.r;
                if (du * du + dv * dv < 1.0f) {
                    colour = kit::shade(f.colour, sphereLight(du, dv));
                }
            }
            if (bv > 0.0f && bu * bu + bv * bv < 1.0f) {
                colour = kit::shade(kit::fromLevels(235, 225, 200), 0.6f + 0.45f * (1.0f - bv) - 0.2f * bu);
                if (bv < 0.12f) {
                    colour = kit::fromLevels(250, 245, 230); // the rim
                }
            }
            samples[static_cast<size_t>(i) * side + j] = colour;
        }
    }
}

class Easeall : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::tameField(c);
        wallpaper_.load(c, stillLife);
        drawEasel(c, true);
    }

    void step(EffectContext& c) override {
        const uint32_t tick = c.framesSinceStart + 1;
        kit::tameField(c, 300.0f, 0.0f); // also zeroes the velocities, whatever they held
        const float n = static_cast<float>(c.n);
        const float left = n * 0.12f, top = n * 0.06f, right = n * 0.88f, bottom = n * 0.78f;
        const uint32_t age = tick % cycle;
        if (age == 0u) {
            wallpaper_.load(c, stillLife);
            drawEasel(c, true);
        }
        if (age > cycle - 60u) {
            // Priming the canvas for the next painting: it whitens over a second.
            for (int x = kit::toCell(left); x < kit::toCell(right); ++x) {
                for (int y = kit::toCell(top); y < kit::toCell(bottom); ++y) {
                    kit::blendCell(c, x, y, kit::fromLevels(245, 242, 232), 0.08f);
                }
            }
            drawEasel(c, false);
            return;
        }
        // Stroke size shrinks with the painting's age: broad washes first, detail last.
        const float progress = static_cast<float>(age) / (cycle - 60u);
        const float radius = 4.0f * (1.0f - progress) * (1.0f - progress) + 0.6f;
        const float length = 3.0f + 9.0f * (1.0f - progress);
        const int strokes = radius > 2.5f ? 90 : 200;
        for (int k = 0; k < strokes; ++k) {
            const float x = left + c.randomUnit() * (right - left), y = top + c.randomUnit() * (bottom - top);
            const float u = (x - left) / (right - left), v = (y - top) / (bottom - top);
            const kit::Rgb colour = wallpaper_.at(u, v);
            // Along the contour: across the brightness gradient of the picture here.
            const float e = 0.01f;
            const kit::Rgb ax = wallpaper_.at(u + e, v), bx = wallpaper_.at(u - e, v);
            const kit::Rgb ay = wallpaper_.at(u, v + e), by = wallpaper_.at(u, v - e);
            const float gx = (ax.r + ax.g + ax.b) - (bx.r + bx.g + bx.b);
            const float gy = (ay.r + ay.g + ay.b) - (by.r + by.g + by.b);
            float dx = -gy, dy = gx;
            const float len = std::sqrt(dx * dx + dy * dy);
            if (len < 1e-3f) {
                const float a = c.randomUnit() * kit::pi;
                dx = fastCos(a);
                dy = fastSin(a);
            } else {
                dx /= len;
                dy /= len;
            }
            const float jitter = (c.randomUnit() - 0.5f) * 18.0f;
            const kit::Rgb paint{colour.r + jitter, colour.g + jitter, colour.b + jitter};
            const float x0 = kit::clampf(x - dx * length * 0.5f, left + radius, right - radius - 1.0f);
            const float y0 = kit::clampf(y - dy * length * 0.5f, top + radius, bottom - radius - 1.0f);
            const float x1 = kit::clampf(x + dx * length * 0.5f, left + radius, right - radius - 1.0f);
            const float y1 = kit::clampf(y + dy * length * 0.5f, top + radius, bottom - radius - 1.0f);
            kit::drawThickLine(c, x0, y0, x1, y1, radius, paint);
        }
        drawEasel(c, false);
    }

  private:
    static constexpr uint32_t cycle = 900; // 18 seconds a painting

    // The studio wall, the wooden easel and its ledge; with canvas, also a fresh white canvas.
    void drawEasel(EffectContext& c, bool canvas) {
        const float n = static_cast<float>(c.n);
        const float left = n * 0.12f, top = n * 0.06f, right = n * 0.88f, bottom = n * 0.78f;
        const kit::Rgb wood = kit::fromLevels(140, 90, 50), woodLight = kit::fromLevels(180, 124, 72);
        if (canvas) {
            kit::fillColours(c, kit::fromLevels(70, 64, 72), true);
            // Studio floor.
            kit::fillRect(c, 0.0f, n * 0.9f, n, n, kit::fromLevels(96, 70, 50));
            kit::fillRect(c, left, top, right, bottom, kit::fromLevels(245, 242, 232));
        }
        // Legs behind and below the canvas, the ledge it stands on and the crossbar at the top.
        kit::drawThickLine(c, n * 0.5f, 0.0f, n * 0.5f, top, 1.6f, wood);
        kit::drawThickLine(c, n * 0.3f, bottom + 4.0f, n * 0.2f, n - 1.0f, 1.8f, wood);
        kit::drawThickLine(c, n * 0.7f, bottom + 4.0f, n * 0.8f, n - 1.0f, 1.8f, wood);
        kit::drawThickLine(c, n * 0.5f, bottom + 4.0f, n * 0.5f, n * 0.95f, 1.6f, kit::shade(wood, 0.7f));
        kit::fillRect(c, left - 4.0f, bottom, right + 4.0f, bottom + 4.0f, wood);
        kit::fillRect(c, left - 4.0f, bottom, right + 4.0f, bottom + 1.0f, woodLight);
        kit::fillRect(c, n * 0.42f, top - 3.0f, n * 0.58f, top, wood);
        // The canvas edge catches the light.
        kit::drawLine(c, left - 1.0f, top - 1.0f, right, top - 1.0f, kit::fromLevels(200, 196, 186));
        kit::drawLine(c, left - 1.0f, top - 1.0f, left - 1.0f, bottom - 1.0f, kit::fromLevels(200, 196, 186));
        kit::drawLine(c, right, top, right, bottom - 1.0f, kit::fromLevels(40, 36, 40));
    }

    pictures::Wallpaper wallpaper_;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Easeall);

} // namespace glowfield
