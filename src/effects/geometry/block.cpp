// Block: block printing. Two carved 16 x 16 motifs, each four-fold symmetric and made at random, are inked
// and stamped in rows across a sheet: the wooden block travels to each place and presses, every print a
// little misregistered and with ink skips. The second block overprints the first in another colour with a
// half-block offset; then the sheet is wiped paler and a new pair of blocks is cut.
#include "effects/geometry/held_picture.h"
#include "effects/kit/kit.h"

namespace glowfield {

namespace {

constexpr int motif = 16;
constexpr int cellScale = 2;
constexpr int blockCells = motif * cellScale;
constexpr int travelFrames = 5;
constexpr int wipeFrames = 40;

const kit::Rgb paperColour = kit::fromLevels(238, 228, 204);

class Block : public Effect {
  public:
    void start(EffectContext& c) override {
        paper_.reset(c, paperColour);
        cut(c);
    }

    void step(EffectContext& c) override {
        paper_.restore(c);
        const int across = c.n / blockCells > 0 ? c.n / blockCells : 1;
        const int prints = across * across;
        const int printFrames = prints * travelFrames;
        if (age_ >= 2 * printFrames + wipeFrames) {
            cut(c);
        }
        const int pass = age_ < printFrames ? 0 : age_ < 2 * printFrames ? 1 : 2;
        float blockX = -1000.0f, blockY = -1000.0f;
        bool lifted = false;
        if (pass < 2) {
            const int local = age_ - pass * printFrames;
            const int index = local / travelFrames, phase = local % travelFrames;
            const int margin = (c.n - across * blockCells) / 2;
            const int offset = pass == 1 ? blockCells / 2 : 0;
            const auto place = [&](int i, float& px, float& py) {
                // Rows run left to right and back again, like a printer working a sheet.
                const int row = i / across, col = (row % 2) ? across - 1 - i % across : i % across;
                px = static_cast<float>(margin + col * blockCells + offset);
                py = static_cast<float>(margin + row * blockCells + offset);
            };
            float fromX = 0, fromY = 0, toX = 0, toY = 0;
            place(index > 0 ? index - 1 : 0, fromX, fromY);
            place(index, toX, toY);
            const float f = kit::smoothstep(0.0f, travelFrames - 2.0f, static_cast<float>(phase));
            lifted = phase == travelFrames - 1; // raised off the fresh print for a frame
            blockX = kit::lerp(fromX, toX, f);
            blockY = kit::lerp(fromY, toY, f);
            if (phase == travelFrames - 1) {
                stamp(c, kit::toCell(toX) + c.random(-1, 1), kit::toCell(toY) + c.random(-1, 1), pass);
            }
        } else {
            kit::pullColours(c, paperColour, 0.03f); // the old prints stay as a faint ghost
        }
        paper_.keep(c);
        ++age_;
        if (pass < 2 && !lifted) {
            drawBlock(c, blockX, blockY, pass);
        }
    }

  private:
    void cut(EffectContext& c) {
        age_ = 0;
        for (int m = 0; m < 2; ++m) {
            // Square or round rings, alternately carved away, crossed by diagonals or a cross.
            const bool round = c.random(0, 1) == 1;
            const int diagonal = c.random(0, 3);
            unsigned rings = static_cast<unsigned>(c.random()) | 0x1u;
            for (int i = 0; i < motif / 2; ++i) {
                for (int j = 0; j < motif / 2; ++j) {
                    const int di = motif / 2 - 1 - i, dj = motif / 2 - 1 - j; // 0 at the centre
                    const int ring = round ? (di * di + dj * dj) / 5 : (di > dj ? di : dj);
                    bool on = (rings >> (ring % 15)) & 1u;
                    if (diagonal == 1 && i == j) {
                        on = !on;
                    } else if (diagonal == 2 && (i == motif / 2 - 1 || j == motif / 2 - 1)) {
                        on = true;
                    } else if (diagonal == 3 && (i + j) % 4 == 0) {
                        on = !on;
                    }
                    const bool border = i == 0 || j == 0;
                    relief_[m][i][j] = relief_[m][motif - 1 - i][j] = relief_[m][i][motif - 1 - j] =
                        relief_[m][motif - 1 - i][motif - 1 - j] = on || border;
                }
            }
        }
        const float hue = c.randomUnit();
        ink_[0] = kit::hsv(hue, 0.8f, 0.55f);
        ink_[1] = kit::hsv(hue + 0.35f + 0.3f * c.randomUnit(), 0.75f, 0.8f);
    }

    void stamp(EffectContext& c, int x0, int y0, int pass) {
        for (int i = 0; i < motif; ++i) {
            for (int j = 0; j < motif; ++j) {
                if (!relief_[pass][i][j]) {
                    continue;
                }
                for (int k = 0; k < cellScale * cellScale; ++k) {
                    if (c.random(0, 99) < 88) { // ink skips
                        const int x = x0 + i * cellScale + k % cellScale,
                                  y = y0 + j * cellScale + k / cellScale;
                        kit::blendCell(c, x, y, ink_[pass], pass == 0 ? 0.9f : 0.75f);
                    }
                }
            }
        }
    }

    // The block itself, inked face down: a wooden back with the motif showing faintly through its grain.
    void drawBlock(EffectContext& c, float bx, float by, int pass) const {
        const kit::Rgb wood = kit::fromLevels(150, 100, 60);
        kit::fillRect(c, bx + 3.0f, by + 3.0f, bx + blockCells + 3.0f, by + blockCells + 3.0f,
                      kit::fromLevels(90, 80, 64));
        for (int i = 0; i < motif; ++i) {
            for (int j = 0; j < motif; ++j) {
                const float grain =
                    0.85f + 0.15f * fastSin(static_cast<float>(j) * 1.7f + static_cast<float>(i) * 0.3f);
                const kit::Rgb face = relief_[pass][i][j] ? kit::mix(wood, ink_[pass], 0.35f) : wood;
                kit::fillRect(c, bx + i * cellScale, by + j * cellScale, bx + (i + 1) * cellScale,
                              by + (j + 1) * cellScale, kit::shade(face, grain));
            }
        }
        const float xs[4] = {bx, bx + blockCells - 1, bx + blockCells - 1, bx};
        const float ys[4] = {by, by, by + blockCells - 1, by + blockCells - 1};
        kit::drawPolygon(c, xs, ys, 4, kit::fromLevels(70, 40, 20));
    }

    HeldPicture paper_;
    bool relief_[2][motif][motif] = {};
    kit::Rgb ink_[2];
    int age_ = 0;
};

} // namespace

std::unique_ptr<Effect> makeBlock() {
    return std::make_unique<Block>();
}

} // namespace glowfield
