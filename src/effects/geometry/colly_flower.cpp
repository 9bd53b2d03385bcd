// CollyFlower: a romanesco head grows from its centre. Florets sit at the golden angle, each itself a small
// golden-angle spiral of buds in greens and cream; after a while the head browns, fades, and regrows with a
// new twist.
#include <cmath>
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

constexpr float goldenAngle = 2.39996323f;

class CollyFlower : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::tameField(c);
        // The leaves' fixed geometry: each cell's five-fold bearing from the centre and its nearness to it.
        const float n = static_cast<float>(c.n), cx = n * 0.5f, cy = n * 0.5f;
        sin5_.assign(static_cast<size_t>(c.n) * c.n, 0.0f);
        cos5_.assign(static_cast<size_t>(c.n) * c.n, 0.0f);
        near_.assign(static_cast<size_t>(c.n) * c.n, 0.0f);
        size_t i = 0;
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y, ++i) {
                const float dx = x - cx, dy = (y - cy) * 0.75f;
                const float a = kit::angleOf(dx, dy) * 5.0f;
                sin5_[i] = fastSin(a);
                cos5_[i] = fastCos(a);
                near_[i] = kit::clampf(1.0f - std::sqrt(dx * dx + dy * dy) / (n * 0.7f), 0.0f, 1.0f);
            }
        }
        twist_ = c.randomUnit() * kit::twoPi;
    }

    void step(EffectContext& c) override {
        const float n = static_cast<float>(c.n);
        kit::scaleVelocities(c, 0.0f);
        const uint32_t cycle = 700u;
        const uint32_t age = (c.frame + 120u) % cycle;
        if (age == 0u) {
            twist_ = c.randomUnit() * kit::twoPi;
        }
        const float a = static_cast<float>(age);
        const float brown = kit::smoothstep(480.0f, 620.0f, a);
        const float fade = kit::smoothstep(600.0f, 690.0f, a);
        const int florets = kit::toCell(kit::clampf(a * 0.3f + 12.0f, 0.0f, 95.0f));
        const float cx = n * 0.5f, cy = n * 0.5f;
        const float aspect = 4.0f / 3.0f; // cells are 4 x 3 pixels: stretch y so the head is round
        const float spin = twist_ + a * 0.002f;
        // Dark leaves behind the head.
        const kit::Rgb shadow = kit::fromLevels(10, 18, 12), leafColour = kit::fromLevels(40, 95, 45);
        // sin(5 a + s) from the cell's fixed sin 5a and cos 5a.
        const float spinSin = fastSin(spin * 0.5f), spinCos = fastCos(spin * 0.5f);
        size_t i = 0;
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y, ++i) {
                const float leaf = 0.5f + 0.5f * (sin5_[i] * spinCos + cos5_[i] * spinSin);
                kit::setCell(c, x, y, kit::mix(shadow, leafColour, near_[i] * (0.3f + 0.4f * leaf)));
            }
        }
        const kit::Rgb young = kit::fromLevels(170, 225, 90), cream = kit::fromLevels(240, 240, 190);
        const kit::Rgb old = kit::fromLevels(120, 85, 40);
        const kit::Rgb dark = kit::fromLevels(40, 70, 20);
        for (int i = florets - 1; i >= 0; --i) {
            // Outer florets are larger, as on the real head; each grows in over its first frames.
            const float fi = static_cast<float>(i);
            const float r = 7.2f * std::sqrt(fi);
            const float th = fi * goldenAngle + spin;
            const float fx = cx + fastCos(th) * r, fy = cy + fastSin(th) * r * aspect;
            const float grow = kit::clampf((static_cast<float>(florets) - fi) / 12.0f, 0.0f, 1.0f);
            const float size = (4.2f + r * 0.03f) * grow;
            const float lift = kit::clampf(1.0f - r / (n * 0.4f), 0.0f, 1.0f);
            // A shadow below and to the right of each floret, so the cones stand out of the head.
            kit::fillDisc(c, fx + 1.0f, fy + 1.5f, size + 1.2f, kit::mix(dark, kit::shade(old, 0.4f), brown));
            const int buds = 21;
            for (int j = buds - 1; j >= 0; --j) {
                const float fj = static_cast<float>(j);
                const float br = size * std::sqrt((fj + 0.5f) / buds);
                const float bt = fj * goldenAngle - th;
                const float k = 1.0f - fj / buds; // tip of the floret: highest and palest
                kit::Rgb col = kit::mix(young, cream, k * k * lift);
                // The head is a dome: florets towards its rim sit lower and darker.
                col = kit::shade(kit::mix(col, old, brown), (0.5f + 0.5f * k) * (0.55f + 0.45f * lift));
                kit::dot(c, fx + fastCos(bt) * br, fy + fastSin(bt) * br * aspect,
                         0.5f + size * 0.14f * (1.0f - 0.4f * k), kit::mix(col, shadow, fade));
            }
        }
    }

  private:
    float twist_ = 0.0f;
    std::vector<float> sin5_, cos5_, near_;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(CollyFlower);

} // namespace glowfield
