// Acid: solarised neon. Every frame each colour plane is passed through a folding curve, bright values
// folding back to dark, and the planes swap roles at a slow blend (red takes green, green blue, blue red), so
// any picture turns into shifting neon bands; small turning pushes keep fresh shapes arriving.
#include "effects/kit/kit.h"

namespace glowfield {

namespace {

// Levels 0..1 folded: rising to full at the middle of the range and falling back to dark above it.
float fold(float v) {
    const float u = kit::clampf((v + 127.0f) / 255.0f, 0.0f, 1.0f);
    const float f = u < 0.5f ? u * 2.0f : (1.0f - u) * 2.0f;
    return f * 255.0f - 127.0f;
}

class Acid : public Effect {
  public:
    void start(EffectContext& c) override { kit::tameField(c); }

    void step(EffectContext& c) override {
        ++age_;
        kit::tameField(c, 300.0f, 30.0f);
        const float rate = 0.08f;
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                const int cell = cellAt(x, y);
                const float r = c.planes.red[cell], g = c.planes.green[cell], b = c.planes.blue[cell];
                c.planes.red[cell] = r + (fold(g * 1.1f) - r) * rate;
                c.planes.green[cell] = g + (fold(b * 1.1f) - g) * rate;
                c.planes.blue[cell] = b + (fold(r * 1.1f) - b) * rate;
            }
        }
        // Three pushers circle the centre, each pulsing one colour's velocity, alternating in sign.
        const float t = static_cast<float>(age_);
        const float h = static_cast<float>(c.n) * 0.5f;
        if (age_ % 6 == 0) {
            for (int i = 0; i < 3; ++i) {
                const float a = t * 0.013f * (i + 1) + i * 2.1f;
                const float rr = h * (0.3f + 0.25f * fastSin(t * 0.01f + i));
                const float sign = (age_ / 6 + i) % 2 ? 1.0f : -1.0f;
                kit::balancedPush(c, h + rr * fastCos(a), h + rr * fastSin(a), 5.0f, sign * 14.0f, 1u << i);
            }
        }
        kit::scaleVelocities(c, 0.985f);
    }

  private:
    int age_ = 0;
};

} // namespace

std::unique_ptr<Effect> makeAcid() {
    return std::make_unique<Acid>();
}

} // namespace glowfield
