// Quibble: two round creatures bicker. Each in turn puffs up inside a jagged speech burst and spits random
// letters that fly across, spinning, and bounce off the other; the louder one swells as the quieter shrinks.
#include <array>
#include <cmath>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Quibble : public Effect {
  public:
    void start(EffectContext& c) override {
        for (Letter& l : letters_) {
            l.alive = false;
        }
        speaker_ = c.random(0, 1);
        turn_ = 0;
        size_[0] = size_[1] = 1.0f;
    }

    void step(EffectContext& c) override {
        ++turn_;
        kit::tameField(c, 300.0f, 0.0f);
        const float n = static_cast<float>(c.n);
        if (turn_ > 150 + (c.random() % 40)) {
            turn_ = 0;
            speaker_ = 1 - speaker_;
            grumble_ = c.random(0, 5);
        }
        // The speaker swells, the listener shrinks, both eased.
        for (int k = 0; k < 2; ++k) {
            const float want = k == speaker_ ? 1.25f : 0.8f;
            size_[k] += (want - size_[k]) * 0.05f;
        }
        const float cx[2] = {n * 0.2f, n * 0.8f};
        const float groundY = n * 0.88f;
        float cy[2], r[2];
        for (int k = 0; k < 2; ++k) {
            r[k] = n * 0.12f * size_[k];
            const float bounce =
                k == speaker_ ? 2.0f * absf(fastSin((c.framesSinceStart + 1) * 0.35f)) : 0.0f;
            cy[k] = groundY - r[k] * 1.33f - bounce;
        }
        // Spit: a letter every few frames while speaking, after a short wind-up.
        if (turn_ > 20 && turn_ % 6 == 0) {
            for (Letter& l : letters_) {
                if (!l.alive) {
                    const float dir = speaker_ == 0 ? 1.0f : -1.0f;
                    l = Letter{};
                    l.alive = true;
                    l.x = cx[speaker_] + dir * r[speaker_] * 0.9f;
                    l.y = cy[speaker_] - r[speaker_] * 0.2f;
                    l.vx = dir * (1.6f + 1.2f * c.randomUnit());
                    l.vy = -1.8f - 1.6f * c.randomUnit();
                    l.spin = (c.randomUnit() - 0.5f) * 0.4f;
                    l.letter = static_cast<char>('A' + c.random(0, 25));
                    l.hue = c.randomUnit();
                    break;
                }
            }
        }
        drawScene(c, cx, cy, r, groundY);
        for (Letter& l : letters_) {
            if (!l.alive) {
                continue;
            }
            l.vy += 0.08f;
            l.x += l.vx;
            l.y += l.vy;
            l.angle += l.spin;
            // A hit on either creature: bounce off its surface.
            for (int k = 0; k < 2; ++k) {
                const float dx = l.x - cx[k], dy = (l.y - cy[k]) * 0.75f;
                const float d = std::sqrt(dx * dx + dy * dy);
                if (d < r[k] + 4.0f && d > 0.001f && (l.vx * dx + l.vy * dy) < 0.0f) {
                    const float nx = dx / d, ny = dy / d;
                    const float dot = l.vx * nx + l.vy * ny;
                    l.vx = (l.vx - 2.0f * dot * nx) * 0.8f;
                    l.vy = (l.vy - 2.0f * dot * ny) * 0.8f;
                    l.spin = -l.spin * 1.5f;
                }
            }
            if (l.y > groundY - 3.0f && l.vy > 0.0f) {
                l.vy = -l.vy * 0.5f;
                l.vx *= 0.8f;
                l.life -= 60;
            }
            l.life -= 1;
            if (l.life <= 0 || l.x < -20.0f || l.x > n + 20.0f || !(l.x == l.x) || !(l.y == l.y)) {
                l.alive = false;
                continue;
            }
            kit::drawLetter(c, l.letter, l.x, l.y, 14.0f, kit::fromLevels(20, 20, 30), l.angle, 1.6f);
            kit::drawLetter(c, l.letter, l.x, l.y, 14.0f, kit::hsv(l.hue, 0.8f, 1.0f), l.angle, 0.8f);
        }
    }

  private:
    struct Letter {
        bool alive = false;
        float x = 0.0f, y = 0.0f, vx = 0.0f, vy = 0.0f, angle = 0.0f, spin = 0.0f, hue = 0.0f;
        int life = 260;
        char letter = 'A';
    };

    void drawScene(EffectContext& c, const float* cx, const float* cy, const float* r, float groundY) {
        const float n = static_cast<float>(c.n);
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                const float v = static_cast<float>(y) / n;
                kit::setSolidCell(c, x, y,
                                  y < groundY ? kit::fromLevels(150 + truncToInt(60 * v), 190, 230)
                                              : kit::fromLevels(110, 160, 80));
            }
        }
        const kit::Rgb bodies[2] = {kit::fromLevels(240, 130, 170), kit::fromLevels(120, 210, 120)};
        for (int k = 0; k < 2; ++k) {
            const bool speaking = k == speaker_;
            if (speaking && turn_ > 8) {
                // The speech burst: a jagged star over the speaker's head, trembling.
                const float bx = cx[k] + (k == 0 ? 1.0f : -1.0f) * r[k] * 0.9f, by = cy[k] - r[k] * 2.0f;
                float xs[24], ys[24];
                for (int p = 0; p < 24; ++p) {
                    const float a = p * kit::twoPi / 24.0f;
                    const float reach = (p % 2 ? 0.65f : 1.0f) * r[k] * (1.0f + 0.08f * c.randomUnit());
                    xs[p] = bx + reach * 1.2f * fastCos(a);
                    ys[p] = by + reach * fastSin(a);
                }
                kit::fillPolygon(c, xs, ys, 24, kit::fromLevels(255, 240, 120));
                kit::drawPolygon(c, xs, ys, 24, kit::fromLevels(200, 60, 30));
                // A grumble of its own for each turn.
                static constexpr const char* grumbles[] = {"GRR", "BAH", "PAH", "NAH", "HMM", "TSK"};
                kit::drawText(c, grumbles[grumble_ % 6], bx - r[k] * 0.75f, by - r[k] * 0.28f, r[k] * 0.55f,
                              kit::fromLevels(200, 40, 30), 0.0f, 1.0f);
            }
            // A round body (rounder on the screen: cells are wider than tall), with eyes and a mouth.
            for (int x = kit::toCell(cx[k] - r[k]); x <= kit::toCell(cx[k] + r[k]); ++x) {
                for (int y = kit::toCell(cy[k] - r[k] * 1.34f); y <= kit::toCell(cy[k] + r[k] * 1.34f); ++y) {
                    const float dx = (x - cx[k]) / r[k], dy = (y - cy[k]) / (r[k] * 1.33f);
                    const float d = dx * dx + dy * dy;
                    if (d <= 1.0f) {
                        const float light =
                            1.0f - 0.35f * (dx + 0.4f) * (dx + 0.4f) - 0.3f * (dy + 0.4f) * (dy + 0.4f);
                        kit::paint(c, x, y,
                                   d > 0.9f ? kit::shade(bodies[k], 0.4f) : kit::shade(bodies[k], light));
                    }
                }
            }
            const float look = k == 0 ? 1.0f : -1.0f;
            for (int e = -1; e <= 1; e += 2) {
                const float ex = cx[k] + look * r[k] * 0.25f + e * r[k] * 0.28f, ey = cy[k] - r[k] * 0.45f;
                kit::fillDisc(c, ex, ey, r[k] * 0.2f, kit::white);
                kit::fillDisc(c, ex + look * r[k] * 0.07f, ey + r[k] * 0.05f, r[k] * 0.09f, kit::black);
                // Angry brows.
                kit::drawThickLine(c, ex - r[k] * 0.2f, ey - r[k] * (0.3f + 0.1f * e * look),
                                   ex + r[k] * 0.2f, ey - r[k] * (0.3f - 0.1f * e * look), 0.8f, kit::black);
            }
            const float open =
                speaking ? 0.15f + 0.15f * absf(fastSin((c.framesSinceStart + 1) * 0.5f)) : 0.04f;
            kit::fillRect(c, cx[k] + look * r[k] * 0.05f - r[k] * 0.3f, cy[k] + r[k] * 0.35f,
                          cx[k] + look * r[k] * 0.05f + r[k] * 0.3f, cy[k] + r[k] * (0.35f + open * 2.0f),
                          kit::fromLevels(90, 20, 30));
        }
    }

    std::array<Letter, 40> letters_{};
    int speaker_ = 0;
    int turn_ = 0;
    int grumble_ = 0;
    float size_[2] = {1.0f, 1.0f};
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Quibble);

} // namespace glowfield
