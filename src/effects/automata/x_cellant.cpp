// X-cellant: a spreadsheet recalculating itself. Each box of the grid shows its value as a level bar; a
// cursor sweeps the sheet in reading order and sets each box from its neighbours plus a little drift, so
// waves of values ripple through it. Lettered column heads, numbered rows as tick marks, and the box under
// the mouse lights up.
#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class XCellant : public Effect {
  public:
    void start(EffectContext& c) override {
        for (float& v : values_) {
            v = c.randomUnit() * 2.0f - 1.0f;
        }
        cursor_ = 0;
    }

    void step(EffectContext& c) override {
        // Recalculate a few boxes a frame: each takes its neighbours' mean, pushed by a drift and, now and
        // then, a fresh input typed into a random box.
        for (int k = 0; k < 4; ++k) {
            const int col = cursor_ % cols, row = cursor_ / cols;
            float sum = 0.0f;
            int count = 0;
            for (int d = 0; d < 4; ++d) {
                const int cc = col + (d == 0) - (d == 1), rr = row + (d == 2) - (d == 3);
                if (cc >= 0 && cc < cols && rr >= 0 && rr < rows) {
                    sum += values_[rr * cols + cc];
                    ++count;
                }
            }
            const float drift = (c.randomUnit() - 0.5f) * 0.5f;
            values_[cursor_] = kit::clampf(sum / count * 1.02f + drift, -1.0f, 1.0f);
            cursor_ = (cursor_ + 1) % (cols * rows);
        }
        if (c.random() % 20 == 0) {
            values_[c.random(0, cols * rows - 1)] = c.random() % 2 ? 1.0f : -1.0f;
        }
        draw(c);
    }

  private:
    static constexpr int cols = 12;
    static constexpr int rows = 16;

    void draw(EffectContext& c) {
        const float n = static_cast<float>(c.n);
        const float headW = n * 0.07f, headH = n * 0.1f;
        const float boxW = (n - headW) / cols, boxH = (n - headH) / rows;
        kit::fillColours(c, kit::fromLevels(236, 238, 240), true);
        // Header strips.
        kit::fillRect(c, 0.0f, 0.0f, n, headH, kit::fromLevels(200, 206, 216));
        kit::fillRect(c, 0.0f, 0.0f, headW, n, kit::fromLevels(200, 206, 216));
        const int curCol = cursor_ % cols, curRow = cursor_ / cols;
        const int mouseCol = kit::toCell((c.mouseX - headW) / boxW),
                  mouseRow = kit::toCell((c.mouseY - headH) / boxH);
        for (int col = 0; col < cols; ++col) {
            const float x0 = headW + col * boxW;
            const char letter[2] = {static_cast<char>('A' + col), '\0'};
            const kit::Rgb ink = col == curCol ? kit::fromLevels(20, 60, 200) : kit::fromLevels(60, 64, 80);
            kit::drawText(c, letter, x0 + boxW * 0.5f - headH * 0.33f, headH * 0.15f, headH * 0.7f, ink, 0.0f,
                          0.6f);
        }
        for (int row = 0; row < rows; ++row) {
            const float y0 = headH + row * boxH;
            // Row heads: a count of ticks, one per row number's bit, so rows can be told apart.
            for (int b = 0; b < 4; ++b) {
                if ((row + 1) >> b & 1) {
                    kit::fillRect(c, headW * 0.2f + b * headW * 0.18f, y0 + boxH * 0.3f,
                                  headW * 0.32f + b * headW * 0.18f, y0 + boxH * 0.7f,
                                  kit::fromLevels(60, 64, 80));
                }
            }
            for (int col = 0; col < cols; ++col) {
                const float x0 = headW + col * boxW;
                const float v = values_[row * cols + col];
                const bool mouse = col == mouseCol && row == mouseRow;
                if (mouse) {
                    kit::fillRect(c, x0, y0, x0 + boxW, y0 + boxH, kit::fromLevels(255, 240, 160));
                }
                // The level bar: green for positive values, red for negative, its length the size.
                const kit::Rgb bar = v >= 0.0f ? kit::fromLevels(40, 170, 80) : kit::fromLevels(210, 60, 50);
                const float len = (boxW - 4.0f) * (v < 0.0f ? -v : v);
                kit::fillRect(c, x0 + 2.0f, y0 + boxH * 0.3f, x0 + 2.0f + len, y0 + boxH * 0.75f, bar);
                kit::fillRect(c, x0 + 2.0f, y0 + boxH * 0.3f, x0 + 2.0f + len, y0 + boxH * 0.4f,
                              kit::shade(bar, 1.35f));
            }
        }
        // Grid lines.
        for (int col = 0; col <= cols; ++col) {
            const float x = headW + col * boxW;
            kit::drawLine(c, x, 0.0f, x, n - 1.0f, kit::fromLevels(150, 156, 170));
        }
        for (int row = 0; row <= rows; ++row) {
            const float y = headH + row * boxH;
            kit::drawLine(c, 0.0f, y, n - 1.0f, y, kit::fromLevels(150, 156, 170));
        }
        // The recalculation cursor: a thick blue frame.
        const float cx = headW + curCol * boxW, cy = headH + curRow * boxH;
        const float xs[4] = {cx, cx + boxW, cx + boxW, cx};
        const float ys[4] = {cy, cy, cy + boxH, cy + boxH};
        for (int k = 0; k < 4; ++k) {
            kit::drawThickLine(c, xs[k], ys[k], xs[(k + 1) % 4], ys[(k + 1) % 4], 1.0f,
                               kit::fromLevels(30, 90, 230));
        }
    }

    float values_[cols * rows] = {};
    int cursor_ = 0;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(XCellant);

} // namespace glowfield
