// Phish: a fishing net trawled through a glowing sea. The net is a mesh of knots on springs, dragged by its
// top edge (or the mouse) so it billows behind; drifting glow-plankton it sweeps into are caught in its
// knots, and when the trawl turns back the catch spills out in a splash.
#include <cmath>
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Phish : public Effect {
  public:
    void start(EffectContext& c) override {
        const float n = static_cast<float>(c.n);
        spacing_ = n * 0.5f / (columns - 1);
        knots_.resize(columns * rows);
        for (int j = 0; j < rows; ++j) {
            for (int i = 0; i < columns; ++i) {
                Knot& k = knots_[j * columns + i];
                k.x = k.px = n * 0.25f + static_cast<float>(i) * spacing_;
                k.y = k.py = n * 0.1f + static_cast<float>(j) * spacing_;
            }
        }
        plankton_.resize(planktonCount);
        for (Mote& m : plankton_) {
            spawn(c, m);
        }
        direction_ = 1.0f;
        topX_ = n * 0.5f;
        rowSea_.resize(static_cast<size_t>(c.n));
        columnSin_.resize(static_cast<size_t>(c.n));
        columnCos_.resize(static_cast<size_t>(c.n));
        const kit::Rgb teal = kit::hsv(0.5f, 0.8f, 1.0f);
        for (int y = 0; y < c.n; ++y) {
            rowSea_[static_cast<size_t>(y)] = kit::shade(teal, 0.42f - 0.3f * static_cast<float>(y) / n);
            columnSin_[static_cast<size_t>(y)] = fastSin(static_cast<float>(y) * 0.03f);
            columnCos_[static_cast<size_t>(y)] = fastCos(static_cast<float>(y) * 0.03f);
        }
    }

    void step(EffectContext& c) override {
        kit::tameNowAndThen(c, 200.0f, 10.0f);
        kit::scaleVelocities(c, 0.8f);
        const float n = static_cast<float>(c.n);
        const float s = kit::gridScale(c);
        const float t = static_cast<float>(c.frame % 200000u);
        const bool towed = c.framesSinceMouseMoved < 150;
        // The towing bar: along a slow sweep, or following the mouse.
        const float oldX = topX_;
        topX_ = towed ? kit::lerp(topX_, static_cast<float>(c.mouseX), 0.1f)
                      : n * (0.5f + 0.3f * fastSin(t * 0.016f));
        topY_ = towed ? kit::lerp(topY_, static_cast<float>(c.mouseY), 0.1f)
                      : n * (0.25f + 0.08f * fastSin(t * 0.013f));
        const float direction = topX_ >= oldX ? 1.0f : -1.0f;
        if (direction != direction_) {
            release(c);
            direction_ = direction;
        }
        simulate(c, n, s);
        // Plankton drift; those that touch a knot of the lower half are caught.
        for (Mote& m : plankton_) {
            if (m.knot >= 0) {
                const Knot& k = knots_[static_cast<size_t>(m.knot)];
                m.x = k.x + m.vx * 3.0f;
                m.y = k.y + m.vy * 3.0f;
                continue;
            }
            m.x += m.vx * 0.3f + 0.15f * fastSin(t * 0.02f + m.hue * 20.0f);
            m.y += m.vy * 0.3f;
            m.vx *= 0.99f;
            m.vy *= 0.99f;
            if (!kit::onGrid(c, m.x, m.y)) {
                spawn(c, m);
                continue;
            }
            for (int i = (rows / 2) * columns; i < rows * columns; i += 2) {
                const float dx = knots_[i].x - m.x, dy = knots_[i].y - m.y;
                if (dx * dx + dy * dy < 9.0f * s * s + 1.0f) {
                    m.knot = i;
                    m.vx = (c.randomUnit() - 0.5f) * s;
                    m.vy = (c.randomUnit() - 0.5f) * s;
                    break;
                }
            }
        }
        // Sea: a deep teal with slow bands of light, blended so the splashes ripple.
        // The band of light is sin(ax - by + t), split by the angle-sum rule into a row part and a column
        // part so each cell costs a few products.
        const kit::Rgb teal = kit::hsv(0.5f, 0.8f, 1.0f);
        const kit::Rgb lift = {(teal.r + 127.0f) * 0.04f, (teal.g + 127.0f) * 0.04f,
                               (teal.b + 127.0f) * 0.04f};
        for (int x = 0; x < c.n; ++x) {
            const float a = static_cast<float>(x) * 0.04f + t * 0.015f;
            const float sa = fastSin(a), ca = fastCos(a);
            for (int y = 0; y < c.n; ++y) {
                const float band =
                    sa * columnCos_[static_cast<size_t>(y)] - ca * columnSin_[static_cast<size_t>(y)];
                const kit::Rgb base = rowSea_[static_cast<size_t>(y)];
                kit::mixCell(c, x, y,
                             {base.r + lift.r * band, base.g + lift.g * band, base.b + lift.b * band}, 0.5f);
            }
        }
        for (const Mote& m : plankton_) {
            const kit::Rgb colour = kit::hsv(m.hue, 0.6f, 1.0f);
            kit::softDisc(c, m.x, m.y, 2.5f * s + 0.8f, colour, 0.6f, kit::Blend::set);
            kit::plot(c, m.x, m.y, kit::white);
        }
        // The mesh: cords between neighbouring knots, then the knots.
        const kit::Rgb cord = kit::fromLevels(215, 200, 160);
        for (int j = 0; j < rows; ++j) {
            for (int i = 0; i < columns; ++i) {
                const Knot& a = knots_[j * columns + i];
                if (i + 1 < columns) {
                    const Knot& b = knots_[j * columns + i + 1];
                    kit::drawLine(c, a.x, a.y, b.x, b.y, cord);
                }
                if (j + 1 < rows) {
                    const Knot& b = knots_[(j + 1) * columns + i];
                    kit::drawLine(c, a.x, a.y, b.x, b.y, cord);
                }
            }
        }
        for (const Knot& k : knots_) {
            kit::plot(c, k.x, k.y, kit::fromLevels(120, 90, 60));
        }
        kit::drawThickLine(c, knots_[0].x - 3.0f * s, knots_[0].y, knots_[columns - 1].x + 3.0f * s,
                           knots_[columns - 1].y, 1.2f * s + 0.3f, kit::fromLevels(140, 90, 50));
    }

  private:
    struct Knot {
        float x = 0.0f, y = 0.0f, px = 0.0f, py = 0.0f;
    };
    struct Mote {
        float x = 0.0f, y = 0.0f, vx = 0.0f, vy = 0.0f, hue = 0.0f;
        int knot = -1;
    };
    static constexpr int columns = 20;
    static constexpr int rows = 15;
    static constexpr int planktonCount = 160;

    static void spawn(EffectContext& c, Mote& m) {
        const float n = static_cast<float>(c.n);
        m.x = n * c.randomUnit();
        m.y = n * (0.2f + 0.78f * c.randomUnit());
        m.vx = (c.randomUnit() - 0.5f);
        m.vy = (c.randomUnit() - 0.5f);
        m.hue = c.random(0, 2) == 0 ? 0.14f : 0.45f + 0.2f * c.randomUnit();
        m.knot = -1;
    }

    // Verlet steps with drag through water and gravity, then the cords pulled to length a few times.
    void simulate(const EffectContext& c, float n, float s) {
        const float t = static_cast<float>(c.frame % 200000u);
        for (int k = 0; k < columns * rows; ++k) {
            Knot& p = knots_[k];
            const float vx = (p.x - p.px) * 0.9f, vy = (p.y - p.py) * 0.9f;
            p.px = p.x;
            p.py = p.y;
            // A current that changes with depth makes the mesh billow.
            p.x += vx + 0.12f * s * fastSin(t * 0.03f + static_cast<float>(k / columns) * 0.45f);
            p.y += vy + 0.1f * s;
        }
        const float width = spacing_ * (columns - 1);
        for (int i = 0; i < columns; ++i) {
            Knot& p = knots_[i];
            p.x = topX_ - width * 0.5f + static_cast<float>(i) * spacing_;
            p.y = topY_ + 2.0f * s * fastSin(static_cast<float>(i) * 0.5f);
        }
        for (int pass = 0; pass < 4; ++pass) {
            for (int j = 0; j < rows; ++j) {
                for (int i = 0; i < columns; ++i) {
                    if (i + 1 < columns) {
                        tie(j * columns + i, j * columns + i + 1);
                    }
                    if (j + 1 < rows) {
                        tie(j * columns + i, (j + 1) * columns + i);
                    }
                }
            }
        }
        for (Knot& p : knots_) {
            if (!kit::onGrid(c, p.x, p.y, n)) {
                p.x = p.px = n * 0.5f;
                p.y = p.py = n * 0.5f;
            }
            p.y = p.y > n - 1.0f ? n - 1.0f : p.y;
        }
    }

    void tie(int a, int b) {
        Knot& p = knots_[a];
        Knot& q = knots_[b];
        const float dx = q.x - p.x, dy = q.y - p.y;
        const float d = std::sqrt(dx * dx + dy * dy);
        if (!(d > 1e-4f) || d <= spacing_) {
            return; // a cord pulls but never pushes
        }
        const float k = (d - spacing_) / d * 0.5f;
        if (a >= columns) {
            p.x += dx * k;
            p.y += dy * k;
        }
        q.x -= dx * k;
        q.y -= dy * k;
    }

    // The catch spills out: each caught glow flies off and the water splashes.
    void release(EffectContext& c) {
        const float s = kit::gridScale(c);
        int spilled = 0;
        for (Mote& m : plankton_) {
            if (m.knot < 0) {
                continue;
            }
            m.knot = -1;
            m.vx = (c.randomUnit() - 0.5f) * 6.0f * s;
            m.vy = (c.randomUnit() - 0.8f) * 6.0f * s;
            if (spilled++ % 8 == 0) {
                kit::balancedPush(c, m.x, m.y, 5.0f * s + 1.0f, 25.0f);
            }
        }
    }

    std::vector<Knot> knots_;
    std::vector<kit::Rgb> rowSea_;             // the sea's colour by depth
    std::vector<float> columnSin_, columnCos_; // the band's phase by depth
    std::vector<Mote> plankton_;
    float spacing_ = 1.0f;
    float topX_ = 0.0f, topY_ = 0.0f, direction_ = 1.0f;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Phish);

} // namespace glowfield
