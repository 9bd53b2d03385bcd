// Octopussy: an octopus in blue water. A round mantle and eight tentacles of twenty joints whose angles
// follow phase-shifted waves, so the arms curl and uncurl, drawn thick to thin with pale suckers. It drifts,
// and now and then jets away in a rush, leaving a dark ink cloud that spreads and thins behind it.
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

constexpr int arms = 8;
constexpr int joints = 20;
constexpr int inkClouds = 6;

struct Ink {
    float x = 0.0f, y = 0.0f, radius = 0.0f, strength = 0.0f;
};

class Octopussy : public Effect {
  public:
    void start(EffectContext& c) override {
        const float n = static_cast<float>(c.n);
        x_ = n * 0.5f;
        y_ = n * 0.45f;
        wait_ = c.random(120, 220);
    }

    void step(EffectContext& c) override {
        const float n = static_cast<float>(c.n);
        const float t = static_cast<float>(c.frame % 400000u) * 0.02f;
        // Swimming: a gentle drift towards a wandering spot, or a jet.
        if (--wait_ <= 0) {
            jet_ = 22;
            const float a = kit::twoPi * c.randomUnit();
            jetX_ = fastCos(a);
            jetY_ = fastSin(a) * 0.7f - 0.3f;
            wait_ = c.random(160, 300);
            Ink& ink = ink_[nextInk_];
            nextInk_ = (nextInk_ + 1) % inkClouds;
            ink = {x_, y_ + n * 0.05f, n * 0.05f, 1.0f};
        }
        float vx = 0.0f, vy = 0.0f;
        if (jet_ > 0) {
            --jet_;
            const float push = 0.2f * static_cast<float>(jet_);
            vx = jetX_ * push;
            vy = jetY_ * push;
        } else {
            vx = (n * (0.5f + 0.22f * fastSin(t * 0.17f)) - x_) * 0.01f;
            vy = (n * (0.42f + 0.12f * fastSin(t * 0.23f)) - y_) * 0.01f;
        }
        x_ = kit::clampf(x_ + vx, n * 0.2f, n * 0.8f);
        y_ = kit::clampf(y_ + vy, n * 0.2f, n * 0.7f);
        if (jet_ > 0 && jet_ % 4 == 0) {
            Ink& ink = ink_[nextInk_];
            nextInk_ = (nextInk_ + 1) % inkClouds;
            ink = {x_ - vx * 3.0f, y_ - vy * 3.0f + n * 0.05f, n * 0.04f, 0.9f};
        }

        // Water: light from above, with moving caustic bands (column and row parts of one wave).
        const size_t count = static_cast<size_t>(c.n);
        phases_.resize(count);
        for (size_t j = 0; j < count; ++j) {
            phases_[j] = 1.5f * fastSin(static_cast<float>(j) * 0.05f + t * 0.6f);
        }
        rows_.fillPhases(phases_);
        columns_.fill(c.n, 0.09f, t * 0.3f);
        const kit::Rgb shallow = kit::fromLevels(30, 120, 160), deep = kit::fromLevels(6, 24, 60);
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                const float depth = static_cast<float>(y) / n;
                const float caustic =
                    kit::sinSum(columns_, static_cast<size_t>(x), rows_, static_cast<size_t>(y));
                kit::paintSolid(
                    c, x, y,
                    kit::shade(kit::mix(shallow, deep, depth), 0.92f + 0.1f * caustic * (1.0f - depth)));
            }
        }
        for (Ink& ink : ink_) {
            if (ink.strength > 0.01f) {
                kit::softDisc(c, ink.x, ink.y, ink.radius, kit::fromLevels(8, 6, 16), ink.strength * 0.9f,
                              kit::Blend::set);
                ink.radius += 0.35f;
                ink.strength *= 0.985f;
                ink.y += 0.05f;
            }
        }

        // The arms, from behind the mantle; joint angles are travelling waves down each arm.
        const kit::Rgb body = kit::fromLevels(200, 70, 60), pale = kit::fromLevels(250, 200, 180);
        const float armLength = n * (jet_ > 0 ? 0.34f : 0.3f);
        const float segment = armLength / joints;
        const float headR = n * 0.085f;
        const float heading = jet_ > 0 ? kit::angleOf(-jetX_, -jetY_) : kit::pi * 0.5f;
        for (int a = 0; a < arms; ++a) {
            const float k = static_cast<float>(a);
            float angle = heading + (k - 3.5f) * 0.28f;
            float px = x_ + fastCos(angle) * headR * 0.7f, py = y_ + fastSin(angle) * headR * 0.7f;
            for (int j = 0; j < joints; ++j) {
                const float s = static_cast<float>(j) / joints;
                const float curl = jet_ > 0 ? 0.02f
                                            : 0.22f * fastSin(t * 1.6f - s * 5.0f + k * 0.9f) +
                                                  0.06f * (k < 4.0f ? -1.0f : 1.0f) * s;
                angle += curl;
                const float nx = px + fastCos(angle) * segment, ny = py + fastSin(angle) * segment;
                const float width = (1.0f - s) * n * 0.022f + 0.6f;
                kit::drawThickLine(c, px, py, nx, ny, width, kit::shade(body, 0.8f + 0.2f * (1.0f - s)));
                if (j % 2 == 1 && width > 1.4f) {
                    const float side = width * 0.6f;
                    kit::fillDisc(c, nx - fastSin(angle) * side, ny + fastCos(angle) * side, width * 0.35f,
                                  pale);
                }
                px = nx;
                py = ny;
            }
        }
        // The mantle, shaded, with eyes on either side.
        kit::fillDisc(c, x_, y_ - headR * 0.3f, headR * 1.1f, kit::shade(body, 0.85f));
        kit::fillDisc(c, x_, y_ - headR * 0.55f, headR * 0.95f, body);
        kit::softDisc(c, x_ - headR * 0.3f, y_ - headR * 0.95f, headR * 0.45f, kit::Rgb{60.0f, 50.0f, 40.0f},
                      0.8f);
        for (int side = -1; side <= 1; side += 2) {
            const float ex = x_ + static_cast<float>(side) * headR * 0.55f, ey = y_ + headR * 0.1f;
            kit::fillDisc(c, ex, ey, headR * 0.3f, pale);
            kit::fillRect(c, ex - headR * 0.22f, ey - headR * 0.06f, ex + headR * 0.22f, ey + headR * 0.08f,
                          kit::fromLevels(10, 10, 10));
        }
    }

  private:
    kit::AxisWave rows_, columns_;
    std::vector<float> phases_;
    float x_ = 0.0f, y_ = 0.0f;
    float jetX_ = 0.0f, jetY_ = 0.0f;
    int jet_ = 0;
    int wait_ = 0;
    Ink ink_[inkClouds];
    int nextInk_ = 0;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Octopussy);

} // namespace glowfield
