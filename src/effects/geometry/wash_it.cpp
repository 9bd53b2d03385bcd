// Wash It: the windscreen at the car wash. Thick bubbly foam is sprayed over the glass, and a heavy wiper
// blade sweeps its arc, shoving the foam ahead of it in a ridge and leaving a clean arc through which a
// sharp, sunny countryside shows, until the spray covers it again.
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

constexpr int sweepFrames = 70;  // one pass of the blade across the glass
constexpr int restFrames = 12;   // the pause at each end
constexpr int radialBins = 64;   // steps along the blade, for the foam it carries
constexpr float maxAngle = 1.2f; // the blade's swing either side of upright, in radians

class WashIt : public Effect {
  public:
    void start(EffectContext& c) override {
        n_ = c.n;
        const size_t cells = static_cast<size_t>(c.n) * c.n;
        foam_.assign(cells, 0.0f);
        bubbles_.assign(cells, 0.0f);
        scene_.assign(cells, kit::grey);
        paintScene(c);
        // The foam's texture: overlapping bubbles with bright rims, made once so it never flickers.
        const float n = static_cast<float>(c.n), s = c.scale;
        for (int i = 0; i < 1400; ++i) {
            const float bx = c.randomUnit() * n, by = c.randomUnit() * n;
            const float r = (1.5f + 3.5f * c.randomUnit()) * s;
            stampBubble(bx, by, r);
        }
        for (int i = 0; i < 140; ++i) {
            spray(c);
        }
        angle_ = -maxAngle;
    }

    void step(EffectContext& c) override {
        kit::clearVelocities(c);
        const float n = static_cast<float>(c.n);
        // The blade: sweep, rest, sweep back, rest, easing in and out of each sweep.
        const int cycle = static_cast<int>(c.frame % static_cast<uint32_t>(2 * (sweepFrames + restFrames)));
        const int leg = cycle % (sweepFrames + restFrames);
        const float u = leg < sweepFrames ? static_cast<float>(leg) / sweepFrames : 1.0f;
        const float eased = kit::smoothstep(0.0f, 1.0f, u);
        const bool back = cycle >= sweepFrames + restFrames;
        const float previous = angle_;
        angle_ = back ? maxAngle - 2.0f * maxAngle * eased : -maxAngle + 2.0f * maxAngle * eased;
        for (int i = 0; i < 2; ++i) {
            spray(c);
        }
        wipe(c, previous, angle_);
        // The glass: the scene, under foam as thick as it lies.
        const kit::Rgb foamLight = kit::fromLevels(246, 248, 255), foamShade = kit::fromLevels(170, 184, 206);
        for (int x = 0; x < c.n; ++x) {
            const size_t column = static_cast<size_t>(x) * c.n;
            for (int y = 0; y < c.n; ++y) {
                const float d = foam_[column + y];
                kit::Rgb colour = scene_[column + y];
                if (d > 0.02f) {
                    const kit::Rgb froth = kit::mix(foamShade, foamLight, bubbles_[column + y]);
                    const float cover = d > 0.6f ? 1.0f : d / 0.6f;
                    colour = kit::mix(colour, froth, cover * (0.55f + 0.45f * cover));
                }
                kit::setCell(c, x, y, colour);
            }
        }
        drawBlade(c, n, angle_);
    }

  private:
    // Between cell centres: with the pivot on a centre the wedge test missed the column straight above it.
    float pivotX(float n) const { return n * 0.5f + 0.37f; }
    float pivotY(float n) const { return n * 1.06f; }

    void stampBubble(float bx, float by, float r) {
        const int x0 = clampIndex(bx - r - 1.0f), x1 = clampIndex(bx + r + 1.0f);
        const int y0 = clampIndex(by - r * 1.34f - 1.0f), y1 = clampIndex(by + r * 1.34f + 1.0f);
        for (int x = x0; x <= x1; ++x) {
            for (int y = y0; y <= y1; ++y) {
                const float dx = (static_cast<float>(x) - bx) / r,
                            dy = (static_cast<float>(y) - by) * 0.75f / r;
                const float d2 = dx * dx + dy * dy;
                if (d2 < 1.0f) {
                    // Bright at the rim, a little darker inside, with a glint at the upper left.
                    float v = d2 > 0.6f ? 1.0f : 0.35f + 0.3f * d2;
                    if ((dx + 0.4f) * (dx + 0.4f) + (dy + 0.4f) * (dy + 0.4f) < 0.06f) {
                        v = 1.0f;
                    }
                    bubbles_[static_cast<size_t>(x) * n_ + y] = v;
                }
            }
        }
    }

    int clampIndex(float v) const {
        return v < 0.0f ? 0 : v >= static_cast<float>(n_ - 1) ? n_ - 1 : static_cast<int>(v);
    }

    // A dollop of foam lands somewhere on the glass.
    void spray(EffectContext& c) {
        const float n = static_cast<float>(c.n), s = c.scale;
        const float bx = c.randomUnit() * n, by = c.randomUnit() * n;
        const float r = (6.0f + 9.0f * c.randomUnit()) * s;
        const float amount = 0.35f + 0.3f * c.randomUnit();
        const int x0 = clampIndex(bx - r), x1 = clampIndex(bx + r);
        const int y0 = clampIndex(by - r * 1.34f), y1 = clampIndex(by + r * 1.34f);
        for (int x = x0; x <= x1; ++x) {
            for (int y = y0; y <= y1; ++y) {
                const float dx = (static_cast<float>(x) - bx) / r,
                            dy = (static_cast<float>(y) - by) * 0.75f / r;
                const float q = 1.0f - dx * dx - dy * dy;
                if (q > 0.0f) {
                    float& f = foam_[static_cast<size_t>(x) * n_ + y];
                    f += amount * q;
                    f = f > 1.0f ? 1.0f : f;
                }
            }
        }
    }

    // Clears the wedge the blade swept this frame and piles what it held just ahead of the blade, so a ridge
    // of foam rides along and is left at the end of the sweep.
    void wipe(const EffectContext& c, float from, float to) {
        if (from == to) {
            return;
        }
        const float n = static_cast<float>(c.n);
        const float px = pivotX(n), py = pivotY(n);
        const float inner = n * 0.18f, outer = n * 0.98f;
        const float ax = fastSin(from), ay = -fastCos(from), bx = fastSin(to), by = -fastCos(to);
        const float sweep = ax * by - ay * bx; // sign of the turn
        // Ahead of the blade: the next few degrees in the direction it turns.
        const float ahead = to + (to > from ? 0.1f : -0.1f);
        const float hx = fastSin(ahead), hy = -fastCos(ahead);
        float carried[radialBins] = {};
        for (int pass = 0; pass < 2; ++pass) {
            const float ex = pass == 0 ? ax : bx, ey = pass == 0 ? ay : by;
            const float fx = pass == 0 ? bx : hx, fy = pass == 0 ? by : hy;
            const float turn = ex * fy - ey * fx;
            // Only the box around the thin wedge: its corners at both radii, with a margin for the arc.
            float lox = px, hix = px, loy = py, hiy = py;
            for (const float r : {inner, outer}) {
                for (int k = 0; k < 2; ++k) {
                    const float qx = px + (k == 0 ? ex : fx) * r, qy = py + (k == 0 ? ey : fy) * r / 0.75f;
                    lox = qx < lox ? qx : lox;
                    hix = qx > hix ? qx : hix;
                    loy = qy < loy ? qy : loy;
                    hiy = qy > hiy ? qy : hiy;
                }
            }
            const int x0 = clampIndex(lox - 4.0f), x1 = clampIndex(hix + 4.0f);
            const int y0 = clampIndex(loy - 4.0f), y1 = clampIndex(hiy + 4.0f);
            for (int x = x0; x <= x1; ++x) {
                const float vx = static_cast<float>(x) - px;
                for (int y = y0; y <= y1; ++y) {
                    const float vy = (static_cast<float>(y) - py) * 0.75f;
                    const float r2 = vx * vx + vy * vy;
                    if (r2 < inner * inner || r2 > outer * outer) {
                        continue;
                    }
                    // Inside the wedge between the two blade directions.
                    const float c1 = ex * vy - ey * vx, c2 = vx * fy - vy * fx;
                    if ((turn > 0.0f) != (c1 >= 0.0f) || (turn > 0.0f) != (c2 >= 0.0f) || (sweep == 0.0f)) {
                        continue;
                    }
                    float& f = foam_[static_cast<size_t>(x) * n_ + y];
                    const int bin = static_cast<int>((r2 - inner * inner) / (outer * outer - inner * inner) *
                                                     (radialBins - 1));
                    if (pass == 0) {
                        carried[bin] += f;
                        f = 0.0f;
                    } else if (carried[bin] > 0.0f) {
                        const float add = carried[bin] * 0.12f;
                        f += add;
                        carried[bin] -= add;
                        f = f > 1.0f ? 1.0f : f;
                    }
                }
            }
        }
    }

    // A heavy black rubber blade on a steel arm, with a glint along the arm.
    static void drawBlade(const EffectContext& c, float n, float angle) {
        const float px = n * 0.5f + 0.37f, py = n * 1.06f;
        const float dx = fastSin(angle), dy = -fastCos(angle) * 4.0f / 3.0f;
        const float s = n / 200.0f;
        kit::drawThickLine(c, px + dx * n * 0.16f, py + dy * n * 0.16f, px + dx * n * 0.98f,
                           py + dy * n * 0.98f, 5.0f * s, kit::fromLevels(12, 12, 16));
        kit::drawThickLine(c, px, py, px + dx * n * 0.8f, py + dy * n * 0.8f, 1.6f * s,
                           kit::fromLevels(96, 100, 110));
        kit::drawThickLine(c, px - 1.0f * s, py, px + dx * n * 0.8f - 1.0f * s, py + dy * n * 0.8f, 0.8f * s,
                           kit::fromLevels(220, 224, 232));
    }

    // A bright summer view, sharp-edged: sky, sun, a far ridge, a yellow field and green near hills with a
    // red barn.
    void paintScene(const EffectContext& c) {
        const float n = static_cast<float>(c.n);
        const kit::Rgb skyTop = kit::fromLevels(40, 120, 230), skyLow = kit::fromLevels(170, 220, 255);
        const kit::Rgb sun = kit::fromLevels(255, 246, 170), ridge = kit::fromLevels(90, 130, 170);
        const kit::Rgb field = kit::fromLevels(250, 210, 30), hill = kit::fromLevels(60, 180, 50),
                       hillDark = kit::fromLevels(30, 120, 40);
        const kit::Rgb barn = kit::fromLevels(200, 30, 30), roof = kit::fromLevels(80, 70, 70);
        for (int x = 0; x < c.n; ++x) {
            const float fx = static_cast<float>(x) / n;
            const float ridgeY = 0.42f + 0.05f * fastSin(fx * 9.0f) + 0.02f * fastSin(fx * 23.0f);
            const float fieldY = 0.55f + 0.04f * fastSin(fx * 4.0f + 1.0f);
            const float hillY = 0.68f + 0.08f * fastSin(fx * 5.0f + 2.5f);
            for (int y = 0; y < c.n; ++y) {
                const float fy = static_cast<float>(y) / n;
                kit::Rgb colour = kit::mix(skyTop, skyLow, fy / 0.45f > 1.0f ? 1.0f : fy / 0.45f);
                const float sx = fx - 0.78f, sy = (fy - 0.18f) * 0.75f;
                if (sx * sx + sy * sy < 0.0049f) {
                    colour = sun;
                }
                if (fy > ridgeY) {
                    colour = ridge;
                }
                if (fy > fieldY) {
                    colour = kit::shade(field, 0.9f + 0.1f * fastSin(fy * 180.0f));
                }
                if (fy > hillY) {
                    colour = fastSin(fx * 40.0f + fy * 25.0f) > 0.0f ? hill : hillDark;
                }
                // The barn on the far field.
                if (fx > 0.18f && fx < 0.3f && fy > fieldY - 0.08f && fy < fieldY + 0.02f) {
                    colour = barn;
                }
                if (fx > 0.16f && fx < 0.32f &&
                    fy > fieldY - 0.12f + (fx - 0.24f < 0.0f ? 0.24f - fx : fx - 0.24f) * 0.5f &&
                    fy <= fieldY - 0.08f) {
                    colour = roof;
                }
                scene_[static_cast<size_t>(x) * c.n + y] = colour;
            }
        }
    }

    int n_ = 0;
    float angle_ = -maxAngle;
    std::vector<float> foam_, bubbles_;
    std::vector<kit::Rgb> scene_;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(WashIt);

} // namespace glowfield
