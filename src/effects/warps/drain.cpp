// Drain: a plughole. Each frame the field is resampled from a little further out and a little turned, faster
// near the middle, so everything spirals inwards and vanishes into the dark hole at the centre, while fresh
// blue-white tap water pours in at the rim.
#include <cmath>
#include <vector>

#include "effects/kit/kit.h"
#include "effects/warps/colour_image.h"

namespace glowfield {

namespace {

class Drain : public Effect {
  public:
    void start(EffectContext& c) override { kit::tameField(c); }

    void step(EffectContext& c) override {
        const int age = static_cast<int>(c.framesSinceStart) + 1;
        const float n = static_cast<float>(c.n), h = (n - 1.0f) * 0.5f;
        const float t = static_cast<float>(age);
        image_.capture(c);
        if (map_.size() != static_cast<size_t>(c.n) * c.n) {
            buildMap(c);
        }
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                const Source& m = map_[static_cast<size_t>(x) * c.n + y];
                if (m.rim > 10.0f) {
                    // The enamel basin round the drain: its shade is kept in the source position.
                    kit::paint(c, x, y, kit::shade(kit::fromLevels(235, 235, 228), m.x));
                    continue;
                }
                kit::Rgb col = image_.sample(m.x, m.y);
                if (m.rim >= 0.0f) {
                    // Tap water: streaky blue-white that varies around the rim and over time.
                    const float streak =
                        0.5f + 0.5f * fastSin(m.rim * 9.0f + t * 0.13f) * fastSin(m.rim * 4.0f - t * 0.07f);
                    col = kit::mix(
                        col, kit::mix(kit::fromLevels(20, 80, 170), kit::fromLevels(235, 245, 255), streak),
                        0.5f);
                }
                kit::paint(c, x, y, col);
            }
        }
        kit::scaleVelocities(c, 0.0f);
        kit::softDisc(c, h, h, 14.0f, kit::black, 1.0f, kit::Blend::set);
        kit::drawRing(c, h, h, 9.0f, 2.0f, kit::fromLevels(160, 165, 175));
        for (int i = 0; i < 4; ++i) {
            const float a = i * kit::pi * 0.5f + 0.3f;
            kit::drawLine(c, h - 8.0f * fastCos(a), h - 8.0f * fastSin(a), h + 8.0f * fastCos(a),
                          h + 8.0f * fastSin(a), kit::fromLevels(120, 125, 135));
        }
    }

  private:
    struct Source {
        float x, y; // where the cell reads from (in the basin, x is the enamel's shade)
        float rim;  // its angle round the centre where tap water enters, -1 in the bowl, 100 in the basin
    };

    // The plughole never moves, so where each cell reads from is worked out once.
    void buildMap(const EffectContext& c) {
        const float n = static_cast<float>(c.n), h = (n - 1.0f) * 0.5f;
        map_.resize(static_cast<size_t>(c.n) * c.n);
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                const float dx = x - h, dy = y - h;
                const float r = std::sqrt(dx * dx + dy * dy) + 0.001f;
                // Reading from further out pulls content in; the turn grows towards the hole.
                const float turn = 0.02f + 1.1f / (r + 12.0f);
                const float out = (r + 0.6f + 14.0f / (r + 6.0f)) / r;
                const float cs = fastCos(turn), sn = fastSin(turn);
                Source& m = map_[static_cast<size_t>(x) * c.n + y];
                m.x = h + (dx * cs - dy * sn) * out;
                m.y = h + (dx * sn + dy * cs) * out;
                m.rim = r > h + 2.0f ? 100.0f : r > h - 8.0f ? kit::angleOf(dx, dy) + kit::pi : -1.0f;
                if (r > h + 2.0f) {
                    m.x = kit::clampf(0.85f - (dx + dy) / (r * 8.0f), 0.6f, 1.0f);
                }
            }
        }
    }

    std::vector<Source> map_;
    warps::ColourImage image_;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Drain);

} // namespace glowfield
