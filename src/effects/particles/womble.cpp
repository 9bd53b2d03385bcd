// Womble: tidying up the common. A few big furry litter-pickers trundle over a striped lawn, each picking up
// a piece of bright litter, carrying it on its back to the nearest of four heaps and stacking it there, so
// the heaps grow into tidy pyramids; a full heap is carted off and fresh litter blows in from the edges.
#include <cmath>
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

constexpr int heapCount = 4;
constexpr int heapRows = 6;                             // a full heap is a pyramid of this many rows
constexpr int heapFull = heapRows * (heapRows + 1) / 2; // pieces in a full heap
constexpr int litterCount = 48;                         // pieces on the lawn at most
constexpr int creatureCount = 4;                        //
constexpr int kinds = 5;                                // kinds of litter

// Litter colours: a red can, white paper, a green bottle, a yellow crisp packet, a blue carton; each with a
// second colour for its top row, so a 3 x 3 piece reads as an object.
const kit::Rgb litterBody[kinds] = {kit::fromLevels(220, 30, 40), kit::fromLevels(245, 245, 240),
                                    kit::fromLevels(40, 170, 80), kit::fromLevels(250, 210, 30),
                                    kit::fromLevels(40, 90, 230)};
const kit::Rgb litterTop[kinds] = {kit::fromLevels(200, 200, 210), kit::fromLevels(190, 190, 200),
                                   kit::fromLevels(200, 240, 210), kit::fromLevels(200, 40, 40),
                                   kit::fromLevels(240, 240, 250)};

class Womble : public Effect {
  public:
    void start(EffectContext& c) override {
        const float n = static_cast<float>(c.n);
        litter_.assign(litterCount, Piece{});
        for (int i = 0; i < litterCount * 3 / 4; ++i) {
            drop(c, false);
        }
        const float hx[heapCount] = {0.16f, 0.84f, 0.2f, 0.8f}, hy[heapCount] = {0.3f, 0.28f, 0.86f, 0.88f};
        for (int h = 0; h < heapCount; ++h) {
            heaps_[h] = Heap{n * hx[h], n * hy[h], 0, {}};
            // Each heap starts with a few pieces, so the idea reads at once.
            for (int k = c.random(1, 5); k > 0; --k) {
                heaps_[h].kinds[heaps_[h].count++] = c.random(0, kinds - 1);
            }
        }
        for (Creature& w : creatures_) {
            w = Creature{};
            w.x = n * (0.3f + 0.4f * c.randomUnit());
            w.y = n * (0.3f + 0.4f * c.randomUnit());
            w.phase = c.randomUnit() * kit::twoPi;
        }
        makeLawn(c);
    }

    void step(EffectContext& c) override {
        kit::clearVelocities(c);
        const float n = static_cast<float>(c.n), s = c.scale;
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                kit::setCell(c, x, y, lawn_[static_cast<size_t>(x) * c.n + y]);
            }
        }
        // Fresh litter blows in when the lawn gets tidy.
        int lying = 0;
        for (const Piece& p : litter_) {
            lying += p.live ? 1 : 0;
        }
        if (lying < litterCount / 2 && c.random(0, 5) == 0) {
            drop(c, true);
        }
        for (Piece& p : litter_) {
            if (!p.live) {
                continue;
            }
            // Blown-in pieces tumble to rest.
            if (p.drift > 0.0f) {
                p.x += p.vx;
                p.y += p.vy;
                p.drift -= 1.0f;
                p.x = kit::clampf(p.x, 3.0f, n - 4.0f);
                p.y = kit::clampf(p.y, 3.0f, n - 4.0f);
            }
            drawPiece(c, p.x, p.y, p.kind, s);
        }
        for (Heap& h : heaps_) {
            drawHeap(c, h, s);
        }
        for (Creature& w : creatures_) {
            think(w, n, s);
        }
        for (const Creature& w : creatures_) {
            drawCreature(c, w, s);
        }
    }

  private:
    struct Piece {
        float x = 0.0f, y = 0.0f, vx = 0.0f, vy = 0.0f, drift = 0.0f;
        int kind = 0;
        bool live = false, claimed = false;
    };
    struct Heap {
        float x = 0.0f, y = 0.0f;
        int count = 0;
        int kinds[heapFull] = {};
    };
    struct Creature {
        float x = 0.0f, y = 0.0f, phase = 0.0f, facing = 1.0f;
        int target = -1;   // the piece it walks to, or -1
        int carrying = -1; // the kind on its back, or -1
        int heap = 0;      // where it is taking it
        int pause = 0;     // frames to stand still, bending to pick up or set down
    };

    void drop(EffectContext& c, bool blown) {
        const float n = static_cast<float>(c.n);
        for (Piece& p : litter_) {
            if (p.live) {
                continue;
            }
            p = Piece{};
            p.live = true;
            p.kind = c.random(0, kinds - 1);
            p.x = n * (0.08f + 0.84f * c.randomUnit());
            p.y = n * (0.1f + 0.82f * c.randomUnit());
            if (blown) {
                // From the left edge, tumbling in on the wind.
                p.drift = 30.0f + 30.0f * c.randomUnit();
                p.vx = p.x / p.drift;
                p.vy = (c.randomUnit() - 0.5f) * 0.6f;
                p.x = 3.0f;
            }
            return;
        }
    }

    void think(Creature& w, float n, float s) {
        if (w.pause > 0) {
            --w.pause;
            return;
        }
        float tx = w.x, ty = w.y;
        if (w.carrying >= 0) {
            Heap& h = heaps_[w.heap];
            tx = h.x;
            ty = h.y + 12.0f * s;
            if (near(w, tx, ty, 5.0f * s)) {
                if (h.count >= heapFull) {
                    h.count = 0; // carted off: the heap starts again
                }
                h.kinds[h.count++] = w.carrying;
                w.carrying = -1;
                w.pause = 12;
                return;
            }
        } else {
            if (w.target < 0 || !litter_[static_cast<size_t>(w.target)].live) {
                w.target = nearestPiece(w);
            }
            if (w.target >= 0) {
                Piece& p = litter_[static_cast<size_t>(w.target)];
                tx = p.x;
                ty = p.y;
                if (near(w, tx, ty, 3.0f * s) && p.drift <= 0.0f) {
                    p.live = false;
                    w.carrying = p.kind;
                    w.target = -1;
                    w.heap = nearestHeap(w);
                    w.pause = 10;
                    return;
                }
            } else {
                // Nothing to pick up: amble about the middle.
                tx = n * (0.5f + 0.3f * fastSin(w.phase * 0.05f));
                ty = n * (0.5f + 0.3f * fastCos(w.phase * 0.037f));
            }
        }
        const float dx = tx - w.x, dy = (ty - w.y) * 0.75f;
        const float len = std::abs(dx) + std::abs(dy) + 0.001f;
        const float speed = 0.9f * s;
        w.x += dx / len * speed;
        w.y += dy / len * speed / 0.75f;
        if (dx > 0.3f || dx < -0.3f) {
            w.facing = dx > 0.0f ? 1.0f : -1.0f;
        }
        w.phase += 0.35f;
        w.x = kit::clampf(w.x, 0.0f, n - 1.0f);
        w.y = kit::clampf(w.y, 0.0f, n - 1.0f);
    }

    static bool near(const Creature& w, float x, float y, float r) {
        const float dx = x - w.x, dy = y - w.y;
        return dx * dx + dy * dy < r * r;
    }

    int nearestPiece(const Creature& w) {
        int best = -1;
        float bestD = 1e30f;
        for (int i = 0; i < litterCount; ++i) {
            const Piece& p = litter_[static_cast<size_t>(i)];
            if (!p.live || p.claimed) {
                continue;
            }
            const float dx = p.x - w.x, dy = p.y - w.y;
            const float d = dx * dx + dy * dy;
            if (d < bestD) {
                bestD = d;
                best = i;
            }
        }
        // Claimed while walked to, so two pickers do not chase one piece.
        for (Piece& p : litter_) {
            p.claimed = false;
        }
        for (const Creature& other : creatures_) {
            if (other.target >= 0 && &other != &w) {
                litter_[static_cast<size_t>(other.target)].claimed = true;
            }
        }
        if (best >= 0 && litter_[static_cast<size_t>(best)].claimed) {
            best = -1;
            bestD = 1e30f;
            for (int i = 0; i < litterCount; ++i) {
                const Piece& p = litter_[static_cast<size_t>(i)];
                const float dx = p.x - w.x, dy = p.y - w.y;
                if (p.live && !p.claimed && dx * dx + dy * dy < bestD) {
                    bestD = dx * dx + dy * dy;
                    best = i;
                }
            }
        }
        return best;
    }

    int nearestHeap(const Creature& w) const {
        int best = 0;
        float bestD = 1e30f;
        for (int h = 0; h < heapCount; ++h) {
            const float dx = heaps_[h].x - w.x, dy = heaps_[h].y - w.y;
            if (dx * dx + dy * dy < bestD) {
                bestD = dx * dx + dy * dy;
                best = h;
            }
        }
        return best;
    }

    // A 4 x 4 piece (scaled with the grid): its body and a top row of another colour.
    static void drawPiece(const EffectContext& c, float x, float y, int kind, float s) {
        const float w = 4.0f * s + 0.01f;
        kit::fillRect(c, x - w * 0.5f + s, y - w * 0.5f + s, x + w * 0.5f + s, y + w * 0.5f + s,
                      kit::fromLevels(30, 60, 20)); // its shadow on the grass
        kit::fillRect(c, x - w * 0.5f, y - w * 0.5f, x + w * 0.5f, y + w * 0.5f, litterBody[kind]);
        kit::fillRect(c, x - w * 0.5f, y - w * 0.5f, x + w * 0.5f, y - w * 0.5f + s, litterTop[kind]);
    }

    // The heap: pieces stacked in a pyramid on a trodden brown patch.
    static void drawHeap(const EffectContext& c, const Heap& h, float s) {
        kit::fillDisc(c, h.x, h.y + 2.0f * s, 16.0f * s, kit::fromLevels(110, 86, 50));
        int k = 0;
        for (int row = 0; row < heapRows && k < h.count; ++row) {
            const int across = heapRows - row;
            for (int i = 0; i < across && k < h.count; ++i, ++k) {
                const float px =
                    h.x + (static_cast<float>(i) - static_cast<float>(across - 1) * 0.5f) * 4.6f * s;
                const float py = h.y + 2.0f * s - static_cast<float>(row) * 4.2f * s;
                drawPiece(c, px, py, h.kinds[k], s);
            }
        }
    }

    // A round furry body with a pale face, a long snout with a black nose on the side it faces, bright eyes,
    // stumpy feet that step in turn, and whatever it carries riding on its back.
    static void drawCreature(const EffectContext& c, const Creature& w, float grid) {
        const float s = grid * 1.6f; // big enough to read as animals
        const kit::Rgb fur = kit::fromLevels(150, 128, 104), furDark = kit::fromLevels(96, 80, 66),
                       face = kit::fromLevels(226, 214, 190), nose = kit::fromLevels(20, 16, 16);
        const float bob = w.pause > 0 ? 1.5f * s : 0.8f * s * std::abs(fastSin(w.phase));
        const float cx = w.x, cy = w.y - bob;
        const float rx = 8.0f * s, ry = 10.0f * s;
        // Feet.
        const float step = fastSin(w.phase) * 2.0f * s;
        kit::fillRect(c, cx - 5.0f * s + step, w.y + ry - 2.0f * s, cx - 1.0f * s + step, w.y + ry + 1.0f * s,
                      furDark);
        kit::fillRect(c, cx + 1.0f * s - step, w.y + ry - 2.0f * s, cx + 5.0f * s - step, w.y + ry + 1.0f * s,
                      furDark);
        // The furry body: a ragged outline, darker towards the edge.
        const int x0 = kit::clampCell(c, kit::toCell(cx - rx - 2.0f)),
                  x1 = kit::clampCell(c, kit::toCell(cx + rx + 2.0f));
        const int y0 = kit::clampCell(c, kit::toCell(cy - ry - 2.0f)),
                  y1 = kit::clampCell(c, kit::toCell(cy + ry + 2.0f));
        for (int x = x0; x <= x1; ++x) {
            for (int y = y0; y <= y1; ++y) {
                const float dx = (static_cast<float>(x) - cx) / rx, dy = (static_cast<float>(y) - cy) / ry;
                const float d2 = dx * dx + dy * dy;
                const float tuft = 0.1f * fastSin(kit::angleOf(dx, dy) * 11.0f);
                if (d2 < (1.0f + tuft) * (1.0f + tuft)) {
                    kit::paint(c, x, y, kit::mix(fur, furDark, kit::smoothstep(0.5f, 1.1f, d2) - 0.3f * dy));
                }
            }
        }
        // Face, snout and nose towards where it walks.
        const float f = w.facing;
        kit::fillDisc(c, cx + f * 3.5f * s, cy - 2.0f * s, 4.5f * s, face);
        kit::drawThickLine(c, cx + f * 5.0f * s, cy - 1.0f * s, cx + f * 10.0f * s, cy, 2.0f * s, face);
        kit::fillDisc(c, cx + f * 10.5f * s, cy, 1.6f * s, nose);
        for (float e : {1.0f, 5.0f}) {
            kit::fillDisc(c, cx + f * e * s, cy - 4.5f * s, 1.3f * s, kit::white);
            kit::fillDisc(c, cx + f * (e + 0.5f) * s, cy - 4.3f * s, 0.7f * s, nose);
        }
        // Ears.
        kit::fillDisc(c, cx - f * 3.0f * s, cy - ry + 0.5f * s, 2.2f * s, furDark);
        if (w.carrying >= 0) {
            drawPiece(c, cx - f * 2.0f * s, cy - ry - 1.0f * s, w.carrying, grid);
        }
    }

    // Mown stripes of two greens with short darker blades, made once.
    void makeLawn(EffectContext& c) {
        const float s = c.scale;
        lawn_.assign(static_cast<size_t>(c.n) * c.n, kit::grey);
        const kit::Rgb light = kit::fromLevels(110, 190, 70), dark = kit::fromLevels(70, 150, 50);
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                const bool band =
                    (static_cast<int>((static_cast<float>(x) + static_cast<float>(y) * 0.3f) / (20.0f * s)) &
                     1) != 0;
                lawn_[static_cast<size_t>(x) * c.n + y] = band ? light : dark;
            }
        }
        for (int i = 0; i < c.n * c.n / 40; ++i) {
            const int x = c.random(0, c.n - 1), y = c.random(0, c.n - 3);
            for (int k = 0; k < 3; ++k) {
                kit::Rgb& cell = lawn_[static_cast<size_t>(x) * c.n + y + k];
                cell = kit::shade(cell, 0.82f);
            }
        }
    }

    std::vector<Piece> litter_;
    std::vector<kit::Rgb> lawn_;
    Heap heaps_[heapCount];
    Creature creatures_[creatureCount];
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Womble);

} // namespace glowfield
