// Growth: coral built by diffusion-limited aggregation. Walkers released on a circle just outside the cluster
// wander until they touch it, then stick and take a colour from their arrival time; the newest tips glow.
#include <algorithm>
#include <cmath>
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Growth : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::tameField(c);
        n_ = c.n;
        stuck_.assign(static_cast<size_t>(n_) * n_, -1);
        walkers_.assign(walkerCount * 2, 0);
        plant(c, n_ / 2, n_ / 2);
    }

    void step(EffectContext& c) override {
        if (c.framesSinceMouseMoved == 0) {
            plant(c, c.mouseX, c.mouseY);
        }
        ++age_;
        for (int w = 0; w < walkerCount; ++w) {
            walk(c, w);
        }
        kit::pullColours(c, kit::fromLevels(8, 10, 24), 0.12f);
        kit::scaleVelocities(c, 0.8f);
        // The cluster, coloured by arrival time; cells that stuck lately glow brighter.
        for (int x = 0; x < n_; ++x) {
            for (int y = 0; y < n_; ++y) {
                const int t = stuck_[static_cast<size_t>(x) * n_ + y];
                if (t < 0) {
                    continue;
                }
                const float fresh = kit::clampf(1.0f - static_cast<float>(age_ - t) / 60.0f, 0.0f, 1.0f);
                const float hue = hueStart_ + static_cast<float>(t) * 0.0009f;
                const float pulse = 0.72f + 0.1f * fastSin(static_cast<float>(t) * 0.05f - age_ * 0.07f);
                kit::paint(c, x, y, kit::hsv(hue, 0.75f - 0.5f * fresh, pulse + 0.28f * fresh));
            }
        }
        for (int w = 0; w < walkerCount; ++w) {
            kit::paint(c, walkers_[w * 2], walkers_[w * 2 + 1], kit::fromLevels(60, 70, 110),
                       kit::Blend::max);
        }
        if (radius_ > static_cast<float>(n_) * 0.47f || age_ - lastStick_ > 400) {
            plant(c, c.random(n_ / 4, n_ * 3 / 4), c.random(n_ / 4, n_ * 3 / 4));
        }
    }

  private:
    static constexpr int walkerCount = 90;
    static constexpr int stepsPerFrame = 140;

    void plant(EffectContext& c, int x, int y) {
        std::fill(stuck_.begin(), stuck_.end(), -1);
        cx_ = kit::clampCell(c, x);
        cy_ = kit::clampCell(c, y);
        stuck_[static_cast<size_t>(cx_) * n_ + cy_] = age_;
        radius_ = 2.0f;
        lastStick_ = age_;
        hueStart_ = c.randomUnit();
        for (int w = 0; w < walkerCount; ++w) {
            release(c, w);
        }
    }

    void release(EffectContext& c, int w) {
        const float a = c.randomUnit() * kit::twoPi;
        const float r = radius_ + 6.0f;
        walkers_[w * 2] = kit::clampCell(c, kit::roundCell(cx_ + r * fastCos(a)));
        walkers_[w * 2 + 1] = kit::clampCell(c, kit::roundCell(cy_ + r * fastSin(a)));
    }

    bool touches(int x, int y) const {
        for (int dx = -1; dx <= 1; ++dx) {
            for (int dy = -1; dy <= 1; ++dy) {
                const int u = x + dx, v = y + dy;
                if (u >= 0 && v >= 0 && u < n_ && v < n_ && stuck_[static_cast<size_t>(u) * n_ + v] >= 0) {
                    return true;
                }
            }
        }
        return false;
    }

    void walk(EffectContext& c, int w) {
        int x = walkers_[w * 2], y = walkers_[w * 2 + 1];
        int bits = 0;
        for (int s = 0; s < stepsPerFrame; ++s) {
            // Two bits of one 15-bit draw per step, drawn afresh every seventh step.
            if (s % 7 == 0) {
                bits = c.random();
            }
            switch ((bits >> ((s % 7) * 2)) & 3) {
            case 0:
                ++x;
                break;
            case 1:
                --x;
                break;
            case 2:
                ++y;
                break;
            default:
                --y;
                break;
            }
            const float dx = static_cast<float>(x - cx_), dy = static_cast<float>(y - cy_);
            const float far = radius_ + 24.0f;
            if (x < 0 || y < 0 || x >= n_ || y >= n_ || dx * dx + dy * dy > far * far) {
                release(c, w);
                return;
            }
            if (touches(x, y)) {
                stuck_[static_cast<size_t>(x) * n_ + y] = age_;
                lastStick_ = age_;
                const float d = std::sqrt(dx * dx + dy * dy);
                radius_ = d > radius_ ? d : radius_;
                release(c, w);
                return;
            }
        }
        walkers_[w * 2] = x;
        walkers_[w * 2 + 1] = y;
    }

    int n_ = 0;
    std::vector<int> stuck_;
    std::vector<int> walkers_;
    int cx_ = 0, cy_ = 0;
    float radius_ = 2.0f;
    float hueStart_ = 0.0f;
    int age_ = 0;
    int lastStick_ = 0;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Growth);

} // namespace glowfield
