// Tangle: eight coloured threads wander with smoothly turning heads and weave over and under one another
// into a growing tangle of yarn. Every thread alternates at its crossings, the upper one casting a thin
// shadow gap; when the tangle is dense it unravels into the dark and starts again.
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Tangle : public Effect {
  public:
    void start(EffectContext& c) override {
        const size_t cells = static_cast<size_t>(c.n) * static_cast<size_t>(c.n);
        owner_.assign(cells, -1);
        shade_.assign(cells, 0.0f);
        restart(c);
    }

    void step(EffectContext& c) override {
        kit::clearVelocities(c);
        const int n = c.n;
        const float fn = static_cast<float>(n);
        const float s = kit::gridScale(c);
        const uint32_t age = c.frame - begun_;
        float fade = 1.0f;
        if (age >= 1500u) {
            // Unravel: the whole tangle sinks into the dark, then a fresh start.
            fade = 1.0f - static_cast<float>(age - 1500u) / 60.0f;
            if (age >= 1560u) {
                restart(c);
                fade = 1.0f;
            }
        } else {
            for (int sub = 0; sub < 3; ++sub) {
                for (int i = 0; i < threadCount; ++i) {
                    advance(c, i, fn, s);
                }
            }
        }
        // The cloth behind, and each cell of yarn in its thread's colour, shaded along its twist.
        for (int x = 0; x < n; ++x) {
            for (int y = 0; y < n; ++y) {
                const size_t i = at(x, y);
                const int o = owner_[i];
                kit::Rgb colour =
                    ((x / 4 + y / 4) % 2 == 0) ? kit::fromLevels(26, 22, 30) : kit::fromLevels(32, 28, 36);
                if (o >= 0) {
                    colour = kit::shade(yarn_[o], kit::clampf(shade_[i], 0.0f, 1.0f) * fade);
                }
                kit::setCell(c, x, y, colour);
            }
        }
        for (int i = 0; i < threadCount && fade >= 1.0f; ++i) {
            kit::fillDisc(c, x_[i], y_[i], 1.5f * s + 0.5f, kit::white);
        }
    }

  private:
    static constexpr int threadCount = 8;

    size_t at(int x, int y) const {
        return static_cast<size_t>(x) * static_cast<size_t>(side_) + static_cast<size_t>(y);
    }

    void restart(EffectContext& c) {
        side_ = c.n;
        const float n = static_cast<float>(c.n);
        for (size_t i = 0; i < owner_.size(); ++i) {
            owner_[i] = -1;
        }
        for (int i = 0; i < threadCount; ++i) {
            x_[i] = n * (0.2f + 0.6f * c.randomUnit());
            y_[i] = n * (0.2f + 0.6f * c.randomUnit());
            heading_[i] = c.randomUnit() * kit::twoPi;
            turn_[i] = 0.0f;
            travelled_[i] = 0.0f;
            over_[i] = c.random(0, 1) == 1;
            crossing_[i] = false;
            yarn_[i] = kit::hsv(static_cast<float>(i) / threadCount + 0.03f * c.randomUnit(), 0.8f, 1.0f);
        }
        begun_ = c.frame;
    }

    void advance(EffectContext& c, int i, float n, float s) {
        turn_[i] = turn_[i] * 0.97f + (c.randomUnit() - 0.5f) * 0.02f;
        heading_[i] += turn_[i];
        const float margin = n * 0.08f;
        if (x_[i] < margin || y_[i] < margin || x_[i] > n - margin || y_[i] > n - margin) {
            float d = kit::angleOf(n * 0.5f - x_[i], n * 0.5f - y_[i]) - heading_[i];
            d -= kit::twoPi * static_cast<float>(kit::toCell(d / kit::twoPi + 0.5f));
            heading_[i] += d * 0.06f;
        }
        const float step = 0.5f;
        x_[i] += fastCos(heading_[i]) * step;
        y_[i] += fastSin(heading_[i]) * step;
        travelled_[i] += step;
        if (!kit::onGrid(c, x_[i], y_[i])) {
            x_[i] = n * 0.5f;
            y_[i] = n * 0.5f;
        }
        const int cx = kit::toCell(x_[i]), cy = kit::toCell(y_[i]);
        const int here = owner_[at(cx, cy)];
        const bool meeting = here >= 0 && here != i;
        if (meeting && !crossing_[i]) {
            // A new crossing: this thread goes the other way from last time.
            over_[i] = !over_[i];
        }
        crossing_[i] = meeting;
        if (meeting && !over_[i]) {
            return; // under: the other thread stays on top
        }
        const float width = 1.3f * s + 0.4f;
        const float nx = -fastSin(heading_[i]), ny = fastCos(heading_[i]);
        // The twist of the yarn: brightness ripples along its length and falls off to its edges.
        const float twist = 0.8f + 0.2f * fastSin(travelled_[i] * 1.3f);
        for (int k = -3; k <= 3; ++k) {
            const float off = static_cast<float>(k) * width / 2.0f;
            const int x = kit::toCell(x_[i] + nx * off), y = kit::toCell(y_[i] + ny * off);
            if (!kit::inside(c, x, y)) {
                continue;
            }
            const size_t j = at(x, y);
            if (k == -3 || k == 3) {
                // The edge: a shadow on whatever lies beneath.
                if (owner_[j] >= 0 && owner_[j] != i) {
                    shade_[j] *= 0.35f;
                }
                continue;
            }
            owner_[j] = static_cast<int8_t>(i);
            shade_[j] = twist * (1.0f - 0.12f * static_cast<float>(k * k));
        }
    }

    std::vector<int8_t> owner_;
    std::vector<float> shade_;
    float x_[threadCount] = {}, y_[threadCount] = {}, heading_[threadCount] = {}, turn_[threadCount] = {};
    float travelled_[threadCount] = {};
    kit::Rgb yarn_[threadCount];
    bool over_[threadCount] = {}, crossing_[threadCount] = {};
    uint32_t begun_ = 0;
    int side_ = 0;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Tangle);

} // namespace glowfield
