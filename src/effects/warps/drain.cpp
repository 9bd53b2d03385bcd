// Drain: a plughole. Each frame the field is resampled from a little further out and a little turned, faster
// near the middle, so everything spirals inwards and vanishes into the dark hole at the centre, while fresh
// blue-white tap water pours in at the rim.
#include <cmath>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Drain : public Effect {
  public:
    void start(EffectContext& c) override { kit::tameField(c); }

    void step(EffectContext& c) override {
        ++age_;
        const float n = static_cast<float>(c.n), h = (n - 1.0f) * 0.5f;
        const float t = static_cast<float>(age_);
        copy_.capture(c);
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                const float dx = x - h, dy = y - h;
                const float r = std::sqrt(dx * dx + dy * dy) + 0.001f;
                // Reading from further out pulls content in; the turn grows towards the hole.
                const float turn = 0.02f + 1.1f / (r + 12.0f);
                const float out = (r + 0.6f + 14.0f / (r + 6.0f)) / r;
                const float cs = fastCos(turn), sn = fastSin(turn);
                const float sx = h + (dx * cs - dy * sn) * out, sy = h + (dx * sn + dy * cs) * out;
                copy_.warpCell(c, x, y, sx, sy);
                if (r > h - 8.0f) {
                    // Tap water: streaky blue-white that varies around the rim and over time.
                    const float a = kit::angleOf(dx, dy);
                    const float streak = 0.5f + 0.5f * fastSin(a * 9.0f + t * 0.13f) * fastSin(a * 4.0f - t * 0.07f);
                    const kit::Rgb water = kit::mix(kit::fromLevels(20, 80, 170), kit::fromLevels(235, 245, 255), streak);
                    kit::blendCell(c, x, y, water, 0.5f);
                }
            }
        }
        kit::scaleVelocities(c, 0.95f);
        kit::softDisc(c, h, h, 14.0f, kit::black, 1.0f, kit::Blend::set);
        kit::drawRing(c, h, h, 9.0f, 2.0f, kit::fromLevels(160, 165, 175));
        for (int i = 0; i < 4; ++i) {
            const float a = i * kit::pi * 0.5f + 0.3f;
            kit::drawLine(c, h - 8.0f * fastCos(a), h - 8.0f * fastSin(a), h + 8.0f * fastCos(a), h + 8.0f * fastSin(a),
                          kit::fromLevels(120, 125, 135));
        }
    }

  private:
    int age_ = 0;
    kit::FieldCopy copy_;
};

} // namespace

std::unique_ptr<Effect> makeDrain() {
    return std::make_unique<Drain>();
}

} // namespace glowfield
