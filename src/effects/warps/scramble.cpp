// Scramble: a sliding puzzle of the screen. The picture on the screen when it starts is cut into 5 x 5 tiles
// with one left blank; tiles slide into the gap at random, each move recorded, then the moves are undone in
// reverse until the picture is whole again. The moving tile is outlined brightly and the gap shows the dark
// board beneath. A screen too plain to tell the tiles apart gets a lettered colour wheel of the puzzle's own,
// and a mostly dark one gets the wheel beneath what is lit.
#include <algorithm>
#include <cmath>
#include <vector>

#include "effects/kit/held_picture.h"
#include "effects/kit/kit.h"

namespace glowfield {

namespace {

constexpr int side = 5;
constexpr int tiles = side * side;
constexpr int maxMoves = 48;
constexpr int moveFrames = 8;
constexpr int restFrames = 30;

class Scramble : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::tameField(c);
        picture_.captureField(c);
        feedIfPlain(c);
        for (int i = 0; i < tiles; ++i) {
            board_[i] = i;
        }
        blank_ = tiles - 1;
        board_[blank_] = -1;
        movesDone_ = 0;
        undoing_ = false;
        frame_ = 0;
        rest_ = 20;
        lastBlank_ = -1;
        moving_ = -1;
    }

    void step(EffectContext& c) override {
        advance(c);
        const int tile = c.n / side;
        const float t = static_cast<float>(c.frame % 400000u) * 0.02f;
        shimmer_.resize(static_cast<size_t>(2 * c.n));
        for (size_t k = 0; k < shimmer_.size(); ++k) {
            shimmer_[k] = 0.92f + 0.08f * fastSin(static_cast<float>(k) * 0.06f - t * 2.0f);
        }
        // The board: tiles from the picture, a shimmer crossing them, thin dark joints.
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                const int sx = x / tile, sy = y / tile;
                kit::Rgb colour = kit::fromLevels(10, 10, 16);
                if (sx < side && sy < side) {
                    const int slot = sx * side + sy;
                    const int id = board_[slot];
                    const bool hidden = moving_ >= 0 && (slot == moveFrom_ || slot == moveTo_);
                    if (id >= 0 && !hidden) {
                        const int px = (id / side) * tile + x % tile, py = (id % side) * tile + y % tile;
                        colour = picture_.at(px, py);
                        float k = shimmer_[static_cast<size_t>(px + py)];
                        if (x % tile == 0 || y % tile == 0) {
                            k *= 0.45f;
                        }
                        colour = {(colour.r + 127.0f) * k - 127.0f, (colour.g + 127.0f) * k - 127.0f,
                                  (colour.b + 127.0f) * k - 127.0f};
                    } else if ((x + y) % 6 == 0) {
                        colour = kit::fromLevels(26, 26, 34);
                    }
                }
                const int cell = cellAt(x, y);
                c.planes.red[cell] = colour.r;
                c.planes.green[cell] = colour.g;
                c.planes.blue[cell] = colour.b;
                c.planes.redVelocity[cell] = 0.0f;
                c.planes.greenVelocity[cell] = 0.0f;
                c.planes.blueVelocity[cell] = 0.0f;
            }
        }
        if (moving_ >= 0) {
            const float f = kit::smoothstep(0.0f, 1.0f, static_cast<float>(frame_) / moveFrames);
            const float ox =
                kit::lerp(static_cast<float>(moveFrom_ / side), static_cast<float>(moveTo_ / side), f) * tile;
            const float oy =
                kit::lerp(static_cast<float>(moveFrom_ % side), static_cast<float>(moveTo_ % side), f) * tile;
            const int bx = kit::toCell(ox), by = kit::toCell(oy);
            for (int i = 0; i < tile; ++i) {
                for (int j = 0; j < tile; ++j) {
                    kit::paint(c, bx + i, by + j,
                               picture_.at((moving_ / side) * tile + i, (moving_ % side) * tile + j));
                }
            }
            const float xs[4] = {ox, ox + tile - 1, ox + tile - 1, ox};
            const float ys[4] = {oy, oy, oy + tile - 1, oy + tile - 1};
            kit::drawPolygon(c, xs, ys, 4, kit::fromLevels(255, 250, 200));
        }
    }

  private:
    // The puzzle's own picture where the screen has too little to cut up: a colour wheel with rings, and on
    // a plain screen each tile's letter in reading order, so that the scrambled board can be read.
    void feedIfPlain(EffectContext& c) {
        const int n = c.n;
        const kit::HeldPicture::Survey survey = picture_.survey();
        const bool plain = survey.plain;
        if (!plain && !survey.mostlyDark) {
            return;
        }
        const float half = static_cast<float>(n) * 0.5f;
        const float turn = c.randomUnit();
        for (int x = 0; x < n; ++x) {
            for (int y = 0; y < n; ++y) {
                const float dx = (static_cast<float>(x) - half) * 4.0f / 3.0f,
                            dy = static_cast<float>(y) - half;
                const float r = std::sqrt(dx * dx + dy * dy) / half;
                const float rings = 0.75f + 0.25f * fastSin(r * 14.0f);
                const kit::Rgb wheel = kit::hsv(kit::angleOf(dx, dy) / kit::twoPi + turn, 0.75f, rings);
                const kit::Rgb was = picture_.at(x, y);
                float keep = 0.0f;
                if (!plain) {
                    const float level = std::max(was.r, std::max(was.g, was.b));
                    keep = kit::clampf((level + 90.0f) / 60.0f, 0.0f, 1.0f);
                }
                kit::paint(c, x, y, kit::mix(wheel, was, keep));
            }
        }
        if (plain) {
            const float tile = static_cast<float>(n / side);
            const float height = tile * 0.5f;
            for (int k = 0; k < tiles - 1; ++k) {
                const float cx = (static_cast<float>(k % side) + 0.5f) * tile;
                const float cy = (static_cast<float>(k / side) + 0.5f) * tile;
                const char letter = static_cast<char>('A' + k);
                kit::drawLetter(c, letter, cx, cy, height, kit::fromLevels(20, 16, 28), 0.0f, 2.6f);
                kit::drawLetter(c, letter, cx, cy, height, kit::fromLevels(255, 250, 235), 0.0f, 1.2f);
            }
        }
        picture_.captureField(c);
    }

    // One frame of the puzzle's clock: rest, then slide, then pick the next move.
    void advance(EffectContext& c) {
        if (moving_ >= 0) {
            if (++frame_ >= moveFrames) {
                board_[moveTo_] = moving_;
                board_[moveFrom_] = -1;
                blank_ = moveFrom_;
                moving_ = -1;
            }
            return;
        }
        if (rest_ > 0) {
            --rest_;
            return;
        }
        int from = -1;
        if (!undoing_) {
            // A random neighbour of the gap, never the tile that just moved (that would undo it at once).
            int options[4];
            int count = 0;
            const int bx = blank_ / side, by = blank_ % side;
            const int near[4][2] = {{bx - 1, by}, {bx + 1, by}, {bx, by - 1}, {bx, by + 1}};
            for (const auto& p : near) {
                const int s = p[0] * side + p[1];
                if (p[0] >= 0 && p[0] < side && p[1] >= 0 && p[1] < side && s != lastBlank_) {
                    options[count++] = s;
                }
            }
            from = options[c.random(0, count - 1)];
            moves_[movesDone_++] = blank_;
            if (movesDone_ >= maxMoves) {
                undoing_ = true;
                rest_ = restFrames;
            }
        } else {
            from = moves_[--movesDone_];
            if (movesDone_ == 0) {
                undoing_ = false;
                rest_ = restFrames * 2;
            }
        }
        lastBlank_ = blank_;
        moving_ = board_[from];
        moveFrom_ = from;
        moveTo_ = blank_;
        frame_ = 0;
    }

    kit::HeldPicture picture_;
    std::vector<float> shimmer_;
    int board_[tiles] = {};
    int moves_[maxMoves] = {};
    int movesDone_ = 0;
    bool undoing_ = false;
    int blank_ = 0;
    int lastBlank_ = -1;
    int moving_ = -1;
    int moveFrom_ = 0, moveTo_ = 0;
    int frame_ = 0;
    int rest_ = 0;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Scramble);

} // namespace glowfield
