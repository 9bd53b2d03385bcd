// Zulu: beadwork. Horizontal bands of triangles, diamonds and chevrons in bold colours, threaded as small
// rounded beads with dark gaps; alternate bands slide in opposite directions at their own speeds.
#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Zulu : public Effect {
  public:
    // Leftovers of an earlier entry are brought into range once, so no NaN velocity lingers underneath.
    void start(EffectContext& c) override { kit::tameField(c); }

    void step(EffectContext& c) override {
        kit::scaleVelocities(c, 0.0f);
        static constexpr int pitch = 3;     // cells per bead, the last one a gap
        static constexpr int bandBeads = 9; // beads per band, top to bottom
        const kit::Rgb palette[6] = {kit::fromLevels(200, 30, 30), kit::fromLevels(250, 250, 240),
                                     kit::fromLevels(20, 20, 25),  kit::fromLevels(250, 200, 30),
                                     kit::fromLevels(30, 90, 200), kit::fromLevels(40, 150, 70)};
        const uint32_t f = c.frame % 1000000u;
        for (int y = 0; y < c.n; ++y) {
            const int by = y / pitch, band = by / bandBeads, row = by % bandBeads;
            // Each band slides its own way, a cell at a time, at its own speed (the fastest every frame).
            const int speed = 1 + band % 4;
            const int shift =
                static_cast<int>((f / static_cast<uint32_t>(speed)) % 100000u) * (band % 2 ? 1 : -1);
            const bool border = row == 0 || row == bandBeads - 1;
            const int kind = band % 3;
            const kit::Rgb ground = palette[(band * 2 + 1) % 6];
            const kit::Rgb figure = palette[(band * 5 + 3) % 6];
            const kit::Rgb accent = palette[(band + 4) % 6];
            for (int x = 0; x < c.n; ++x) {
                const int gx = x + shift;
                const int bx = kit::wrap(gx, 1 << 20) / pitch;
                const int sx = kit::wrap(gx, pitch), sy = y % pitch;
                if (sx == pitch - 1 || sy == pitch - 1) {
                    kit::setCell(c, x, y, kit::fromLevels(12, 8, 6)); // thread gaps between beads
                    continue;
                }
                kit::Rgb col = ground;
                const int inner = row - 1; // 0..6 inside the border rows
                const int period = 14, u = bx % period;
                if (border) {
                    col = (bx % 2) ? palette[2] : palette[1];
                } else if (kind == 0) {
                    // Triangles standing on the band's floor, tips up.
                    const int half = period / 2, d = u < half ? u : period - 1 - u;
                    if (6 - inner <= d) {
                        col = figure;
                    }
                    if (6 - inner == d) {
                        col = accent;
                    }
                } else if (kind == 1) {
                    // Diamonds with a centre bead.
                    const int d = u < period / 2 ? u : period - 1 - u;
                    const int v = inner < 3 ? inner : 6 - inner;
                    if (d + v >= 6) {
                        col = figure;
                    }
                    if (d + v == 6) {
                        col = accent;
                    }
                } else {
                    // Chevrons pointing along the band.
                    const int v = inner < 3 ? inner : 6 - inner;
                    const int k = kit::wrap(bx + v, 6);
                    col = k < 2 ? figure : k < 3 ? accent : ground;
                }
                // Beads are round: the first cell of each catches the light, the rest sits in shade.
                float lit = (sx == 0 && sy == 0) ? 1.15f : (sx == 1 && sy == 1) ? 0.7f : 0.9f;
                // Now and then a bead glints as the light runs diagonally over the work.
                if ((bx + by + static_cast<int>(f % 100000u)) % 37 == 0) {
                    lit *= 1.3f;
                }
                kit::setCell(c, x, y, kit::shade(col, lit));
            }
        }
    }
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Zulu);

} // namespace glowfield
