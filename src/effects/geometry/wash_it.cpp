// Wash It: a windscreen wash. Nozzles spray soapy foam over the glass in front of a blurred road at dusk,
// then the wiper blade sweeps its arc, wiping the glass clean behind it and shedding drips from its tip.
#include <cmath>
#include <vector>

#include "effects/geometry/plane_columns.h"
#include "effects/kit/kit.h"

namespace glowfield {

namespace {

struct Blob {
    float x, y, vx, vy, radius;
    bool flying; // still in the air from the nozzle
    bool drip;   // running down the glass
};

class WashIt : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::tameField(c);
        blobs_.clear();
        blobs_.reserve(maxBlobs);
        time_ = 0;
        lastAngle_ = restAngle;
    }

    void step(EffectContext& c) override {
        const int n = c.n;
        const float nf = static_cast<float>(n);
        const float s = nf / 200.0f;
        ++time_;
        const float t = static_cast<float>(time_);
        kit::scaleVelocities(c, 0.0f);
        // The view: sky, distant lights, the road's vanishing lines, all soft.
        for (int x = 0; x < n; ++x) {
            const columns::Column col = columns::column(c, x);
            for (int y = 0; y < n; ++y) {
                const float fx = static_cast<float>(x) / nf, fy = static_cast<float>(y) / nf;
                kit::Rgb colour;
                if (fy < 0.55f) {
                    colour = kit::fromLevels(60 + truncToInt(150.0f * fy), 70 + truncToInt(90.0f * fy),
                                             140 - truncToInt(40.0f * fy));
                } else {
                    const float lane = (fx - 0.5f) / (fy - 0.5f);
                    const bool line = (lane > -0.05f && lane < 0.05f) &&
                                      fastSin((1.0f / (fy - 0.5f)) * 2.0f + t * 0.3f) > 0.0f;
                    colour = line ? kit::fromLevels(220, 220, 160) : kit::fromLevels(55, 55, 65);
                }
                col.set(y, colour);
            }
        }
        for (int k = 0; k < 6; ++k) {
            const float lx = nf * (0.1f + 0.16f * static_cast<float>(k)) +
                             3.0f * s * fastSin(t * 0.02f + static_cast<float>(k));
            kit::softDisc(c, lx, nf * 0.52f, 5.0f * s, {180.0f, 120.0f, 40.0f});
        }

        // The cycle: spray for a while, then two wipes, then rest.
        const int phase = time_ % 360;
        if (phase < 120 && phase % 2 == 0) {
            for (int side = 0; side < 2; ++side) {
                if (blobs_.size() >= maxBlobs) {
                    break;
                }
                const float ox = nf * (side ? 0.68f : 0.32f);
                const float a = -kit::pi * 0.5f + (c.randomUnit() - 0.5f) * 1.2f;
                const float v = (2.0f + 2.5f * c.randomUnit()) * s;
                blobs_.push_back({ox, nf, v * fastCos(a), v * fastSin(a), (2.0f + 3.0f * c.randomUnit()) * s,
                                  true, false});
            }
        }
        float angle = restAngle;
        if (phase >= 150 && phase < 310) {
            // Two strokes out and back, eased at the ends.
            const float u = static_cast<float>((phase - 150) % 80) / 80.0f;
            const float sweep =
                u < 0.5f ? kit::smoothstep(0.0f, 0.5f, u) : 1.0f - kit::smoothstep(0.5f, 1.0f, u);
            angle = restAngle - sweep * (kit::pi - 2.0f * restAngle + 0.2f) * -1.0f;
        }
        const float pivotX = nf * 0.5f, pivotY = nf * 1.02f, length = nf * 0.85f;
        const float lo = angle < lastAngle_ ? angle : lastAngle_,
                    hi = angle < lastAngle_ ? lastAngle_ : angle;

        size_t kept = 0;
        for (size_t i = 0; i < blobs_.size(); ++i) {
            Blob b = blobs_[i];
            if (b.flying) {
                b.vy += 0.05f * s;
                b.x += b.vx;
                b.y += b.vy;
                if (b.vy > -0.5f * s) {
                    b.flying = false; // it lands on the glass and sticks
                }
            } else if (b.drip) {
                b.y += 0.5f * s;
            } else {
                b.y += 0.02f * s; // foam slides very slowly
            }
            if (!(b.x > -10.0f && b.x < nf + 10.0f && b.y < nf + 10.0f && b.y > -nf)) {
                continue;
            }
            // Swept by the blade this frame: foam under the arc is gone, except what the tip sheds as drips.
            if (!b.flying && !b.drip && hi - lo > 1e-4f) {
                const float dx = b.x - pivotX, dy = b.y - pivotY;
                const float a = kit::angleOf(dx, -dy);
                const float r = std::sqrt(dx * dx + dy * dy);
                if (a >= lo && a <= hi && r < length) {
                    if (r > length * 0.85f && blobs_.size() < maxBlobs) {
                        b.drip = true;
                        b.radius = 1.2f * s;
                        b.x = pivotX + length * fastCos(angle);
                        b.y = pivotY - length * fastSin(angle);
                    } else {
                        continue;
                    }
                }
            }
            drawBlob(c, b, s);
            blobs_[kept++] = b;
        }
        blobs_.resize(kept);
        lastAngle_ = angle;

        // The blade: a dark arm and a rubber strip.
        const float ex = pivotX + length * fastCos(angle), ey = pivotY - length * fastSin(angle);
        kit::drawThickLine(c, pivotX, pivotY, ex, ey, 1.6f * s, kit::fromLevels(20, 20, 22));
        kit::drawThickLine(c, pivotX + (ex - pivotX) * 0.3f, pivotY + (ey - pivotY) * 0.3f, ex, ey, 0.8f * s,
                           kit::fromLevels(70, 70, 80));
        kit::fillDisc(c, pivotX, pivotY - 2.0f * s, 4.0f * s, kit::fromLevels(30, 30, 35));
    }

  private:
    static constexpr size_t maxBlobs = 900;
    static constexpr float restAngle = 0.12f;

    static void drawBlob(const EffectContext& c, const Blob& b, float s) {
        if (b.drip) {
            kit::drawThickLine(c, b.x, b.y - 4.0f * s, b.x, b.y, b.radius, kit::fromLevels(200, 220, 240));
            return;
        }
        kit::fillDisc(c, b.x, b.y, b.radius, kit::fromLevels(225, 230, 240));
        kit::drawRing(c, b.x, b.y, b.radius, 0.9f, kit::fromLevels(170, 180, 200));
        kit::paint(c, kit::roundCell(b.x - b.radius * 0.4f), kit::roundCell(b.y - b.radius * 0.4f),
                   kit::white);
    }

    std::vector<Blob> blobs_;
    float lastAngle_ = restAngle;
    int time_ = 0;
};

} // namespace

std::unique_ptr<Effect> makeWashIt() {
    return std::make_unique<WashIt>();
}

} // namespace glowfield
