// Reflect-Toe: noughts and crosses in a hall of mirrors. Two automatic players take turns on a board in one
// quarter of the screen, each mark drawn stroke by stroke and reflected into the other three quarters; a
// winning line flashes before the board clears for the next game. Light sweeps across the mirrors all the
// while, so the hall never stands still between moves.
#include "effects/kit/kit.h"

namespace glowfield {

namespace {

constexpr int kLines[8][3] = {{0, 1, 2}, {3, 4, 5}, {6, 7, 8}, {0, 3, 6},
                              {1, 4, 7}, {2, 5, 8}, {0, 4, 8}, {2, 4, 6}};

class ReflectToe : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::tameField(c);
        reset(c);
    }

    void step(EffectContext& c) override {
        kit::scaleVelocities(c, 0.6f);
        const float n = static_cast<float>(c.n);
        const float half = n * 0.5f;
        const float t = static_cast<float>(c.frame % 100000u);
        // Each quarter has its own tinted glass, with a band of light that sweeps across the mirror joins;
        // the band runs along the diagonals, so it is made once per diagonal.
        kit::Rgb tints[4];
        for (int q = 0; q < 4; ++q) {
            tints[q] = kit::hsv(0.55f + q * 0.1f, 0.6f, 1.0f);
        }
        for (int d = 0; d < 2 * c.n - 1 && d < 2 * planeStride; ++d) {
            const float wave =
                0.5f + 0.5f * fastSin((static_cast<float>(d) - 2.0f * half) * 0.05f - t * 0.09f);
            shimmer_[d] = wave * wave * wave;
        }
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                const int q = (x < c.n / 2 ? 0 : 1) + (y < c.n / 2 ? 0 : 2);
                const float dx = x - half, dy = y - half;
                const float fall = 1.0f - (dx * dx + dy * dy) / (n * n);
                kit::Rgb glass = kit::shade(tints[q], 0.16f + 0.42f * shimmer_[x + y] * fall);
                if (absf(dx + 0.5f) < 1.0f || absf(dy + 0.5f) < 1.0f) {
                    glass = kit::fromLevels(200, 220, 255);
                }
                kit::setCell(c, x, y, glass);
            }
        }
        const float cell = (half - 16.0f) / 3.0f;
        const float ox = 8.0f, oy = 8.0f;
        const kit::Rgb gridCol = kit::fromLevels(150, 160, 190);
        for (int i = 1; i < 3; ++i) {
            line(c, ox + cell * i, oy, ox + cell * i, oy + cell * 3.0f, 0.7f, gridCol);
            line(c, ox, oy + cell * i, ox + cell * 3.0f, oy + cell * i, 0.7f, gridCol);
        }
        // Marks: finished ones whole, the newest drawn as far as its stroke has got.
        for (int i = 0; i < 9; ++i) {
            if (board_[i] == 0) {
                continue;
            }
            const float progress =
                i == lastMove_ ? kit::clampf(static_cast<float>(drawTimer_) / 25.0f, 0.0f, 1.0f) : 1.0f;
            const float cx = ox + cell * (i % 3 + 0.5f), cy = oy + cell * (i / 3 + 0.5f);
            const float r = cell * 0.32f;
            bool lit = false;
            if (winLine_ >= 0) {
                for (int k = 0; k < 3; ++k) {
                    lit = lit || kLines[winLine_][k] == i;
                }
            }
            const bool flash = lit && (flashTimer_ / 6) % 2 == 0;
            if (board_[i] == 1) {
                const kit::Rgb col = flash ? kit::white : kit::fromLevels(255, 90, 70);
                const float a = kit::clampf(progress * 2.0f, 0.0f, 1.0f),
                            b = kit::clampf(progress * 2.0f - 1.0f, 0.0f, 1.0f);
                line(c, cx - r, cy - r, cx - r + 2.0f * r * a, cy - r + 2.0f * r * a, 1.6f, col);
                if (b > 0.0f) {
                    line(c, cx + r, cy - r, cx + r - 2.0f * r * b, cy - r + 2.0f * r * b, 1.6f, col);
                }
            } else {
                const kit::Rgb col = flash ? kit::white : kit::fromLevels(90, 230, 140);
                const int segments = 24;
                const int shown = kit::toCell(progress * segments);
                for (int s = 0; s < shown && s < segments; ++s) {
                    const float a0 = -kit::pi * 0.5f + kit::twoPi * s / segments;
                    const float a1 = a0 + kit::twoPi / segments;
                    line(c, cx + fastCos(a0) * r, cy + fastSin(a0) * r, cx + fastCos(a1) * r,
                         cy + fastSin(a1) * r, 1.6f, col);
                }
            }
        }
        if (winLine_ >= 0 && (flashTimer_ / 6) % 2 == 0) {
            const int a = kLines[winLine_][0], b = kLines[winLine_][2];
            line(c, ox + cell * (a % 3 + 0.5f), oy + cell * (a / 3 + 0.5f), ox + cell * (b % 3 + 0.5f),
                 oy + cell * (b / 3 + 0.5f), 1.0f, kit::fromLevels(255, 240, 120));
        }
        advance(c);
    }

  private:
    // A thick stroke in the first quarter and its three reflections.
    void line(EffectContext& c, float x0, float y0, float x1, float y1, float r, kit::Rgb col) {
        const float m = static_cast<float>(c.n - 1);
        kit::drawThickLine(c, x0, y0, x1, y1, r, col);
        kit::drawThickLine(c, m - x0, y0, m - x1, y1, r, kit::shade(col, 0.85f));
        kit::drawThickLine(c, x0, m - y0, x1, m - y1, r, kit::shade(col, 0.85f));
        kit::drawThickLine(c, m - x0, m - y0, m - x1, m - y1, r, kit::shade(col, 0.7f));
    }

    void reset(EffectContext& c) {
        for (int& v : board_) {
            v = 0;
        }
        player_ = c.random(1, 2);
        lastMove_ = -1;
        drawTimer_ = 0;
        winLine_ = -1;
        flashTimer_ = 0;
        moves_ = 0;
    }

    int winner() const {
        for (int l = 0; l < 8; ++l) {
            const int v = board_[kLines[l][0]];
            if (v != 0 && v == board_[kLines[l][1]] && v == board_[kLines[l][2]]) {
                return l;
            }
        }
        return -1;
    }

    void advance(EffectContext& c) {
        ++drawTimer_;
        if (winLine_ >= 0 || moves_ == 9) {
            if (++flashTimer_ > 90) {
                reset(c);
            }
            return;
        }
        if (drawTimer_ < 32) {
            return;
        }
        // Take a winning square when there is one, else block the other player's, else any free square.
        int choice = -1;
        for (int who : {player_, 3 - player_}) {
            for (int i = 0; i < 9 && choice < 0; ++i) {
                if (board_[i] != 0) {
                    continue;
                }
                board_[i] = who;
                if (winner() >= 0) {
                    choice = i;
                }
                board_[i] = 0;
            }
        }
        if (choice < 0) {
            int pick = c.random(0, 8 - moves_);
            for (int i = 0; i < 9; ++i) {
                if (board_[i] == 0 && pick-- == 0) {
                    choice = i;
                }
            }
        }
        if (choice < 0) {
            return;
        }
        board_[choice] = player_;
        lastMove_ = choice;
        drawTimer_ = 0;
        ++moves_;
        player_ = 3 - player_;
        winLine_ = winner();
    }

    float shimmer_[2 * planeStride]{};
    int board_[9]{};
    int player_ = 1;
    int lastMove_ = -1;
    int drawTimer_ = 0;
    int winLine_ = -1;
    int flashTimer_ = 0;
    int moves_ = 0;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(ReflectToe);

} // namespace glowfield
