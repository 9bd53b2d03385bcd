// Chaos: the butterfly effect. Five tracers start a hair's breadth apart on the Lorenz attractor; each frame
// extends their trails, which run as one at first and soon split into five colours while the attractor
// turns. Every forty seconds they are gathered again at a new starting point.
#include <array>
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

constexpr int tracers = 5;
constexpr int trail = 480;

class Chaos : public Effect {
  public:
    void start(EffectContext& c) override {
        for (auto& t : trails_) {
            t.assign(trail, Vec3{});
        }
        gather(c);
    }

    void step(EffectContext& c) override {
        kit::settleField(c, kit::black, 0.45f);
        if (age_ >= 2000) {
            gather(c);
        }
        ++age_;
        for (int k = 0; k < tracers; ++k) {
            Vec3& p = state_[static_cast<size_t>(k)];
            // Two trail points a frame, four small Euler steps apart.
            for (int half = 0; half < 2; ++half) {
                for (int i = 0; i < 4; ++i) {
                    const float dt = 0.0055f;
                    const Vec3 d{10.0f * (p.y - p.x), p.x * (28.0f - p.z) - p.y,
                                 p.x * p.y - 2.6666667f * p.z};
                    p = p + d * dt;
                }
                if (!(p.x > -100.0f && p.x < 100.0f && p.y > -100.0f && p.y < 100.0f && p.z > -50.0f &&
                      p.z < 150.0f)) {
                    p = Vec3{1.0f, 1.0f, 20.0f};
                }
                trails_[static_cast<size_t>(k)][static_cast<size_t>(kit::wrap(head_ + half, trail))] = p;
            }
        }
        head_ = (head_ + 2) % trail;
        filled_ = filled_ + 2 < trail ? filled_ + 2 : trail;

        const float t = static_cast<float>(c.frame % 200000u);
        const float half = static_cast<float>(c.n) * 0.5f;
        const float scale = half / 26.0f, ay = t * 0.01f, ax = -1.35f + 0.2f * fastSin(t * 0.004f);
        static constexpr kit::Rgb colours[tracers] = {
            kit::fromLevels(255, 80, 60), kit::fromLevels(255, 220, 60), kit::fromLevels(80, 255, 110),
            kit::fromLevels(70, 170, 255), kit::fromLevels(230, 90, 255)};
        for (int k = tracers - 1; k >= 0; --k) {
            const auto& tr = trails_[static_cast<size_t>(k)];
            Vec3 last{};
            for (int i = 0; i < filled_; ++i) {
                const int at = kit::wrap(head_ - filled_ + i, trail);
                const Vec3 p = tr[static_cast<size_t>(at)];
                const Vec3 v =
                    kit::turn(Vec3{p.x, p.y, p.z - 25.0f} * scale, ax, ay) + Vec3{0.0f, 0.0f, half * 0.2f};
                if (i > 0) {
                    // Older parts of a trail dim so that its head leads.
                    const float fresh = 0.3f + 0.7f * static_cast<float>(i) / static_cast<float>(filled_);
                    kit::fastLine(c, last, v, kit::shade(colours[k], fresh), i > filled_ - 40);
                }
                last = v;
            }
            const kit::Projected q = kit::project(c, last);
            if (q.visible) {
                kit::fillDisc(c, q.x, q.y, 1.8f * q.scale, kit::white, kit::Blend::max);
            }
        }
    }

  private:
    using Vec3 = kit::Vec3;

    void gather(const EffectContext& c) {
        const Vec3 origin{c.randomUnit() * 10.0f - 5.0f, c.randomUnit() * 10.0f - 5.0f,
                          20.0f + c.randomUnit() * 10.0f};
        for (int k = 0; k < tracers; ++k) {
            state_[static_cast<size_t>(k)] = origin + Vec3{0.002f * static_cast<float>(k), 0.0f, 0.0f};
        }
        age_ = 0;
        head_ = 0;
        filled_ = 0;
    }

    std::array<Vec3, tracers> state_{};
    std::array<std::vector<Vec3>, tracers> trails_;
    int age_ = 0;
    int head_ = 0;
    int filled_ = 0;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Chaos);

} // namespace glowfield
