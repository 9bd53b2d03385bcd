// Thunder: a storm over dark hills. Slate clouds roll across the sky and rain slants down; every few seconds
// a forked bolt, made by splitting a line at displaced midpoints, strikes the ground, the sky flashes white,
// and after a short delay the rumble shakes the clouds.
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

constexpr int maxSegments = 160;
constexpr int dropCount = 140;

struct Segment {
    float x0, y0, x1, y1, weight;
};

class Thunder : public Effect {
  public:
    void start(EffectContext& c) override {
        for (int i = 0; i < dropCount; ++i) {
            dropX_[i] = c.randomUnit() * static_cast<float>(c.n);
            dropY_[i] = c.randomUnit() * static_cast<float>(c.n);
        }
        wait_ = 40;
    }

    void step(EffectContext& c) override {
        const float n = static_cast<float>(c.n);
        const float t = static_cast<float>(c.frame % 400000u) * 0.02f;
        if (--wait_ <= 0) {
            strike(c);
            wait_ = c.random(90, 220);
        }
        sinceStrike_ = sinceStrike_ < 100000 ? sinceStrike_ + 1 : sinceStrike_;
        const float flash = sinceStrike_ < 2 ? 1.0f : sinceStrike_ < 8 ? 0.25f / (sinceStrike_ - 1) : 0.0f;
        // The rumble comes a little after the flash and shakes the clouds for half a second.
        const int rumbleAge = sinceStrike_ - 14;
        const float shake = rumbleAge >= 0 && rumbleAge < 25
                                ? 3.0f * (1.0f - rumbleAge / 25.0f) * fastSin(rumbleAge * 2.3f)
                                : 0.0f;

        // Rolling cloud: three crossed waves drifting at different speeds, each split into column and row
        // parts (the rumble shifts the rows).
        const size_t count = static_cast<size_t>(c.n);
        phases_.resize(count);
        for (size_t j = 0; j < count; ++j) {
            const float v = (static_cast<float>(j) + shake) * 0.06f;
            phases_[j] = 1.6f * fastSin(v + t * 0.2f);
        }
        rowA_.fillPhases(phases_);
        for (size_t j = 0; j < count; ++j) {
            phases_[j] = -(static_cast<float>(j) + shake) * 0.06f * 1.7f + t * 0.5f;
        }
        rowB_.fillPhases(phases_);
        for (size_t j = 0; j < count; ++j) {
            phases_[j] = (static_cast<float>(j) + shake) * 0.06f * 3.1f - t * 0.8f;
        }
        rowC_.fillPhases(phases_);
        colA_.fill(c.n, 0.045f, t * 0.35f);
        colB_.fill(c.n, 0.045f * 2.1f, t * 0.35f * 2.1f);
        colC_.fill(c.n, 0.045f * 4.3f, t * 0.35f * 4.3f);
        const kit::Rgb low = kit::fromLevels(38, 44, 58), high = kit::fromLevels(100, 108, 122);
        const kit::Rgb flashColour = kit::fromLevels(235, 235, 255);
        const kit::Rgb land =
            kit::mix(kit::fromLevels(12, 16, 14), kit::fromLevels(70, 80, 90), flash * 0.6f);
        for (int x = 0; x < c.n; ++x) {
            const size_t i = static_cast<size_t>(x);
            const float fx = static_cast<float>(x);
            const float ground = n * 0.84f + 5.0f * fastSin(fx * 0.025f + 2.0f) + 2.5f * fastSin(fx * 0.09f);
            for (int y = 0; y < c.n; ++y) {
                const size_t j = static_cast<size_t>(y);
                const float fy = static_cast<float>(y);
                kit::Rgb colour = land;
                if (fy <= ground) {
                    const float billow = kit::sinSum(colA_, i, rowA_, j) +
                                         0.6f * kit::sinSum(colB_, i, rowB_, j) +
                                         0.35f * kit::sinSum(colC_, i, rowC_, j);
                    const float height = fy / n;
                    const float density = kit::clampf(0.5f + 0.28f * billow - height * 0.5f, 0.0f, 1.0f);
                    colour = kit::shade(kit::mix(low, high, density), 1.0f - 0.35f * height);
                    if (flash > 0.0f) {
                        colour = kit::mix(colour, flashColour, flash * (0.45f + 0.4f * density));
                    }
                }
                kit::paintSolid(c, x, y, colour);
            }
        }
        // Rain: short slanting streaks, falling fast.
        const kit::Rgb rain = kit::fromLevels(130, 140, 165);
        for (int i = 0; i < dropCount; ++i) {
            dropX_[i] += 1.2f;
            dropY_[i] += 5.0f;
            if (dropY_[i] > n || dropX_[i] > n) {
                dropY_[i] -= n;
                dropX_[i] = c.randomUnit() * n;
            }
            kit::drawLine(c, dropX_[i], dropY_[i], dropX_[i] - 1.0f, dropY_[i] - 4.0f, rain, kit::Blend::max);
        }
        // The bolt: a bright core with a glow, fading over a few frames, re-lit once as real bolts flicker.
        if (sinceStrike_ < 12) {
            const float life = sinceStrike_ == 4 ? 1.0f : 1.0f - static_cast<float>(sinceStrike_) / 12.0f;
            for (int i = 0; i < segments_; ++i) {
                const Segment& s = bolt_[i];
                kit::drawThickLine(
                    c, s.x0, s.y0, s.x1, s.y1, 1.4f * s.weight + 0.4f,
                    kit::mix(kit::fromLevels(120, 110, 255), kit::fromLevels(170, 160, 255), life),
                    kit::Blend::max);
                kit::drawLine(c, s.x0, s.y0, s.x1, s.y1, kit::shade(kit::white, 0.55f + 0.45f * life),
                              kit::Blend::max);
            }
        }
    }

  private:
    void strike(EffectContext& c) {
        const float n = static_cast<float>(c.n);
        segments_ = 0;
        sinceStrike_ = 0;
        const float x = n * (0.15f + 0.7f * c.randomUnit());
        fork(c, x, 0.0f, x + n * 0.25f * (c.randomUnit() - 0.5f), n * 0.86f, n * 0.18f, 1.0f, 0);
    }

    // Midpoint displacement: each half is split again with half the sideways jitter; now and then a thinner
    // branch leaves towards the ground.
    void fork(EffectContext& c, float x0, float y0, float x1, float y1, float jitter, float weight,
              int depth) {
        if (segments_ >= maxSegments) {
            return;
        }
        if (depth >= 6) {
            bolt_[segments_++] = {x0, y0, x1, y1, weight};
            return;
        }
        const float mx = (x0 + x1) * 0.5f + jitter * (c.randomUnit() - 0.5f) * 2.0f;
        const float my = (y0 + y1) * 0.5f;
        fork(c, x0, y0, mx, my, jitter * 0.5f, weight, depth + 1);
        fork(c, mx, my, x1, y1, jitter * 0.5f, weight, depth + 1);
        if (depth >= 1 && depth <= 3 && weight > 0.3f && c.random(0, 99) < 45) {
            const float length = (y1 - y0) * (0.6f + 0.5f * c.randomUnit());
            const float side = (c.random(0, 1) ? 1.0f : -1.0f) * length * (0.4f + 0.5f * c.randomUnit());
            fork(c, mx, my, mx + side, my + length, jitter * 0.6f, weight * 0.45f, depth + 1);
        }
    }

    kit::AxisWave rowA_, rowB_, rowC_, colA_, colB_, colC_;
    std::vector<float> phases_;
    Segment bolt_[maxSegments] = {};
    int segments_ = 0;
    int sinceStrike_ = 1000;
    int wait_ = 0;
    float dropX_[dropCount] = {};
    float dropY_[dropCount] = {};
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Thunder);

} // namespace glowfield
