// Block: block printing. A carved wooden block travels over a cream sheet, comes down with its shadow closing
// in, presses, and lifts off a crisp print of solid ink; two motifs (rosettes, stars and rings cut at random)
// alternate in two inks until the sheet is full, then it slides away and a fresh sheet and new blocks come.
#include <cmath>
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

// A motif 28 cells wide and 36 tall is round on the screen (cells are 4 pixels wide and 3 tall).
constexpr int motifW = 28;
constexpr int motifH = 36;
constexpr int pitchX = 33;
constexpr int pitchY = 46;
constexpr int printFrames = 26;
constexpr int slideFrames = 25;

const kit::Rgb paperColour = kit::fromLevels(238, 228, 204);

class Block : public Effect {
  public:
    void start(EffectContext& c) override {
        n_ = c.n;
        paper_.assign(static_cast<size_t>(n_) * n_, paperColour);
        newSheet(c);
    }

    void step(EffectContext& c) override {
        const int cols = n_ / pitchX > 0 ? n_ / pitchX : 1, rows = n_ / pitchY > 0 ? n_ / pitchY : 1;
        const int prints = cols * rows;
        const int printing = prints * printFrames;
        if (age_ >= printing + slideFrames) {
            newSheet(c);
        }
        if (age_ >= printing) {
            slide(c);
        }
        // The sheet as it is, velocities cleared so the wave step leaves it still.
        for (int x = 0; x < n_; ++x) {
            for (int y = 0; y < n_; ++y) {
                kit::paintSolid(c, x, y, paper_[static_cast<size_t>(x) * n_ + y]);
            }
        }
        const int marginX = (n_ - cols * pitchX) / 2 + (pitchX - motifW) / 2;
        const int marginY = (n_ - rows * pitchY) / 2 + (pitchY - motifH) / 2;
        const auto place = [&](int i, float& px, float& py) {
            // Rows run left to right and back again, like a printer working along a sheet.
            const int row = i / cols, col = (row % 2) ? cols - 1 - i % cols : i % cols;
            px = static_cast<float>(marginX + col * pitchX);
            py = static_cast<float>(marginY + row * pitchY);
        };
        float bx = 0.0f, by = 0.0f, lift = 1.0f;
        int which = 0;
        if (age_ < printing) {
            const int index = age_ / printFrames, phase = age_ % printFrames;
            which = (index / cols + index) % 2;
            float fromX = 0.0f, fromY = 0.0f, toX = 0.0f, toY = 0.0f;
            place(index > 0 ? index - 1 : 0, fromX, fromY);
            place(index, toX, toY);
            if (index == 0) {
                fromX = -40.0f; // the first print is brought in from the side
            }
            // Travel raised, come down, press, and lift straight up again.
            const float travel = kit::smoothstep(0.0f, 9.0f, static_cast<float>(phase));
            bx = kit::lerp(fromX, toX, travel);
            by = kit::lerp(fromY, toY, travel);
            lift = phase < 9    ? 1.0f
                   : phase < 14 ? 1.0f - kit::smoothstep(9.0f, 14.0f, phase)
                   : phase < 18 ? 0.0f
                                : kit::smoothstep(18.0f, 25.0f, phase);
            if (phase == 16) {
                stamp(c, toX, toY, which);
            }
        } else {
            bx = n_ + 40.0f;
            by = static_cast<float>(marginY);
        }
        drawBlock(c, bx, by, lift, which);
        ++age_;
    }

  private:
    void newSheet(EffectContext& c) {
        age_ = 0;
        for (int m = 0; m < 2; ++m) {
            carve(c, m);
        }
        static const kit::Rgb inks[5] = {kit::fromLevels(35, 50, 125), kit::fromLevels(170, 38, 40),
                                         kit::fromLevels(30, 100, 70), kit::fromLevels(205, 135, 30),
                                         kit::fromLevels(60, 40, 70)};
        const int first = c.random(0, 4);
        ink_[0] = inks[first];
        ink_[1] = inks[(first + c.random(1, 4)) % 5];
    }

    // A motif cut at random: a rosette of 4 to 8 petals, perhaps with holes, inside a plain, beaded or
    // square border, with a boss at the centre.
    void carve(EffectContext& c, int m) {
        const int petals = c.random(4, 8);
        const float depth = 0.15f + 0.25f * c.randomUnit();
        const bool hollow = m == 1 && c.random(0, 1) == 1;
        const int border = c.random(0, 2);
        const float turn = c.random(0, 1) ? kit::pi / petals : 0.0f;
        const bool star = c.random(0, 2) == 0;
        // One of the pair is cut the other way round: a solid medallion with the rosette left as paper.
        const bool reversed = m == 1;
        for (int i = 0; i < motifW; ++i) {
            for (int j = 0; j < motifH; ++j) {
                const float u = (i + 0.5f) / motifW * 2.0f - 1.0f, v = (j + 0.5f) / motifH * 2.0f - 1.0f;
                const float r = std::sqrt(u * u + v * v);
                const float a = kit::angleOf(u, v) + turn;
                float wave = fastCos(petals * a);
                if (star) {
                    wave = wave > 0.0f ? wave * wave : -wave * wave; // pointed tips
                }
                const float petal = 0.5f + depth * wave;
                bool on = r < petal && r > 0.2f;
                if (hollow && r < petal - 0.2f && r > 0.34f) {
                    on = false;
                }
                if (reversed) {
                    on = r < 0.74f && !on;
                }
                if (r < 0.14f) {
                    on = !reversed;
                }
                const float edge = border == 2 ? kit::greater(u < 0 ? -u : u, v < 0 ? -v : v) : r;
                if (edge > 0.8f && edge < 1.0f) {
                    on = border == 1 ? fastCos(a * 12.0f) > -0.5f : true;
                }
                relief_[m][i][j] = on;
            }
        }
    }

    // Pressing leaves the motif in solid ink, a cell or so off register, and a little thinner here and
    // there as ink does, in broad patches rather than specks.
    void stamp(EffectContext& c, float px, float py, int m) {
        const int x0 = kit::toCell(px) + c.random(-1, 1), y0 = kit::toCell(py) + c.random(-1, 1);
        const float pa = c.randomUnit() * kit::twoPi, pb = c.randomUnit() * kit::twoPi;
        for (int i = 0; i < motifW; ++i) {
            for (int j = 0; j < motifH; ++j) {
                const int x = x0 + i, y = y0 + j;
                if (!relief_[m][i][j] || x < 0 || y < 0 || x >= n_ || y >= n_) {
                    continue;
                }
                const float soak = 0.82f + 0.12f * fastSin(i * 0.35f + pa) * fastSin(j * 0.22f + pb);
                kit::Rgb& cell = paper_[static_cast<size_t>(x) * n_ + y];
                cell = kit::mix(cell, ink_[m], soak);
            }
        }
    }

    // The sheet moves off to the left and a fresh one follows it in.
    void slide(EffectContext&) {
        const int shift = n_ / slideFrames + 1;
        for (int x = 0; x < n_; ++x) {
            for (int y = 0; y < n_; ++y) {
                paper_[static_cast<size_t>(x) * n_ + y] =
                    x + shift < n_ ? paper_[static_cast<size_t>(x + shift) * n_ + y] : paperColour;
            }
        }
    }

    // The block from above: its shadow falls further off as it rises, and it grows a little nearer the eye.
    // A wooden back with grain, a bevelled edge and a round handle; the carved face is under it.
    void drawBlock(EffectContext& c, float bx, float by, float lift, int which) const {
        const float grow = 1.0f + 0.12f * lift;
        const float w = (motifW + 4) * grow, h = (motifH + 5) * grow;
        const float cx = bx + motifW * 0.5f, cy = by + motifH * 0.5f - 5.0f * lift;
        const float shadow = 1.5f + 5.0f * lift;
        const float x0 = cx - w * 0.5f, y0 = cy - h * 0.5f;
        const kit::Rgb shade = kit::fromLevels(120, 110, 95);
        for (int x = kit::toCell(x0 + shadow); x < kit::toCell(x0 + shadow + w); ++x) {
            for (int y = kit::toCell(y0 + shadow * 1.33f + 5.0f * lift);
                 y < kit::toCell(y0 + shadow * 1.33f + h + 5.0f * lift); ++y) {
                if (kit::inside(c, x, y)) {
                    kit::mixCell(c, x, y, shade, 0.55f - 0.25f * lift);
                }
            }
        }
        const kit::Rgb wood = kit::fromLevels(168, 112, 64), dark = kit::fromLevels(110, 66, 34);
        const float seed = which ? 1.7f : 0.0f;
        for (int x = kit::toCell(x0); x < kit::toCell(x0 + w); ++x) {
            for (int y = kit::toCell(y0); y < kit::toCell(y0 + h); ++y) {
                if (!kit::inside(c, x, y)) {
                    continue;
                }
                const float u = (x - x0) / w, v = (y - y0) / h;
                const float grain = 0.5f + 0.5f * fastSin(u * 38.0f + 3.0f * fastSin(v * 5.0f + seed));
                kit::Rgb col = kit::mix(wood, dark, grain * 0.45f);
                if (u < 0.06f || v < 0.05f) {
                    col = kit::shade(col, 1.25f);
                } else if (u > 0.94f || v > 0.95f) {
                    col = kit::shade(col, 0.6f);
                }
                // A band of the block's ink round the sides, so which block is which can be seen.
                if ((u > 0.1f && u < 0.14f) || (u > 0.86f && u < 0.9f)) {
                    col = kit::mix(col, ink_[which], 0.7f);
                }
                kit::setCell(c, x, y, col);
            }
        }
        const float hr = 6.0f * grow;
        kit::fillDisc(c, cx + 1.0f, cy + 1.5f, hr, dark);
        kit::fillDisc(c, cx, cy, hr * 0.9f, kit::fromLevels(190, 135, 80));
        kit::fillDisc(c, cx - hr * 0.3f, cy - hr * 0.4f, hr * 0.3f, kit::fromLevels(225, 185, 130));
    }

    int n_ = 0;
    int age_ = 0;
    std::vector<kit::Rgb> paper_;
    bool relief_[2][motifW][motifH] = {};
    kit::Rgb ink_[2];
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Block);

} // namespace glowfield
