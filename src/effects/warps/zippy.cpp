// Zippy: a big zip runs down the middle between two bold fabrics, buffalo check on the left and polka dots on
// the right. A chrome slider with a swinging pull runs up and down without rest; above it the large brass
// teeth part and the fabrics are pulled aside over a shimmering gold lining, and below it they mesh shut
// again.
#include "effects/kit/kit.h"

namespace glowfield {

namespace {

float absf(float v) {
    return v < 0.0f ? -v : v;
}

// A position in whole periods of p, kept positive: frac(v / p) in 0..1.
float cycle(float v, float p) {
    const float q = v / p + 4096.0f;
    return q - static_cast<float>(static_cast<int>(q));
}

class Zippy : public Effect {
  public:
    void step(EffectContext& c) override {
        kit::clearVelocities(c);
        const float n = static_cast<float>(c.n), s = c.scale;
        const float t = static_cast<float>(c.frame % 400000u);
        const float cx = n * 0.5f;
        // The slider's run: up and down at an even pace, turning over in a few frames at each end.
        const float p = cycle(t, 420.0f);
        const float tri = p < 0.5f ? p * 2.0f : 2.0f - p * 2.0f;
        const float ease = 0.8f * tri + 0.2f * kit::smoothstep(0.0f, 1.0f, tri);
        const float slider = n * (0.1f + 0.8f * ease);
        const float tooth = 8.0f * s;  // width of a tooth from the tape's edge
        const float pitch = 8.0f * s;  // rows from one tooth to the next of the same side
        const float tape = 5.0f * s;   // plain tape beyond the teeth
        const float maxGap = n * 0.3f; // half the opening at its widest

        const kit::Rgb checkRed = kit::fromLevels(200, 24, 30), checkDark = kit::fromLevels(26, 14, 18),
                       checkMid = kit::fromLevels(110, 18, 24);
        const kit::Rgb navy = kit::fromLevels(20, 34, 96), dot = kit::fromLevels(250, 246, 230);
        const kit::Rgb tapeColour = kit::fromLevels(40, 40, 48), stitch = kit::fromLevels(255, 190, 60);
        const kit::Rgb liningLow = kit::fromLevels(230, 110, 20), liningHigh = kit::fromLevels(255, 246, 190);
        const kit::Rgb brass = kit::fromLevels(222, 170, 60), brassDark = kit::fromLevels(110, 70, 20);
        for (int y = 0; y < c.n; ++y) {
            const float fy = static_cast<float>(y);
            const float open = fy < slider ? (slider - fy) * 0.42f : 0.0f;
            gap_[y] = open < maxGap ? open : maxGap;
        }
        for (int x = 0; x < c.n; ++x) {
            const float fx = static_cast<float>(x);
            for (int y = 0; y < c.n; ++y) {
                const float fy = static_cast<float>(y);
                const float w = gap_[y];
                const float left = cx - w, right = cx + w; // the tapes' inner edges
                const bool leftTooth = cycle(fy, pitch) < 0.5f;
                kit::Rgb colour;
                if (fx < left - tooth - tape || fx >= right + tooth + tape) {
                    // The fabrics, pulled aside with their tapes so their patterns move outwards.
                    if (fx < cx) {
                        const float u = fx + w, v = fy * 0.75f;
                        const bool a = cycle(u, 24.0f * s) < 0.5f, b = cycle(v, 24.0f * s) < 0.5f;
                        colour = a && b ? checkRed : a != b ? checkMid : checkDark;
                        const float edge = left - tooth - tape - fx;
                        colour = kit::shade(colour, 0.6f + 0.4f * kit::clampf(edge / (6.0f * s), 0.0f, 1.0f));
                    } else {
                        const float u = fx - w, v = fy * 0.75f;
                        const float du = (cycle(u, 20.0f * s) - 0.5f) * 20.0f * s,
                                    dv = (cycle(v + (cycle(u, 40.0f * s) < 0.5f ? 10.0f * s : 0.0f),
                                                20.0f * s) -
                                          0.5f) *
                                         20.0f * s;
                        colour = du * du + dv * dv < 36.0f * s * s ? dot : navy;
                        const float edge = fx - right - tooth - tape;
                        colour = kit::shade(colour, 0.6f + 0.4f * kit::clampf(edge / (6.0f * s), 0.0f, 1.0f));
                    }
                } else if (fx < left - tooth || fx >= right + tooth) {
                    colour = tapeColour;
                    const float along = fx < cx ? left - tooth - tape * 0.5f : right + tooth + tape * 0.5f;
                    if (absf(fx - along) < 0.8f * s + 0.5f && cycle(fy, 6.0f * s) < 0.6f) {
                        colour = stitch;
                    }
                } else {
                    // Teeth: left ones on alternate rows from the right ones, each reaching half a tooth past
                    // its tape's edge, so closed they mesh; open, the lining shows between the combs.
                    const bool onLeft = leftTooth && fx < left + tooth * 0.5f;
                    const bool onRight = !leftTooth && fx >= right - tooth * 0.5f;
                    if (onLeft || onRight) {
                        const float rowIn =
                            cycle(fy, pitch) * 2.0f - (leftTooth ? 0.0f : 1.0f); // 0..1 down the tooth
                        const float across = onLeft ? (fx - (left - tooth)) / (tooth * 1.5f)
                                                    : ((right + tooth) - fx) / (tooth * 1.5f);
                        float light = 1.0f - absf(rowIn - 0.35f) * 1.6f;
                        light *= 0.75f + 0.25f * across;
                        colour = kit::mix(brassDark, brass, kit::clampf(light, 0.0f, 1.0f));
                        if (rowIn > 0.2f && rowIn < 0.4f && across > 0.3f && across < 0.8f) {
                            colour = kit::mix(colour, kit::white, 0.7f);
                        }
                    } else if (w < tooth * 0.5f) {
                        colour = tapeColour; // closed: the other side's tape between teeth
                    } else {
                        const float sheen = 0.5f + 0.5f * fastSin((fx - cx) * 0.12f + fy * 0.05f - t * 0.06f);
                        colour = kit::mix(liningLow, liningHigh, sheen * sheen);
                        // Shadow just under the tapes.
                        const float fromEdge = (w - absf(fx - cx)) / (6.0f * s);
                        colour = kit::shade(colour, 0.55f + 0.45f * kit::clampf(fromEdge, 0.0f, 1.0f));
                    }
                }
                kit::setCell(c, x, y, colour);
            }
        }
        drawSlider(c, cx, slider, s, t);
    }

  private:
    // The slider: a chrome body over the teeth with a pull hanging from it, swinging as it travels.
    static void drawSlider(const EffectContext& c, float cx, float y, float s, float t) {
        const kit::Rgb chrome = kit::fromLevels(200, 206, 218), dark = kit::fromLevels(70, 74, 90);
        const float bodyX[6] = {cx - 17.0f * s, cx + 17.0f * s, cx + 13.0f * s,
                                cx + 8.0f * s,  cx - 8.0f * s,  cx - 13.0f * s};
        const float bodyY[6] = {y - 14.0f * s, y - 14.0f * s, y + 6.0f * s,
                                y + 12.0f * s, y + 12.0f * s, y + 6.0f * s};
        kit::fillPolygon(c, bodyX, bodyY, 6, dark);
        float innerX[6], innerY[6];
        for (int i = 0; i < 6; ++i) {
            innerX[i] = cx + (bodyX[i] - cx) * 0.82f;
            innerY[i] = y + (bodyY[i] - y) * 0.82f;
        }
        kit::fillPolygon(c, innerX, innerY, 6, chrome);
        kit::drawThickLine(c, cx - 10.0f * s, y - 8.0f * s, cx + 8.0f * s, y - 8.0f * s, 1.2f * s,
                           kit::white);
        // The pull swings like a pendulum from a lug at the body's foot.
        const float angle = 0.45f * fastSin(t * 0.09f);
        const float len = 34.0f * s;
        const float ex = cx + len * fastSin(angle) * 0.75f, ey = y + 8.0f * s + len * fastCos(angle);
        kit::drawThickLine(c, cx, y + 8.0f * s, ex, ey, 5.0f * s, dark);
        kit::drawThickLine(c, cx, y + 8.0f * s, ex, ey, 3.6f * s, chrome);
        kit::drawThickLine(c, cx - 1.5f * s, y + 10.0f * s, ex - 1.5f * s, ey - 2.0f * s, 0.8f * s,
                           kit::white);
        const float hx = cx + (ex - cx) * 0.8f, hy = y + 8.0f * s + (ey - y - 8.0f * s) * 0.8f;
        kit::fillDisc(c, hx, hy, 1.8f * s, dark);
    }

    float gap_[planeStride]{};
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Zippy);

} // namespace glowfield
