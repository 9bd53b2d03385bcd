// Loop: one roller-coaster loop-the-loop as a 3-D track of twin rails and sleepers, turning slowly so it is
// seen from every side. A bright car runs the track at the speed its height allows, crawling over the top and
// racing through the bottom, throwing sparks from its wheels.
#include <cmath>
#include <vector>

#include "effects/kit/kit.h"
#include "effects/particles/particle_bounds.h"

namespace glowfield {

namespace {

class Loop : public Effect {
  public:
    void start(EffectContext& c) override {
        grid_ = c.n;
        const float s = static_cast<float>(c.n) / 200.0f;
        radius_ = 36.0f * s;
        // The track: a straight run in, a loop that drifts forward and sideways, a straight run out.
        const float drift = 8.0f * s, lead = 50.0f * s, width = 16.0f * s;
        const float middle = kit::pi * drift;
        track_.resize(samples);
        length_.resize(samples);
        for (int k = 0; k < samples; ++k) {
            const float u = static_cast<float>(k) / (samples - 1);
            kit::Vec3 p;
            if (u < 0.2f) {
                p = {-lead + lead * u / 0.2f, 0.0f, -width * 0.5f};
            } else if (u <= 0.8f) {
                const float phi = (u - 0.2f) / 0.6f * kit::twoPi;
                p = {radius_ * fastSin(phi) + drift * phi, -radius_ * (1.0f - fastCos(phi)),
                     -width * 0.5f + width * phi / kit::twoPi};
            } else {
                p = {kit::twoPi * drift + lead * (u - 0.8f) / 0.2f, 0.0f, width * 0.5f};
            }
            // Centred on the loop; heights stretched by 4 / 3 because cells show 4 x 3 pixels.
            track_[k] = {p.x - middle, (p.y + radius_) * (4.0f / 3.0f), p.z};
            length_[k] = k == 0 ? 0.0f : length_[k - 1] + distance(track_[k], track_[k - 1]);
        }
        sparks_.assign(maxSparks, Spark{});
        along_ = 0.0f;
    }

    void step(EffectContext& c) override {
        if (grid_ != c.n) {
            start(c); // the grid changed size: lay everything out afresh for it
        }
        bounds::tameNowAndThen(c, 200.0f, 8.0f);
        kit::scaleVelocities(c, 0.3f);
        kit::pullColours(c, kit::fromLevels(6, 8, 22), 0.35f);
        const float n = static_cast<float>(c.n);
        const float s = n / 200.0f;
        const float t = static_cast<float>(c.frame % 400000u);
        const float yaw = t * 0.006f, pitch = -0.32f + 0.12f * fastSin(t * 0.004f);
        const kit::Vec3 centre{0.0f, n * 0.02f, n * 0.55f};
        const auto view = [&](kit::Vec3 p) { return kit::rotateX(kit::rotateY(p, yaw), pitch) + centre; };
        const float rail = 4.0f * s;
        const kit::Vec3 side{0.0f, 0.0f, rail};
        const kit::Rgb steel = kit::fromLevels(170, 200, 255), wood = kit::fromLevels(210, 120, 60);
        // Supports from the runs and the loop's foot down to the ground.
        const float ground = radius_ * (4.0f / 3.0f) + 14.0f * s;
        for (int k = 0; k < samples; k += 12) {
            const kit::Vec3 p = track_[k];
            if (p.y > 0.0f) {
                kit::modelLine(c, view(p), view({p.x, ground, p.z}), kit::fromLevels(110, 110, 130), 1);
            }
        }
        for (int k = 1; k < samples; ++k) {
            const kit::Vec3 a = track_[k - 1], b = track_[k];
            kit::modelLine(c, view(a - side), view(b - side), steel, 2);
            kit::modelLine(c, view(a + side), view(b + side), steel, 2);
            if (k % 3 == 0) {
                kit::modelLine(c, view(b - side), view(b + side), wood, 1);
            }
        }
        // The car: energy sets its speed, v^2 = v0^2 - 2 g h, with h the height above the runs.
        const float g = 0.02f * s;
        const float v0 = std::sqrt(2.0f * g * radius_ * 2.0f * (4.0f / 3.0f) + 1.4f * s * 1.4f * s);
        const kit::Vec3 here = at(along_);
        const float height = radius_ * (4.0f / 3.0f) - here.y;
        const float v2 = v0 * v0 - 2.0f * g * height;
        const float speed = std::sqrt(v2 > 0.09f * s * s ? v2 : 0.09f * s * s);
        along_ += speed;
        if (along_ >= length_[samples - 1]) {
            along_ = 0.0f;
        }
        const kit::Vec3 front = at(along_), back = at(along_ - 7.0f * s);
        kit::modelLine(c, view(back - side), view(front - side), kit::fromLevels(255, 60, 60), 4);
        kit::modelLine(c, view(back + side), view(front + side), kit::fromLevels(255, 60, 60), 4);
        kit::modelLine(c, view(front - side), view(front + side), kit::fromLevels(255, 240, 200), 3);
        // Sparks: more the faster it goes.
        const int spawn = truncToInt(speed / s * 3.0f);
        for (int k = 0; k < spawn && k < 12; ++k) {
            Spark& p = sparks_[next_];
            next_ = (next_ + 1) % maxSparks;
            p.p = back + kit::Vec3{0.0f, 0.0f, (c.random(0, 1) == 0 ? -1.0f : 1.0f) * rail};
            p.v = {(c.randomUnit() - 0.5f) * 1.2f * s, (c.randomUnit() - 0.8f) * 1.2f * s,
                   (c.randomUnit() - 0.5f) * 1.2f * s};
            p.life = 15 + c.random(0, 20);
        }
        for (Spark& p : sparks_) {
            if (p.life <= 0) {
                continue;
            }
            --p.life;
            const kit::Vec3 before = p.p;
            p.v.y += 0.04f * s;
            p.p = p.p + p.v;
            kit::modelLine(c, view(before), view(p.p),
                           kit::hsv(0.06f + 0.006f * static_cast<float>(p.life), 0.8f, 1.0f), 1);
        }
    }

  private:
    struct Spark {
        kit::Vec3 p, v;
        int life = 0;
    };
    static constexpr int samples = 150;
    static constexpr int maxSparks = 200;

    static float distance(kit::Vec3 a, kit::Vec3 b) {
        const kit::Vec3 d = a - b;
        return std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
    }

    // The point at an arc length along the track, clamped to its ends.
    kit::Vec3 at(float arc) const {
        if (!(arc > 0.0f)) {
            return track_[0];
        }
        for (int k = 1; k < samples; ++k) {
            if (length_[k] >= arc) {
                const float span = length_[k] - length_[k - 1];
                const float u = span > 0.0f ? (arc - length_[k - 1]) / span : 0.0f;
                return track_[k - 1] + (track_[k] - track_[k - 1]) * u;
            }
        }
        return track_[samples - 1];
    }

    std::vector<kit::Vec3> track_;
    std::vector<float> length_;
    std::vector<Spark> sparks_;
    int next_ = 0;
    float radius_ = 1.0f;
    float along_ = 0.0f;
    int grid_ = 0; // the grid side the state was laid out for
};

} // namespace

std::unique_ptr<Effect> makeLoop() {
    return std::make_unique<Loop>();
}

} // namespace glowfield
