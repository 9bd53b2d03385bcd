// Maple: five-lobed leaves in autumn reds and golds spin and sway as they fall, land and pile up along the
// bottom where they slowly brown; now and then a gust lifts the pile and carries leaves off.
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

struct Leaf {
    float x, y, vy, angle, spin, sway, size;
    kit::Rgb colour;
};

class Maple : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::tameField(c);
        const float n = static_cast<float>(c.n);
        pile_.assign(static_cast<size_t>(c.n), 0.0f);
        age_.assign(static_cast<size_t>(c.n), 0.0f);
        hue_.assign(static_cast<size_t>(c.n), 0.0f);
        for (int i = 0; i < leaves; ++i) {
            spawn(c, leaves_[i]);
            leaves_[i].y = c.randomUnit() * n; // the first leaves are already on their way down
        }
        gust_ = 0;
    }

    void step(EffectContext& c) override {
        const int n = c.n;
        const float nf = static_cast<float>(n);
        const float s = c.scale;
        const int time = static_cast<int>(c.framesSinceStart) + 1;
        const float t = static_cast<float>(time);
        kit::scaleVelocities(c, 0.0f);
        const bool gust = time % 700 > 620;
        for (int x = 0; x < n; ++x) {
            const kit::Column col = kit::column(c, x);
            for (int y = 0; y < n; ++y) {
                const float k = static_cast<float>(y) / nf;
                col.blend(y,
                          kit::fromLevels(120 + truncToInt(100.0f * k), 150 + truncToInt(40.0f * k),
                                          200 - truncToInt(110.0f * k)),
                          0.45f);
            }
        }
        // The pile: each column keeps its height and how long its leaves have lain.
        for (int x = 0; x < n; ++x) {
            const size_t i = static_cast<size_t>(x);
            age_[i] += 1.0f;
            if (gust && pile_[i] > 0.0f) {
                pile_[i] = pile_[i] > 0.25f * s ? pile_[i] - 0.25f * s : 0.0f;
            }
            const float fresh = kit::clampf(1.0f - age_[i] / 1500.0f, 0.0f, 1.0f);
            const float top = nf - pile_[i];
            for (int y = kit::clampCell(c, kit::toCell(top)); y < n && pile_[i] > 0.5f; ++y) {
                const float speck = fastSin(static_cast<float>(x * 7 + y * 13) * 0.9f);
                const kit::Rgb leaf = kit::hsv(hue_[i] + 0.02f * speck, 0.85f, 0.55f + 0.25f * speck * speck);
                const kit::Rgb brown = kit::fromLevels(110 + truncToInt(20.0f * speck), 70, 35);
                kit::paint(c, x, y, kit::mix(brown, leaf, fresh));
            }
        }

        for (Leaf& l : leaves_) {
            l.y += l.vy * s;
            l.x += (0.6f * fastSin(l.sway + t * 0.04f) + (gust ? 1.8f : 0.0f)) * s;
            l.angle += l.spin;
            const float wobble = 0.5f * fastSin(l.sway + t * 0.04f);
            const int col = kit::toCell(l.x);
            if (!(l.x > -20.0f && l.x < nf + 20.0f && l.y < nf + 20.0f)) {
                spawn(c, l);
                continue;
            }
            if (kit::inside(c, col, 0) && l.y >= nf - pile_[static_cast<size_t>(col)] - l.size * 0.5f &&
                !gust) {
                land(c, l, col);
                spawn(c, l);
                continue;
            }
            drawLeaf(c, l, l.angle + wobble);
        }
    }

  private:
    static constexpr int leaves = 28;

    void spawn(EffectContext& c, Leaf& l) {
        const float n = static_cast<float>(c.n);
        const float s = c.scale;
        l.x = c.randomUnit() * n;
        l.y = -10.0f * s;
        l.vy = 0.35f + 0.45f * c.randomUnit();
        l.angle = c.randomUnit() * kit::twoPi;
        l.spin = (c.randomUnit() - 0.5f) * 0.08f;
        l.sway = c.randomUnit() * kit::twoPi;
        l.size = (5.0f + 4.0f * c.randomUnit()) * s;
        const float hue = 0.0f + 0.13f * c.randomUnit();
        l.colour = kit::hsv(hue, 0.9f, 0.75f + 0.25f * c.randomUnit());
    }

    void land(const EffectContext& c, const Leaf& l, int col) {
        const float hue = l.colour.g > l.colour.b + 60.0f ? 0.09f : 0.02f;
        for (int k = -4; k <= 4; ++k) {
            const int x = col + k;
            if (!kit::inside(c, x, 0)) {
                continue;
            }
            const size_t i = static_cast<size_t>(x);
            const float add = (5.0f - static_cast<float>(k < 0 ? -k : k)) * 0.12f * l.size / 5.0f;
            if (pile_[i] < static_cast<float>(c.n) * 0.3f) {
                pile_[i] += add;
            }
            age_[i] *= 0.6f;
            hue_[i] = hue;
        }
    }

    // A polar leaf: radius 0.55 + 0.45 |cos(2.5 a)| gives five pointed lobes; the veins run down the lobes.
    static void drawLeaf(const EffectContext& c, const Leaf& l, float angle) {
        const float r = l.size;
        const int x0 = kit::toCell(l.x - r - 1.0f), x1 = kit::toCell(l.x + r + 1.0f);
        const int y0 = kit::toCell(l.y - r - 1.0f), y1 = kit::toCell(l.y + r + 1.0f);
        for (int x = x0; x <= x1; ++x) {
            for (int y = y0; y <= y1; ++y) {
                if (!kit::inside(c, x, y)) {
                    continue;
                }
                const float dx = static_cast<float>(x) - l.x, dy = static_cast<float>(y) - l.y;
                const float d2 = dx * dx + dy * dy;
                if (d2 > r * r) {
                    continue;
                }
                const float a = kit::angleOf(dx, dy) - angle;
                const float lobe = fastCos(2.5f * a);
                const float edge = r * (0.45f + 0.55f * (lobe < 0.0f ? -lobe : lobe));
                if (d2 > edge * edge) {
                    continue;
                }
                const float vein = lobe * lobe > 0.9f ? 0.7f : 1.0f;
                const float rim = d2 > edge * edge * 0.6f ? 0.8f : 1.0f;
                kit::paint(c, x, y, kit::shade(l.colour, vein * rim));
            }
        }
        // The stalk.
        const float sx = l.x - r * 1.2f * fastCos(angle + kit::pi * 0.2f);
        const float sy = l.y - r * 1.2f * fastSin(angle + kit::pi * 0.2f);
        kit::drawLine(c, l.x, l.y, sx, sy, kit::fromLevels(100, 60, 30));
    }

    Leaf leaves_[leaves] = {};
    std::vector<float> pile_, age_, hue_;
    int gust_ = 0;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Maple);

} // namespace glowfield
