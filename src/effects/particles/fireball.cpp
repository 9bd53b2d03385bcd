// Fireball: one hot ball bounces round the screen under gravity with a continuous tail of embers that
// float upwards and cool from yellow through red to ash; every wall it strikes sends a splash through the
// field.
#include <vector>

#include "effects/kit/backdrop.h"
#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Fireball : public Effect {
  public:
    void start(EffectContext& c) override {
        const float n = static_cast<float>(c.n);
        const float s = kit::gridScale(c);
        x_ = n * 0.3f;
        y_ = n * 0.3f;
        vx_ = 1.6f * s;
        vy_ = -0.5f * s;
        embers_.assign(maxEmbers, Ember{});
    }

    void step(EffectContext& c) override {
        kit::tameNowAndThen(c, 200.0f, 10.0f);
        kit::scaleVelocities(c, 0.97f);
        const float n = static_cast<float>(c.n);
        const float s = kit::gridScale(c);
        const float r = 7.0f * s + 1.0f;
        // A smoky cellar, dark violet above and ember-warm at the floor, lit orange around the ball wherever
        // it is; the slow settle leaves a long smoky tail behind it.
        const kit::Glow heat{x_, y_, n * 0.4f, {70.0f, 30.0f, 0.0f}};
        kit::pullTowards(c, kit::fromLevels(22, 14, 40), kit::fromLevels(78, 34, 24), 0.07f, heat);
        const float ox = x_, oy = y_;
        if (c.sound.heard() && c.sound.beat && vy_ > 0.0f && y_ > n * 0.45f) {
            // With music a ball falling through the lower half leaps up again on the beat, as high as the
            // bass is strong.
            vy_ = -(1.8f + 1.6f * c.sound.bass) * s;
            vx_ += (vx_ < 0.0f ? -0.4f : 0.4f) * s;
            vx_ = kit::clampf(vx_, -3.0f * s, 3.0f * s);
        }
        vy_ += 0.06f * s;
        x_ += vx_;
        y_ += vy_;
        const auto splash = [&](float px, float py) {
            kit::balancedPush(c, px, py, 5.0f * s + 1.0f, -25.0f);
        };
        if (x_ < r) {
            x_ = r;
            vx_ = -vx_;
            splash(0.0f, y_);
        } else if (x_ > n - r) {
            x_ = n - r;
            vx_ = -vx_;
            splash(n - 1.0f, y_);
        }
        if (y_ > n - r) {
            y_ = n - r;
            vy_ = -vy_ * 0.92f;
            splash(x_, n - 1.0f);
            // A ball that has lost its bounce gets a new kick upwards.
            if (vy_ > -1.6f * s) {
                vy_ = -(2.8f + 0.8f * c.randomUnit()) * s;
                vx_ = (vx_ < 0.0f ? -1.0f : 1.0f) * (1.0f + 1.2f * c.randomUnit()) * s;
            }
        } else if (y_ < r) {
            y_ = r;
            vy_ = -vy_;
            splash(x_, 0.0f);
        }
        if (!kit::onGrid(c, x_, y_)) {
            start(c);
        }
        // Shed embers all along the path since the last frame, so the tail is continuous.
        for (int k = 0; k < 14; ++k) {
            const float u = static_cast<float>(k) / 14.0f;
            Ember& e = embers_[next_];
            next_ = (next_ + 1) % maxEmbers;
            const float a = c.randomUnit() * kit::twoPi;
            const float rr = r * 0.8f * c.randomUnit();
            e = {kit::lerp(ox, x_, u) + fastCos(a) * rr,
                 kit::lerp(oy, y_, u) + fastSin(a) * rr,
                 (c.randomUnit() - 0.5f) * 0.5f * s,
                 -(0.1f + 0.4f * c.randomUnit()) * s,
                 0,
                 40 + c.random(0, 50)};
        }
        for (Ember& e : embers_) {
            if (e.age >= e.life) {
                continue;
            }
            ++e.age;
            e.vy -= 0.01f;
            e.x += e.vx + 0.2f * fastSin(static_cast<float>(e.age) * 0.2f + e.vx * 10.0f);
            e.y += e.vy;
            if (!kit::onGrid(c, e.x, e.y)) {
                e.age = e.life;
                continue;
            }
            const float k = static_cast<float>(e.age) / static_cast<float>(e.life);
            // Yellow-white, orange, deep red, then dim ash.
            const kit::Rgb colour = kit::hsv(0.15f - 0.15f * k, 0.6f + 0.4f * k, 1.0f - 0.75f * k * k);
            kit::plot(c, e.x, e.y, colour, kit::Blend::max);
        }
        kit::softDisc(c, x_, y_, r * 2.6f, kit::fromLevels(255, 120, 20), 0.6f, kit::Blend::set);
        kit::fillDisc(c, x_, y_, r, kit::fromLevels(255, 170, 40));
        kit::fillDisc(c, x_ - r * 0.15f, y_ - r * 0.15f, r * 0.65f, kit::fromLevels(255, 240, 150));
        kit::fillDisc(c, x_ - r * 0.25f, y_ - r * 0.25f, r * 0.3f, kit::white);
    }

  private:
    struct Ember {
        float x = 0.0f, y = 0.0f, vx = 0.0f, vy = 0.0f;
        int age = 0, life = 0;
    };
    static constexpr int maxEmbers = 1400;
    std::vector<Ember> embers_;
    int next_ = 0;
    float x_ = 0.0f, y_ = 0.0f, vx_ = 0.0f, vy_ = 0.0f;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Fireball);

} // namespace glowfield
