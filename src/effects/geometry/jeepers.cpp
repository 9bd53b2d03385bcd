// Jeepers: peepers in the dark. Night has fallen over a wood of bushes and trees, and pairs of glowing eyes
// of every size peer out of it: each pair opens, watches the mouse (or, while it rests, whatever catches
// their attention), blinks now and then, and after a while shuts and turns up somewhere else.
#include <cmath>
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

constexpr int pairCount = 11;
constexpr int shutFrames = 10; // frames for a pair of eyes to open or close

class Jeepers : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::tameField(c);
        n_ = c.n;
        paintWood(c);
        lookX_ = targetX_ = static_cast<float>(c.n) * 0.5f;
        lookY_ = targetY_ = static_cast<float>(c.n) * 0.5f;
        for (int k = 0; k < pairCount; ++k) {
            place(c, pairs_[k]);
            // Some are open from the start, the rest turn up over the first seconds.
            pairs_[k].hidden = k < 5 ? 0 : c.random(5, 120);
            pairs_[k].age = k < 5 ? shutFrames : 0;
        }
    }

    void step(EffectContext& c) override {
        const float n = static_cast<float>(c.n);
        // Gaze: the mouse when it moves, otherwise a new point of interest every second or so.
        if (c.framesSinceMouseMoved == 0) {
            targetX_ = static_cast<float>(c.mouseX);
            targetY_ = static_cast<float>(c.mouseY);
        } else if (c.framesSinceMouseMoved > 100) {
            // While the mouse rests the eyes follow a firefly's wandering path.
            const float t = static_cast<float>(c.frame % 100000u);
            targetX_ = n * (0.5f + 0.42f * fastSin(t * 0.023f) * fastCos(t * 0.0071f));
            targetY_ = n * (0.55f + 0.35f * fastSin(t * 0.031f + 1.0f));
        }
        lookX_ += (targetX_ - lookX_) * 0.2f;
        lookY_ += (targetY_ - lookY_) * 0.2f;
        // The wood: put back whole each frame (velocities cleared), so nothing smears.
        for (int x = 0; x < n_; ++x) {
            for (int y = 0; y < n_; ++y) {
                kit::setCell(c, x, y, wood_[static_cast<size_t>(x) * n_ + y]);
            }
        }
        kit::scaleVelocities(c, 0.0f);
        for (int k = 0; k < pairCount; ++k) {
            advance(c, k);
            if (pairs_[k].hidden == 0) {
                drawPair(c, pairs_[k]);
            }
        }
        // The firefly the eyes watch while the mouse rests.
        if (c.framesSinceMouseMoved > 100) {
            const float pulse = 0.6f + 0.4f * fastSin(static_cast<float>(c.frame % 100000u) * 0.2f);
            for (int dx = -3; dx <= 3; ++dx) {
                for (int dy = -3; dy <= 3; ++dy) {
                    const float k = pulse * (1.0f - static_cast<float>(dx * dx + dy * dy) / 13.0f);
                    if (k > 0.0f) {
                        const int x = kit::toCell(lookX_) + dx, y = kit::toCell(lookY_) + dy;
                        kit::blendCell(c, x, y, kit::fromLevels(220, 255, 140), k);
                    }
                }
            }
        }
    }

  private:
    struct Pair {
        float x = 0.0f, y = 0.0f, r = 4.0f;
        kit::Rgb glow;
        bool slit = false; // cat's slits or round pupils
        int age = 0, life = 300, hidden = 0, blink = 0, nextBlink = 100;
    };

    // Sky, a low moon-glow, and dark bushes and trunks, made once: the eyes have the stage to themselves.
    void paintWood(EffectContext& c) {
        wood_.assign(static_cast<size_t>(n_) * n_, kit::Rgb{});
        const float n = static_cast<float>(n_);
        const float phase = c.randomUnit() * kit::twoPi;
        float trunkX[4], trunkW[4];
        for (int k = 0; k < 4; ++k) {
            trunkX[k] = n * (0.1f + 0.25f * static_cast<float>(k) + 0.12f * c.randomUnit());
            trunkW[k] = n * (0.025f + 0.02f * c.randomUnit());
        }
        for (int x = 0; x < n_; ++x) {
            const float u = static_cast<float>(x) / n;
            // Three rows of bushes, each a bumpy outline, nearer ones lower and darker.
            const float rows[3] = {
                0.45f + 0.05f * fastSin(u * 17.0f + phase) + 0.03f * fastSin(u * 41.0f),
                0.6f + 0.06f * fastSin(u * 11.0f + phase * 2.0f) + 0.03f * fastSin(u * 37.0f + 1.0f),
                0.78f + 0.05f * fastSin(u * 9.0f + phase * 3.0f) + 0.03f * fastSin(u * 29.0f + 2.0f)};
            for (int y = 0; y < n_; ++y) {
                const float v = static_cast<float>(y) / n;
                kit::Rgb colour = kit::mix(kit::fromLevels(34, 40, 96), kit::fromLevels(70, 60, 120), v);
                for (int k = 0; k < 4; ++k) {
                    if (std::fabs(static_cast<float>(x) - trunkX[k]) < trunkW[k] * (1.0f + 0.6f * v)) {
                        colour = kit::fromLevels(36, 34, 52);
                    }
                }
                const kit::Rgb bush[3] = {kit::fromLevels(34, 62, 70), kit::fromLevels(26, 54, 58),
                                          kit::fromLevels(20, 46, 48)};
                for (int k = 0; k < 3; ++k) {
                    if (v > rows[k]) {
                        // Leaves: a little texture so the bushes are not flat.
                        const float leaf =
                            0.92f + 0.08f * fastSin(static_cast<float>(x) * 0.23f +
                                                    fastSin(static_cast<float>(y) * 0.31f) * 2.0f);
                        colour = kit::shade(bush[k], leaf);
                    }
                }
                wood_[static_cast<size_t>(x) * n_ + y] = colour;
            }
        }
    }

    // A new place, size and kind for a pair of eyes.
    void place(EffectContext& c, Pair& p) {
        const float n = static_cast<float>(n_);
        p.r = n * (0.018f + 0.035f * c.randomUnit());
        p.x = n * 0.08f + c.randomUnit() * n * 0.84f;
        p.y = n * (0.3f + 0.62f * c.randomUnit());
        const kit::Rgb glows[4] = {kit::fromLevels(250, 230, 90), kit::fromLevels(170, 255, 120),
                                   kit::fromLevels(255, 150, 60), kit::fromLevels(240, 245, 255)};
        p.glow = glows[c.random(0, 3)];
        p.slit = c.random() % 2 == 0;
        p.age = 0;
        p.life = c.random(180, 520);
        p.blink = 0;
        p.nextBlink = c.random(40, 220);
    }

    // Opening, blinking, shutting and turning up elsewhere, away from the pairs that are showing.
    void advance(EffectContext& c, int index) {
        Pair& p = pairs_[index];
        if (p.hidden > 0) {
            if (--p.hidden == 0) {
                for (int attempt = 0; attempt < 8; ++attempt) {
                    place(c, p);
                    bool clear = true;
                    for (int k = 0; k < pairCount; ++k) {
                        const Pair& o = pairs_[k];
                        if (k != index && o.hidden == 0 && std::fabs(o.x - p.x) < (o.r + p.r) * 2.6f &&
                            std::fabs(o.y - p.y) < (o.r + p.r) * 1.2f) {
                            clear = false;
                        }
                    }
                    if (clear) {
                        break;
                    }
                }
            }
            return;
        }
        ++p.age;
        if (p.age > p.life + shutFrames) {
            p.hidden = c.random(20, 90);
            return;
        }
        if (p.blink > 0) {
            --p.blink;
        } else if (--p.nextBlink <= 0) {
            p.blink = 12;
            p.nextBlink = c.random(60, 260);
        }
    }

    void drawPair(EffectContext& c, const Pair& p) {
        // How open the eyes are: opening at first, shut at the end, and a blink between.
        float open = kit::clampf(static_cast<float>(p.age) / shutFrames, 0.0f, 1.0f);
        open *= kit::clampf(static_cast<float>(p.life + shutFrames - p.age) / shutFrames, 0.0f, 1.0f);
        if (p.blink > 0) {
            open *= std::fabs(static_cast<float>(p.blink) - 6.0f) / 6.0f;
        }
        const float gap = p.r * 1.35f;
        // Both halos first, so neither eye's halo lies over the other eye.
        for (const bool halo : {true, false}) {
            for (int side = -1; side <= 1; side += 2) {
                drawEye(c, p, p.x + static_cast<float>(side) * gap, p.y, open, halo);
            }
        }
    }

    void drawEye(EffectContext& c, const Pair& p, float cx, float cy, float open, bool haloPass) {
        const float rx = p.r, ry = p.r * 0.62f * open, halo = p.r * 2.0f;
        // The pupil looks towards the gaze point, held inside the eye.
        const float gx = lookX_ - cx, gy = lookY_ - cy;
        const float gd = std::sqrt(gx * gx + gy * gy) + 1e-3f;
        const float reach = kit::clampf(gd / (p.r * 6.0f), 0.0f, 1.0f);
        const float px = cx + gx / gd * rx * 0.45f * reach, py = cy + gy / gd * p.r * 0.25f * reach;
        const int x0 = kit::clampCell(c, kit::toCell(cx - halo)),
                  x1 = kit::clampCell(c, kit::toCell(cx + halo));
        const int y0 = kit::clampCell(c, kit::toCell(cy - halo)),
                  y1 = kit::clampCell(c, kit::toCell(cy + halo));
        for (int x = x0; x <= x1; ++x) {
            for (int y = y0; y <= y1; ++y) {
                const float dx = (static_cast<float>(x) - cx) / rx, dy = static_cast<float>(y) - cy;
                const float ey = ry > 0.05f ? dy / ry : 1e6f;
                const float inside = dx * dx + ey * ey;
                const kit::Rgb under = kit::colourAt(c, x, y);
                if (inside < 1.0f && !haloPass) {
                    // The eye glows brightest in its middle; the pupil is a slit or a disc.
                    kit::Rgb col = kit::shade(p.glow, 1.0f - 0.35f * inside);
                    const float qx = (static_cast<float>(x) - px) / p.r,
                                qy = (static_cast<float>(y) - py) / p.r;
                    const bool pupil =
                        p.slit ? (qx * qx * 16.0f + qy * qy * 1.2f < 0.5f) : (qx * qx + qy * qy < 0.12f);
                    if (pupil) {
                        col = kit::fromLevels(12, 8, 10);
                    }
                    kit::setCell(c, x, y, col);
                } else if (inside >= 1.0f && haloPass) {
                    // A soft halo of the eye's light on the leaves around it.
                    const float d = std::sqrt(dx * dx * rx * rx + dy * dy) / halo;
                    if (d < 1.0f && open > 0.0f) {
                        const float k = (1.0f - d) * (1.0f - d) * 0.45f * open;
                        kit::setCell(c, x, y, kit::mix(under, p.glow, k));
                    }
                }
            }
        }
    }

    int n_ = 0;
    std::vector<kit::Rgb> wood_;
    Pair pairs_[pairCount];
    float lookX_ = 0.0f, lookY_ = 0.0f, targetX_ = 0.0f, targetY_ = 0.0f;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Jeepers);

} // namespace glowfield
