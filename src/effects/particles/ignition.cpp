// Ignition: a burning fuse. A twisted cord winds across a dusky wall; a white-hot spark runs along it,
// spitting sparks and smoke and leaving a charred, ember-lit trail, and where the cord ends a golden bloom
// bursts open before the next fuse is laid.
#include <cmath>
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

constexpr int maxPoints = 520;
constexpr int maxSparks = 700;
constexpr int maxPuffs = 24;
constexpr int bloomFrames = 80;
constexpr float burnRate = 2.3f; // fuse points per frame

class Ignition : public Effect {
  public:
    void start(EffectContext& c) override {
        sparks_.assign(maxSparks, Spark{});
        bloom_ = -1;
        for (Puff& p : puffs_) {
            p.life = 0;
        }
        layFuse(c);
    }

    void step(EffectContext& c) override {
        const float s = kit::gridScale(c);
        // An indigo-to-plum wall, settled quickly so sparks leave short trails and nothing else lingers.
        kit::settleGradient(c, kit::fromLevels(40, 42, 78), kit::fromLevels(74, 46, 70), 0.45f, 0.0f);
        kit::clearVelocities(c);
        laid_ = laid_ + 24 < count_ ? laid_ + 24 : count_;

        if (bloom_ < 0) {
            burnt_ += burnRate * (0.8f + 0.4f * c.randomUnit());
            if (burnt_ >= static_cast<float>(count_ - 1)) {
                burnt_ = static_cast<float>(count_ - 1);
                startBloom(c);
            }
        }
        const int at = truncToInt(burnt_) < count_ - 1 ? truncToInt(burnt_) : count_ - 1;
        const float sx = xs_[at], sy = ys_[at];
        // The spark lights the wall round it.
        if (bloom_ < 0) {
            const float flicker = 0.85f + 0.3f * c.randomUnit();
            kit::softDisc(c, sx, sy, 38.0f * s, kit::fromLevels(200, 140, 80), 0.35f * flicker);
        }
        drawFuse(c, at, s);
        if (bloom_ < 0) {
            spit(c, sx, sy, s);
        } else {
            drawBloom(c, s);
        }
        moveSparks(c, s);
        movePuffs(c, s);
        if (bloom_ < 0) {
            kit::softDisc(c, sx, sy, 7.0f * s, kit::fromLevels(255, 240, 190), 1.0f, kit::Blend::set);
            kit::fillDisc(c, sx, sy, (1.6f + 0.8f * c.randomUnit()) * s, kit::white);
        }
    }

  private:
    struct Spark {
        float x = 0.0f, y = 0.0f, vx = 0.0f, vy = 0.0f;
        int life = 0, span = 1;
    };
    struct Puff {
        float x = 0.0f, y = 0.0f, r = 0.0f;
        int life = 0;
    };

    // The cord: charred behind the spark with embers cooling over the last stretch, a twisted tan rope
    // ahead of it (as far as it has been laid).
    void drawFuse(EffectContext& c, int at, float s) {
        const kit::Rgb rope = kit::fromLevels(232, 196, 138), twist = kit::fromLevels(200, 158, 100);
        const kit::Rgb charred = kit::fromLevels(22, 18, 20), ember = kit::fromLevels(255, 80, 10);
        // A dark edge under the unburnt cord first, so the rope reads against the wall and where it crosses
        // itself.
        for (int i = at > 0 ? at : 0; i + 1 < laid_; ++i) {
            kit::drawThickLine(c, xs_[i], ys_[i], xs_[i + 1], ys_[i + 1], 2.3f * s,
                               kit::fromLevels(90, 60, 40));
        }
        for (int i = 0; i + 1 < laid_; ++i) {
            if (i < at) {
                const float heat = kit::smoothstep(static_cast<float>(at - 45), static_cast<float>(at),
                                                   static_cast<float>(i));
                const kit::Rgb col =
                    heat > 0.85f ? kit::mix(ember, kit::fromLevels(255, 220, 120), (heat - 0.85f) / 0.15f)
                                 : kit::mix(charred, ember, heat / 0.85f);
                kit::drawThickLine(c, xs_[i], ys_[i], xs_[i + 1], ys_[i + 1], 1.1f * s, col);
            } else {
                kit::drawThickLine(c, xs_[i], ys_[i], xs_[i + 1], ys_[i + 1], 1.5f * s, rope);
            }
        }
        // The twist: a short slanted tick across the cord every few steps.
        for (int i = (at > 0 ? at : 0) + 1; i + 1 < laid_; i += 3) {
            const float dx = xs_[i + 1] - xs_[i - 1], dy = ys_[i + 1] - ys_[i - 1];
            const float len = std::sqrt(dx * dx + dy * dy) + 1e-3f;
            const float ux = dx / len, uy = dy / len;
            const float r = 1.4f * s;
            kit::drawLine(c, xs_[i] - (uy + ux * 0.6f) * r, ys_[i] + (ux - uy * 0.6f) * r,
                          xs_[i] + (uy + ux * 0.6f) * r, ys_[i] - (ux - uy * 0.6f) * r, twist);
        }
    }

    // Sparks spit from the burning point, with a burst now and then, and a puff of smoke every few frames.
    void spit(EffectContext& c, float x, float y, float s) {
        const int spawn = c.random(0, 11) == 0 ? 30 : 7;
        for (int k = 0; k < spawn; ++k) {
            const float a = c.randomUnit() * kit::twoPi;
            const float v = (0.6f + 2.2f * c.randomUnit()) * s;
            addSpark(x, y, fastCos(a) * v, fastSin(a) * v - 0.8f * s, 12 + c.random(0, 18));
        }
        if (c.random(0, 3) == 0) {
            Puff& p = puffs_[nextPuff_];
            nextPuff_ = (nextPuff_ + 1) % maxPuffs;
            p = {x + (c.randomUnit() - 0.5f) * 3.0f * s, y, 3.0f * s, 40};
        }
    }

    void addSpark(float x, float y, float vx, float vy, int life) {
        Spark& p = sparks_[static_cast<size_t>(nextSpark_)];
        nextSpark_ = (nextSpark_ + 1) % maxSparks;
        p = {x, y, vx, vy, life, life};
    }

    // Each spark a short streak, white-yellow while hot and red as it dies, falling under gravity.
    void moveSparks(EffectContext& c, float s) {
        for (Spark& p : sparks_) {
            if (p.life <= 0) {
                continue;
            }
            const float ox = p.x, oy = p.y;
            p.vy += 0.06f * s;
            p.vx *= 0.96f;
            p.vy *= 0.96f;
            p.x += p.vx;
            p.y += p.vy;
            --p.life;
            if (!kit::onGrid(c, p.x, p.y, 8.0f)) {
                p.life = 0;
                continue;
            }
            const float heat = static_cast<float>(p.life) / static_cast<float>(p.span);
            const kit::Rgb col = heat > 0.5f ? kit::mix(kit::fromLevels(255, 190, 60),
                                                        kit::fromLevels(255, 250, 220), (heat - 0.5f) * 2.0f)
                                             : kit::mix(kit::fromLevels(200, 40, 10),
                                                        kit::fromLevels(255, 190, 60), heat * 2.0f);
            kit::drawLine(c, ox, oy, p.x, p.y, col, kit::Blend::max);
        }
    }

    // Smoke rises, swells and thins.
    void movePuffs(EffectContext& c, float s) {
        for (Puff& p : puffs_) {
            if (p.life <= 0) {
                continue;
            }
            --p.life;
            p.y -= 0.5f * s;
            p.x += 0.15f * s * fastSin(p.y * 0.1f);
            p.r += 0.2f * s;
            kit::softDisc(c, p.x, p.y, p.r, kit::fromLevels(150, 145, 160),
                          0.5f * static_cast<float>(p.life) / 40.0f, kit::Blend::set);
        }
    }

    // The end of the fuse bursts: a shell of sparks, and a glow that swells over a few frames and fades.
    void startBloom(EffectContext& c) {
        const float s = kit::gridScale(c);
        bloom_ = 0;
        bloomX_ = xs_[count_ - 1];
        bloomY_ = ys_[count_ - 1];
        const float x = bloomX_, y = bloomY_;
        for (int k = 0; k < 260; ++k) {
            const float a = c.randomUnit() * kit::twoPi;
            const float v = (1.2f + 2.8f * c.randomUnit()) * s;
            addSpark(x, y, fastCos(a) * v, fastSin(a) * v - 0.6f * s, 30 + c.random(0, 30));
        }
    }

    void drawBloom(EffectContext& c, float s) {
        const float x = bloomX_, y = bloomY_;
        const float k = static_cast<float>(bloom_) / bloomFrames;
        const float swell = kit::smoothstep(0.0f, 0.12f, k) * (1.0f - kit::smoothstep(0.3f, 1.0f, k));
        kit::softDisc(c, x, y, (14.0f + 46.0f * k) * s, kit::fromLevels(255, 200, 90), 0.8f * swell);
        // Petals of flame open outwards, gold turning red, and fade.
        const kit::Rgb petal = kit::shade(
            kit::mix(kit::fromLevels(255, 215, 90), kit::fromLevels(230, 50, 20), k), 1.0f - 0.6f * k);
        for (int p = 0; p < 14; ++p) {
            const float a = static_cast<float>(p) * (kit::twoPi / 14.0f) + k * 0.6f;
            const float r0 = (3.0f + 34.0f * k) * s, r1 = (12.0f + 62.0f * k) * s;
            kit::drawThickLine(c, x + r0 * fastCos(a), y + r0 * fastSin(a), x + r1 * fastCos(a),
                               y + r1 * fastSin(a), (2.8f - 2.0f * k) * s, petal, kit::Blend::max);
        }
        ++bloom_;
        if (bloom_ == bloomFrames / 2) {
            layFuse(c); // the next fuse is laid while the bloom fades
        } else if (bloom_ >= bloomFrames) {
            bloom_ = -1;
        }
    }

    // A smooth random walk that turns back from the edges, laid in steps of about one and a half cells from
    // a random point on the rim.
    void layFuse(EffectContext& c) {
        const float n = static_cast<float>(c.n);
        const float margin = n * 0.12f;
        count_ = maxPoints;
        const int side = c.random(0, 3);
        const float along = margin + c.randomUnit() * (n - 2.0f * margin);
        float x = side == 0 ? 2.0f : side == 1 ? n - 3.0f : along;
        float y = side == 2 ? 2.0f : side == 3 ? n - 3.0f : along;
        float heading = kit::angleOf(n * 0.5f - x, n * 0.5f - y) + (c.randomUnit() - 0.5f);
        float turn = 0.0f;
        const float stepLength = 1.5f * kit::gridScale(c);
        for (int i = 0; i < count_; ++i) {
            xs_[i] = x;
            ys_[i] = y;
            turn = turn * 0.92f + (c.randomUnit() - 0.5f) * 0.07f;
            heading += turn;
            if (x < margin || y < margin || x > n - margin || y > n - margin) {
                float d = kit::angleOf(n * 0.5f - x, n * 0.5f - y) - heading;
                d -= kit::twoPi * static_cast<float>(kit::toCell(d / kit::twoPi + 0.5f));
                heading += d * 0.12f;
            }
            x += fastCos(heading) * stepLength;
            y += fastSin(heading) * stepLength;
        }
        burnt_ = 0.0f;
        laid_ = 0;
    }

    std::vector<Spark> sparks_;
    int nextSpark_ = 0;
    Puff puffs_[maxPuffs]{};
    int nextPuff_ = 0;
    float xs_[maxPoints] = {};
    float ys_[maxPoints] = {};
    int count_ = 0;
    int laid_ = 0;       // points of the fuse drawn so far: a new one is laid out quickly
    float burnt_ = 0.0f; // the spark's place on the fuse
    int bloom_ = -1;     // frames since the end burst, -1 while the fuse burns
    float bloomX_ = 0.0f, bloomY_ = 0.0f;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Ignition);

} // namespace glowfield
