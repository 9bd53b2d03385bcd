// Fireworks: rockets climb from the bottom and burst into peony, ring or willow shells whose sparks fall
// under gravity and drag over a dark sky that swallows their trails; each burst makes the sky shudder.
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

struct Spark {
    float x, y, vx, vy;
    float life;  // 1 at the burst, 0 when it dies
    float decay; // life lost per frame
    float drag;
    kit::Rgb colour;
};

struct Rocket {
    float x = 0.0f, y = 0.0f, vx = 0.0f, vy = 0.0f;
    int fuse = 0;
    bool live = false;
};

class Fireworks : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::tameField(c);
        sparks_.clear();
        sparks_.reserve(maxSparks);
        for (Rocket& r : rockets_) {
            r.live = false;
        }
        nextLaunch_ = 0;
    }

    void step(EffectContext& c) override {
        const float n = static_cast<float>(c.n);
        const float s = c.scale;
        kit::pullColours(c, kit::fromLevels(4, 4, 22), 0.09f);
        kit::scaleVelocities(c, 0.9f);

        // With music a rocket goes up on every beat, and a rocket that has climbed a while bursts on a beat.
        const bool heard = c.sound.heard();
        if (heard) {
            if (c.sound.beat) {
                launch(c, n, s);
            }
        } else {
            if (nextLaunch_ <= 0) {
                launch(c, n, s);
                nextLaunch_ = c.random(12, 38);
            }
            --nextLaunch_;
        }

        for (Rocket& r : rockets_) {
            if (!r.live) {
                continue;
            }
            const float px = r.x, py = r.y;
            r.vy += 0.03f * s;
            r.x += r.vx;
            r.y += r.vy;
            kit::drawLine(c, px, py, r.x, r.y, kit::fromLevels(255, 200, 120), kit::Blend::max);
            const bool onBeat = heard && c.sound.beat && r.fuse < 30;
            if (--r.fuse <= 0 || r.vy >= 0.0f || onBeat) {
                burst(c, r.x, r.y, s);
                r.live = false;
            }
        }

        const float gravity = 0.025f * s;
        size_t kept = 0;
        for (size_t i = 0; i < sparks_.size(); ++i) {
            Spark p = sparks_[i];
            p.vx *= p.drag;
            p.vy = p.vy * p.drag + gravity;
            const float px = p.x, py = p.y;
            p.x += p.vx;
            p.y += p.vy;
            p.life -= p.decay;
            if (p.life <= 0.0f || !(p.x > -1.0f && p.x < n && p.y > -n && p.y < n)) {
                continue;
            }
            // Sparks flicker as they die, and burn white-hot at first.
            float k = p.life;
            if (p.life < 0.35f && c.random() % 3 == 0) {
                k *= 0.3f;
            }
            const kit::Rgb hot =
                kit::mix(p.colour, kit::white, p.life > 0.85f ? (p.life - 0.85f) * 5.0f : 0.0f);
            kit::drawLine(c, px, py, p.x, p.y, kit::shade(hot, k), kit::Blend::max);
            sparks_[kept++] = p;
        }
        sparks_.resize(kept);
    }

  private:
    static constexpr size_t maxSparks = 2400;

    void launch(EffectContext& c, float n, float s) {
        for (Rocket& r : rockets_) {
            if (r.live) {
                continue;
            }
            r.x = n * (0.15f + 0.7f * c.randomUnit());
            r.y = n - 1.0f;
            r.vx = (c.randomUnit() - 0.5f) * 0.6f * s;
            r.vy = -(1.9f + 0.5f * c.randomUnit()) * s;
            r.fuse = c.random(40, 60);
            r.live = true;
            return;
        }
    }

    void burst(EffectContext& c, float x, float y, float s) {
        const int kind = c.random(0, 2); // 0 peony, 1 ring, 2 willow
        const kit::Rgb colour =
            kind == 2 ? kit::fromLevels(255, 190, 70) : kit::hsv(c.randomUnit(), 0.85f, 1.0f);
        const kit::Rgb second = kit::hsv(c.randomUnit(), 0.7f, 1.0f);
        const float turn = c.randomUnit() * kit::twoPi;
        for (int i = 0; i < 150 && sparks_.size() < maxSparks; ++i) {
            const float a =
                kind == 1 ? turn + kit::twoPi * static_cast<float>(i) / 150.0f : c.randomUnit() * kit::twoPi;
            float speed = 0.0f;
            Spark p{};
            p.x = x;
            p.y = y;
            if (kind == 0) {
                speed = (0.9f + 1.8f * c.randomUnit()) * s;
                p.decay = 0.012f + 0.01f * c.randomUnit();
                p.drag = 0.965f;
                p.colour = i % 4 == 0 ? second : colour;
            } else if (kind == 1) {
                speed = 2.4f * s;
                p.decay = 0.016f;
                p.drag = 0.955f;
                p.colour = i % 2 ? colour : second;
            } else {
                speed = (0.6f + 1.4f * c.randomUnit()) * s;
                p.decay = 0.006f + 0.004f * c.randomUnit();
                p.drag = 0.93f;
                p.colour = colour;
            }
            p.vx = fastCos(a) * speed;
            p.vy = fastSin(a) * speed;
            p.life = 1.0f;
            sparks_.push_back(p);
        }
        kit::softDisc(c, x, y, 10.0f * s,
                      {(colour.r + 127.0f) * 0.5f, (colour.g + 127.0f) * 0.5f, (colour.b + 127.0f) * 0.5f});
        kit::balancedPush(c, x, y, 8.0f * s, 6.0f);
    }

    std::vector<Spark> sparks_;
    Rocket rockets_[6];
    int nextLaunch_ = 0;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Fireworks);

} // namespace glowfield
