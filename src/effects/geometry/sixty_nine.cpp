// 69: a 6 and a 9 (the 6 turned half round) chase each other round the centre like two halves of one sign,
// each a thick curl of loop and tail in contrasting colours, with an eye of the other's colour in its loop.
// They turn and breathe, and the field fades slowly behind them so they leave spiral trails.
#include "effects/kit/kit.h"

namespace glowfield {

namespace {

constexpr int tailPoints = 24;
constexpr int loopPoints = 28;

class SixtyNine : public Effect {
  public:
    void step(EffectContext& c) override {
        kit::tameField(c, 200.0f, 0.0f);
        kit::pullColours(c, kit::fromLevels(6, 4, 14), 0.07f);
        const float n = static_cast<float>(c.n);
        const float t = static_cast<float>(c.frame % 400000u) * 0.02f;
        const float turn = t * 0.9f + 0.4f * fastSin(t * 0.31f);
        const float size = n * (0.8f + 0.08f * fastSin(t * 1.3f));
        const float hue = t * 0.03f;
        const kit::Rgb warm = kit::hsv(hue, 0.85f, 1.0f), cool = kit::hsv(hue + 0.5f, 0.85f, 1.0f);
        digit(c, turn, size, warm, cool);
        digit(c, turn + kit::pi, size, cool, warm);
    }

  private:
    // One digit in its own frame (units of size, y down, origin at the centre of the pair): a loop about
    // (0, 0.25) and a tail that leaves the loop's foot and sweeps up round the outside, so the 6 and the
    // turned 9 together trace the outline of the two-part sign.
    static void digit(EffectContext& c, float angle, float size, kit::Rgb colour, kit::Rgb eye) {
        const float n = static_cast<float>(c.n);
        const float cs = fastCos(angle), sn = fastSin(angle);
        const auto place = [&](float u, float v, float& x, float& y) {
            x = n * 0.5f + (u * cs - v * sn) * size * 0.75f; // cells show 4 wide, 3 tall
            y = n * 0.5f + (u * sn + v * cs) * size;
        };
        const float width = size * 0.035f;
        float px = 0.0f, py = 0.0f;
        place(0.0f, 0.5f, px, py);
        for (int i = 1; i <= loopPoints; ++i) {
            const float a = kit::pi * 0.5f + kit::twoPi * static_cast<float>(i) / loopPoints;
            float x = 0.0f, y = 0.0f;
            place(0.25f * fastCos(a), 0.25f + 0.25f * fastSin(a), x, y);
            kit::drawThickLine(c, px, py, x, y, width, colour);
            px = x;
            py = y;
        }
        place(0.0f, 0.5f, px, py);
        for (int i = 1; i <= tailPoints; ++i) {
            const float s = static_cast<float>(i) / tailPoints;
            const float a = kit::pi * (0.5f + 0.85f * s);
            float x = 0.0f, y = 0.0f;
            place(0.5f * fastCos(a), 0.5f * fastSin(a), x, y);
            kit::drawThickLine(c, px, py, x, y, width * (1.0f - 0.45f * s), colour);
            px = x;
            py = y;
        }
        float ex = 0.0f, ey = 0.0f;
        place(0.0f, 0.25f, ex, ey);
        kit::fillDisc(c, ex, ey, size * 0.06f, eye);
    }
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(SixtyNine);

} // namespace glowfield
