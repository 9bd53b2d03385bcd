// Embryo: cell division inside a membrane. Round cells split in two every couple of seconds, push each other
// apart and pack into a growing ball; at sixty-four cells it starts again from one.
#include <cmath>
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Embryo : public Effect {
  public:
    void start(EffectContext& c) override {
        cells_.clear();
        cells_.reserve(maxCells);
        restart(c);
        const float n = static_cast<float>(c.n);
        glow_.assign(static_cast<size_t>(c.n) * static_cast<size_t>(c.n), kit::Rgb{});
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                const float dx = static_cast<float>(x) - n * 0.5f, dy = static_cast<float>(y) - n * 0.5f;
                const float d = std::sqrt(dx * dx + dy * dy) / (n * 0.42f);
                const float k =
                    d < 1.0f ? 0.55f - 0.25f * d * d : 0.25f * (1.2f - kit::clampf(d - 0.2f, 0.0f, 1.2f));
                glow_[static_cast<size_t>(x) * static_cast<size_t>(c.n) + static_cast<size_t>(y)] =
                    kit::hsv(0.97f + 0.04f * d, 0.55f, k);
            }
        }
    }

    void step(EffectContext& c) override {
        kit::clearVelocities(c);
        const float n = static_cast<float>(c.n);
        const float cx = n * 0.5f, cy = n * 0.5f;
        const float membrane = n * 0.42f;
        const uint32_t age = c.frame - born_;
        const bool heard = c.sound.heard();
        // With music the cells divide on every fourth beat, the downbeat of a bar, instead of by the clock.
        beats_ += heard && c.sound.beat ? 1u : 0u;
        if (heard ? c.sound.beat && beats_ % 4u == 0u : age > 0u && age % 100u == 0u) {
            if (static_cast<int>(cells_.size()) >= maxCells) {
                restart(c);
            } else {
                divide(c);
            }
        }
        // Cells grow to their target size, repel where they overlap and stay inside the membrane.
        for (Cell& a : cells_) {
            a.r += (a.target - a.r) * 0.05f;
        }
        for (size_t i = 0; i < cells_.size(); ++i) {
            for (size_t j = i + 1; j < cells_.size(); ++j) {
                Cell& a = cells_[i];
                Cell& b = cells_[j];
                const float dx = b.x - a.x, dy = b.y - a.y;
                const float d2 = dx * dx + dy * dy;
                const float reach = (a.r + b.r) * 0.95f;
                if (d2 < reach * reach && d2 > 1e-6f) {
                    const float d = std::sqrt(d2);
                    const float push = (reach - d) * 0.25f / d;
                    a.x -= dx * push;
                    a.y -= dy * push;
                    b.x += dx * push;
                    b.y += dy * push;
                }
            }
        }
        const float t = static_cast<float>(c.frame % 100000u);
        for (Cell& a : cells_) {
            a.x += 0.08f * fastSin(t * 0.05f + a.phase);
            a.y += 0.08f * fastCos(t * 0.043f + a.phase);
            const float dx = a.x - cx, dy = a.y - cy;
            const float d = std::sqrt(dx * dx + dy * dy);
            const float limit = membrane - a.r - 1.0f;
            if (d > limit && d > 1e-6f) {
                a.x = cx + dx * limit / d;
                a.y = cy + dy * limit / d;
            }
            if (!kit::onGrid(c, a.x, a.y)) {
                a.x = cx;
                a.y = cy;
            }
        }
        // A warm amniotic glow (made once), the membrane ring and then the cells.
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                kit::setCell(
                    c, x, y,
                    glow_[static_cast<size_t>(x) * static_cast<size_t>(c.n) + static_cast<size_t>(y)]);
            }
        }
        const float pulse = heard ? 1.0f + 0.02f * fastSin(t * 0.06f) + 0.035f * c.sound.bass
                                  : 1.0f + 0.03f * fastSin(t * 0.06f);
        kit::drawRing(c, cx, cy, membrane * pulse, 2.5f * kit::gridScale(c) + 1.0f,
                      kit::fromLevels(255, 200, 190));
        for (const Cell& a : cells_) {
            drawCell(c, a);
        }
    }

  private:
    struct Cell {
        float x = 0.0f, y = 0.0f, r = 0.0f, target = 0.0f, phase = 0.0f;
    };
    static constexpr int maxCells = 64;

    void restart(EffectContext& c) {
        const float n = static_cast<float>(c.n);
        cells_.clear();
        cells_.push_back({n * 0.5f, n * 0.5f, n * 0.1f, n * 0.28f, 0.0f});
        born_ = c.frame;
    }

    // Every cell splits along a random axis into two daughters of half the area.
    void divide(EffectContext& c) {
        const size_t count = cells_.size();
        for (size_t i = 0; i < count; ++i) {
            Cell& a = cells_[i];
            const float angle = c.randomUnit() * kit::twoPi;
            const float off = a.r * 0.35f;
            const float r = a.target * 0.72f;
            Cell b = a;
            a.x += fastCos(angle) * off;
            a.y += fastSin(angle) * off;
            b.x -= fastCos(angle) * off;
            b.y -= fastSin(angle) * off;
            a.target = b.target = r;
            a.r *= 0.72f;
            b.r = a.r;
            b.phase = c.randomUnit() * kit::twoPi;
            cells_.push_back(b);
        }
    }

    // A translucent round cell: pale body lit from the upper left, a darker rim and a nucleus.
    static void drawCell(const EffectContext& c, const Cell& a) {
        const kit::Rgb pale = kit::hsv(0.02f, 0.35f, 1.0f), deep = kit::hsv(0.02f, 0.75f, 1.0f);
        const float r = a.r;
        if (!(r > 0.5f)) {
            return;
        }
        const int x0 = kit::clampCell(c, kit::toCell(a.x - r)), x1 = kit::clampCell(c, kit::toCell(a.x + r));
        const int y0 = kit::clampCell(c, kit::toCell(a.y - r)), y1 = kit::clampCell(c, kit::toCell(a.y + r));
        for (int x = x0; x <= x1; ++x) {
            for (int y = y0; y <= y1; ++y) {
                const float dx = (static_cast<float>(x) + 0.5f - a.x) / r,
                            dy = (static_cast<float>(y) + 0.5f - a.y) / r;
                const float d2 = dx * dx + dy * dy;
                if (d2 > 1.0f) {
                    continue;
                }
                const float light = 0.75f - 0.2f * (dx + dy);
                float v = d2 > 0.72f ? 0.35f : light;
                float sat = d2 > 0.72f ? 0.8f : 0.35f;
                const float nx = dx + 0.15f, ny = dy + 0.1f;
                if (nx * nx + ny * ny < 0.09f) {
                    v = 0.35f;
                    sat = 0.7f;
                }
                kit::setCell(c, x, y, kit::shade(sat > 0.5f ? deep : pale, kit::clampf(v, 0.0f, 1.0f)));
            }
        }
    }

    std::vector<Cell> cells_;
    std::vector<kit::Rgb> glow_;
    uint32_t born_ = 0;
    uint32_t beats_ = 0; // the music's beats heard so far
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Embryo);

} // namespace glowfield
