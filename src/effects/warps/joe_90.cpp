// Joe-90: quarter-turn feedback. Each frame the field takes most of a copy of itself turned about ninety
// degrees and shrunk towards the centre, so the picture becomes a tunnel of nested, twisting frames; the
// border feeds bands of turning colour that stream inwards, a contrast and colour gain in the loop keeps them
// saturated instead of washing to grey, and a wandering bar and bright drops feed shapes into the nest.
#include <algorithm>

#include "effects/kit/kit.h"
#include "effects/warps/colour_image.h"

namespace glowfield {

namespace {

constexpr float gain = 1.1f;        // contrast in the loop: grey grows towards full colour ...
constexpr float softLimit = 935.0f; // ... and stops near +-85, where gain * (1 - |v| / softLimit) is 1
constexpr float saturate = 1.03f;   // each channel pushed away from the cell's grey
constexpr float zoom = 1.07f;       // the turned copy is read from further out: nested copies shrink inwards
constexpr float keepOwn = 0.3f;     // the mix: a little of the cell itself ...
constexpr float takeTurned = 0.7f;  // ... and most of the turned copy
constexpr float hueDrift = 0.012f;  // red takes a little green, green blue, blue red: colours cycle slowly

class Joe90 : public Effect {
  public:
    void start(EffectContext& c) override { kit::tameField(c); }

    void step(EffectContext& c) override {
        const uint32_t age = c.framesSinceStart + 1;
        const int n = c.n;
        const float fn = static_cast<float>(n);
        const float t = static_cast<float>(age % 1000000u);
        image_.capture(c);
        // A quarter turn plus a slow swing of a few degrees either way.
        const float turn = kit::pi * 0.5f + 0.05f * fastSin(t * 0.011f);
        const float ct = fastCos(turn) * zoom, st = fastSin(turn) * zoom;
        const float mid = (fn - 1.0f) * 0.5f, edge = fn - 0.5f;
        // The frame's colour turns slowly and pulses about one and a half times a second (slow enough never
        // to read as flashing when the bands reach the middle), so bands of colour stream inwards.
        const kit::Rgb frame =
            kit::hsv(t * 0.008f + 0.1f * fastSin(t * 0.05f), 0.9f, 0.6f + 0.35f * fastSin(t * 0.2f));
        for (int x = 0; x < n; ++x) {
            const float dx = static_cast<float>(x) - mid;
            const kit::Rgb* own = image_.column(x);
            float* red = c.planes.red + cellAt(x, 0);
            float* green = c.planes.green + cellAt(x, 0);
            float* blue = c.planes.blue + cellAt(x, 0);
            // Calm velocities leave the wave step a gentle blur, which keeps the fold from breaking into
            // grain.
            std::fill_n(c.planes.redVelocity + cellAt(x, 0), n, 0.0f);
            std::fill_n(c.planes.greenVelocity + cellAt(x, 0), n, 0.0f);
            std::fill_n(c.planes.blueVelocity + cellAt(x, 0), n, 0.0f);
            for (int y = 0; y < n; ++y) {
                const float dy = static_cast<float>(y) - mid;
                const kit::Rgb a = own[y];
                // Beyond the edge the copy reads the frame colour, which nests inwards as a spiral of frames.
                const float sx = mid + ct * dx - st * dy, sy = mid + st * dx + ct * dy;
                kit::Rgb b = frame;
                if (sx > -0.5f && sy > -0.5f && sx < edge && sy < edge) {
                    // The nearest cell: the wave step's blur smooths what a bilinear look-up would.
                    b = image_.column(static_cast<int>(sx + 0.5f))[static_cast<int>(sy + 0.5f)];
                }
                kit::Rgb m{a.r * keepOwn + b.r * takeTurned, a.g * keepOwn + b.g * takeTurned,
                           a.b * keepOwn + b.b * takeTurned};
                m = {m.r + (m.g - m.r) * hueDrift, m.g + (m.b - m.g) * hueDrift,
                     m.b + (m.r - m.b) * hueDrift};
                const float grey = (m.r + m.g + m.b) * (1.0f / 3.0f);
                red[y] = loop(grey + (m.r - grey) * saturate);
                green[y] = loop(grey + (m.g - grey) * saturate);
                blue[y] = loop(grey + (m.b - grey) * saturate);
            }
        }
        // The bar: a thick stroke whose ends wander on different slow loops, its colour turning.
        const float u = t * 0.03f;
        const float x0 = fn * (0.5f + 0.32f * fastSin(u * 1.3f)),
                    y0 = fn * (0.5f + 0.3f * fastSin(u * 0.7f + 2.0f));
        const float x1 = fn * (0.5f + 0.25f * fastSin(u * 0.9f + 4.0f)),
                    y1 = fn * (0.5f + 0.32f * fastSin(u * 1.1f));
        const kit::Rgb col = kit::hsv(u * 0.1f + 0.5f, 1.0f, 1.0f);
        kit::drawThickLine(c, x0, y0, x1, y1, 2.5f * fn / 200.0f, col);
        kit::drawLine(c, x0, y0, x1, y1, kit::mix(col, kit::white, 0.6f));
        // Drops of a contrasting colour near the middle, where the stream begins.
        if (age % 9u == 0u) {
            const float r = fn * 0.22f * c.randomUnit(), a = c.randomUnit() * kit::twoPi;
            kit::fillDisc(c, fn * 0.5f + r * fastCos(a), fn * 0.5f + r * fastSin(a), fn * 0.025f,
                          kit::hsv(u * 0.15f + 0.5f, 1.0f, c.random(0, 2) == 0 ? 0.15f : 1.0f));
        }
    }

  private:
    // The loop's gain with a soft ceiling: small values grow, large ones settle near +-85 (the look-ups hold
    // at most +-200, where this still rises).
    static float loop(float v) { return v * gain * (1.0f - (v < 0.0f ? -v : v) * (1.0f / softLimit)); }

    warps::ColourImage image_;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Joe90);

} // namespace glowfield
